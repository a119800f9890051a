#include "varrow/values/exif_value_numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace meta {
namespace {

using Type = Value::Type;
constexpr ByteOrder LE = ByteOrder::LittleEndian;
constexpr ByteOrder BE = ByteOrder::BigEndian;

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out.push_back(static_cast<char>(v));
    return out;
}

// Reads `bytes` both from memory and from a stream and checks that the two
// forms agree on the outcome and the data; returns the memory result.
template <typename V>
V ReadBoth(const std::string& bytes, std::size_t count, ByteOrder order) {
    V fromMemory;
    EXPECT_TRUE(fromMemory.Read(bytes.data(), count, order));
    V fromStream;
    std::istringstream is(bytes);
    EXPECT_TRUE(fromStream.Read(is, count, order));
    EXPECT_EQ(fromMemory.GetData(), fromStream.GetData());
    return fromMemory;
}

TEST(IntegralExifValue, ReadsEachTypeInBothByteOrders) {
    const std::string two = Bytes({0x01, 0x02, 0xFF, 0xFE});
    EXPECT_EQ(ReadBoth<ExifByteValue>(two, 4, BE).GetData(), (std::vector<std::uint8_t>{1, 2, 255, 254}));
    EXPECT_EQ(ReadBoth<ExifSByteValue>(two, 4, LE).GetData(), (std::vector<std::int8_t>{1, 2, -1, -2}));
    EXPECT_EQ(ReadBoth<ExifShortValue>(two, 2, LE).GetData(), (std::vector<std::uint16_t>{0x0201, 0xFEFF}));
    EXPECT_EQ(ReadBoth<ExifShortValue>(two, 2, BE).GetData(), (std::vector<std::uint16_t>{0x0102, 0xFFFE}));
    EXPECT_EQ(ReadBoth<ExifSShortValue>(two, 2, BE).GetData(), (std::vector<std::int16_t>{0x0102, -2}));
    EXPECT_EQ(ReadBoth<ExifLongValue>(two, 1, LE).GetData(), (std::vector<std::uint32_t>{0xFEFF0201U}));
    EXPECT_EQ(ReadBoth<ExifLongValue>(two, 1, BE).GetData(), (std::vector<std::uint32_t>{0x0102FFFEU}));
    EXPECT_EQ(ReadBoth<ExifSLongValue>(Bytes({0xFF, 0xFF, 0xFF, 0xFE}), 1, BE).GetData(),
              (std::vector<std::int32_t>{-2}));
    EXPECT_EQ(ReadBoth<ExifSLongValue>(Bytes({0xFE, 0xFF, 0xFF, 0xFF}), 1, LE).GetData(),
              (std::vector<std::int32_t>{-2}));
}

TEST(IntegralExifValue, RShortIsStoredInTheOppositeOrder) {
    const std::string bytes = Bytes({0x12, 0x34});
    const auto little = ReadBoth<ExifRShortValue>(bytes, 1, LE);
    EXPECT_EQ(little.GetData(0), 0x1234);
    EXPECT_EQ(ReadBoth<ExifRShortValue>(bytes, 1, BE).GetData(0), 0x3412);
    EXPECT_EQ(little.GetType(), ExifType::RShort);
    EXPECT_EQ(little.ToMetaValue().GetType(), Type::U16);
}

TEST(IntegralExifValue, TextForms) {
    const auto shorts = ReadBoth<ExifShortValue>(Bytes({0x00, 0x01, 0xFF, 0xFF}), 2, BE);
    EXPECT_EQ(shorts.ToString(), "1 -1");
    EXPECT_EQ(ExifRShortValue({65535, 7}).ToString(), "-1 7");
    // Only the unsigned 16-bit types spell 65535 as -1.
    EXPECT_EQ(ExifLongValue({65535, 4294967295U}).ToString(), "65535 4294967295");
    EXPECT_EQ(ExifByteValue({0, 255}).ToString(), "0 255");
    EXPECT_EQ(ExifSShortValue({-1, 300}).ToString(), "-1 300");
    EXPECT_EQ(ExifSLongValue({std::numeric_limits<std::int32_t>::min()}).ToString(), "-2147483648");
    // SBYTE elements are characters, not numbers.
    EXPECT_EQ(ExifSByteValue({'A', 'b'}).ToString(), "A b");
    EXPECT_EQ(ExifShortValue().ToString(), "");

    std::ostringstream os;
    os << ExifShortValue({3}) << '|' << ExifByteValue({4, 5});
    EXPECT_EQ(os.str(), "3|4 5");
}

TEST(IntegralExifValue, ValuesAndAccessors) {
    const auto shorts = ReadBoth<ExifShortValue>(Bytes({0x00, 0x01, 0xFF, 0xFF}), 2, BE);
    const Value array = shorts.ToMetaValue();
    ASSERT_EQ(array.GetType(), Type::U16Array);
    EXPECT_EQ(array.Get<std::vector<std::uint16_t>>(), (std::vector<std::uint16_t>{1, 65535}));
    EXPECT_EQ(ExifSByteValue({-3}).ToMetaValue(), Value(std::int8_t{-3}));
    EXPECT_EQ(ExifShortValue().ToMetaValue(), Value(std::uint16_t{0}));

    ExifSShortValue value({-5, 7});
    EXPECT_EQ(value.GetValueAsInt(), -5);
    EXPECT_EQ(value.GetValueAsInt(2), 0);
    EXPECT_EQ(ExifLongValue({4294967295U}).GetValueAsInt(), 4294967295LL);
    EXPECT_TRUE(value.SetData(1, 8));
    EXPECT_FALSE(value.SetData(2, 9));
    EXPECT_EQ(value.GetData(), (std::vector<std::int16_t>{-5, 8}));

    const Value moved = std::move(value).ToMetaValue();
    EXPECT_EQ(moved.Get<std::vector<std::int16_t>>(), (std::vector<std::int16_t>{-5, 8}));
    EXPECT_EQ(value.GetValueCount(), 0U);
}

TEST(RationalExifValue, ReadsPairsAsStored) {
    const std::string bytes = Bytes({0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 4});
    const auto big = ReadBoth<ExifRationalValue>(bytes, 2, BE);
    EXPECT_EQ(big.GetData(), (std::vector<Fraction>{{1, 0}, {2, 4}}));  // neither simplified
    EXPECT_EQ(ReadBoth<ExifRationalValue>(bytes, 1, LE).GetData(0), Fraction(16777216, 0));

    const auto signedBig = ReadBoth<ExifSRationalValue>(Bytes({0xFF, 0xFF, 0xFF, 0xFD, 0, 0, 0, 4}), 1, BE);
    EXPECT_EQ(signedBig.GetData(0), Fraction(-3, 4));
    const auto unsignedBig = ReadBoth<ExifRationalValue>(Bytes({0xFF, 0xFF, 0xFF, 0xFD, 0, 0, 0, 4}), 1, BE);
    EXPECT_EQ(unsignedBig.GetData(0), Fraction(4294967293LL, 4));

    const std::string sixteen = Bytes({0x01, 0x00, 0xFF, 0xFF});
    EXPECT_EQ(ReadBoth<ExifRational16Value>(sixteen, 1, LE).GetData(0), Fraction(1, 65535));
    EXPECT_EQ(ReadBoth<ExifRational16Value>(sixteen, 1, BE).GetData(0), Fraction(256, 65535));
    EXPECT_EQ(ReadBoth<ExifSRational16Value>(sixteen, 1, LE).GetData(0), Fraction(1, -1));
    EXPECT_EQ(ExifSRational16Value().GetType(), ExifType::SRational16);
}

TEST(RationalExifValue, TextFormRestoresThePrecision) {
    EXPECT_EQ(ExifRationalValue({{1, 0}}).ToString(), "inf");
    EXPECT_EQ(ExifSRationalValue({{-1, 0}, {0, 0}}).ToString(), "-inf nan");
    EXPECT_EQ(ExifRationalValue({{1, 3}, {5, 2}, {300, 1}}).ToString(), "0.333333333333333 2.5 300");

    std::ostringstream os;
    os.precision(3);
    os.setf(std::ios_base::fixed, std::ios_base::floatfield);
    ExifRationalValue({{1, 3}}).Write(os);
    os << ' ' << 2.0 / 3.0;
    EXPECT_EQ(os.str(), "0.333333333333333 0.667");
}

TEST(RationalExifValue, ValuesAndDoubles) {
    EXPECT_EQ(ExifRationalValue().ToMetaValue(), Value(Fraction(0, 0)));
    EXPECT_EQ(ExifRationalValue({{2, 4}}).ToMetaValue(), Value(Fraction(2, 4)));
    ExifRationalValue value({{1, 4}, {3, 0}});
    EXPECT_DOUBLE_EQ(value.GetValueAsDouble(), 0.25);
    EXPECT_TRUE(std::isinf(value.GetValueAsDouble(1)));
    EXPECT_EQ(value.GetValueAsDouble(2), 0.0);
}

TEST(FixedExifValue, ScalesAndSimplifies) {
    const auto a = ReadBoth<ExifSShortFixedValue>(Bytes({0x01, 0x80, 0xFF, 0x80}), 2, BE);
    EXPECT_EQ(a.GetData(), (std::vector<Fraction>{{3, 2}, {-1, 2}}));
    EXPECT_EQ(ReadBoth<ExifSShortFixedValue>(Bytes({0x80, 0x01}), 1, LE).GetData(0), Fraction(3, 2));
    EXPECT_EQ(ReadBoth<ExifShortFixedValue>(Bytes({0xFF, 0x80}), 1, BE).GetData(0), Fraction(511, 2));
    EXPECT_EQ(ReadBoth<ExifSLongFixedValue>(Bytes({0x00, 0x01, 0x80, 0x00}), 1, BE).GetData(0),
              Fraction(3, 2));
    EXPECT_EQ(ReadBoth<ExifSLongFixedValue>(Bytes({0x00, 0x00, 0xFF, 0xFF}), 1, LE).GetData(0),
              Fraction(-1, 1));
    EXPECT_EQ(ReadBoth<ExifLongFixedValue>(Bytes({0x00, 0x00, 0xFF, 0xFF}), 1, LE).GetData(0),
              Fraction(65535, 1));
    EXPECT_EQ(ReadBoth<ExifLongFixedValue>(Bytes({0x00, 0x00, 0x00, 0x01}), 1, BE).GetData(0),
              Fraction(1, 65536));
    EXPECT_EQ(ReadBoth<ExifShortFixedValue>(Bytes({0, 0}), 1, BE).GetData(0), Fraction(0, 1));

    EXPECT_EQ(a.GetType(), ExifType::SShortFixed);
    EXPECT_EQ(ExifLongFixedValue().GetType(), ExifType::LongFixed);
    EXPECT_EQ(a.ToString(), "1.5 -0.5");
    EXPECT_EQ(a.ToMetaValue().GetType(), Type::FractionArray);
    EXPECT_EQ(ExifSLongFixedValue({{3, 2}}).ToMetaValue(), Value(Fraction(3, 2)));
}

TEST(FloatingExifValue, ReadsWritesAndConverts) {
    // 1.5f and -0.1 in IEEE 754.
    const auto f = ReadBoth<ExifFloatValue>(Bytes({0x3F, 0xC0, 0x00, 0x00}), 1, BE);
    EXPECT_EQ(f.GetData(0), 1.5F);
    EXPECT_EQ(ReadBoth<ExifFloatValue>(Bytes({0x00, 0x00, 0xC0, 0x3F}), 1, LE).GetData(0), 1.5F);
    const std::string minusTenth = Bytes({0xBF, 0xB9, 0x99, 0x99, 0x99, 0x99, 0x99, 0x9A});
    EXPECT_EQ(ReadBoth<ExifDoubleValue>(minusTenth, 1, BE).GetData(0), -0.1);
    const std::string reversed(minusTenth.rbegin(), minusTenth.rend());
    EXPECT_EQ(ReadBoth<ExifDoubleValue>(reversed, 1, LE).GetData(0), -0.1);

    EXPECT_EQ(ExifFloatValue({3.14159274F, 0.5F}).ToString(), "3.14159 0.5");
    EXPECT_EQ(ExifDoubleValue({1.0 / 3.0, -0.1}).ToString(), "0.333333333333333 -0.1");
    EXPECT_EQ(ExifDoubleValue({std::numeric_limits<double>::quiet_NaN(), -HUGE_VAL}).ToString(), "nan -inf");
    EXPECT_EQ(ExifDoubleValue({-std::numeric_limits<double>::quiet_NaN()}).ToString(), "nan");

    EXPECT_EQ(f.ToMetaValue(), Value(1.5F));
    EXPECT_EQ(ExifDoubleValue().ToMetaValue(), Value(0.0));
    EXPECT_EQ(ExifDoubleValue({1, 2}).ToMetaValue().GetType(), Type::DoubleArray);
    EXPECT_EQ(ExifFloatValue({1, 2}).ToMetaValue().GetType(), Type::FloatArray);
    EXPECT_DOUBLE_EQ(ExifFloatValue({0.25F, 2}).GetValueAsDouble(), 0.25);
    EXPECT_EQ(ExifFloatValue({0.25F}).GetValueAsDouble(1), 0.0);
}

TEST(NumericExifValue, ShortStreamsKeepTheCompleteElements) {
    ExifShortValue shorts;
    std::istringstream a(Bytes({0, 1, 0, 2, 0}));
    EXPECT_FALSE(shorts.Read(a, 3, BE));
    EXPECT_EQ(shorts.GetData(), (std::vector<std::uint16_t>{1, 2}));

    ExifRationalValue rationals;
    std::istringstream b(Bytes({0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3}));
    EXPECT_FALSE(rationals.Read(b, 2, BE));
    EXPECT_EQ(rationals.GetData(), (std::vector<Fraction>{{1, 2}}));

    ExifSShortFixedValue fixed;
    std::istringstream c(Bytes({0x01}));
    EXPECT_FALSE(fixed.Read(c, 1, BE));
    EXPECT_EQ(fixed.GetValueCount(), 0U);

    ExifDoubleValue doubles({1.0});
    std::istringstream empty;
    EXPECT_FALSE(doubles.Read(empty, 1, LE));
    EXPECT_EQ(doubles.GetValueCount(), 0U);  // the old contents are gone too

    // A stream that has already failed delivers nothing.
    std::istringstream failed(Bytes({1, 2}));
    failed.setstate(std::ios_base::failbit);
    EXPECT_FALSE(shorts.Read(failed, 1, LE));
    EXPECT_EQ(shorts.GetValueCount(), 0U);
}

TEST(NumericExifValue, CountsOfZeroAndHugeCounts) {
    ExifLongValue longs({7});
    EXPECT_TRUE(longs.Read(nullptr, 0, LE));
    EXPECT_EQ(longs.GetValueCount(), 0U);
    std::istringstream none;
    EXPECT_TRUE(longs.Read(none, 0, LE));
    EXPECT_EQ(longs.ToMetaValue(), Value(std::uint32_t{0}));

    // Counts from a hostile file: storage follows the data, so these fail
    // fast instead of asking for terabytes.
    constexpr std::size_t kHuge = std::size_t{1} << 60;
    std::istringstream a(Bytes({1, 0, 0, 0, 2, 0}));
    EXPECT_FALSE(longs.Read(a, kHuge, LE));
    EXPECT_EQ(longs.GetData(), (std::vector<std::uint32_t>{1}));
    ExifRationalValue rationals;
    std::istringstream b(Bytes({1, 0, 0, 0, 2, 0, 0, 0}));
    EXPECT_FALSE(rationals.Read(b, std::numeric_limits<std::size_t>::max(), LE));
    EXPECT_EQ(rationals.GetData(), (std::vector<Fraction>{{1, 2}}));
    ExifSLongFixedValue fixed;
    std::istringstream c(Bytes({0, 0, 1, 0}));
    EXPECT_FALSE(fixed.Read(c, kHuge, LE));
    EXPECT_EQ(fixed.GetData(), (std::vector<Fraction>{{1, 1}}));

    // In memory, a count whose byte size overflows cannot be backed by data.
    const std::string bytes(8, '\0');
    EXPECT_FALSE(rationals.Read(bytes.data(), std::numeric_limits<std::size_t>::max() / 4, LE));
    EXPECT_EQ(rationals.GetValueCount(), 0U);
    EXPECT_FALSE(longs.Read(nullptr, 1, LE));
}

TEST(NumericExifValue, LargeReadsCrossChunkBoundaries) {
    // More than one internal chunk of data, with every element distinct.
    constexpr std::size_t kCount = 100'003;
    std::string bytes;
    for (std::size_t i = 0; i < kCount; ++i) {
        const auto x = static_cast<std::uint32_t>(i * 2654435761U);
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<char>((x >> shift) & 0xFF));
    }
    const auto longs = ReadBoth<ExifLongValue>(bytes, kCount, BE);
    ASSERT_EQ(longs.GetValueCount(), kCount);
    for (std::size_t i : {std::size_t{0}, std::size_t{16383}, std::size_t{16384}, kCount - 1}) {
        EXPECT_EQ(longs.GetData(i), static_cast<std::uint32_t>(i * 2654435761U)) << i;
    }
    const auto rationals = ReadBoth<ExifSRationalValue>(bytes, kCount / 2, BE);
    ASSERT_EQ(rationals.GetValueCount(), kCount / 2);
    EXPECT_EQ(rationals.GetData(600), Fraction(static_cast<std::int32_t>(1200U * 2654435761U),
                                               static_cast<std::int32_t>(1201U * 2654435761U)));

    // Truncated in the middle of a later chunk.
    ExifLongValue cut;
    std::istringstream is(bytes.substr(0, 4 * 70'000 + 3));
    EXPECT_FALSE(cut.Read(is, kCount, BE));
    EXPECT_EQ(cut.GetValueCount(), 70'000U);
    EXPECT_EQ(cut.GetData(69'999), static_cast<std::uint32_t>(69'999U * 2654435761U));
}

TEST(NumericExifValue, StreamReadsConsumeExactlyTheirBytes) {
    std::istringstream is(Bytes({0, 5, 0, 0, 0, 1, 0, 0, 0, 3, 9}));
    ExifShortValue first;
    ExifRationalValue second;
    ExifByteValue third;
    ASSERT_TRUE(first.Read(is, 1, BE));
    ASSERT_TRUE(second.Read(is, 1, BE));
    ASSERT_TRUE(third.Read(is, 1, BE));
    EXPECT_EQ(first.GetData(0), 5);
    EXPECT_EQ(second.GetData(0), Fraction(1, 3));
    EXPECT_EQ(third.GetData(0), 9);
}

}  // namespace
}  // namespace meta
