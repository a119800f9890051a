#pragma once

// Internal to the lookups: reading the codes a value holds.

#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <vector>

#include "varrow/util/byte.h"
#include "varrow/values/value.h"

namespace meta::detail {

// Text codes padded with NULs (fixed-size ASCII fields) mean the text before
// the padding.
inline std::string_view TrimTrailingNuls(std::string_view text) noexcept {
    while (!text.empty() && text.back() == '\0') text.remove_suffix(1);
    return text;
}

inline bool IsAsciiSpace(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One integer, allowing white space (and NUL padding) around it.
template <typename T>
bool ParseIntegerCode(std::string_view text, T& code) noexcept {
    text = TrimTrailingNuls(text);
    while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsAsciiSpace(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// Integers separated by white space; at least one.
inline bool ParseIntegerList(std::string_view text, std::vector<long long>& codes) {
    text = TrimTrailingNuls(text);
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && IsAsciiSpace(text[pos])) ++pos;
        if (pos == text.size()) break;
        std::size_t end = pos;
        while (end < text.size() && !IsAsciiSpace(text[end])) ++end;
        long long code = 0;
        if (!ParseIntegerCode(text.substr(pos, end - pos), code)) return false;
        codes.push_back(code);
        pos = end;
    }
    return !codes.empty();
}

// Integer code of one arithmetic element; real numbers are truncated toward
// zero as Value::Convert does, a fraction by integer division.
template <typename T, typename E>
T ElementToInteger(const E& element) {
    if constexpr (std::is_same_v<E, bool>) {
        return element ? 1 : 0;
    } else if constexpr (std::is_integral_v<E>) {
        return static_cast<T>(element);
    } else if constexpr (std::is_floating_point_v<E>) {
        return Value(element).template Convert<T>();
    } else if constexpr (std::is_same_v<E, Fraction>) {
        if (element.denominator == 0) throw ValueException();
        return static_cast<T>(element.numerator / element.denominator);
    } else {
        throw ValueException();
    }
}

// Calls onCode(const T&) with every code `value` holds, in order, and
// onText(std::string_view) for a text that is not a code of type T (a word
// handed to a numeric lookup). A value with several elements (array, binary
// data, sequence, set, references) yields one code per element, except that
// for T = std::vector<long long> an array or binary block is one code. A
// structure or a date throws ValueException.
template <typename T, typename OnCode, typename OnText>
void ReadCodes(const Value& value, OnCode&& onCode, OnText&& onText) {
    value.Visit([&](const auto& held) {
        using H = std::remove_cvref_t<decltype(held)>;
        if constexpr (std::is_same_v<H, std::monostate>) {
            return;
        } else if constexpr (std::is_same_v<H, ValueSequence> || std::is_same_v<H, ValueSet>) {
            for (const Value& element : held) ReadCodes<T>(element, onCode, onText);
        } else if constexpr (std::is_same_v<H, ValueRefSequence>) {
            for (const Value* element : held) {
                if (element != nullptr) ReadCodes<T>(*element, onCode, onText);
            }
        } else if constexpr (std::is_same_v<H, ValueStore> || std::is_same_v<H, DateTime> ||
                             std::is_same_v<H, std::vector<DateTime>>) {
            throw ValueException();
        } else if constexpr (std::is_same_v<T, std::string>) {
            if constexpr (std::is_same_v<H, std::string>) {
                const std::string_view trimmed = TrimTrailingNuls(held);
                if (trimmed.size() == held.size()) {
                    onCode(held);
                } else {
                    onCode(std::string(trimmed));
                }
            } else if constexpr (std::is_same_v<H, LocalisedString> ||
                                 std::is_same_v<H, std::vector<meta::byte>>) {
                const std::string text = value.template Convert<std::string>();
                onCode(std::string(TrimTrailingNuls(text)));
            } else if constexpr (detail::VectorTraits<H>::kIsVector) {
                for (std::size_t i = 0; i < held.size(); ++i) onCode(value.ElementToString(i));
            } else {
                onCode(value.ToString());
            }
        } else if constexpr (std::is_same_v<T, std::vector<long long>>) {
            if constexpr (std::is_same_v<H, std::string> || std::is_same_v<H, LocalisedString>) {
                const std::string text = value.template Convert<std::string>();
                std::vector<long long> codes;
                if (ParseIntegerList(text, codes)) {
                    onCode(codes);
                } else {
                    onText(TrimTrailingNuls(text));
                }
            } else if constexpr (std::is_same_v<H, std::vector<meta::byte>>) {
                std::vector<long long> codes;
                codes.reserve(held.size());
                for (meta::byte b : held) codes.push_back(static_cast<long long>(b));
                onCode(codes);
            } else if constexpr (detail::VectorTraits<H>::kIsVector) {
                std::vector<long long> codes;
                codes.reserve(held.size());
                for (const auto& element : held) {
                    codes.push_back(
                        ElementToInteger<long long>(static_cast<typename H::value_type>(element)));
                }
                onCode(codes);
            } else {
                onCode(std::vector<long long>{ElementToInteger<long long>(held)});
            }
        } else {
            static_assert(std::is_integral_v<T>);
            if constexpr (std::is_same_v<H, std::string> || std::is_same_v<H, LocalisedString>) {
                const auto readText = [&](std::string_view text) {
                    T code{};
                    if (ParseIntegerCode(text, code)) {
                        onCode(code);
                    } else {
                        onText(TrimTrailingNuls(text));
                    }
                };
                if constexpr (std::is_same_v<H, std::string>) {
                    readText(held);
                } else {
                    readText(value.template Convert<std::string>());
                }
            } else if constexpr (std::is_same_v<H, std::vector<meta::byte>>) {
                for (meta::byte b : held) onCode(static_cast<T>(b));
            } else if constexpr (detail::VectorTraits<H>::kIsVector) {
                for (const auto& element : held) {
                    onCode(ElementToInteger<T>(static_cast<typename H::value_type>(element)));
                }
            } else {
                onCode(ElementToInteger<T>(held));
            }
        }
    });
}

}  // namespace meta::detail
