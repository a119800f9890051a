#include "varrow/values/exif_values.h"

namespace meta {

std::unique_ptr<ExifValue> CreateExifValue(ExifType type) {
    switch (type) {
        case ExifType::Byte: return std::make_unique<ExifByteValue>();
        case ExifType::Ascii: return std::make_unique<AsciiExifValue>();
        case ExifType::Short: return std::make_unique<ExifShortValue>();
        case ExifType::Long:
        case ExifType::Ifd:
        case ExifType::RelOffset:
        case ExifType::AbsOffset: return std::make_unique<ExifLongValue>();
        case ExifType::Rational: return std::make_unique<ExifRationalValue>();
        case ExifType::SByte: return std::make_unique<ExifSByteValue>();
        case ExifType::Undefined: return std::make_unique<UndefinedExifValue>();
        case ExifType::SShort: return std::make_unique<ExifSShortValue>();
        case ExifType::SLong: return std::make_unique<ExifSLongValue>();
        case ExifType::SRational: return std::make_unique<ExifSRationalValue>();
        case ExifType::Float: return std::make_unique<ExifFloatValue>();
        case ExifType::Double: return std::make_unique<ExifDoubleValue>();
        case ExifType::SShortFixed: return std::make_unique<ExifSShortFixedValue>();
        case ExifType::SLongFixed: return std::make_unique<ExifSLongFixedValue>();
        case ExifType::ShortFixed: return std::make_unique<ExifShortFixedValue>();
        case ExifType::LongFixed: return std::make_unique<ExifLongFixedValue>();
        case ExifType::RShort: return std::make_unique<ExifRShortValue>();
        case ExifType::Char: return std::make_unique<CharExifValue>();
        case ExifType::Utf16: return std::make_unique<Utf16ExifValue>();
        case ExifType::Rational16: return std::make_unique<ExifRational16Value>();
        case ExifType::SRational16: return std::make_unique<ExifSRational16Value>();
        case ExifType::Unknown: break;
    }
    return nullptr;
}

}  // namespace meta
