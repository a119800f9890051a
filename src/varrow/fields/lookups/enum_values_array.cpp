#include "varrow/fields/lookups/enum_values_array.h"

#include <cstdint>
#include <string_view>

#include "varrow/fields/lookups/code_reader_impl.h"
#include "varrow/fields/lookups/reverse_matcher_impl.h"
#include "varrow/fields/lookups/typed_enum_values.h"
#include "varrow/util/strings_basic.h"

namespace meta::detail {
namespace {

constexpr std::string_view kSeparator = ", ";

}  // namespace

EnumValuesArrayImpl<long long>::EnumValuesArrayImpl(std::vector<ElementType> elements)
    : elements_(std::move(elements)) {}

void EnumValuesArrayImpl<long long>::AppendText(std::size_t index, long long code, EnumValuesOnFail onFail,
                                                std::string& out) const {
    if (index >= elements_.size()) {
        // No dictionary for this position: the number as it is.
        out += EnumValuesImpl<long long>::CodeToString(code);
        return;
    }
    const auto& [dictionary, strategy] = elements_[index];
    if (strategy == EnumValuesStrategy::BitMask && code != 0) {
        const auto bits = static_cast<std::uint64_t>(code);
        bool first = true;
        for (unsigned bit = 0; bit < 64; ++bit) {
            if (((bits >> bit) & 1U) == 0) continue;
            if (!first) out += kSeparator;
            first = false;
            const auto it = dictionary.find(static_cast<long long>(bit));
            if (it != dictionary.end()) {
                out += it->second;
            } else {
                out += '[';
                out += std::to_string(bit);
                out += ']';
            }
        }
        return;
    }
    if (const auto it = dictionary.find(code); it != dictionary.end()) {
        out += it->second;
        return;
    }
    switch (onFail) {
        case EnumValuesOnFail::Empty: return;
        case EnumValuesOnFail::Unknown: out += EnumValuesImpl<long long>::UnknownText(code); return;
        case EnumValuesOnFail::None: out += "(none)"; return;
        case EnumValuesOnFail::Throw: throw LookupException();
        case EnumValuesOnFail::Identity:
        case EnumValuesOnFail::Default: break;
    }
    out += EnumValuesImpl<long long>::CodeToString(code);
}

std::string EnumValuesArrayImpl<long long>::DirectLookup(std::size_t index, long long code,
                                                         EnumValuesOnFail onFail) const {
    std::string out;
    AppendText(index, code, onFail, out);
    return out;
}

Value EnumValuesArrayImpl<long long>::Lookup(const Value& value) const {
    return Lookup(value, EnumValuesOnFail::Default);
}

Value EnumValuesArrayImpl<long long>::Lookup(const Value& value, EnumValuesOnFail onFail) const {
    if (!value.Exists()) return Value();
    std::string out;
    std::size_t index = 0;
    ReadCodes<long long>(
        value,
        [&](long long code) {
            if (index != 0) out += kSeparator;
            AppendText(index++, code, onFail, out);
        },
        [&](std::string_view text) {
            if (index++ != 0) out += kSeparator;
            if (onFail == EnumValuesOnFail::Throw) throw LookupException();
            out += text;
        });
    return Value(std::move(out));
}

Value EnumValuesArrayImpl<long long>::ReverseLookup(const Value& value) const {
    if (!value.Exists(Value::Type::String)) return value;
    std::vector<std::int64_t> codes;
    const auto parts = strings::basic::Split(value.Get<std::string>(), kSeparator);
    codes.reserve(parts.size());
    for (std::size_t index = 0; index < parts.size(); ++index) {
        std::optional<long long> code;
        if (index < elements_.size()) {
            const auto& [dictionary, strategy] = elements_[index];
            code = ReverseMatcher<long long>(dictionary, strategy == EnumValuesStrategy::BitMask)
                       .Match(parts[index]);
        }
        if (!code) {
            // A position shown as its number reads back as that number.
            long long number = 0;
            if (!ParseIntegerCode(parts[index], number)) return Value();
            code = number;
        }
        codes.push_back(*code);
    }
    return Value(std::move(codes));
}

Value EnumValuesArrayImpl<long long>::RangeLookup(const Value& /*value*/) const {
    return Value();
}

}  // namespace meta::detail
