#include "varrow/values/value_converter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <random>
#include <sstream>

namespace meta {
namespace {

using Bytes = std::vector<meta::byte>;

TEST(ValueConverter, IntegersFromNumbersWrapOrTruncate) {
    EXPECT_EQ(Value(std::uint32_t{300}).Convert<std::uint8_t>(), 44);
    EXPECT_EQ(Value(std::int16_t{-1}).Convert<std::uint16_t>(), 65535);
    EXPECT_EQ(Value(std::uint64_t{0xFFFF'FFFF'FFFF'FFFF}).Convert<std::int64_t>(), -1);
    EXPECT_EQ(Value(true).Convert<int>(), 1);
    EXPECT_EQ(Value(2.9).Convert<int>(), 2);
    EXPECT_EQ(Value(-2.9F).Convert<int>(), -2);
    EXPECT_EQ(Value(-0.5).Convert<unsigned>(), 0U);
    EXPECT_TRUE(Value(256).Convert<bool>());
    EXPECT_FALSE(Value(0.9).Convert<bool>());

    // Reals that do not fit are refused rather than undefined.
    EXPECT_THROW(Value(1e10).Convert<std::int32_t>(), ValueException);
    EXPECT_THROW(Value(-1.0).Convert<std::uint32_t>(), ValueException);
    EXPECT_THROW(Value(std::nan("")).Convert<int>(), ValueException);
    EXPECT_THROW(Value(std::nan("")).Convert<bool>(), ValueException);
    EXPECT_EQ(Value(-2147483648.0).Convert<std::int32_t>(), std::numeric_limits<std::int32_t>::min());

    for (const Value& v : {Value(), Value(Fraction(1, 2)), Value(LocalisedString("en", "1")), Value(Bytes{}),
                           Value(DateTime()), Value(std::vector<int>{1}), Value(ValueSequence{1})}) {
        EXPECT_THROW(v.Convert<int>(), ValueException) << v.GetType();
    }
}

TEST(ValueConverter, IntegersFromText) {
    EXPECT_EQ(Value("  42").Convert<int>(), 42);
    EXPECT_EQ(Value("+7").Convert<std::int64_t>(), 7);
    EXPECT_EQ(Value("200").Convert<std::uint8_t>(), 200);
    EXPECT_EQ(Value("-100").Convert<std::int8_t>(), -100);
    EXPECT_EQ(Value("-1").Convert<std::uint16_t>(), 65535);
    EXPECT_TRUE(Value("1").Convert<bool>());
    EXPECT_FALSE(Value("0").Convert<bool>());
    for (const char* bad : {"42 ", "4x", "", " ", "1.0", "0x10", "300"}) {
        EXPECT_THROW(Value(bad).Convert<std::uint8_t>(), ValueException) << bad;
    }
    EXPECT_THROW(Value("128").Convert<std::int8_t>(), ValueException);
    EXPECT_THROW(Value("2").Convert<bool>(), ValueException);
    EXPECT_THROW(Value("true").Convert<bool>(), ValueException);
}

// Whole-text stream extraction, the rule the text conversions follow.
template <typename T>
std::optional<T> Extract(const std::string& text) {
    std::istringstream is(text);
    T v{};
    if (!(is >> v)) return std::nullopt;
    if (is.rdbuf()->sgetc() != std::char_traits<char>::eof()) return std::nullopt;
    return v;
}

template <typename T>
std::optional<T> Converted(const std::string& text) {
    try {
        return Value(text).Convert<T>();
    } catch (const ValueException&) {
        return std::nullopt;
    }
}

template <typename T>
void ExpectExtractionSemantics(const std::vector<std::string>& texts) {
    for (const auto& text : texts) {
        EXPECT_EQ(Converted<T>(text), Extract<T>(text)) << typeid(T).name() << " \"" << text << '"';
    }
}

TEST(ValueConverter, TextConversionMatchesStreamExtraction) {
    std::vector<std::string> texts = {"0",
                                      "-0",
                                      "+0",
                                      "1",
                                      "-1",
                                      "32767",
                                      "32768",
                                      "-32768",
                                      "-32769",
                                      "65535",
                                      "65536",
                                      "-65535",
                                      "-65536",
                                      "2147483647",
                                      "2147483648",
                                      "-2147483649",
                                      "4294967295",
                                      "4294967296",
                                      "-4294967295",
                                      "9223372036854775807",
                                      "9223372036854775808",
                                      "-9223372036854775808",
                                      "-9223372036854775809",
                                      "18446744073709551615",
                                      "18446744073709551616",
                                      "-18446744073709551615",
                                      "99999999999999999999999",
                                      " \t\n12",
                                      "12 ",
                                      "1 2",
                                      "--1",
                                      "+-1",
                                      "+",
                                      "-",
                                      "",
                                      "0012",
                                      "1e5",
                                      "0x1f",
                                      "12abc",
                                      "\v7",
                                      "00000000000000000000001"};
    std::mt19937 rng(77);
    const std::string alphabet = "0123456789+- \t9";
    for (int i = 0; i < 2000; ++i) {
        std::string text;
        const int length = static_cast<int>(rng() % 22);
        for (int j = 0; j < length; ++j) text += alphabet[rng() % alphabet.size()];
        texts.push_back(text);
    }
    ExpectExtractionSemantics<std::int16_t>(texts);
    ExpectExtractionSemantics<std::uint16_t>(texts);
    ExpectExtractionSemantics<std::int32_t>(texts);
    ExpectExtractionSemantics<std::uint32_t>(texts);
    ExpectExtractionSemantics<std::int64_t>(texts);
    ExpectExtractionSemantics<std::uint64_t>(texts);
    ExpectExtractionSemantics<bool>(texts);
}

TEST(ValueConverter, Reals) {
    EXPECT_DOUBLE_EQ(Value(Fraction(1, 4)).Convert<double>(), 0.25);
    EXPECT_DOUBLE_EQ(Value(std::int8_t{-3}).Convert<double>(), -3.0);
    EXPECT_DOUBLE_EQ(Value(std::uint64_t{1} << 63).Convert<double>(), 9223372036854775808.0);
    EXPECT_FLOAT_EQ(Value(2.5).Convert<float>(), 2.5F);
    EXPECT_TRUE(std::isinf(Value(1e300).Convert<float>()));
    EXPECT_DOUBLE_EQ(Value(" 1.5e3xyz").Convert<double>(), 1500.0);  // std::stod reads a prefix
    EXPECT_THROW(Value("abc").Convert<double>(), ValueException);
    EXPECT_THROW(Value("1e999").Convert<double>(), ValueException);
    EXPECT_THROW(Value(DateTime()).Convert<double>(), ValueException);
    EXPECT_THROW(Value(std::vector<double>{1}).Convert<double>(), ValueException);
}

TEST(ValueConverter, TextsFractionsDatesAndLocalisedStrings) {
    EXPECT_EQ(Value("abc").Convert<std::string>(), "abc");
    EXPECT_EQ(Value(LocalisedString("en", "hi")).Convert<std::string>(), "hi");
    EXPECT_EQ(Value(Bytes{meta::byte{'o'}, meta::byte{'k'}}).Convert<std::string>(), "ok");
    EXPECT_THROW(Value(1).Convert<std::string>(), ValueException);

    EXPECT_EQ(Value(Fraction(2, 4)).Convert<Fraction>(), Fraction(2, 4));
    EXPECT_EQ(Value(-7).Convert<Fraction>(), Fraction(-7, 1));
    EXPECT_EQ(Value(0.75).Convert<Fraction>(), Fraction(3, 4));
    EXPECT_EQ(Value("10/4").Convert<Fraction>(), Fraction(10, 4));
    EXPECT_EQ(Value("1.5").Convert<Fraction>(), Fraction(3, 2));
    EXPECT_EQ(Value("3").Convert<Fraction>(), Fraction(3, 1));
    EXPECT_THROW(Value("x/y").Convert<Fraction>(), ValueException);
    EXPECT_THROW(Value(1e300).Convert<Fraction>(), ValueException);
    EXPECT_THROW(Value(std::uint64_t{1} << 63).Convert<Fraction>(), ValueException);
    EXPECT_THROW(Value(true).Convert<Fraction>(), ValueException);

    EXPECT_EQ(Value("2021:07:04 10:20:30").Convert<DateTime>(), DateTime::FromString("2021:07:04 10:20:30"));
    EXPECT_THROW(Value("yesterday").Convert<DateTime>(), ValueException);
    EXPECT_THROW(Value(20210704).Convert<DateTime>(), ValueException);

    const auto ls = Value("text").Convert<LocalisedString>();
    EXPECT_FALSE(ls.GetDefaultLocale().IsKnown());
    EXPECT_EQ(ls.GetDefaultValue(), "text");
    EXPECT_THROW(Value(1).Convert<LocalisedString>(), ValueException);
}

TEST(ValueConverter, Lists) {
    EXPECT_EQ(Value("a").Convert<ValueSequence>(), (ValueSequence{"a"}));
    EXPECT_EQ(Value(std::vector<std::uint16_t>{1, 2}).Convert<ValueSet>(),
              (ValueSet{std::uint16_t{1}, std::uint16_t{2}}));
    EXPECT_EQ(Value(std::vector<bool>{true, false}).Convert<ValueSequence>(), (ValueSequence{true, false}));
    EXPECT_EQ(Value(ValueSet{1}).Convert<ValueSet>(), (ValueSet{1}));
    EXPECT_THROW(Value(ValueSet{1}).Convert<ValueSequence>(), ValueException);
    EXPECT_THROW(Value().Convert<ValueSequence>(), ValueException);
    EXPECT_THROW(Value(ValueStore{}).Convert<ValueSet>(), ValueException);
    EXPECT_THROW(Value(ValueRefSequence{}).Convert<ValueSet>(), ValueException);
}

TEST(ValueConverter, Vectors) {
    using I64s = std::vector<std::int64_t>;
    EXPECT_EQ(Value(std::uint8_t{5}).Convert<I64s>(), I64s{5});
    EXPECT_EQ(Value(std::vector<std::int16_t>{-1, 2}).Convert<std::vector<std::uint16_t>>(),
              (std::vector<std::uint16_t>{65535, 2}));
    EXPECT_EQ(Value(ValueSequence{"3", 4}).Convert<I64s>(), (I64s{3, 4}));
    EXPECT_THROW(Value(true).Convert<I64s>(), ValueException);
    EXPECT_THROW(Value(std::vector<bool>{true}).Convert<I64s>(), ValueException);
    EXPECT_THROW(Value(std::vector<double>{1}).Convert<I64s>(), ValueException);
    EXPECT_THROW(Value(1.0).Convert<I64s>(), ValueException);
    EXPECT_THROW(Value(ValueSequence{"x"}).Convert<I64s>(), ValueException);

    using Doubles = std::vector<double>;
    EXPECT_EQ(Value(std::vector<Fraction>{{1, 2}, {3, 4}}).Convert<Doubles>(), (Doubles{0.5, 0.75}));
    EXPECT_EQ(Value(std::vector<float>{1.5F}).Convert<Doubles>(), Doubles{1.5});
    EXPECT_EQ(Value(std::vector<std::uint32_t>{7}).Convert<Doubles>(), Doubles{7});
    EXPECT_EQ(Value(2.5).Convert<Doubles>(), Doubles{2.5});

    using Fractions = std::vector<Fraction>;
    EXPECT_EQ(Value(std::vector<std::int32_t>{2, -3}).Convert<Fractions>(), (Fractions{{2, 1}, {-3, 1}}));
    EXPECT_EQ(Value(ValueSequence{"1/3", 0.5}).Convert<Fractions>(), (Fractions{{1, 3}, {1, 2}}));
    EXPECT_EQ(Value(Fraction(5, 7)).Convert<Fractions>(), (Fractions{{5, 7}}));

    EXPECT_EQ(Value(std::vector<std::uint8_t>{1, 2}).Convert<Bytes>(), (Bytes{meta::byte{1}, meta::byte{2}}));
    EXPECT_EQ(Value(Bytes{meta::byte{9}}).Convert<Bytes>(), Bytes{meta::byte{9}});
    EXPECT_EQ(Value(ValueSequence{std::uint8_t{7}}).Convert<Bytes>(), Bytes{meta::byte{7}});
    EXPECT_THROW(Value(ValueSequence{7}).Convert<Bytes>(), ValueException);
    EXPECT_THROW(Value(std::uint8_t{1}).Convert<Bytes>(), ValueException);
    EXPECT_THROW(Value(std::vector<std::uint16_t>{1}).Convert<Bytes>(), ValueException);

    using Strings = std::vector<std::string>;
    EXPECT_EQ(Value(ValueSequence{"a", LocalisedString("en", "b")}).Convert<Strings>(), (Strings{"a", "b"}));
    EXPECT_EQ(Value("solo").Convert<Strings>(), Strings{"solo"});
    EXPECT_THROW(Value(ValueSequence{1}).Convert<Strings>(), ValueException);

    using Nested = std::vector<I64s>;
    const Value nested(ValueSequence{std::vector<std::int32_t>{1, 2}, std::vector<std::uint8_t>{3}});
    EXPECT_EQ(nested.Convert<Nested>(), (Nested{{1, 2}, {3}}));
    EXPECT_EQ(Value(std::vector<std::int16_t>{4, 5}).Convert<Nested>(), (Nested{{4, 5}}));
    EXPECT_THROW(Value("x").Convert<Nested>(), ValueException);
}

}  // namespace
}  // namespace meta
