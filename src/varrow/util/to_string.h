#pragma once

#include <charconv>
#include <concepts>
#include <cstddef>
#include <iterator>
#include <locale>
#include <sstream>
#include <string>
#include <string_view>
#include <type_traits>

#include "varrow/api/export.h"

namespace meta::strings {

// Tag selecting hexadecimal output: ToString(271, AsHex) is "0x010f".
struct AsHexT {
    explicit AsHexT() = default;
};
inline constexpr AsHexT AsHex{};

namespace detail {

template <typename T>
concept PlainInteger =
    std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char> && !std::same_as<T, wchar_t> &&
    !std::same_as<T, char8_t> && !std::same_as<T, char16_t> && !std::same_as<T, char32_t>;

template <typename T>
concept HexPrintable = PlainInteger<T> || std::is_enum_v<T>;

template <typename T>
struct UnsignedOf {
    using type = std::make_unsigned_t<T>;
};
template <typename T>
requires std::is_enum_v<T>
struct UnsignedOf<T> {
    using type = std::make_unsigned_t<std::underlying_type_t<T>>;
};

}  // namespace detail

// "true" or "false".
VARROW_API std::string ToString(bool value);
// Fifteen significant digits in the shortest of fixed and scientific
// notation, trailing zeros removed (0.1 -> "0.1", 1e20 -> "1e+20"); the
// decimal point is always '.', whatever the process locale.
VARROW_API std::string ToString(double value);

// Decimal form of an integer.
template <detail::PlainInteger T>
std::string ToString(T value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// "0x" and the value in lower-case hexadecimal, zero-padded to at least four
// digits. Negative values print as their two's complement of the type's width.
template <detail::HexPrintable T>
std::string ToString(T value, AsHexT) {
    using U = typename detail::UnsignedOf<T>::type;
    constexpr char kDigits[] = "0123456789abcdef";
    auto bits = static_cast<U>(value);
    char buffer[2 + 2 * sizeof(U) + 4];
    char* end = buffer + sizeof buffer;
    char* p = end;
    do {
        *--p = kDigits[static_cast<std::size_t>(bits & 0xFU)];
        bits = static_cast<U>(bits >> 4U);
    } while (bits != 0);
    while (end - p < 4) *--p = '0';
    *--p = 'x';
    *--p = '0';
    return std::string(p, end);
}

// The elements written one after another through their stream operator,
// separated by `separator`. Text elements are appended as they are; other
// elements are printed with the stream's defaults in the classic locale.
template <typename Container>
std::string Join(const Container& container, std::string_view separator) {
    using Element = std::remove_cvref_t<decltype(*std::begin(container))>;
    if constexpr (std::is_convertible_v<const Element&, std::string_view>) {
        std::string out;
        bool first = true;
        for (const auto& element : container) {
            if (!first) out += separator;
            first = false;
            out += std::string_view(element);
        }
        return out;
    } else {
        std::ostringstream out;
        out.imbue(std::locale::classic());
        bool first = true;
        for (const auto& element : container) {
            if (!first) out << separator;
            first = false;
            out << element;
        }
        return out.str();
    }
}

}  // namespace meta::strings
