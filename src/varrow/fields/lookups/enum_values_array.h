#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/fields/lookups/enum_values.h"
#include "varrow/fields/lookups/enum_values_binding.h"
#include "varrow/values/value.h"

namespace meta::detail {

template <typename T>
class EnumValuesArrayImpl;

// A lookup for fixed-length arrays whose elements mean different things: one
// dictionary and strategy per element position. A position without a
// dictionary entry, or beyond the last dictionary, shows its number.
template <>
class VARROW_API EnumValuesArrayImpl<long long> final : public EnumValues {
  public:
    using KeyType = long long;
    using DictionaryType = std::multimap<long long, const char*>;
    using ElementType = std::pair<DictionaryType, EnumValuesStrategy>;

    explicit EnumValuesArrayImpl(std::vector<ElementType> elements);

    Value Lookup(const Value& value) const override;
    // Element i of the value through dictionary i; the texts joined by ", ".
    Value Lookup(const Value& value, EnumValuesOnFail onFail) const override;
    // Parts of the text separated by ", " through the dictionary of their
    // position; the codes as an array.
    Value ReverseLookup(const Value& value) const override;
    // Always empty: an array has no single code.
    Value RangeLookup(const Value& value) const override;

    // The text of `code` at element position `index`; EnumValuesOnFail::Default
    // shows the code in decimal.
    std::string DirectLookup(std::size_t index, long long code,
                             EnumValuesOnFail onFail = EnumValuesOnFail::Default) const;

    std::size_t Size() const noexcept { return elements_.size(); }
    const std::vector<ElementType>& GetElements() const noexcept { return elements_; }

    auto Bind() const& {
        return EnumValuesBinding<EnumValuesArrayImpl, &EnumValuesArrayImpl::Lookup, false>(*this);
    }
    auto Bind() && {
        return EnumValuesBinding<EnumValuesArrayImpl, &EnumValuesArrayImpl::Lookup, true>(std::move(*this));
    }
    auto BindReverse() const& {
        return EnumValuesBinding<EnumValuesArrayImpl, &EnumValuesArrayImpl::ReverseLookup, false>(*this);
    }
    auto BindReverse() && {
        return EnumValuesBinding<EnumValuesArrayImpl, &EnumValuesArrayImpl::ReverseLookup, true>(
            std::move(*this));
    }

  private:
    void AppendText(std::size_t index, long long code, EnumValuesOnFail onFail, std::string& out) const;

    std::vector<ElementType> elements_;
};

}  // namespace meta::detail
