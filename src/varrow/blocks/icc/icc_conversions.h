#pragma once

// Conversions of ICC profile fields, bound into the header and tag tables. Each takes the raw (or converted)
// value and the read store and throws ValueException for a value it cannot convert; the item then falls back
// to the lower level.

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace meta {

struct ReadStore;

// Value level of the four-character signature fields. ICC signatures are
// padded with spaces, which the ASCII reader trims: the padding is put back
// so that "RGB " and "HP  " keep their stored form and match the lookups.
// An empty text (an all-zero field) stays empty.
VARROW_API Value IccSignatureText(Value const& value, ReadStore& store);

// Display of the 16-bit version field: major.minor.bug-fix, e.g. "2.1.0"
// for 0x0210 (major in the first byte, minor and bug-fix in the nibbles of
// the second).
VARROW_API Value IccProfileVersionText(Value const& value, ReadStore& store);

// Value level of the creation date: six 16-bit numbers (year, month, day,
// hours, minutes, seconds) as a DateTime without zone.
VARROW_API Value IccProfileDateTime(Value const& value, ReadStore& store);

// Display of the CMM flags: whether the profile is embedded and whether it
// may be used independently of the embedded colour data.
VARROW_API Value IccCmmFlagsText(Value const& value, ReadStore& store);

// Display of the 64-bit device attributes, read as two 32-bit numbers; the
// four defined bits live in the low-order word: "Reflective, Glossy,
// Positive, Color" for all bits clear.
VARROW_API Value IccDeviceAttributesText(Value const& value, ReadStore& store);

// Display of the 16-byte profile ID (an MD5 digest): "0" when it is all
// zero (not computed), otherwise 32 lower-case hex digits.
VARROW_API Value IccProfileIdText(Value const& value, ReadStore& store);

// Display of s15Fixed16 and u16Fixed16 numbers (the illuminant of the
// header, chromatic adaptation matrices): each rounded to five decimals,
// the precision the 16-bit fraction carries, so 0xF6D6/65536 shows as
// 0.9642 rather than 0.96420288... A DoubleArray.
VARROW_API Value IccRoundedFixed(Value const& value, ReadStore& store);

}  // namespace meta
