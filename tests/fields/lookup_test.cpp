#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "varrow/fields/lookups/enum_values_array.h"
#include "varrow/fields/lookups/typed_enum_values.h"
#include "varrow/processors/read_store.h"
#include "varrow/util/byte.h"

namespace meta {
namespace {

using IntLookup = detail::EnumValuesImpl<long long>;
using TextLookup = detail::EnumValuesImpl<std::string>;
using ListLookup = detail::EnumValuesImpl<std::vector<long long>>;
using ArrayLookup = detail::EnumValuesArrayImpl<long long>;

IntLookup Orientation() {
    return IntLookup(
        {{1, "Horizontal (normal)"}, {3, "Rotate 180"}, {6, "Rotate 90 CW"}, {8, "Rotate 270 CW"}});
}

// Texts for bits 0 and 2 only.
IntLookup Bits() {
    return IntLookup({{0, "Bit zero"}, {2, "Bit two"}}, EnumValuesStrategy::BitMask);
}

std::string Text(const Value& value) {
    return value.Get<std::string>();
}

TEST(EnumValuesImpl, WholeCodesAndUnmatchedCodesWithoutExplicitDefault) {
    const IntLookup lookup = Orientation();
    EXPECT_TRUE(lookup.HasImplicitDefault());
    EXPECT_EQ(Text(lookup.Lookup(Value(std::uint16_t{6}))), "Rotate 90 CW");
    // Shown through the implicit identity default...
    EXPECT_EQ(Text(lookup.Lookup(Value(std::uint16_t{9}))), "9");
    EXPECT_EQ(Text(lookup.Lookup(Value(std::int32_t{-2}))), "-2");
    // ...while a direct lookup without failure mode names it unknown.
    EXPECT_EQ(lookup.DirectLookup(9), "Unknown (9)");
    EXPECT_EQ(lookup.DirectLookup(6), "Rotate 90 CW");
}

TEST(EnumValuesImpl, EveryFailureMode) {
    const IntLookup lookup = Orientation();
    EXPECT_EQ(lookup.DirectLookup(9, EnumValuesOnFail::Empty), "");
    EXPECT_EQ(lookup.DirectLookup(9, EnumValuesOnFail::Identity), "9");
    EXPECT_EQ(lookup.DirectLookup(9, EnumValuesOnFail::Unknown), "Unknown (9)");
    EXPECT_EQ(lookup.DirectLookup(9, EnumValuesOnFail::None), "(none)");
    EXPECT_THROW(lookup.DirectLookup(9, EnumValuesOnFail::Throw), LookupException);
    EXPECT_EQ(lookup.DirectLookup(9, EnumValuesOnFail::Default), "9");
    EXPECT_THROW(lookup.Lookup(Value(std::uint16_t{9}), EnumValuesOnFail::Throw), LookupException);
    // A matched code never reaches the handler.
    EXPECT_EQ(lookup.DirectLookup(3, EnumValuesOnFail::Throw), "Rotate 180");
    // LookupException is an out_of_range with an empty message.
    try {
        lookup.DirectLookup(9, EnumValuesOnFail::Throw);
        FAIL();
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "");
    }
}

TEST(EnumValuesImpl, ExplicitDefaultHandlers) {
    const IntLookup unknown({{1, "One"}}, EnumValuesStrategy::Whole, IntLookup::Default::unknown());
    EXPECT_FALSE(unknown.HasImplicitDefault());
    EXPECT_EQ(Text(unknown.Lookup(Value(std::uint8_t{7}))), "Unknown (7)");
    EXPECT_EQ(unknown.DirectLookup(7), "Unknown (7)");

    const IntLookup fixed({{1, "One"}}, EnumValuesStrategy::Whole, IntLookup::Default("n/a"));
    EXPECT_EQ(fixed.DirectLookup(7), "n/a");
    EXPECT_EQ(fixed.DirectLookup(7, EnumValuesOnFail::Identity), "7");

    const IntLookup custom(
        {{1, "One"}}, EnumValuesStrategy::Whole,
        IntLookup::Default([](const long long& code) { return "#" + std::to_string(code * 2); }));
    EXPECT_EQ(custom.DirectLookup(21), "#42");
    EXPECT_EQ(custom.GetDefaultHandler(EnumValuesOnFail::Default).Generate(4), "#8");
    EXPECT_EQ(custom.GetDefaultHandler(EnumValuesOnFail::None).Generate(4), "(none)");

    const IntLookup throwing({{1, "One"}}, EnumValuesStrategy::Whole, IntLookup::Default::thrower());
    EXPECT_THROW(throwing.Lookup(Value(std::uint8_t{2})), LookupException);
    EXPECT_EQ(Text(throwing.Lookup(Value(std::uint8_t{1}))), "One");
}

TEST(EnumValuesImpl, DefaultFactoriesPerKeyType) {
    EXPECT_EQ(IntLookup::Default::empty().Generate(5), "");
    EXPECT_EQ(IntLookup::Default::identity().Generate(-5), "-5");
    EXPECT_EQ(IntLookup::Default::none().Generate(5), "(none)");
    EXPECT_EQ(
        detail::EnumValuesImpl<unsigned long long>::Default::unknown().Generate(18446744073709551615ULL),
        "Unknown (18446744073709551615)");
    EXPECT_EQ(TextLookup::Default::identity().Generate("abc"), "abc");
    EXPECT_EQ(TextLookup::Default::unknown().Generate("abc"), "Unknown (abc)");
    EXPECT_EQ(ListLookup::Default::identity().Generate({1, -2, 3}), "1 -2 3");
    EXPECT_EQ(ListLookup::Default::unknown().Generate({1, 2}), "Unknown (1 2)");
    EXPECT_THROW(TextLookup::Default::thrower().Generate("x"), LookupException);
}

TEST(EnumValuesImpl, BitMask) {
    const IntLookup lookup = Bits();
    EXPECT_EQ(Text(lookup.Lookup(Value(std::uint16_t{5}))), "Bit zero, Bit two");
    EXPECT_EQ(Text(lookup.Lookup(Value(std::uint16_t{9}))), "Bit zero, [3]");
    EXPECT_EQ(lookup.DirectLookup(4), "Bit two");
    // No bit set: the failure mode decides.
    EXPECT_EQ(lookup.DirectLookup(0), "(none)");
    EXPECT_EQ(Text(lookup.Lookup(Value(std::uint16_t{0}))), "0");
    EXPECT_EQ(lookup.DirectLookup(0, EnumValuesOnFail::Unknown), "Unknown (0)");
    // The top bit of a negative code is bit 63.
    EXPECT_EQ(lookup.DirectLookup(static_cast<long long>(0x8000000000000001ULL)), "Bit zero, [63]");

    const IntLookup named({{1, "One"}}, EnumValuesStrategy::BitMask, IntLookup::Default("Nothing"));
    EXPECT_EQ(named.DirectLookup(0), "Nothing");
    // Keys are bit numbers: key 1 names the value 2.
    EXPECT_EQ(named.DirectLookup(2), "One");
    EXPECT_EQ(named.DirectLookup(3), "[0], One");
}

TEST(EnumValuesImpl, ValuesWithSeveralElementsAreJoined) {
    const IntLookup lookup = Orientation();
    EXPECT_EQ(Text(lookup.Lookup(Value(std::vector<std::uint16_t>{1, 3, 6}))),
              "Horizontal (normal), Rotate 180, Rotate 90 CW");
    EXPECT_EQ(Text(lookup.Lookup(Value(ValueSequence{Value(std::uint8_t{8}), Value("3"), Value(2.0)}))),
              "Rotate 270 CW, Rotate 180, 2");
    EXPECT_EQ(Text(lookup.Lookup(Value(std::vector<meta::byte>{meta::byte{6}, meta::byte{0}}))),
              "Rotate 90 CW, 0");
    EXPECT_EQ(Text(lookup.Lookup(Value(std::vector<std::uint16_t>{}))), "");
    // One element alone is not decorated.
    EXPECT_EQ(Text(lookup.Lookup(Value(std::vector<std::int32_t>{3}))), "Rotate 180");
}

TEST(EnumValuesImpl, ValueKindsHandedToANumericLookup) {
    const IntLookup lookup = Orientation();
    EXPECT_FALSE(lookup.Lookup(Value()).Exists());
    EXPECT_EQ(Text(lookup.Lookup(Value(" 6 "))), "Rotate 90 CW");
    EXPECT_EQ(Text(lookup.Lookup(Value(6.9))), "Rotate 90 CW");
    EXPECT_EQ(Text(lookup.Lookup(Value(Fraction(12, 2)))), "Rotate 90 CW");
    EXPECT_EQ(Text(lookup.Lookup(Value(true))), "Horizontal (normal)");
    // A word is no code: shown as it is, or per failure mode.
    EXPECT_EQ(Text(lookup.Lookup(Value("sideways"))), "sideways");
    EXPECT_EQ(Text(lookup.Lookup(Value("sideways"), EnumValuesOnFail::Unknown)), "Unknown (sideways)");
    EXPECT_THROW(lookup.Lookup(Value("sideways"), EnumValuesOnFail::Throw), LookupException);
    EXPECT_THROW(lookup.Lookup(Value(DateTime())), ValueException);
}

TEST(EnumValuesImpl, SeveralTextsPerCode) {
    const IntLookup lookup({{4, "Lens A"}, {4, "Lens B"}, {4, "Lens C"}, {5, "Lens D"}});
    EXPECT_EQ(lookup.DirectLookup(4), "Lens A");
    EXPECT_EQ(lookup.Count(4), 3U);
    EXPECT_TRUE(lookup.Has(5));
    EXPECT_FALSE(lookup.Has(6));
    EXPECT_EQ(lookup.DirectRangeLookup(4), (std::vector<std::string>{"Lens A", "Lens B", "Lens C"}));
    EXPECT_TRUE(lookup.DirectRangeLookup(6).empty());
    EXPECT_EQ(lookup.RangeLookup(Value(std::int16_t{4})),
              Value(ValueSequence{Value("Lens A"), Value("Lens B"), Value("Lens C")}));
    EXPECT_EQ(lookup.RangeLookup(Value(std::int16_t{6})), Value(ValueSequence{}));
    EXPECT_FALSE(Bits().RangeLookup(Value(std::int16_t{1})).Exists());
    EXPECT_TRUE(Bits().DirectRangeLookup(0).empty());
}

TEST(EnumValuesImpl, TextCodes) {
    const TextLookup lookup({{"N", "North"}, {"S", "South"}, {"2", "2-Dimensional"}});
    EXPECT_EQ(Text(lookup.Lookup(Value("N"))), "North");
    // NUL padding of fixed-size ASCII fields is not part of the code.
    EXPECT_EQ(Text(lookup.Lookup(Value(std::string("S\0\0", 3)))), "South");
    EXPECT_EQ(Text(lookup.Lookup(Value(std::vector<meta::byte>{meta::byte{'N'}, meta::byte{0}}))), "North");
    // A number is looked up by its decimal text.
    EXPECT_EQ(Text(lookup.Lookup(Value(std::uint8_t{2}))), "2-Dimensional");
    EXPECT_EQ(Text(lookup.Lookup(Value("X"))), "X");
    EXPECT_EQ(lookup.DirectLookup("X"), "Unknown (X)");
    EXPECT_EQ(Text(lookup.Lookup(Value(ValueSequence{Value("S"), Value("N")}))), "South, North");
    // Text codes are never bit masks.
    const TextLookup masked({{"1", "One"}}, EnumValuesStrategy::BitMask);
    EXPECT_EQ(masked.DirectLookup("1"), "One");
}

TEST(EnumValuesImpl, ArrayCodes) {
    const ListLookup lookup({{{2, 1}, "YCbCr4:2:2 (2 1)"}, {{2, 2}, "YCbCr4:2:0 (2 2)"}});
    EXPECT_EQ(Text(lookup.Lookup(Value(std::vector<std::uint16_t>{2, 1}))), "YCbCr4:2:2 (2 1)");
    EXPECT_EQ(Text(lookup.Lookup(Value("2 2"))), "YCbCr4:2:0 (2 2)");
    EXPECT_EQ(Text(lookup.Lookup(Value(std::vector<std::uint16_t>{1, 3}))), "1 3");
    EXPECT_EQ(lookup.DirectLookup({1, 3}), "Unknown (1 3)");
    // A list of arrays is looked up array by array.
    EXPECT_EQ(Text(lookup.Lookup(Value(ValueSequence{Value(std::vector<std::uint16_t>{2, 2}),
                                                     Value(std::vector<std::uint16_t>{2, 1})}))),
              "YCbCr4:2:0 (2 2), YCbCr4:2:2 (2 1)");
}

TEST(EnumValuesArrayImpl, OneDictionaryPerPosition) {
    const ArrayLookup lookup({{{{1, "Unsigned"}, {2, "Signed"}}, EnumValuesStrategy::Whole},
                              {{{1, "Unsigned"}, {2, "Signed"}}, EnumValuesStrategy::Whole},
                              {{{0, "Low"}, {2, "High"}}, EnumValuesStrategy::BitMask}});
    EXPECT_EQ(Text(lookup.Lookup(Value(std::vector<std::uint16_t>{2, 1, 5, 7}))),
              "Signed, Unsigned, Low, High, 7");
    EXPECT_EQ(Text(lookup.Lookup(Value(std::vector<std::uint16_t>{9}))), "9");
    EXPECT_EQ(lookup.DirectLookup(0, 9, EnumValuesOnFail::Unknown), "Unknown (9)");
    EXPECT_THROW(lookup.DirectLookup(1, 9, EnumValuesOnFail::Throw), LookupException);
    EXPECT_EQ(lookup.ReverseLookup(Value("Signed, unsigned, 7")), Value(std::vector<std::int64_t>{2, 1, 7}));
    EXPECT_FALSE(lookup.ReverseLookup(Value("Signed, nonsense")).Exists());
    EXPECT_FALSE(lookup.RangeLookup(Value(std::uint16_t{1})).Exists());
}

TEST(EnumValuesBinding, RegistryBindingsReferAndTemporaryBindingsOwn) {
    ReadStore store;
    const IntLookup lookup = Orientation();
    const auto bound = lookup.Bind();
    EXPECT_EQ(&bound.GetLookup(), &lookup);

    std::function<Value(const Value&, ReadStore&)> display = lookup.Bind();
    EXPECT_EQ(Text(display(Value(std::uint16_t{8}), store)), "Rotate 270 CW");
    std::function<Value(const Value&)> inverse = lookup.BindReverse();
    EXPECT_EQ(inverse(Value("Rotate 180")), Value(std::int64_t{3}));
    std::function<Value(const Value&, ReadStore&)> range = lookup.BindRange();
    EXPECT_EQ(range(Value(std::uint16_t{8}), store), Value(ValueSequence{Value("Rotate 270 CW")}));

    // Bound on a temporary, the binding keeps its own copy alive.
    std::function<Value(const Value&, ReadStore&)> owning = Orientation().Bind();
    std::function<Value(const Value&)> owningInverse =
        TextLookup(TextLookup::DictionaryType{{"N", "North"}}).BindReverse();
    const auto copy = owning;
    owning = nullptr;
    EXPECT_EQ(Text(copy(Value(std::uint16_t{6}), store)), "Rotate 90 CW");
    EXPECT_EQ(owningInverse(Value("north")), Value("N"));

    std::function<Value(const Value&, ReadStore&)> array =
        ArrayLookup({{{{1, "One"}}, EnumValuesStrategy::Whole}}).Bind();
    EXPECT_EQ(Text(array(Value(std::vector<std::uint8_t>{1, 1}), store)), "One, 1");
}

}  // namespace
}  // namespace meta
