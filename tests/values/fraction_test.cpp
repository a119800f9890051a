#include "varrow/values/fraction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <stdexcept>

namespace meta {
namespace {

Fraction Simplified(std::int64_t n, std::int64_t d) {
    return Fraction(n, d).Simplify();
}

TEST(Fraction, SimplifyKeepsEachSignOnItsTerm) {
    EXPECT_EQ(Simplified(6, -4), Fraction(3, -2));
    EXPECT_EQ(Simplified(-6, 4), Fraction(-3, 2));
    EXPECT_EQ(Simplified(-6, -4), Fraction(-3, -2));
    EXPECT_EQ(Simplified(0, 7), Fraction(0, 1));
    EXPECT_EQ(Simplified(0, -7), Fraction(0, -1));
    EXPECT_EQ(Simplified(5, 0), Fraction(1, 0));
    EXPECT_EQ(Simplified(-5, 0), Fraction(-1, 0));
    EXPECT_EQ(Simplified(0, 0), Fraction(0, 0));
    EXPECT_EQ(Simplified(7, 13), Fraction(7, 13));

    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(Simplified(kMin, kMin), Fraction(-1, -1));
    EXPECT_EQ(Simplified(kMin, 2), Fraction(kMin / 2, 1));
    EXPECT_EQ(Simplified(kMin, 3), Fraction(kMin, 3));
}

TEST(Fraction, ZeroDenominators) {
    EXPECT_TRUE(Fraction().IsEmpty());
    EXPECT_FALSE(Fraction(1, 0).IsEmpty());
    EXPECT_TRUE(Fraction(-1, 0).IsInfinite());
    EXPECT_EQ(Fraction(-1, 0).AsDouble(), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(Fraction(0, 0).AsDouble()));
}

TEST(Fraction, Printing) {
    EXPECT_EQ(ToString(Fraction(5, 1), true), "5");
    EXPECT_EQ(ToString(Fraction(5, 1), false), "5/1");
    EXPECT_EQ(ToString(Fraction(-3, 8)), "-3/8");
    EXPECT_EQ(ToString(Fraction(std::numeric_limits<std::int64_t>::min(), -1)), "-9223372036854775808/-1");
    std::ostringstream os;
    os << Fraction(0, 0) << ' ' << Fraction(3, 1) << ' ' << Fraction(1, -2);
    EXPECT_EQ(os.str(), "0/0 3 1/-2");
}

TEST(Fraction, ParsingFromTextAndStreams) {
    EXPECT_EQ(Fraction::FromString("3/4"), Fraction(3, 4));
    EXPECT_EQ(Fraction::FromString(" -3 / +4 rest"), Fraction(-3, 4));
    EXPECT_EQ(Fraction::FromString("3"), Fraction());
    EXPECT_EQ(Fraction::FromString("3:4"), Fraction());
    EXPECT_EQ(Fraction::FromString("1.5"), Fraction());
    EXPECT_EQ(Fraction::FromString("99999999999999999999/1"), Fraction());
    EXPECT_EQ(Fraction::FromString(""), Fraction());

    std::istringstream good("10/3");
    Fraction f;
    EXPECT_TRUE(good >> f);
    EXPECT_EQ(f, Fraction(10, 3));

    std::istringstream bad("10-3");
    f = Fraction(1, 1);
    EXPECT_FALSE(bad >> f);
    EXPECT_EQ(f, Fraction());
}

// The reference: extraction of N, one character, D from a string stream.
Fraction StreamReference(const std::string& text) {
    std::istringstream is(text);
    std::int64_t n = 0, d = 0;
    char c = 0;
    if (is >> n >> c && c == '/' && is >> d) return Fraction(n, d);
    return Fraction();
}

TEST(Fraction, FromStringMatchesStreamExtraction) {
    const std::vector<std::string> fixed = {"1/2",
                                            "-1/-2",
                                            "+1/+2",
                                            "  7 /\t9",
                                            "1/",
                                            "/2",
                                            "1//2",
                                            "- 1/2",
                                            "1/- 2",
                                            "0x10/2",
                                            "1e3/2",
                                            "007/010",
                                            "1/2/3",
                                            "\n5\n/\n6",
                                            "9223372036854775807/1",
                                            "-9223372036854775808/1",
                                            "9223372036854775808/1",
                                            "1/-9223372036854775809",
                                            "abc",
                                            "",
                                            " ",
                                            "+/1",
                                            "1 2/3"};
    for (const auto& text : fixed) EXPECT_EQ(Fraction::FromString(text), StreamReference(text)) << text;

    std::mt19937 rng(20240305);
    const std::string alphabet = "0123456789/+- \t.x9";
    for (int i = 0; i < 3000; ++i) {
        std::string text;
        const int length = static_cast<int>(rng() % 12);
        for (int j = 0; j < length; ++j) text += alphabet[rng() % alphabet.size()];
        ASSERT_EQ(Fraction::FromString(text), StreamReference(text)) << '"' << text << '"';
    }
}

TEST(Fraction, Rationalise) {
    EXPECT_EQ(Rationalise(0.333333, 3), Fraction(1, 3));
    EXPECT_EQ(Rationalise(0.5, 6), Fraction(1, 2));
    EXPECT_EQ(Rationalise(-0.75, 6), Fraction(-3, 4));
    EXPECT_EQ(Rationalise(3.0, 6), Fraction(3, 1));
    EXPECT_EQ(Rationalise(0.0, 6), Fraction(0, 1));
    EXPECT_EQ(Rationalise(M_PI, 2), Fraction(22, 7));
    EXPECT_EQ(Fraction::Rationalise(M_PI, 6), Fraction(355, 113));
    EXPECT_EQ(Rationalise(std::numeric_limits<double>::infinity(), 6), Fraction(1, 0));
    EXPECT_EQ(Rationalise(-std::numeric_limits<double>::infinity(), 6), Fraction(-1, 0));
    EXPECT_EQ(Rationalise(std::nan(""), 6), Fraction(0, 0));
    EXPECT_EQ(Rationalise(1e300, 6), Fraction(0, 0));

    EXPECT_THROW(Fraction::CheckedRationalise(1e300, 6), std::out_of_range);
    try {
        CheckedRationalise(1e300, 6);
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "Input to Fraction::Rationalise is too large");
    }
    // Far smaller than any 64-bit denominator can express: the next partial
    // quotient no longer fits.
    EXPECT_THROW(CheckedRationalise(1e-30, 6), std::out_of_range);

    // A tolerance finer than a double resolves still ends, at the exact
    // convergent.
    EXPECT_EQ(Rationalise(0.1, 30), Fraction(1, 10));
}

}  // namespace
}  // namespace meta
