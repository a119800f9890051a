#pragma once

// Display forms of standard EXIF/GPS tags that have no lookup.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/util/byte.h"
#include "varrow/values/conversions/arithmetic_string.h"
#include "varrow/values/value.h"

namespace meta::detail {

// "2.2.0.0" for GPSVersionID, DNGVersion and the like.
VARROW_API std::string ToDottedVersionString(const std::vector<std::uint64_t>& parts);
// "1.02" for a major and minor number pair (JFIF and similar versions); the
// parts joined by "." when there are not exactly two.
VARROW_API std::string ToMajorMinorVersionString(const std::vector<std::uint64_t>& parts);

// The text of a UserComment-style record: an 8-byte character code ("ASCII",
// "UNICODE", "JIS" or all NULs) followed by the text. UTF-16 text is read in
// the byte order its zero bytes reveal; other text ends at its first NUL.
// Without a known code the whole record is taken as text.
VARROW_API std::string DecodeCharsetText(const std::vector<meta::byte>& record);

// The value with the ExifTool-style number form ("3.75", "72.36649215") and
// the unit appended; "inf" and "undef" stay bare.
VARROW_API std::string ToUnitString(const Value& v, UnitSuffix suffix);

template <UnitSuffix S>
std::string ToUnitString(const Value& v) {
    return ToUnitString(v, S);
}

// The placeholder shown for data too long to print:
// "(Binary data <size> bytes, use -b option to extract)".
VARROW_API std::string BinaryDataNotice(std::size_t size);
// Offset and byte-count lists: their space-separated text when it has at
// most 32 characters, else the placeholder for that text's size.
VARROW_API std::string ToShortListOrNotice(const Value& v);
// The placeholder for 16-bit tables such as ColorMap, sized by their bytes.
VARROW_API std::string ToU16TableNotice(const Value& v);

// The elements of a numeric list joined by ", " (ISO speed lists).
VARROW_API std::string ToCommaList(const Value& v);

// The placeholder for tags that hold opaque data whatever their size, sized
// by the bytes the value takes in the file (two per 16-bit element and so on).
VARROW_API std::string ToBinaryNotice(const Value& v);

// ExifVersion-style 4-byte versions: the bytes as characters, NULs left out
// ("0221"; 00 02 02 00 gives the two control characters).
VARROW_API std::string VersionBytesToText(const Value& v);

// The bytes of an identifier or digest as hexadecimal digits, upper- or
// lower-case, without separators.
VARROW_API std::string ToUpperHexString(const Value& v);
VARROW_API std::string ToLowerHexString(const Value& v);

// An ISO 8601 date-time ("2020-10-27T18:21:44Z") in the EXIF form
// ("2020:10:27 18:21:44Z"); a text that does not start with a date is kept.
VARROW_API std::string IsoDateToExif(const std::string& text);

// DNG CFAPlaneColor: the plane colour codes named and joined by commas
// ("Red,Green,Blue"); an unknown code shows as its number.
VARROW_API std::string PrintCFAPlaneColor(const Value& v);

}  // namespace meta::detail
