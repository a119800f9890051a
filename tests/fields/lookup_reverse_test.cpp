#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "varrow/fields/lookups/typed_enum_values.h"
#include "varrow/fields/lookups/unknown_text.h"

namespace meta {
namespace {

using IntLookup = detail::EnumValuesImpl<long long>;

TEST(ReverseLookup, PassesInOrderExactCaseInsensitivePrefixContains) {
    // Key order puts the weaker candidates first, so each answer shows which
    // pass found it.
    const IntLookup lookup(
        {{1, "Semi-Manual"}, {2, "manual"}, {3, "Manual"}, {4, "Auto bracket"}, {5, "Auto"}});
    EXPECT_EQ(lookup.ReverseLookup(Value("Manual")), Value(std::int64_t{3}));  // exact beats case-blind
    EXPECT_EQ(lookup.ReverseLookup(Value("MANUAL")), Value(std::int64_t{2}));  // first case-blind entry
    EXPECT_EQ(lookup.ReverseLookup(Value("man")), Value(std::int64_t{2}));     // prefix beats contains
    EXPECT_EQ(lookup.ReverseLookup(Value("-MAN")), Value(std::int64_t{1}));    // contains
    EXPECT_EQ(lookup.ReverseLookup(Value("auto")), Value(std::int64_t{5}));    // equal beats prefix
    EXPECT_EQ(lookup.ReverseLookup(Value("BRACKET")), Value(std::int64_t{4}));
    EXPECT_FALSE(lookup.ReverseLookup(Value("Program")).Exists());
    EXPECT_FALSE(lookup.ReverseLookup(Value("")).Exists());
}

TEST(ReverseLookup, UnknownTexts) {
    const IntLookup lookup({{1, "One"}});
    EXPECT_EQ(lookup.ReverseLookup(Value("Unknown (0x1F)")), Value(std::int64_t{31}));
    EXPECT_EQ(lookup.ReverseLookup(Value("Unknown (12)")), Value(std::int64_t{12}));
    EXPECT_EQ(lookup.ReverseLookup(Value(lookup.DirectLookup(77))), Value(std::int64_t{77}));
    EXPECT_FALSE(lookup.ReverseLookup(Value("Unknown (0X1F)")).Exists());
    EXPECT_FALSE(lookup.ReverseLookup(Value("unknown (12)")).Exists());
    EXPECT_FALSE(lookup.ReverseLookup(Value("Unknown (-3)")).Exists());
    EXPECT_FALSE(lookup.ReverseLookup(Value("Unknown (18446744073709551616)")).Exists());
    // The dictionary is consulted first.
    const IntLookup metering({{0, "Unknown"}, {1, "Average"}});
    EXPECT_EQ(metering.ReverseLookup(Value("Unknown")), Value(std::int64_t{0}));
    EXPECT_EQ(metering.ReverseLookup(Value("Unknown (5)")), Value(std::int64_t{5}));
}

TEST(ReverseLookup, TextsWithSeparators) {
    const IntLookup flash(
        {{0, "No Flash"}, {1, "Fired"}, {5, "Fired, Return not detected"}, {7, "Fired, Return detected"}});
    // A whole entry wins over splitting...
    EXPECT_EQ(flash.ReverseLookup(Value("Fired, Return detected")), Value(std::int64_t{7}));
    EXPECT_EQ(flash.ReverseLookup(Value("fired, return not detected")), Value(std::int64_t{5}));
    // ...otherwise every part is mapped and the codes come back as an array.
    EXPECT_EQ(flash.ReverseLookup(Value("No Flash, Fired")), Value(std::vector<std::int64_t>{0, 1}));
    EXPECT_FALSE(flash.ReverseLookup(Value("No Flash, Strobe")).Exists());

    const IntLookup bits({{0, "Bit zero"}, {2, "Bit two"}}, EnumValuesStrategy::BitMask);
    EXPECT_EQ(bits.ReverseLookup(Value("Bit zero, Bit two")), Value(std::int64_t{5}));
    EXPECT_EQ(bits.ReverseLookup(Value("Bit two")), Value(std::int64_t{4}));
    EXPECT_EQ(bits.ReverseLookup(Value("Bit zero, [3]")), Value(std::int64_t{9}));
    EXPECT_EQ(bits.ReverseLookup(Value(bits.DirectLookup(static_cast<long long>(0x8000000000000005ULL)))),
              Value(static_cast<std::int64_t>(0x8000000000000005ULL)));
    EXPECT_FALSE(bits.ReverseLookup(Value("Bit zero, [64]")).Exists());
}

TEST(ReverseLookup, OtherKeyTypesAndNonStrings) {
    const IntLookup lookup({{3, "Three"}});
    EXPECT_EQ(lookup.ReverseLookup(Value(std::uint16_t{3})), Value(std::uint16_t{3}));
    EXPECT_EQ(lookup.ReverseLookup(Value(std::vector<std::uint8_t>{1, 2})),
              Value(std::vector<std::uint8_t>{1, 2}));
    EXPECT_FALSE(lookup.ReverseLookup(Value()).Exists());

    const detail::EnumValuesImpl<std::string> refs({{"N", "North"}, {"S", "South"}});
    EXPECT_EQ(refs.ReverseLookup(Value("south")), Value("S"));
    EXPECT_EQ(refs.ReverseLookup(Value("North, South")), Value(ValueSequence{Value("N"), Value("S")}));
    EXPECT_EQ(refs.ReverseLookup(Value("Unknown (0x2A)")), Value("0x2A"));

    const detail::EnumValuesImpl<unsigned long long> big({{18446744073709551615ULL, "All"}});
    EXPECT_EQ(big.ReverseLookup(Value("all")), Value(std::uint64_t{18446744073709551615ULL}));

    const detail::EnumValuesImpl<std::vector<long long>> lists({{{2, 1}, "YCbCr4:2:2 (2 1)"}});
    EXPECT_EQ(lists.ReverseLookup(Value("YCbCr4:2:2")), Value(std::vector<std::int64_t>{2, 1}));
    EXPECT_EQ(lists.ReverseLookup(Value("Unknown (4)")), Value(std::vector<std::int64_t>{4}));
}

// The hand-written matcher against the two regular expressions it replaces.
std::optional<std::string> RegexUnknown(const std::string& text) {
    static const std::regex hex(R"(^Unknown \((0x[0-9A-Fa-f]+)\)$)");
    static const std::regex decimal(R"(^Unknown \(([0-9]+)\)$)");
    std::smatch match;
    if (std::regex_search(text, match, hex) || std::regex_search(text, match, decimal)) return match[1].str();
    return std::nullopt;
}

void ExpectSameAsRegex(const std::string& text) {
    const auto expected = RegexUnknown(text);
    const auto actual = detail::MatchUnknownText(text);
    ASSERT_EQ(expected.has_value(), actual.has_value()) << '"' << text << '"';
    if (expected) {
        EXPECT_EQ(*expected, std::string(*actual)) << text;
    }
}

TEST(UnknownText, MatcherAgreesWithTheRegularExpressions) {
    for (const char* text : {"Unknown (0x1F)",
                             "Unknown (12)",
                             "Unknown (0)",
                             "Unknown (0x)",
                             "Unknown ()",
                             "Unknown (0X1F)",
                             "Unknown (0x1g)",
                             "Unknown (1 2)",
                             "Unknown (-1)",
                             "Unknown (12))",
                             "Unknown ((12)",
                             " Unknown (12)",
                             "Unknown (12) ",
                             "Unknown (12)\n",
                             "\nUnknown (12)",
                             "unknown (12)",
                             "Unknown(12)",
                             "Unknown  (12)",
                             "Unknown (0x00ABCdef)",
                             "Unknown (00x1)",
                             "Unknown (x1)",
                             "Unknown (0xx1)",
                             "Unknown (123456789012345678901234)",
                             "Unknown (",
                             "Unknown",
                             "",
                             "Unknown (1",
                             "Unknown 12)"}) {
        ExpectSameAsRegex(text);
    }
    ExpectSameAsRegex(std::string("Unknown (1\0)", 12));

    // Random texts built from the pieces that matter, so that a good share
    // of them match.
    std::mt19937 random(20240611);
    const std::vector<std::string> heads = {"Unknown (", "Unknown (0x", "Unknown(", "unknown (",
                                            "",          "Unknown (("};
    const std::string alphabet = "0123456789abfgABFGx) (\n-";
    for (int i = 0; i < 20000; ++i) {
        std::string text = heads[random() % heads.size()];
        const auto length = random() % 6;
        for (unsigned j = 0; j < length; ++j) text += alphabet[random() % alphabet.size()];
        if (random() % 2 == 0) text += ')';
        ExpectSameAsRegex(text);
    }
}

TEST(UnknownText, ParsesHexAndDecimalWithinSixtyFourBits) {
    EXPECT_EQ(detail::ParseUnknownText("Unknown (0x1F)"), 31U);
    EXPECT_EQ(detail::ParseUnknownText("Unknown (0xffffffffffffffff)"), 18446744073709551615ULL);
    EXPECT_EQ(detail::ParseUnknownText("Unknown (0x10000000000000000)"), std::nullopt);
    EXPECT_EQ(detail::ParseUnknownText("Unknown (007)"), 7U);
    EXPECT_EQ(detail::ParseUnknownText("Unknown (seven)"), std::nullopt);
}

}  // namespace
}  // namespace meta
