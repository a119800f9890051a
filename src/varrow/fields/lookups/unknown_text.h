#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace meta::detail {

// Recognises the whole text "Unknown (0x<hex digits>)" or
// "Unknown (<decimal digits>)", the texts a lookup shows for unmatched codes,
// and returns what stands between the parentheses ("0x1F", "12"); nothing for
// any other text. Equivalent to searching with the ECMAScript patterns
// ^Unknown \((0x[0-9A-Fa-f]+)\)$ and ^Unknown \(([0-9]+)\)$ and taking the
// first group, without compiling a regular expression.
std::optional<std::string_view> MatchUnknownText(std::string_view text) noexcept;

// The number of such a text ("0x" means hexadecimal); nothing when the text
// does not match or the number does not fit 64 bits.
std::optional<std::uint64_t> ParseUnknownText(std::string_view text) noexcept;

}  // namespace meta::detail
