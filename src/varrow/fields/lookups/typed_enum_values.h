#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/fields/lookups/enum_values.h"
#include "varrow/fields/lookups/enum_values_binding.h"
#include "varrow/values/value.h"

namespace meta::detail {

// A lookup whose codes are of type T: long long, unsigned long long,
// std::string or std::vector<long long> (a whole array is one code). The
// member definitions live in the library, instantiated for those four types.
template <typename T>
class EnumValuesImpl final : public EnumValues {
  public:
    using KeyType = T;
    // Several texts per code are allowed; the first one inserted is the one
    // shown. Texts are static strings.
    using DictionaryType = std::multimap<T, const char*>;

    // Produces the text of a code that is not in the dictionary.
    class Default {
      public:
        using Function = std::function<std::string(const T&)>;

        explicit Default(Function function) : function_(std::move(function)) {}
        // Always `text`.
        explicit Default(const std::string& text) : function_([text](const T& /*code*/) { return text; }) {}

        // ""
        static Default empty() {
            return Default([](const T& /*code*/) { return std::string(); });
        }
        // The code in decimal (a vector's elements separated by spaces); a text
        // code as itself.
        static Default identity() { return Default(&CodeToString); }
        // "Unknown (<code>)", the code written as by identity().
        static Default unknown() { return Default(&UnknownText); }
        // "(none)"
        static Default none() {
            return Default([](const T& /*code*/) { return std::string("(none)"); });
        }
        // Throws LookupException.
        static Default thrower() { return Default(&ThrowLookup); }

        std::string Generate(const T& code) const { return function_(code); }

      private:
        Function function_;
    };

    // Without a default handler the lookup shows unmatched codes through
    // identity() and remembers that no explicit default was given (see
    // DirectLookup).
    EnumValuesImpl(DictionaryType dictionary, EnumValuesStrategy strategy = EnumValuesStrategy::Whole);
    EnumValuesImpl(DictionaryType dictionary, EnumValuesStrategy strategy, Default defaultHandler);

    Value Lookup(const Value& value) const override;
    Value Lookup(const Value& value, EnumValuesOnFail onFail) const override;
    // Texts joined by ", " are mapped part by part (a bit-mask lookup ORs the
    // parts' bits together; "[b]" stands for bit b). A text is matched
    // against the dictionary exactly, then ignoring case, then as a prefix and
    // then as a substring of an entry (both ignoring case); "Unknown (N)" and
    // "Unknown (0xN)" give N.
    Value ReverseLookup(const Value& value) const override;
    Value RangeLookup(const Value& value) const override;

    // The text of one code. Without a failure mode: the lookup's own default
    // handler, except that a lookup built without an explicit default shows
    // "Unknown (<code>)" (whole codes) or "(none)" (an empty bit mask).
    std::string DirectLookup(const T& code) const;
    std::string DirectLookup(const T& code, EnumValuesOnFail onFail) const;
    // Every text stored under the code, in insertion order; empty for a
    // bit-mask lookup.
    std::vector<std::string> DirectRangeLookup(const T& code) const;

    bool Has(const T& code) const { return dictionary_.find(code) != dictionary_.end(); }
    std::size_t Count(const T& code) const { return dictionary_.count(code); }
    // The handler a failure mode stands for; EnumValuesOnFail::Default gives
    // a copy of the lookup's own handler.
    Default GetDefaultHandler(EnumValuesOnFail onFail) const;

    const DictionaryType& GetDictionary() const noexcept { return dictionary_; }
    EnumValuesStrategy GetStrategy() const noexcept { return strategy_; }
    bool HasImplicitDefault() const noexcept { return implicitDefault_; }

    // Bindings for field definitions. On a registry lookup they refer to it;
    // on a temporary they carry their own copy.
    auto Bind() const& { return EnumValuesBinding<EnumValuesImpl, &EnumValuesImpl::Lookup, false>(*this); }
    auto Bind() && {
        return EnumValuesBinding<EnumValuesImpl, &EnumValuesImpl::Lookup, true>(std::move(*this));
    }
    auto BindReverse() const& {
        return EnumValuesBinding<EnumValuesImpl, &EnumValuesImpl::ReverseLookup, false>(*this);
    }
    auto BindReverse() && {
        return EnumValuesBinding<EnumValuesImpl, &EnumValuesImpl::ReverseLookup, true>(std::move(*this));
    }
    auto BindRange() const& {
        return EnumValuesBinding<EnumValuesImpl, &EnumValuesImpl::RangeLookup, false>(*this);
    }
    auto BindRange() && {
        return EnumValuesBinding<EnumValuesImpl, &EnumValuesImpl::RangeLookup, true>(std::move(*this));
    }

    // Helpers of the default handlers (also used by the fixed failure modes).
    static std::string CodeToString(const T& code);
    static std::string UnknownText(const T& code);
    [[noreturn]] static std::string ThrowLookup(const T& code);

  private:
    // Appends the text of one code to `out`.
    void AppendText(const T& code, EnumValuesOnFail onFail, std::string& out) const;
    void AppendFailure(const T& code, EnumValuesOnFail onFail, std::string& out) const;

    DictionaryType dictionary_;
    EnumValuesStrategy strategy_;
    Default default_;
    bool implicitDefault_;
};

extern template class VARROW_API EnumValuesImpl<long long>;
extern template class VARROW_API EnumValuesImpl<unsigned long long>;
extern template class VARROW_API EnumValuesImpl<std::string>;
extern template class VARROW_API EnumValuesImpl<std::vector<long long>>;

}  // namespace meta::detail
