#include "varrow/util/to_string.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <list>
#include <ostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace meta::strings {
namespace {

std::string StreamWithPrecision15(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(15);
    out << value;
    return out.str();
}

TEST(ToString, BoolAndDouble) {
    EXPECT_EQ(ToString(true), "true");
    EXPECT_EQ(ToString(false), "false");
    EXPECT_EQ(ToString(0.1), "0.1");
    EXPECT_EQ(ToString(1e20), "1e+20");
    EXPECT_EQ(ToString(100.0), "100");
    EXPECT_EQ(ToString(-2.5), "-2.5");
    EXPECT_EQ(ToString(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(ToString(123456789012345.0), "123456789012345");
    EXPECT_EQ(ToString(1234567890123456.0), "1.23456789012346e+15");
    EXPECT_EQ(ToString(0.0001), "0.0001");
    EXPECT_EQ(ToString(0.00001), "1e-05");
    EXPECT_EQ(ToString(-0.0), "-0");
    EXPECT_EQ(ToString(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(ToString(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(ToString(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(ToString, DoubleMatchesAStreamWithPrecision15) {
    std::mt19937_64 rng(99);
    std::uniform_int_distribution<std::uint64_t> bits;
    std::uniform_real_distribution<double> plain(-1e6, 1e6);
    for (int i = 0; i < 20000; ++i) {
        double value = plain(rng);
        if (i % 2 == 0) {
            const std::uint64_t b = bits(rng);
            std::memcpy(&value, &b, sizeof value);
            if (value != value) continue;  // NaN payloads print alike but are not worth the noise
        }
        ASSERT_EQ(ToString(value), StreamWithPrecision15(value)) << i;
    }
    EXPECT_EQ(ToString(std::numeric_limits<double>::denorm_min()),
              StreamWithPrecision15(std::numeric_limits<double>::denorm_min()));
    EXPECT_EQ(ToString(std::numeric_limits<double>::max()),
              StreamWithPrecision15(std::numeric_limits<double>::max()));
}

enum class Tag : std::uint16_t { Orientation = 0x0112 };
enum Plain : int { kMinusOne = -1 };

TEST(ToString, IntegersAndHex) {
    EXPECT_EQ(ToString(std::uint16_t{271}, AsHex), "0x010f");
    EXPECT_EQ(ToString(0, AsHex), "0x0000");
    EXPECT_EQ(ToString(0x12345U, AsHex), "0x12345");
    EXPECT_EQ(ToString(std::int8_t{-1}, AsHex), "0x00ff");
    EXPECT_EQ(ToString(std::int16_t{-2}, AsHex), "0xfffe");
    EXPECT_EQ(ToString(std::numeric_limits<std::uint64_t>::max(), AsHex), "0xffffffffffffffff");
    EXPECT_EQ(ToString(Tag::Orientation, AsHex), "0x0112");
    EXPECT_EQ(ToString(kMinusOne, AsHex), "0xffffffff");
    EXPECT_EQ(ToString(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
    EXPECT_EQ(ToString(std::uint8_t{200}), "200");
}

struct Ratio {
    int num;
    int den;
};
std::ostream& operator<<(std::ostream& os, const Ratio& r) {
    return os << r.num << '/' << r.den;
}

TEST(ToString, JoinUsesEachElementsStreamOperator) {
    EXPECT_EQ(Join(std::vector<unsigned>{1, 2, 3}, ", "), "1, 2, 3");
    EXPECT_EQ(Join(std::vector<long long>{-5, 1234567}, " "), "-5 1234567");
    EXPECT_EQ(Join(std::vector<double>{0.5, 1e20, 1.0 / 3.0}, ";"), "0.5;1e+20;0.333333");
    EXPECT_EQ(Join(std::vector<std::string>{"a", "", "c"}, "/"), "a//c");
    EXPECT_EQ(Join(std::list<Ratio>{{1, 3}, {5, 1}}, " "), "1/3 5/1");
    EXPECT_EQ(Join(std::vector<int>{}, ", "), "");
    EXPECT_EQ(Join(std::vector<unsigned>{7}, ", "), "7");
    EXPECT_EQ(Join(std::vector<unsigned>{1234567}, ""), "1234567");  // no digit grouping
}

}  // namespace
}  // namespace meta::strings
