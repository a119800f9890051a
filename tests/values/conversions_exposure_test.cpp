#include "varrow/values/conversions/exposure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace meta::detail {
namespace {

TEST(ExposureTime, FractionsBelowAQuarterSecond) {
    EXPECT_EQ(ToExposureTimeString(0.004), "1/250");
    EXPECT_EQ(ToExposureTimeString(0.25), "1/4");
    EXPECT_EQ(ToExposureTimeString(0.00051), "1/1961");  // rounded, not truncated
    EXPECT_EQ(ToExposureTimeString(0.0005747126437), "1/1740");
    EXPECT_EQ(ToExposureTimeString(0.3), "0.3");
    EXPECT_EQ(ToExposureTimeString(2.0), "2");
    EXPECT_EQ(ToExposureTimeString(0), "0");
    EXPECT_EQ(ToExposureTimeString(1.55), "1.6");
    EXPECT_EQ(ToExposureTimeString(30), "30");
    EXPECT_EQ(ToExposureTimeString(std::nan("")), "undef");
    EXPECT_EQ(ToExposureTimeString(std::numeric_limits<double>::infinity()), "inf");

    EXPECT_EQ(ValToExposureTimeString(Value(Fraction(1, 160))), "1/160");
    EXPECT_EQ(ValToExposureTimeString(Value(std::vector<std::uint32_t>{2, 9})), "2");
    EXPECT_THROW(ValToExposureTimeString(Value::None), ValueException);
}

TEST(FNumber, TwoDecimalsBelowOne) {
    EXPECT_EQ(ToFNumberString(0.95), "0.95");
    EXPECT_EQ(ToFNumberString(2.8), "2.8");
    EXPECT_EQ(ToFNumberString(11), "11.0");
    EXPECT_EQ(ToFNumberString(1.68), "1.7");
    EXPECT_EQ(ToFNumberString(0), "0");
    EXPECT_EQ(ValToFNumberString(Value(Fraction(0, 1))), "0");
    EXPECT_EQ(ValToFNumberString(Value(Fraction(28, 10))), "2.8");
}

TEST(FractionString, ThirdsHalvesAndDecimals) {
    EXPECT_EQ(ToFractionString(1.0 / 3), "+1/3");
    EXPECT_EQ(ToFractionString(0.333), "+0.333");
    EXPECT_EQ(ToFractionString(-0.5), "-1/2");
    EXPECT_EQ(ToFractionString(2), "+2");
    EXPECT_EQ(ToFractionString(0.1), "+0.1");
    EXPECT_EQ(ToFractionString(-2.0 / 3), "-2/3");
    EXPECT_EQ(ToFractionString(0.7), "+0.7");
    EXPECT_EQ(ToFractionString(-0.65), "-0.65");
    EXPECT_EQ(ToFractionString(0), "0");
    EXPECT_EQ(ToFractionString(-1), "-1");
}

TEST(FocusDistance, InfinityBeyondTheLastStep) {
    EXPECT_EQ(ToFocusDistanceString(1000), "inf");
    EXPECT_EQ(ToFocusDistanceString(655.345), "655.345 m");
    EXPECT_EQ(ToFocusDistanceString(1.5), "1.5 m");
    EXPECT_EQ(ValToFocusDistanceString(Value(Fraction(3, 2))), "1.5 m");
    EXPECT_EQ(ValToFocusDistanceString(Value::None), "0");
}

TEST(SmallPrinters, RoundedTemperatureAndParameters) {
    EXPECT_EQ(ToRoundedString(2.5), "3.000000");
    EXPECT_EQ(ToRoundedString(-2.5), "-3.000000");
    EXPECT_EQ(ToTemperatureString(-4), "-4 C");
    EXPECT_EQ(ToNumericalParameterString(0), "Normal");
    EXPECT_EQ(ToNumericalParameterString(65535), "-1");
    EXPECT_EQ(ToNumericalParameterString(65521), "-15");
    EXPECT_EQ(ToNumericalParameterString(65520), "+65520");
    EXPECT_EQ(ToNumericalParameterString(2), "+2");
    EXPECT_EQ(ToNumericalParameterString(-2), "-2");
}

TEST(Apex, LightValueApertureAndShutter) {
    // f/1, 1 s, ISO 100 is LV 0; each doubling of the f-number adds two.
    EXPECT_DOUBLE_EQ(CalculateLV(1, 1, 100), 0);
    EXPECT_DOUBLE_EQ(CalculateLV(2, 1, 100), 2);
    EXPECT_DOUBLE_EQ(CalculateLV(1, 0.5, 200), 0);
    EXPECT_TRUE(std::isnan(CalculateLV(0, 1, 100)));
    EXPECT_TRUE(std::isnan(CalculateLV(2, 1, 0)));

    EXPECT_DOUBLE_EQ(ApexToFNumber(5), std::sqrt(32.0));
    EXPECT_DOUBLE_EQ(ApexToFNumber(2), 2);
    EXPECT_DOUBLE_EQ(ApexToExposureTime(7), 1.0 / 128);
    EXPECT_DOUBLE_EQ(ApexToExposureTime(-1), 2);
    EXPECT_DOUBLE_EQ(ApexToExposureTime(200), 0);
    EXPECT_EQ(ToExposureTimeString(ApexToExposureTime(7.375)), "1/166");
}

}  // namespace
}  // namespace meta::detail
