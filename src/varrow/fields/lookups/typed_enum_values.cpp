#include "varrow/fields/lookups/typed_enum_values.h"

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>
#include <type_traits>

#include "varrow/fields/lookups/code_reader_impl.h"
#include "varrow/fields/lookups/reverse_matcher_impl.h"
#include "varrow/fields/lookups/unknown_text.h"
#include "varrow/util/strings_basic.h"

namespace meta {

EnumValues::~EnumValues() = default;

namespace detail {
namespace {

constexpr std::string_view kSeparator = ", ";

template <typename T>
inline constexpr bool kIntegral = std::is_integral_v<T>;

template <typename T>
void AppendCode(const T& code, std::string& out) {
    if constexpr (kIntegral<T>) {
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, code);
        out.append(buffer, result.ptr);
    } else if constexpr (std::is_same_v<T, std::string>) {
        out += code;
    } else {
        for (std::size_t i = 0; i < code.size(); ++i) {
            if (i != 0) out += ' ';
            AppendCode(code[i], out);
        }
    }
}

// The text shown for a code that could not even be read as a code (a word
// handed to a numeric lookup): the failure modes that print the code print
// the text instead.
void AppendUnreadable(std::string_view text, EnumValuesOnFail onFail, std::string& out) {
    switch (onFail) {
        case EnumValuesOnFail::Empty: return;
        case EnumValuesOnFail::Unknown:
            out += "Unknown (";
            out += text;
            out += ')';
            return;
        case EnumValuesOnFail::None: out += "(none)"; return;
        case EnumValuesOnFail::Throw: throw LookupException();
        case EnumValuesOnFail::Identity:
        case EnumValuesOnFail::Default: break;
    }
    out += text;
}

template <typename T>
Value CodeToValue(const T& code) {
    if constexpr (std::is_same_v<T, long long>) {
        return Value(static_cast<std::int64_t>(code));
    } else if constexpr (std::is_same_v<T, unsigned long long>) {
        return Value(static_cast<std::uint64_t>(code));
    } else if constexpr (std::is_same_v<T, std::string>) {
        return Value(code);
    } else {
        return Value(std::vector<std::int64_t>(code.begin(), code.end()));
    }
}

template <typename T>
Value CodesToValue(const std::vector<T>& codes) {
    if constexpr (kIntegral<T>) {
        using Held = std::conditional_t<std::is_signed_v<T>, std::int64_t, std::uint64_t>;
        return Value(std::vector<Held>(codes.begin(), codes.end()));
    } else {
        ValueSequence sequence;
        sequence.reserve(codes.size());
        for (const T& code : codes) sequence.push_back(CodeToValue(code));
        return Value(std::move(sequence));
    }
}

}  // namespace

template <typename T>
EnumValuesImpl<T>::EnumValuesImpl(DictionaryType dictionary, EnumValuesStrategy strategy)
    : dictionary_(std::move(dictionary)),
      strategy_(strategy),
      default_(Default::identity()),
      implicitDefault_(true) {}

template <typename T>
EnumValuesImpl<T>::EnumValuesImpl(DictionaryType dictionary, EnumValuesStrategy strategy,
                                  Default defaultHandler)
    : dictionary_(std::move(dictionary)),
      strategy_(strategy),
      default_(std::move(defaultHandler)),
      implicitDefault_(false) {}

template <typename T>
std::string EnumValuesImpl<T>::CodeToString(const T& code) {
    std::string out;
    AppendCode(code, out);
    return out;
}

template <typename T>
std::string EnumValuesImpl<T>::UnknownText(const T& code) {
    std::string out = "Unknown (";
    AppendCode(code, out);
    out += ')';
    return out;
}

template <typename T>
std::string EnumValuesImpl<T>::ThrowLookup(const T& /*code*/) {
    throw LookupException();
}

template <typename T>
void EnumValuesImpl<T>::AppendFailure(const T& code, EnumValuesOnFail onFail, std::string& out) const {
    // The implicit default is identity(); printing directly spares the call
    // through std::function and its temporary string.
    if (onFail == EnumValuesOnFail::Default && implicitDefault_) onFail = EnumValuesOnFail::Identity;
    switch (onFail) {
        case EnumValuesOnFail::Empty: return;
        case EnumValuesOnFail::Identity: AppendCode(code, out); return;
        case EnumValuesOnFail::Unknown:
            out += "Unknown (";
            AppendCode(code, out);
            out += ')';
            return;
        case EnumValuesOnFail::None: out += "(none)"; return;
        case EnumValuesOnFail::Throw: throw LookupException();
        case EnumValuesOnFail::Default: out += default_.Generate(code); return;
    }
    // A number outside the enumeration is treated as the lookup's own default.
    out += default_.Generate(code);
}

template <typename T>
void EnumValuesImpl<T>::AppendText(const T& code, EnumValuesOnFail onFail, std::string& out) const {
    if constexpr (kIntegral<T>) {
        if (strategy_ == EnumValuesStrategy::BitMask) {
            const auto bits = static_cast<std::uint64_t>(code);
            if (bits == 0) {
                AppendFailure(code, onFail, out);
                return;
            }
            bool first = true;
            for (unsigned bit = 0; bit < 64; ++bit) {
                if (((bits >> bit) & 1U) == 0) continue;
                if (!first) out += kSeparator;
                first = false;
                const auto it = dictionary_.find(static_cast<T>(bit));
                if (it != dictionary_.end()) {
                    out += it->second;
                } else {
                    out += '[';
                    AppendCode(bit, out);
                    out += ']';
                }
            }
            return;
        }
    }
    const auto it = dictionary_.find(code);
    if (it != dictionary_.end()) {
        out += it->second;
    } else {
        AppendFailure(code, onFail, out);
    }
}

template <typename T>
std::string EnumValuesImpl<T>::DirectLookup(const T& code, EnumValuesOnFail onFail) const {
    std::string out;
    AppendText(code, onFail, out);
    return out;
}

template <typename T>
std::string EnumValuesImpl<T>::DirectLookup(const T& code) const {
    EnumValuesOnFail onFail = EnumValuesOnFail::Default;
    if (implicitDefault_) {
        onFail = strategy_ == EnumValuesStrategy::BitMask && kIntegral<T> ? EnumValuesOnFail::None
                                                                          : EnumValuesOnFail::Unknown;
    }
    return DirectLookup(code, onFail);
}

template <typename T>
std::vector<std::string> EnumValuesImpl<T>::DirectRangeLookup(const T& code) const {
    std::vector<std::string> texts;
    if (strategy_ != EnumValuesStrategy::Whole) return texts;
    const auto [first, last] = dictionary_.equal_range(code);
    for (auto it = first; it != last; ++it) texts.emplace_back(it->second);
    return texts;
}

template <typename T>
typename EnumValuesImpl<T>::Default EnumValuesImpl<T>::GetDefaultHandler(EnumValuesOnFail onFail) const {
    switch (onFail) {
        case EnumValuesOnFail::Empty: return Default::empty();
        case EnumValuesOnFail::Identity: return Default::identity();
        case EnumValuesOnFail::Unknown: return Default::unknown();
        case EnumValuesOnFail::None: return Default::none();
        case EnumValuesOnFail::Throw: return Default::thrower();
        case EnumValuesOnFail::Default: break;
    }
    return default_;
}

template <typename T>
Value EnumValuesImpl<T>::Lookup(const Value& value) const {
    return Lookup(value, EnumValuesOnFail::Default);
}

template <typename T>
Value EnumValuesImpl<T>::Lookup(const Value& value, EnumValuesOnFail onFail) const {
    if (!value.Exists()) return Value();
    std::string out;
    bool first = true;
    ReadCodes<T>(
        value,
        [&](const T& code) {
            if (!first) out += kSeparator;
            first = false;
            AppendText(code, onFail, out);
        },
        [&](std::string_view text) {
            if (!first) out += kSeparator;
            first = false;
            AppendUnreadable(text, onFail, out);
        });
    return Value(std::move(out));
}

template <typename T>
Value EnumValuesImpl<T>::RangeLookup(const Value& value) const {
    if (strategy_ != EnumValuesStrategy::Whole || !value.Exists()) return Value();
    ValueSequence texts;
    ReadCodes<T>(
        value,
        [&](const T& code) {
            const auto [begin, end] = dictionary_.equal_range(code);
            for (auto it = begin; it != end; ++it) texts.emplace_back(it->second);
        },
        [](std::string_view /*text*/) {});
    return Value(std::move(texts));
}

template <typename T>
Value EnumValuesImpl<T>::ReverseLookup(const Value& value) const {
    if (!value.Exists(Value::Type::String)) return value;
    const std::string& text = value.Get<std::string>();
    const bool bitMask = kIntegral<T> && strategy_ == EnumValuesStrategy::BitMask;
    ReverseMatcher<T> matcher(dictionary_, bitMask);

    if (text.find(kSeparator) == std::string::npos) {
        auto code = matcher.Match(text);
        return code ? CodeToValue(*code) : Value();
    }
    // A whole text that names an entry is taken as it is, although it
    // contains the separator (many texts do: "Fired, Return detected").
    if (auto code = matcher.MatchWhole(text)) return CodeToValue(*code);
    std::vector<T> codes;
    for (std::string_view part : strings::basic::Split(text, kSeparator)) {
        auto code = matcher.Match(part);
        if (!code) return Value();
        codes.push_back(std::move(*code));
    }
    if constexpr (kIntegral<T>) {
        if (bitMask) {
            T combined = 0;
            for (const T& code : codes) combined |= code;
            return CodeToValue(combined);
        }
    }
    return CodesToValue(codes);
}

template class EnumValuesImpl<long long>;
template class EnumValuesImpl<unsigned long long>;
template class EnumValuesImpl<std::string>;
template class EnumValuesImpl<std::vector<long long>>;

}  // namespace detail
}  // namespace meta
