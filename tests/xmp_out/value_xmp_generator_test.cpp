// Every alternative of Value written into a tree with ToXmpTree and read
// back through the toolkit.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/values/value.h"
#include "varrow/xmp_out/rdf_serialisation.h"
#include "varrow/xmp_out/value_xmp_generator.h"

namespace meta::xmp {
namespace {

using Tree = TXMPMeta<std::string>;
constexpr char const* kNs = "http://ns.adobe.com/xap/1.0/";
constexpr char const* kXml = "http://www.w3.org/XML/1998/namespace";

std::string Text(Tree const& tree, std::string const& path, std::uint32_t* bits = nullptr) {
    std::string value;
    EXPECT_TRUE(tree.GetProperty(kNs, path.c_str(), &value, bits)) << path;
    return value;
}

std::uint32_t Form(Tree const& tree, std::string const& path) {
    std::uint32_t bits = 0;
    EXPECT_TRUE(tree.GetProperty(kNs, path.c_str(), nullptr, &bits)) << path;
    return bits & options::kPropCompositeMask;
}

TEST(ValueXmpGenerator, ScalarsBecomeSimpleProperties) {
    Tree tree;
    DateTime date = DateTime::FromString("2021-07-04T10:20:30.25+02:00");
    std::vector<std::pair<Value, std::string>> const cases = {
        {Value("text"), "text"},
        {Value(true), "True"},
        {Value(false), "False"},
        {Value(std::int8_t{-8}), "-8"},
        {Value(std::uint8_t{200}), "200"},
        {Value(std::int16_t{-300}), "-300"},
        {Value(std::uint16_t{60000}), "60000"},
        {Value(std::int32_t{-70000}), "-70000"},
        {Value(std::uint32_t{4000000000u}), "4000000000"},
        {Value(std::int64_t{-5000000000}), "-5000000000"},
        {Value(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615"},
        {Value(2.0f), "2"},
        {Value(2.5), "2.5"},
        {Value(-1e20), "-1e+20"},
        {Value(Fraction{6, 1}), "6/1"},
        {Value(Fraction{-1, 3}), "-1/3"},
        {Value(date), "2021-07-04T10:20:30.25+02:00"},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::string const path = "P" + std::to_string(i);
        ASSERT_TRUE(cases[i].first.ToXmpTree(tree, kNs, path)) << i;
        std::uint32_t bits = 0;
        EXPECT_EQ(Text(tree, path, &bits), cases[i].second) << i << " " << ToString(cases[i].first.GetType());
        EXPECT_EQ(bits & options::kPropCompositeMask, 0u) << i;
    }
    // Binary data as the value's own text.
    Value const binary(std::vector<meta::byte>{meta::byte{'a'}, meta::byte{'b'}});
    ASSERT_TRUE(binary.ToXmpTree(tree, kNs, "Bin"));
    EXPECT_EQ(Text(tree, "Bin"), binary.ToString());
    // Nothing to write.
    EXPECT_FALSE(Value().ToXmpTree(tree, kNs, "Nothing"));
    EXPECT_FALSE(tree.DoesPropertyExist(kNs, "Nothing"));
}

TEST(ValueXmpGenerator, TypedArraysBecomeOrderedArrays) {
    Tree tree;
    ASSERT_TRUE(Value(std::vector<std::uint16_t>{1, 2, 65535}).ToXmpTree(tree, kNs, "U16"));
    ASSERT_TRUE(Value(std::vector<double>{0.5, 3.0}).ToXmpTree(tree, kNs, "D"));
    ASSERT_TRUE(Value(std::vector<Fraction>{{1, 2}, {4, 1}}).ToXmpTree(tree, kNs, "F"));
    ASSERT_TRUE(Value(std::vector<bool>{true, false}).ToXmpTree(tree, kNs, "B"));
    ASSERT_TRUE(
        Value(std::vector<DateTime>{DateTime::FromString("2020:01:02 03:04:05")}).ToXmpTree(tree, kNs, "T"));
    ASSERT_TRUE(Value(std::vector<std::int32_t>{}).ToXmpTree(tree, kNs, "Empty"));
    for (char const* name : {"U16", "D", "F", "B", "T", "Empty"}) {
        EXPECT_EQ(Form(tree, name), options::kPropValueIsArray | options::kPropArrayIsOrdered) << name;
    }
    EXPECT_EQ(tree.CountArrayItems(kNs, "U16"), 3);
    EXPECT_EQ(Text(tree, "U16[3]"), "65535");
    EXPECT_EQ(Text(tree, "D[1]"), "0.5");
    EXPECT_EQ(Text(tree, "D[2]"), "3");
    EXPECT_EQ(Text(tree, "F[2]"), "4/1");
    EXPECT_EQ(Text(tree, "B[1]"), "True");
    EXPECT_EQ(Text(tree, "T[1]"), "2020-01-02T03:04:05");
    EXPECT_EQ(tree.CountArrayItems(kNs, "Empty"), 0);
}

TEST(ValueXmpGenerator, CollectionsKeepTheirFormAndNesting) {
    Tree tree;
    ValueStore inner;
    inner.Set("Name", Value("n"));
    inner.Set("Count", Value(std::int64_t{3}));
    ValueSequence sequence{Value("a"), Value(ValueSet{Value("x"), Value("y")}), Value(inner)};
    ASSERT_TRUE(Value(sequence).ToXmpTree(tree, kNs, "Seq"));
    EXPECT_EQ(Form(tree, "Seq"), options::kPropValueIsArray | options::kPropArrayIsOrdered);
    EXPECT_EQ(Text(tree, "Seq[1]"), "a");
    EXPECT_EQ(Form(tree, "Seq[2]"), options::kPropValueIsArray);
    EXPECT_EQ(Text(tree, "Seq[2][2]"), "y");
    EXPECT_EQ(Form(tree, "Seq[3]"), options::kPropValueIsStruct);
    EXPECT_EQ(Text(tree, "Seq[3]/xmp:Name"), "n");
    EXPECT_EQ(Text(tree, "Seq[3]/xmp:Count"), "3");

    // The internal qualifier selects rdf:Alt and is not written itself.
    Value alt(ValueSequence{Value("one"), Value("two")});
    alt.AddQualifier(ValueXmpGenerator::kArrayIsAltQualifier, "");
    ASSERT_TRUE(alt.ToXmpTree(tree, kNs, "Alt"));
    EXPECT_EQ(Form(tree, "Alt"),
              options::kPropValueIsArray | options::kPropArrayIsOrdered | options::kPropArrayIsAlternate);
    std::string const rdf = SerialiseToRdf(tree, RdfSerialisationMode::NoPacketWrapper);
    EXPECT_NE(rdf.find("<rdf:Alt>"), std::string::npos) << rdf;
    EXPECT_EQ(rdf.find("_xmpArrayIsAlt"), std::string::npos);

    // Members named with their own prefix stay in their own namespace.
    ValueStore event;
    event.Set("stEvt:action", Value("saved"));
    ASSERT_TRUE(Value(ValueSequence{Value(event)}).ToXmpTree(tree, kNs, "History"));
    EXPECT_EQ(Text(tree, "History[1]/stEvt:action"), "saved");

    // References are written as the values they refer to.
    Value const a("ra"), b(std::int64_t{9});
    ASSERT_TRUE(Value(ValueRefSequence{&a, &b}).ToXmpTree(tree, kNs, "Refs"));
    EXPECT_EQ(Text(tree, "Refs[1]"), "ra");
    EXPECT_EQ(Text(tree, "Refs[2]"), "9");
}

TEST(ValueXmpGenerator, LocalisedTextKeepsEveryLanguage) {
    Tree tree;
    LocalisedString text(LocaleIdentifier("en-US"), "Colour");
    text.AddValue(LocaleIdentifier("de"), "Farbe");
    text.AddValue(LocaleIdentifier("fr"), "Couleur");
    ASSERT_TRUE(Value(text).ToXmpTree(tree, kNs, "Title"));
    std::string lang, item;
    ASSERT_TRUE(tree.GetLocalizedText(kNs, "Title", "", "x-default", &lang, &item, nullptr));
    EXPECT_EQ(item, "Colour");
    ASSERT_TRUE(tree.GetLocalizedText(kNs, "Title", "", "en-US", &lang, &item, nullptr));
    EXPECT_EQ(item, "Colour");
    ASSERT_TRUE(tree.GetLocalizedText(kNs, "Title", "", "de", &lang, &item, nullptr));
    EXPECT_EQ(item, "Farbe");
    ASSERT_TRUE(tree.GetLocalizedText(kNs, "Title", "", "fr", &lang, &item, nullptr));
    EXPECT_EQ(item, "Couleur");
    EXPECT_EQ(tree.CountArrayItems(kNs, "Title"), 4);

    // Without a language of its own the default text is x-default only, and
    // the first translation does not overwrite it.
    LocalisedString bare(LocaleIdentifier(), "Plain");
    bare.AddValue(LocaleIdentifier("it"), "Semplice");
    ASSERT_TRUE(Value(bare).ToXmpTree(tree, kNs, "Bare"));
    EXPECT_EQ(tree.CountArrayItems(kNs, "Bare"), 2);
    EXPECT_EQ(Text(tree, "Bare[1]"), "Plain");
    EXPECT_EQ(Text(tree, "Bare[2]"), "Semplice");
}

TEST(ValueXmpGenerator, QualifiersWithKnownPrefixesAreBound) {
    Tree tree;
    Value value("red");
    value.AddQualifier("xml:lang", "en");
    value.AddQualifier("LookupName", "ExifColour");   // internal: no prefix
    value.AddQualifier("nosuchprefix:q", "ignored");  // unknown prefix
    ASSERT_TRUE(value.ToXmpTree(tree, kNs, "Label"));
    std::string qualifier;
    ASSERT_TRUE(tree.GetQualifier(kNs, "Label", kXml, "lang", &qualifier, nullptr));
    EXPECT_EQ(qualifier, "en");
    std::string const rdf = SerialiseToRdf(tree, RdfSerialisationMode::NoPacketWrapper);
    EXPECT_EQ(rdf.find("LookupName"), std::string::npos);
    EXPECT_EQ(rdf.find("ignored"), std::string::npos);

    // Qualifiers of array elements go to the elements.
    Value element("item");
    element.AddQualifier("xml:lang", "de");
    ASSERT_TRUE(Value(ValueSet{element}).ToXmpTree(tree, kNs, "Bag"));
    ASSERT_TRUE(tree.GetQualifier(kNs, "Bag[1]", kXml, "lang", &qualifier, nullptr));
    EXPECT_EQ(qualifier, "de");
}

TEST(ValueXmpGenerator, AFailedValueLeavesNothingBehind) {
    Tree tree;
    // The second member's prefix names no registered namespace: the
    // structure cannot be written and its first member must not stay.
    ValueStore store;
    store.Set("a", Value("first"));
    store.Set("zz:b", Value("second"));
    EXPECT_FALSE(Value(ValueSequence{Value("kept?"), Value(store)}).ToXmpTree(tree, kNs, "Broken"));
    EXPECT_FALSE(tree.DoesPropertyExist(kNs, "Broken"));
    // Unregistered namespaces and empty paths fail without throwing.
    EXPECT_FALSE(Value("x").ToXmpTree(tree, "http://example.com/unregistered/", "P"));
    EXPECT_FALSE(Value("x").ToXmpTree(tree, kNs, ""));
    EXPECT_EQ(tree.CountProperties(), 0u);
}

}  // namespace
}  // namespace meta::xmp
