#include "varrow/values/conversions/bits.h"
#include "varrow/values/conversions/canonicalise.h"
#include "varrow/values/conversions/cfa.h"
#include "varrow/values/conversions/exif_parameter.h"
#include "varrow/values/conversions/exif_print.h"
#include "varrow/values/conversions/lens_info.h"
#include "varrow/values/conversions/rational_list.h"
#include "varrow/values/conversions/tone_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace meta::detail {
namespace {

using namespace std::string_literals;
using Fracs = std::vector<Fraction>;
using Bytes = std::vector<meta::byte>;

Bytes ToBytes(const std::string& s) {
    Bytes out;
    for (char c : s) out.push_back(static_cast<meta::byte>(c));
    return out;
}

TEST(LensInfo, ZoomsPrimesAndUnknownParts) {
    EXPECT_EQ(ToLensInfoString(Fracs{{24, 1}, {70, 1}, {28, 10}, {28, 10}}), "24-70mm f/2.8");
    EXPECT_EQ(ToLensInfoString(Fracs{{50, 1}, {50, 1}, {18, 10}, {18, 10}}), "50mm f/1.8");
    EXPECT_EQ(ToLensInfoString(Fracs{{18, 1}, {55, 1}, {35, 10}, {56, 10}}), "18-55mm f/3.5-5.6");
    EXPECT_EQ(ToLensInfoString(Fracs{{18, 1}, {55, 1}, {0, 0}, {0, 0}}), "18-55mm f/?");
    EXPECT_EQ(ToLensInfoString(Fracs{{0, 1}, {0, 1}, {0, 1}, {0, 1}}), "0mm f/0");
    EXPECT_EQ(ToLensInfoString(Fracs{{1, 0}, {0, 0}, {4, 1}, {0, 0}}), "?mm f/4");
    // Decimals keep ten digits, as other fractions do.
    EXPECT_EQ(ToLensInfoString(Fracs{{1539999962, 1000000000}, {6, 1}, {18, 10}, {24, 10}}),
              "1.539999962-6mm f/1.8-2.4");
    EXPECT_EQ(ToLensInfoString(Fracs{{1, 2}, {3, 1}}), "0.5 3");
    EXPECT_EQ(ToLensInfoString(Fracs{}), "");
}

TEST(LensInfo, ParsedBack) {
    EXPECT_EQ(FromLensInfoString("24-70mm f/2.8-4"), (std::vector<double>{24, 70, 2.8, 4}));
    EXPECT_EQ(FromLensInfoString("50mm f/1.8"), (std::vector<double>{50, 50, 1.8, 1.8}));
    EXPECT_EQ(FromLensInfoString_Strict("24-70mm f/2.8-4"), (std::vector<double>{24, 70, 2.8, 4}));
    EXPECT_THROW(FromLensInfoString_Strict("50mm f/1.8"), ValueException);
    EXPECT_THROW(FromLensInfoString("50 f/1.8"), ValueException);
    EXPECT_THROW(FromLensInfoString("50mm f/1.8 extra"), ValueException);
    EXPECT_THROW(FromLensInfoString(""), ValueException);
    const auto unknown = FromLensInfoString("18-55mm f/?");
    EXPECT_TRUE(std::isnan(unknown[2]) && std::isnan(unknown[3]));

    EXPECT_EQ(FromLensInfoStringAsFracs("18-55mm f/3.5-5.6"), (Fracs{{18, 1}, {55, 1}, {7, 2}, {28, 5}}));
    EXPECT_EQ(FromLensInfoStringAsFracs("18-55mm f/?")[2], Fraction());
    EXPECT_THROW(FromLensInfoStringAsFracs_Strict("18mm f/4"), ValueException);
    for (const std::string text : {"24-70mm f/2.8", "50mm f/1.8", "18-55mm f/3.5-5.6"})
        EXPECT_EQ(ToLensInfoString(FromLensInfoStringAsFracs(text)), text);
}

TEST(RationalList, JoinsAndSplits) {
    EXPECT_EQ(ToRationalList(Fracs{{1, 3}, {5, 1}, {-7, 2}}), "1/3 5 -7/2");
    EXPECT_EQ(ToRationalList(Fracs{}), "");
    EXPECT_EQ(FromRationalList("1/3  4/2 x"), (Fracs{{1, 3}, {4, 2}, {0, 0}}));
    EXPECT_TRUE(FromRationalList("   ").empty());
}

TEST(ExifParameter, WordsBeforeNumbers) {
    EXPECT_EQ(ConvertExifParameter("Normal"), 0U);
    EXPECT_EQ(ConvertExifParameter("soft"), 1U);
    EXPECT_EQ(ConvertExifParameter("Low"), 1U);
    EXPECT_EQ(ConvertExifParameter("HARD"), 2U);
    // n wins over h wherever the words stand; letters inside words do not count.
    EXPECT_EQ(ConvertExifParameter("High normal"), 0U);
    EXPECT_EQ(ConvertExifParameter("xh"), 4294967295U);
    EXPECT_EQ(ConvertExifParameter("+1"), 2U);
    EXPECT_EQ(ConvertExifParameter("-0.5"), 1U);
    EXPECT_EQ(ConvertExifParameter("0"), 0U);
    EXPECT_EQ(ConvertExifParameter("?"), 4294967295U);
}

TEST(Bits, NumbersAndNames) {
    EXPECT_EQ(DecodeBits({5}, 8), "0, 2");
    EXPECT_EQ(DecodeBits({0x80, 1}, 8), "7, 8");
    EXPECT_EQ(DecodeBits({0, 0}, 16), "(none)");
    EXPECT_EQ(DecodeBits({-1}, 0), DecodeBits({-1}, 32));
    const std::map<int, std::string> names = {{0, "A"}, {2, "C"}};
    EXPECT_EQ(DecodeBitsAsStr({5}, names, 8, ", "), "A, C");
    EXPECT_EQ(DecodeBitsAsStr({9}, names, 8, "; "), "A; [3]");
    EXPECT_EQ(DecodeBitsAsStr({}, names, 8), "(none)");

    const Bytes bytes = {meta::byte{0x0f}, meta::byte{0xa0}};
    EXPECT_EQ(UnpackHexBits(bytes.data(), bytes.size()), "0fa0");
    EXPECT_EQ(UnpackHexBits(nullptr, 4), "");
}

TEST(CfaPattern, DecodesEitherByteOrder) {
    const Bytes bigEndian = {meta::byte{0}, meta::byte{2}, meta::byte{0}, meta::byte{2},
                             meta::byte{0}, meta::byte{1}, meta::byte{1}, meta::byte{2}};
    EXPECT_EQ(PrintCFAPattern(Value(bigEndian)), "[Red,Green][Green,Blue]");
    const Bytes littleEndian = {meta::byte{2}, meta::byte{0}, meta::byte{2}, meta::byte{0},
                                meta::byte{1}, meta::byte{4}, meta::byte{5}, meta::byte{3}};
    EXPECT_EQ(PrintCFAPattern(Value(littleEndian)), "[Green,Magenta][Yellow,Cyan]");
    EXPECT_EQ(DecodeCFAPattern(Value(littleEndian), ByteOrder::LittleEndian),
              Value(std::vector<std::uint16_t>{2, 2, 1, 4, 5, 3}));
    // Three columns, one row, and a colour without a name.
    EXPECT_EQ(PrintCFAPattern(Value(std::vector<std::uint16_t>{3, 1, 2, 9, 0})), "[Blue,Unknown(9),Red]");
    EXPECT_EQ(DecodeCFAPattern(Value(Bytes{meta::byte{0}, meta::byte{2}}), ByteOrder::BigEndian),
              Value::None);
    EXPECT_EQ(DecodeCFAPattern(Value(ToBytes("\0\3\0\3ab"s)), ByteOrder::BigEndian), Value::None);
    EXPECT_THROW(PrintCFAPattern(Value("text")), ValueException);
    EXPECT_THROW(PrintCFAPattern(Value(std::vector<std::uint16_t>{2, 2, 0})), ValueException);
}

TEST(ToneCurve, PairsOfPoints) {
    EXPECT_EQ(ToneCurvePrint(std::vector<std::uint16_t>{0, 0, 64, 80, 255, 255}), "(0,0) (64,80) (255,255)");
    EXPECT_EQ(ToneCurvePrint(std::vector<std::uint32_t>{1, 2, 3}), "(1,2) 3");
    EXPECT_EQ(ToneCurvePrint(std::vector<std::uint16_t>{}), "");
}

TEST(Canonicalise, ShortestForms) {
    EXPECT_EQ(CanonicaliseDouble("+01.500"), "1.5");
    EXPECT_EQ(CanonicaliseDouble("2.0"), "2");
    EXPECT_EQ(CanonicaliseDouble("-0"), "0");
    EXPECT_EQ(CanonicaliseDouble(" 0.1 "), "0.1");
    EXPECT_EQ(CanonicaliseDouble("abc"), "abc");
    EXPECT_EQ(CanonicaliseDouble("1.5x"), "1.5x");
    EXPECT_EQ(CanonicaliseDouble("0.1000000015"), "0.1000000015");
    EXPECT_EQ(CanonicaliseFloat("0.1000000015"), "0.1");
    EXPECT_EQ(CanonicaliseFloat("3"), "3");
}

TEST(ExifPrint, VersionsCharsetTextAndUnits) {
    EXPECT_EQ(ToDottedVersionString({2, 2, 0, 0}), "2.2.0.0");
    EXPECT_EQ(ToDottedVersionString({}), "");
    EXPECT_EQ(ToMajorMinorVersionString({1, 2}), "1.02");
    EXPECT_EQ(ToMajorMinorVersionString({2, 10}), "2.10");
    EXPECT_EQ(ToMajorMinorVersionString({1, 2, 3}), "1.2.3");

    EXPECT_EQ(DecodeCharsetText(ToBytes("ASCII\0\0\0Hello\0junk"s)), "Hello");
    EXPECT_EQ(DecodeCharsetText(ToBytes("\0\0\0\0\0\0\0\0   "s)), "   ");
    EXPECT_EQ(DecodeCharsetText(ToBytes("UNICODE\0\0H\0i"s)), "Hi");
    EXPECT_EQ(DecodeCharsetText(ToBytes("UNICODE\0H\0i\0"s)), "Hi");
    EXPECT_EQ(DecodeCharsetText(ToBytes("UNICODE\0\xff\xfe\xe9\0"s)), "\xc3\xa9");
    EXPECT_EQ(DecodeCharsetText(ToBytes("plain text")), "plain text");
    EXPECT_EQ(DecodeCharsetText(ToBytes("ab\0c"s)), "ab");
    EXPECT_EQ(DecodeCharsetText({}), "");

    EXPECT_EQ(ToUnitString(Value(Fraction(375, 100)), UnitSuffix::M), "3.75 m");
    EXPECT_EQ(ToUnitString<UnitSuffix::M>(Value(Fraction(7236649215, 100000000))), "72.36649215 m");
    EXPECT_EQ(ToUnitString<UnitSuffix::Mm>(Value(std::uint16_t{75})), "75 mm");
    EXPECT_EQ(ToUnitString<UnitSuffix::M>(Value(Fraction(0, 0))), "undef");
    EXPECT_EQ(ToUnitString<UnitSuffix::M>(Value(Fraction(1, 0))), "inf");

    // Lists of up to 32 characters print; longer ones are sized like data.
    EXPECT_EQ(ToShortListOrNotice(Value(std::vector<std::uint32_t>{57608, 34168, 86043, 122635, 170480})),
              "57608 34168 86043 122635 170480");
    EXPECT_EQ(ToShortListOrNotice(
                  Value(std::vector<std::uint32_t>{8, 1127, 15735, 31282, 46872, 61187, 71001, 74256})),
              "(Binary data 42 bytes, use -b option to extract)");
    EXPECT_EQ(ToShortListOrNotice(Value(std::uint32_t{940})), "940");
    EXPECT_EQ(ToU16TableNotice(Value(std::vector<std::uint16_t>(768, 1))),
              "(Binary data 1536 bytes, use -b option to extract)");

    EXPECT_EQ(ToCommaList(Value(std::vector<std::uint16_t>{100, 200})), "100, 200");
    EXPECT_EQ(ToCommaList(Value(std::uint16_t{100})), "100");
}

}  // namespace
}  // namespace meta::detail
