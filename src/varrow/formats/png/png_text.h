#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "varrow/api/export.h"

namespace meta::detail {

// Where a raw profile's hexadecimal data starts. The text must open with a
// line feed, the profile name and a line holding the decimal length: exactly
// what the pattern ^\n((?:.|\s)*?)\n\s*(\d+)\n matches, the name ending at
// the first line feed after which such a length line follows. Runs in time
// linear in the text, where a backtracking pattern engine may not.
struct RawProfileHeader {
    std::string_view name;
    std::string_view length;     // the decimal digits
    std::size_t dataOffset = 0;  // first byte after the length line
};
VARROW_API std::optional<RawProfileHeader> SplitRawProfile(std::string_view text);

// Decodes the hexadecimal data of a raw profile: NUL, LF and CR are skipped,
// every other pair of characters is one byte (digits, a-f, A-F). False for
// any other character; a dangling half byte at the end is dropped.
VARROW_API bool DecodeRawProfileHex(std::string_view hex, std::string& bytes);

}  // namespace meta::detail
