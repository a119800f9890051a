#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "varrow/api/export.h"

namespace meta::detail {

// The item name of a PNG text keyword: the registered keywords have fixed
// names ("Creation Time" is "CreationTime", "Warning" is "PNGWarning",
// "Raw profile type 8bim" is "Photoshop_Profile"); any
// other keyword keeps its letters, digits, '-' and '_', with each word after
// a space and the first character capitalised ("Raw profile type ipac" is
// "RawProfileTypeIpac", "date:create" is "Datecreate"). Empty when nothing is
// left.
VARROW_API std::string PngTextItemName(std::string_view keyword);

// "2008-12-15T02:16:31-08:00" as "2008:12:15 02:16:31-08:00": the date's
// dashes and the 'T' of an XMP date in EXIF form. Other text is returned as
// it is.
VARROW_API std::string XmpDateAsExif(std::string_view text);

// tEXt and zTXt text is ISO 8859-1: every byte from 0x80 becomes a
// two-byte UTF-8 sequence.
VARROW_API std::string Latin1ToUtf8(std::string_view text);

// Where a raw profile's hexadecimal data starts: the text must open with a
// line feed, the profile name line and a line holding the decimal length,
// exactly what the pattern ^\n((?:.|\s)*?)\n\s*(\d+)\n matches (the name
// ends at the first line feed after which that length line follows). Runs in
// time linear in the text.
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
