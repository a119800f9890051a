#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "varrow/blocks/iptc/create_iptc_value.h"
#include "varrow/blocks/iptc/iptc_integral_value.h"
#include "varrow/blocks/iptc/iptc_text_encoding.h"
#include "varrow/blocks/iptc/iptc_text_values.h"

namespace meta {
namespace {

// Reads `bytes` through both forms and checks they agree on the raw value.
Value ReadBoth(IptcType type, std::string const& bytes, unsigned long minLength = 0,
               unsigned long maxLength = 0) {
    auto fromMemory = CreateIptcValue(type);
    auto fromStream = CreateIptcValue(type);
    EXPECT_TRUE(
        fromMemory->Read(bytes.data(), static_cast<unsigned long>(bytes.size()), minLength, maxLength));
    std::istringstream in(bytes);
    EXPECT_TRUE(fromStream->Read(in, static_cast<unsigned long>(bytes.size()), minLength, maxLength));
    EXPECT_EQ(fromMemory->ToMetaValue(), fromStream->ToMetaValue());
    EXPECT_EQ(fromMemory->ToString(), fromStream->ToString());
    return std::move(*fromMemory).ToMetaValue();
}

TEST(IptcValue, FactoryMakesOneClassPerType) {
    for (std::uint32_t n = 1; n <= 6; ++n) {
        auto value = CreateIptcValue(static_cast<IptcType>(n));
        ASSERT_NE(value, nullptr) << n;
        EXPECT_EQ(static_cast<std::uint32_t>(value->GetType()), n);
    }
    EXPECT_EQ(CreateIptcValue(static_cast<IptcType>(0)), nullptr);
    EXPECT_EQ(CreateIptcValue(static_cast<IptcType>(7)), nullptr);
    EXPECT_EQ(ToString(IptcType::Digits), "DIGITS");
    EXPECT_EQ(ToString(IptcType::Undefined), "UNDEFINED");
    EXPECT_EQ(ToString(static_cast<IptcType>(9)), "");
    EXPECT_NE(dynamic_cast<DigitsIptcValue*>(CreateIptcValue(IptcType::String).get()), nullptr);
}

TEST(IptcValue, IntegralsAreBigEndianAndTruncated) {
    EXPECT_EQ(ReadBoth(IptcType::Short, std::string("\x00\x04", 2)), Value(std::uint16_t{4}));
    EXPECT_EQ(ReadBoth(IptcType::Long, std::string("\x01\x02\x03\x04", 4)), Value(std::uint32_t{0x01020304}));
    // Wider data than the type keeps the low bytes of the big-endian number.
    EXPECT_EQ(ReadBoth(IptcType::Byte, std::string("\x12\x34", 2)), Value(std::uint8_t{0x34}));
    EXPECT_EQ(ReadBoth(IptcType::Short, std::string("\x01\x02\x03", 3)), Value(std::uint16_t{0x0203}));
    // Bytes past the eighth do not count but are consumed.
    std::string const ten("\x00\x00\x00\x00\x00\x00\x00\x07\xFF\xFF", 10);
    EXPECT_EQ(ReadBoth(IptcType::Long, ten), Value(std::uint32_t{7}));
    std::istringstream in(ten + "Z");
    LongIptcValue value;
    ASSERT_TRUE(value.Read(in, 10, 0, 0));
    EXPECT_EQ(in.get(), 'Z');
    // Empty data is zero; 8-bit values print as numbers.
    EXPECT_EQ(ReadBoth(IptcType::Short, ""), Value(std::uint16_t{0}));
    EXPECT_EQ(ByteIptcValue(65).ToString(), "65");
}

TEST(IptcValue, TextKeepsBytesLessTrailingNuls) {
    EXPECT_EQ(ReadBoth(IptcType::String, std::string("Jupiter\0\0", 9)), Value("Jupiter"));
    EXPECT_EQ(ReadBoth(IptcType::String, std::string("a\0b\0", 4)), Value(std::string("a\0b", 3)));
    EXPECT_EQ(ReadBoth(IptcType::Digits, "20090909"), Value("20090909"));
    EXPECT_EQ(ReadBoth(IptcType::String, "    "), Value("    "));
    EXPECT_EQ(ReadBoth(IptcType::String, std::string("\0\0", 2)), Value(""));
    // Text that is not UTF-8 is Windows-1252; UTF-8 stays as it is.
    EXPECT_EQ(ReadBoth(IptcType::String, "\xa9 2004 Tr\x9f\x80"), Value("\u00a9 2004 Tr\u0178\u20ac"));
    EXPECT_EQ(ReadBoth(IptcType::String, "\xc3\xa9t\xc3\xa9"), Value("\u00e9t\u00e9"));
    EXPECT_EQ(detail::Windows1252ToUtf8("\x81\xff"), "\u0081\u00ff");
    StringIptcValue text("abc");
    EXPECT_EQ(std::move(text).GetData(), "abc");
}

TEST(IptcValue, UndefinedKeepsEveryByte) {
    Value const v = ReadBoth(IptcType::Undefined, std::string("\x00\x05\x00", 3));
    ASSERT_EQ(v.GetType(), Value::Type::Binary);
    EXPECT_EQ(v.Length(), 3u);
    UndefinedIptcValue value;
    ASSERT_TRUE(value.Read(std::string(15, 'x').data(), 15, 0, 0));
    EXPECT_EQ(value.ToString(), "(Binary data 15 bytes, use -b option to extract)");
    EXPECT_EQ(UndefinedIptcValue().ToString(), "");
}

TEST(IptcValue, ShortStreamsFailWithoutHugeAllocations) {
    std::istringstream shortText("abc");
    StringIptcValue text;
    EXPECT_FALSE(text.Read(shortText, 4'000'000'000UL, 0, 0));
    EXPECT_TRUE(text.GetData().empty());

    std::istringstream shortBytes("abc");
    UndefinedIptcValue bytes;
    EXPECT_FALSE(bytes.Read(shortBytes, 1UL << 40, 0, 0));
    EXPECT_TRUE(bytes.GetData().empty());

    std::istringstream shortNumber(std::string("\x00\x01", 2));
    ShortIptcValue number;
    EXPECT_FALSE(number.Read(shortNumber, 3, 0, 0));
    std::istringstream shortTail(std::string(9, '\0'));
    EXPECT_FALSE(number.Read(shortTail, 12, 0, 0));  // the skipped tail is missing
}

TEST(IptcValue, LengthBoundsAreReportedNotEnforced) {
    EXPECT_TRUE(IptcValue::LengthIsValid(5, 0, 0));
    EXPECT_TRUE(IptcValue::LengthIsValid(8, 8, 0));
    EXPECT_FALSE(IptcValue::LengthIsValid(7, 8, 0));
    EXPECT_FALSE(IptcValue::LengthIsValid(9, 8, 0));
    EXPECT_TRUE(IptcValue::LengthIsValid(0, 0, 64));
    EXPECT_FALSE(IptcValue::LengthIsValid(65, 0, 64));
    EXPECT_TRUE(IptcValue::LengthIsValid(14, 14, 80));
    EXPECT_FALSE(IptcValue::LengthIsValid(13, 14, 80));
    EXPECT_FALSE(IptcValue::LengthIsValid(81, 14, 80));

    DigitsIptcValue date;
    ASSERT_TRUE(date.Read("2009", 4, 8, 0));  // too short for a date, still read
    EXPECT_FALSE(date.LengthWithinBounds());
    EXPECT_EQ(date.GetData(), "2009");
    ASSERT_TRUE(date.Read("20090909", 8, 8, 0));
    EXPECT_TRUE(date.LengthWithinBounds());
}

}  // namespace
}  // namespace meta
