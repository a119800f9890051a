#include "varrow/values/exif_values.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <string>

namespace meta {
namespace {

ExifType Code(std::uint32_t code) {
    return static_cast<ExifType>(code);
}

TEST(ExifType, Names) {
    const std::array<const char*, 25> names = {
        "Unknown type", "BYTE",       "ASCII",      "SHORT",       "LONG",   "RATIONAL", "SBYTE",
        "UNDEFINED",    "SSHORT",     "SLONG",      "SRATIONAL",   "FLOAT",  "DOUBLE",   "IFD",
        "SSHORTFIXED",  "SLONGFIXED", "SHORTFIXED", "LONGFIXED",   "RSHORT", "CHAR",     "UTF16",
        "REL_OFFSET",   "ABS_OFFSET", "RATIONAL16", "SRATIONAL16",
    };
    for (std::uint32_t code = 0; code < names.size(); ++code) EXPECT_EQ(ToString(Code(code)), names[code]);
    EXPECT_EQ(ToString(Code(25)), "");
    EXPECT_EQ(ToString(Code(0xFFFFFFFF)), "");

    std::ostringstream os;
    os << ExifType::SRational << '|' << Code(99) << '|' << ExifType::Unknown;
    EXPECT_EQ(os.str(), "SRATIONAL||Unknown type");
}

TEST(ExifType, ElementSizes) {
    const std::array<std::size_t, 25> sizes = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8,
                                               4, 2, 4, 2, 4, 2, 1, 2, 4, 4, 4, 4};
    for (std::uint32_t code = 0; code < sizes.size(); ++code) {
        EXPECT_EQ(GetExifTypeSize(Code(code)), sizes[code]) << code;
        EXPECT_EQ(IsKnownExifType(Code(code)), code != 0) << code;
    }
    EXPECT_EQ(GetExifTypeSize(Code(25)), 0U);
    EXPECT_EQ(GetExifTypeSize(Code(0x80000003)), 0U);
    EXPECT_FALSE(IsKnownExifType(Code(25)));
    static_assert(GetExifTypeSize(ExifType::Rational) == 8);
}

TEST(CreateExifValue, EveryCode) {
    EXPECT_EQ(CreateExifValue(ExifType::Unknown), nullptr);
    EXPECT_EQ(CreateExifValue(Code(25)), nullptr);
    EXPECT_EQ(CreateExifValue(Code(0xFFFFFFFF)), nullptr);
    for (std::uint32_t code = 1; code <= 24; ++code) {
        const auto value = CreateExifValue(Code(code));
        ASSERT_NE(value, nullptr) << code;
        // Directory offsets and the offset codes are LONGs.
        const bool isLong = code == 13 || code == 21 || code == 22;
        EXPECT_EQ(value->GetType(), isLong ? ExifType::Long : Code(code)) << code;
        EXPECT_EQ(value->GetValueCount(), 0U) << code;
        EXPECT_EQ(value->ToString(), "") << code;
    }
    EXPECT_NE(dynamic_cast<ExifLongValue*>(CreateExifValue(ExifType::Ifd).get()), nullptr);
    EXPECT_NE(dynamic_cast<IntegralExifValue*>(CreateExifValue(ExifType::RShort).get()), nullptr);
    EXPECT_NE(dynamic_cast<BaseRationalExifValue*>(CreateExifValue(ExifType::SLongFixed).get()), nullptr);
    EXPECT_NE(dynamic_cast<BaseFloatingExifValue*>(CreateExifValue(ExifType::Float).get()), nullptr);
    EXPECT_NE(dynamic_cast<CharExifValue*>(CreateExifValue(ExifType::Utf16).get()), nullptr);
}

// The size table and the readers must agree, since directory readers use the
// table to find where a value lives and how big it is.
TEST(CreateExifValue, ReadersConsumeTheTabulatedSize) {
    const std::string data(64, '\x01');
    for (std::uint32_t code = 1; code <= 24; ++code) {
        const auto value = CreateExifValue(Code(code));
        std::istringstream is(data);
        // Text types and UTF-16 are read by byte count.
        const bool byBytes = code == 2 || code == 7 || code == 19 || code == 20;
        const std::size_t count = byBytes ? 6 : 3;
        ASSERT_TRUE(value->Read(is, count, ByteOrder::LittleEndian)) << code;
        const auto consumed = static_cast<std::size_t>(is.tellg());
        EXPECT_EQ(consumed, byBytes ? 6 : 3 * GetExifTypeSize(Code(code))) << code;
        if (!byBytes) {
            EXPECT_EQ(value->GetValueCount(), 3U) << code;
        }
    }
}

// What each numeric format becomes as a Value, for one and for several
// elements.
TEST(CreateExifValue, ToMetaValueAlternatives) {
    using T = Value::Type;
    struct Case {
        ExifType type;
        T scalar;
        T array;
    };
    const Case cases[] = {
        {ExifType::Byte, T::U8, T::U8Array},
        {ExifType::Short, T::U16, T::U16Array},
        {ExifType::Long, T::U32, T::U32Array},
        {ExifType::Rational, T::Fraction, T::FractionArray},
        {ExifType::SByte, T::S8, T::S8Array},
        {ExifType::SShort, T::S16, T::S16Array},
        {ExifType::SLong, T::S32, T::S32Array},
        {ExifType::SRational, T::Fraction, T::FractionArray},
        {ExifType::Float, T::Float, T::FloatArray},
        {ExifType::Double, T::Double, T::DoubleArray},
        {ExifType::Ifd, T::U32, T::U32Array},
        {ExifType::SShortFixed, T::Fraction, T::FractionArray},
        {ExifType::SLongFixed, T::Fraction, T::FractionArray},
        {ExifType::ShortFixed, T::Fraction, T::FractionArray},
        {ExifType::LongFixed, T::Fraction, T::FractionArray},
        {ExifType::RShort, T::U16, T::U16Array},
        {ExifType::RelOffset, T::U32, T::U32Array},
        {ExifType::AbsOffset, T::U32, T::U32Array},
        {ExifType::Rational16, T::Fraction, T::FractionArray},
        {ExifType::SRational16, T::Fraction, T::FractionArray},
    };
    const std::string data(32, '\x02');
    for (const Case& c : cases) {
        const auto value = CreateExifValue(c.type);
        EXPECT_EQ(value->ToMetaValue().GetType(), c.scalar) << c.type;
        ASSERT_TRUE(value->Read(data.data(), 1, ByteOrder::BigEndian));
        EXPECT_EQ(value->ToMetaValue().GetType(), c.scalar) << c.type;
        ASSERT_TRUE(value->Read(data.data(), 2, ByteOrder::BigEndian));
        const Value array = value->ToMetaValue();
        EXPECT_EQ(array.GetType(), c.array) << c.type;
        EXPECT_EQ(array.Length(), 2U) << c.type;
        EXPECT_EQ(std::move(*value).ToMetaValue(), array) << c.type;
        EXPECT_EQ(value->GetValueCount(), 0U) << c.type;
    }
    for (ExifType text : {ExifType::Ascii, ExifType::Char, ExifType::Utf16}) {
        EXPECT_EQ(CreateExifValue(text)->ToMetaValue().GetType(), T::String) << text;
    }
    EXPECT_EQ(CreateExifValue(ExifType::Undefined)->ToMetaValue().GetType(), T::Binary);
}

}  // namespace
}  // namespace meta
