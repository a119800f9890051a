#pragma once

#include <array>
#include <cstddef>
#include <iosfwd>
#include <string>

#include "varrow/api/export.h"
#include "varrow/values/exif_type.h"

namespace meta {

// "Unknown type" for 0, "BYTE" ... "SRATIONAL16" for 1 to 24, the empty
// string for any other code.
VARROW_API std::string ToString(ExifType type);
VARROW_API std::ostream& operator<<(std::ostream& os, ExifType type);

namespace detail {
inline constexpr std::array<std::size_t, 25> kExifTypeSizes = {
    0,  // Unknown
    1,  // BYTE
    1,  // ASCII
    2,  // SHORT
    4,  // LONG
    8,  // RATIONAL
    1,  // SBYTE
    1,  // UNDEFINED
    2,  // SSHORT
    4,  // SLONG
    8,  // SRATIONAL
    4,  // FLOAT
    8,  // DOUBLE
    4,  // IFD
    2,  // SSHORTFIXED
    4,  // SLONGFIXED
    2,  // SHORTFIXED
    4,  // LONGFIXED
    2,  // RSHORT
    1,  // CHAR
    2,  // UTF16
    4,  // REL_OFFSET
    4,  // ABS_OFFSET
    4,  // RATIONAL16
    4,  // SRATIONAL16
};
}  // namespace detail

// Bytes per element of a format code as laid out in a directory or record
// (so an entry's data size is this times its count); 0 for 0 and for codes
// above 24. Text and opaque values are counted in bytes when read, whatever
// this says: a UTF16 field is two bytes per character in a record layout,
// but its directory count and ExifValue::Read count are byte counts.
constexpr std::size_t GetExifTypeSize(ExifType type) noexcept {
    const auto code = static_cast<std::size_t>(type);
    return code < detail::kExifTypeSizes.size() ? detail::kExifTypeSizes[code] : 0;
}

// True for the codes CreateExifValue knows (1 to 24).
constexpr bool IsKnownExifType(ExifType type) noexcept {
    return GetExifTypeSize(type) != 0;
}

}  // namespace meta
