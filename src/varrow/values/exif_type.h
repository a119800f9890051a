#pragma once

#include <cstdint>

namespace meta {

// Format code of a directory entry. 1 to 13 are the TIFF/EXIF field types;
// 14 to 24 are varrow's own codes, used by the field tables to describe
// binary records and maker-note layouts.
enum class ExifType : std::uint32_t {
    Unknown = 0,
    Byte = 1,
    Ascii = 2,
    Short = 3,
    Long = 4,
    Rational = 5,
    SByte = 6,
    Undefined = 7,
    SShort = 8,
    SLong = 9,
    SRational = 10,
    Float = 11,
    Double = 12,
    Ifd = 13,
    SShortFixed = 14,
    SLongFixed = 15,
    ShortFixed = 16,
    LongFixed = 17,
    RShort = 18,
    Char = 19,
    Utf16 = 20,
    RelOffset = 21,
    AbsOffset = 22,
    Rational16 = 23,
    SRational16 = 24,
};

}  // namespace meta
