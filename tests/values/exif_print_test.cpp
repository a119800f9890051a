#include "varrow/values/conversions/exif_print.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace meta::detail {
namespace {

using namespace std::string_literals;
using U8s = std::vector<std::uint8_t>;

std::vector<meta::byte> Binary(const std::string& s) {
    std::vector<meta::byte> out;
    for (char c : s) out.push_back(static_cast<meta::byte>(c));
    return out;
}

TEST(ExifBinaryNotice, SizedByTheBytesInTheFile) {
    EXPECT_EQ(ToBinaryNotice(Value(Binary("\0\0\0\0"s))), "(Binary data 4 bytes, use -b option to extract)");
    EXPECT_EQ(ToBinaryNotice(Value(U8s{190, 188, 0, 0})), "(Binary data 4 bytes, use -b option to extract)");
    EXPECT_EQ(ToBinaryNotice(Value(std::vector<std::uint16_t>(768, 1))),
              "(Binary data 1536 bytes, use -b option to extract)");
    EXPECT_EQ(ToBinaryNotice(Value(std::vector<std::uint32_t>{1, 2, 3})),
              "(Binary data 12 bytes, use -b option to extract)");
    EXPECT_EQ(ToBinaryNotice(Value(std::vector<Fraction>{{1, 2}, {3, 4}})),
              "(Binary data 16 bytes, use -b option to extract)");
    EXPECT_EQ(ToBinaryNotice(Value(std::uint16_t{7})), "(Binary data 2 bytes, use -b option to extract)");
}

TEST(ExifVersionText, BytesAsCharactersWithoutNuls) {
    EXPECT_EQ(VersionBytesToText(Value(Binary("0221"))), "0221");
    EXPECT_EQ(VersionBytesToText(Value(Binary("\0\x02\x02\0"s))), "\x02\x02");
    EXPECT_EQ(VersionBytesToText(Value(Binary("\0\x01\0\0"s))), "\x01");
    EXPECT_EQ(VersionBytesToText(Value(U8s{'0', '1', '0', '0'})), "0100");
    EXPECT_EQ(VersionBytesToText(Value(Binary(""))), "");
    // Not byte data: refused, so the bound conversion yields no value.
    EXPECT_THROW(VersionBytesToText(Value("0221")), ValueException);
}

TEST(ExifHexString, CaseAndEveryByteValue) {
    U8s const id{0xf6, 0x1c, 0x32, 0x53, 0x00, 0x0a, 0xff};
    EXPECT_EQ(ToUpperHexString(Value(id)), "F61C3253000AFF");
    EXPECT_EQ(ToLowerHexString(Value(id)), "f61c3253000aff");
    EXPECT_EQ(ToLowerHexString(Value(Binary("\x04\xb3"s))), "04b3");
    EXPECT_EQ(ToUpperHexString(Value(std::uint8_t{0x0b})), "0B");
    EXPECT_EQ(ToLowerHexString(Value(U8s{})), "");
}

TEST(ExifIsoDate, DateAndTimeSeparatorsOnly) {
    EXPECT_EQ(IsoDateToExif("2020-10-27T18:21:44Z"), "2020:10:27 18:21:44Z");
    EXPECT_EQ(IsoDateToExif("2020-10-27T18:21:44+02:00"), "2020:10:27 18:21:44+02:00");
    EXPECT_EQ(IsoDateToExif("2020-10-27"), "2020:10:27");
    // Anything that does not begin with a full date stays as it is.
    EXPECT_EQ(IsoDateToExif("2020:10:27 18:21:44"), "2020:10:27 18:21:44");
    EXPECT_EQ(IsoDateToExif("2020-10"), "2020-10");
    EXPECT_EQ(IsoDateToExif("20x0-10-27T00:00"), "20x0-10-27T00:00");
    EXPECT_EQ(IsoDateToExif(""), "");
}

TEST(ExifCFAPlaneColor, NamesJoinedByCommas) {
    EXPECT_EQ(PrintCFAPlaneColor(Value(U8s{0, 1, 2})), "Red,Green,Blue");
    EXPECT_EQ(PrintCFAPlaneColor(Value(U8s{3, 4, 5, 6})), "Cyan,Magenta,Yellow,White");
    EXPECT_EQ(PrintCFAPlaneColor(Value(U8s{1, 9})), "Green,9");
    EXPECT_EQ(PrintCFAPlaneColor(Value(std::uint8_t{2})), "Blue");
}

}  // namespace
}  // namespace meta::detail
