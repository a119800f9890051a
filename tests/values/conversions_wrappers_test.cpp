#include "varrow/values/conversions/arithmetic_string.h"
#include "varrow/values/conversions/conv_wrappers.h"
#include "varrow/values/conversions/exposure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace meta {

// Conversions only pass the store through; the adapters never touch it.
struct ReadStore {};

namespace detail {
namespace {

double Twice(double x) {
    return 2 * x;
}
std::string Echo(const std::string& s) {
    return "<" + s + ">";
}
std::string Size(const std::vector<int>& v) {
    return std::to_string(v.size());
}

TEST(ConvWrapper, PassesNoneThroughAndTurnsFailuresIntoNone) {
    ReadStore store;
    constexpr auto twice = &ConvWrapper<double, &Twice, false>;
    EXPECT_EQ(twice(Value::None, store), Value::None);
    EXPECT_EQ(twice(Value(2.5), store), Value(5.0));
    // Converted when the held type differs.
    EXPECT_EQ(twice(Value(std::uint16_t{4}), store), Value(8.0));
    EXPECT_EQ(twice(Value(Fraction(1, 4)), store), Value(0.5));
    EXPECT_EQ(twice(Value("1.5"), store), Value(3.0));
    // Text that does not parse and shapes that do not fit give None.
    EXPECT_EQ(twice(Value("abc"), store), Value::None);
    EXPECT_EQ(twice(Value(std::vector<double>{1, 2}), store), Value::None);
    EXPECT_EQ(twice(Value(ValueSequence{Value(1), Value(2)}), store), Value::None);

    EXPECT_EQ((ConvWrapper<std::string, &Echo>(Value("x"), store)), Value("<x>"));
    EXPECT_EQ((ConvWrapper<std::string, &Echo>(Value(3), store)), Value::None);
    EXPECT_EQ((ConvWrapper<std::vector<int>, &Size>(Value(std::vector<std::uint8_t>{1, 2, 3}), store)),
              Value("3"));
    EXPECT_EQ((ConvWrapper<double, &ToExposureTimeString>(Value("abc"), store)), Value::None);

    // The inverse form runs the same steps without a store.
    EXPECT_EQ((InvConvWrapper<double, &Twice>(Value(1))), Value(2.0));
    EXPECT_EQ((InvConvWrapper<double, &Twice>(Value("x"))), Value::None);
}

TEST(ConvWrapper, WholeValueFunctionsSeeTheValueAndFailuresBecomeNone) {
    ReadStore store;
    EXPECT_EQ(ConvWrapper<&ValToExposureTimeString>(Value(Fraction(1, 250)), store), Value("1/250"));
    EXPECT_EQ(ConvWrapper<&ValToExposureTimeString>(Value(std::vector<double>{0.5, 2}), store), Value("0.5"));
    EXPECT_EQ(ConvWrapper<&ValToExposureTimeString>(Value(LocalisedString("", "x")), store), Value::None);
    EXPECT_EQ(ConvWrapper<&ValToFocusDistanceString>(Value::None, store), Value("0"));
}

TEST(ArithmeticDivide, DividesScalarsOnly) {
    EXPECT_EQ((ArithmeticDivide<Value, 1000, double>(Value(std::uint32_t{2500}))), Value(2.5));
    EXPECT_EQ((ArithmeticDivide<Value, 10, double>(Value(Fraction(5, 1)))), Value(0.5));
    EXPECT_EQ((ArithmeticDivide<Value, 100, double>(Value(std::int16_t{-50}))), Value(-0.5));
    EXPECT_EQ((ArithmeticDivide<Value, 1000, double>(Value(std::vector<std::uint32_t>{1, 2}))), Value::None);
    EXPECT_EQ((ArithmeticDivide<Value, 1000, double>(Value("2500"))), Value::None);
    EXPECT_EQ((ArithmeticDivide<Value, 1000, double>(Value::None)), Value::None);
}

TEST(ValueMask, MasksIntegersAndRefusesOthers) {
    ReadStore store;
    EXPECT_EQ((ValueMask<std::uint8_t, 15>(Value(std::uint8_t{0xab}), store)), Value(std::uint8_t{0x0b}));
    EXPECT_EQ((ValueMask<std::uint16_t, 16383>(Value(std::uint16_t{0xffff}), store)),
              Value(std::uint16_t{0x3fff}));
    EXPECT_EQ((ValueMask<std::uint32_t, 16760832>(Value(std::uint32_t{0xffffffff}), store)),
              Value(std::uint32_t{16760832}));
    EXPECT_EQ((ValueMask<std::uint8_t, 3>(Value(std::vector<std::uint8_t>{5, 6}), store)),
              Value(std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ((ValueMask<std::uint8_t, 3>(Value("7"), store)), Value::None);
}

TEST(RawConv, KeepsTheInputWhenTheTestHolds) {
    ReadStore store;
    const Value minusOne(std::int16_t{-1});
    const Value zero(std::uint16_t{0});
    const Value seven(std::uint32_t{7});
    EXPECT_EQ(RawConv_S16NotMinusOne(minusOne, store), Value::None);
    EXPECT_EQ(RawConv_S16NotMinusOne(seven, store), seven);
    // 65535 read as int16 is -1 as well.
    EXPECT_EQ(RawConv_S16NotMinusOne(Value(std::uint16_t{65535}), store), Value::None);
    EXPECT_EQ(RawConv_S16NotZero(zero, store), Value::None);
    EXPECT_EQ(RawConv_S16GTZero(minusOne, store), Value::None);
    EXPECT_EQ(RawConv_S16GTZero(seven, store), seven);
    EXPECT_EQ(RawConv_S16GTEZero(zero, store), zero);
    EXPECT_EQ(RawConv_S16GTEZero(minusOne, store), Value::None);
    EXPECT_EQ(RawConv_U8NotZero(Value(std::uint16_t{256}), store), Value::None);  // truncated to 0
    EXPECT_EQ(RawConv_U16NotZero(seven, store), seven);
    EXPECT_EQ(RawConv_U32NotZero(zero, store), Value::None);
    EXPECT_EQ(RawConv_U32NotZero(Value("text"), store), Value::None);
}

TEST(SwapWords, ExchangesHalves) {
    ReadStore store;
    EXPECT_EQ(SwapWords(Value(std::vector<std::uint32_t>{0x12345678, 0xffff0000}), store),
              Value(std::vector<std::uint32_t>{0x56781234, 0x0000ffff}));
    EXPECT_EQ(SwapWords(Value(std::uint16_t{1}), store), Value(std::vector<std::uint32_t>{0x10000}));
    EXPECT_EQ(SwapWords(Value("x"), store), Value::None);
}

TEST(ToArithmeticString, FormatsEachMethodWithItsSuffix) {
    using enum UnitSuffix;
    using enum PrecisionMethod;
    const double x = 12.345;
    EXPECT_EQ((ToArithmeticString<double, None, Fixed, 0>(x)), "12");
    EXPECT_EQ((ToArithmeticString<double, None, Fixed, 1>(x)), "12.3");
    EXPECT_EQ((ToArithmeticString<double, None, Fixed, 2>(x)), "12.35");
    EXPECT_EQ((ToArithmeticString<double, None, General, 2>(x)), "12");
    EXPECT_EQ((ToArithmeticString<double, None, General, 7>(x)), "12.345");
    EXPECT_EQ((ToArithmeticString<double, None, Printf, 0>(x)), "12");
    EXPECT_EQ((ToArithmeticString<double, None, Printf, 3>(x)), "12.345");
    EXPECT_EQ((ToArithmeticString<double, M, Plain, 0>(x)), "12.345 m");
    EXPECT_EQ((ToArithmeticString<double, Mm, Printf, 1>(x)), "12.3 mm");
    EXPECT_EQ((ToArithmeticString<double, Mm, General, 2>(x)), "12 mm");
    EXPECT_EQ((ToArithmeticString<double, V, Printf, 2>(x)), "12.35 V");
    EXPECT_EQ((ToArithmeticString<double, KPa, General, 2>(x)), "12 kPa");
    EXPECT_EQ((ToArithmeticString<double, X, Fixed, 1>(x)), "12.3x");
    EXPECT_EQ((ToArithmeticString<float, None, Printf, 1>(12.345F)), "12.3");
    EXPECT_EQ((ToArithmeticString<int, C, Plain, 0>(12)), "12 C");
    EXPECT_EQ((ToArithmeticString<int, X, General, 1>(12)), "1e+01x");
    EXPECT_EQ((ToArithmeticString<std::uint16_t, Mm, Plain, 0>(75)), "75 mm");
    EXPECT_EQ((ToArithmeticString<std::uint8_t, Percent, Plain, 0>(7)), "7%");
    EXPECT_EQ((ToArithmeticString<Value, Hz, Plain, 0>(Value(std::uint32_t{50}))), "50 Hz");
    EXPECT_EQ((ToArithmeticString<Value, K, Plain, 0>(Value(Fraction(13, 2)))), "13/2 K");

    EXPECT_STREQ(ToString(S), " s");
    EXPECT_STREQ(ToString(None), "");
    EXPECT_STREQ(ToString(static_cast<UnitSuffix>(99)), "");
}

}  // namespace
}  // namespace detail
}  // namespace meta
