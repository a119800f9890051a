// The XMP value classes and the generator that chooses them.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "blocks/xmp_test_packets.h"
#include "varrow/blocks/xmp/xmp_deserialise.h"
#include "varrow/blocks/xmp/xmp_node.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/blocks/xmp/xmp_value_compound.h"
#include "varrow/blocks/xmp/xmp_value_generator.h"
#include "varrow/blocks/xmp/xmp_value_scalars.h"

namespace meta {
namespace {

using test::XmpPacket;

class XmpValues : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(test::XmpToolkit()->XmpOkay()); }

    // The tree of a packet; namespaces_ receives its prefixes.
    XmpNode Tree(std::string const& body) {
        std::string const packet = XmpPacket(body);
        xmp::TXMPMeta<std::string> const meta(packet.data(), packet.size());
        return XmpNode(meta, options_, namespaces_);
    }
    XmpNode Property(std::string const& body, std::string const& name) {
        XmpNode tree = Tree(body);
        auto it = tree.GetStructureValue().find(name);
        EXPECT_NE(it, tree.GetStructureValue().end()) << name;
        return it == tree.GetStructureValue().end() ? XmpNode() : std::move(it->second);
    }
    XmpValueGenerator Unbound() const { return XmpValueGenerator(namespaces_, FieldGroup::Unknown, nullptr); }

    // Reads `node` as the top-level reader does: chosen by name, read by the
    // generator bound to the chosen definition.
    XmpValueGenerator::ResultType ReadProperty(std::string const& name, XmpNode node) {
        XmpValueGenerator const top = Unbound();
        XmpValueGenerator::ResultType result = top(name, node, options_);
        if (result.value && !result.value->Read(std::move(node), top.ForResult(result), options_)) {
            result.value.reset();
        }
        return result;
    }

    Options options_;
    XmpNamespaceMap namespaces_;
};

TEST(XmpValueFactory, CreatesTheClassOfEachTypeNumber) {
    for (std::uint32_t n = 0; n <= 30; ++n) {
        auto const value = CreateXmpValue(static_cast<XmpType>(n));
        bool const expected = n >= 1 && n <= 22 && n != 12 && n != 19;
        ASSERT_EQ(value != nullptr, expected) << n;
        if (value) {
            EXPECT_EQ(static_cast<std::uint32_t>(value->GetType()), n);
        }
    }
    EXPECT_NE(dynamic_cast<AlternativeArrayXmpValue*>(CreateXmpValue(XmpType::LanguageAlternative).get()),
              nullptr);
    EXPECT_NE(dynamic_cast<TextXmpValue*>(CreateXmpValue(XmpType::Rational).get()), nullptr);
    EXPECT_NE(dynamic_cast<SimpleXmpValue*>(CreateXmpValue(XmpType::Date).get()), nullptr);
}

TEST(XmpValueScalars, IntegerParsingMatchesStreamExtraction) {
    std::vector<std::string> const inputs = {"42",
                                             "-7",
                                             "+5",
                                             " 12",
                                             "\t-3",
                                             "42 ",
                                             "42abc",
                                             "",
                                             "-",
                                             "+-5",
                                             "--5",
                                             "0x10",
                                             "007",
                                             "1e3",
                                             "9223372036854775807",
                                             "9223372036854775808",
                                             "-9223372036854775808",
                                             "- 4",
                                             "4.0"};
    for (std::string const& text : inputs) {
        std::istringstream in(text);
        std::int64_t expected = 0;
        bool const streamOk = static_cast<bool>(in >> expected) && in.peek() == std::char_traits<char>::eof();
        std::int64_t got = 0;
        ASSERT_EQ(IntegerXmpValue::Parse(text, got), streamOk) << '"' << text << '"';
        if (streamOk) {
            EXPECT_EQ(got, expected) << text;
        }
    }
}

TEST_F(XmpValues, ScalarsReadWholeTextsOnly) {
    XmpValueGenerator const gen = Unbound();
    IntegerXmpValue integer;
    EXPECT_TRUE(integer.Read(XmpNode::Synthesise("-7"), gen, options_));
    EXPECT_EQ(integer.GetData(), -7);
    EXPECT_EQ(integer.ToMetaValue(), Value(std::int64_t{-7}));
    EXPECT_FALSE(integer.Read(XmpNode::Synthesise("42 "), gen, options_));
    EXPECT_FALSE(integer.Read(XmpNode(XmpGroupForm::Bag), gen, options_));

    BooleanXmpValue flag;
    EXPECT_TRUE(flag.Read(XmpNode::Synthesise("true"), gen, options_));
    EXPECT_EQ(flag.ToString(), "True");
    EXPECT_TRUE(flag.Read(XmpNode::Synthesise("False"), gen, options_));
    EXPECT_EQ(flag.ToMetaValue(), Value(false));
    EXPECT_FALSE(flag.Read(XmpNode::Synthesise("TRUE"), gen, options_));

    RealXmpValue real;
    EXPECT_TRUE(real.Read(XmpNode::Synthesise("2.5"), gen, options_));
    EXPECT_EQ(real.ToMetaValue(), Value(2.5));
    EXPECT_FALSE(real.Read(XmpNode::Synthesise("2.5mm"), gen, options_));

    RationalXmpValue ratio;
    EXPECT_TRUE(ratio.Read(XmpNode::Synthesise("1/250"), gen, options_));
    EXPECT_EQ(ratio.GetData(), "1/250");
    EXPECT_EQ(ratio.ToMetaValue(), Value(Fraction(1, 250)));
    EXPECT_FALSE(ratio.Read(XmpNode::Synthesise("1/250s"), gen, options_));
    EXPECT_FALSE(ratio.Read(XmpNode::Synthesise("0.004"), gen, options_));
}

TEST_F(XmpValues, DatesConvertWhenTheyCanAndKeepTheirTextOtherwise) {
    DateXmpValue date;
    ASSERT_TRUE(date.Read(XmpNode::Synthesise("2021-03-04T05:06:07+01:00"), Unbound(), options_));
    Value const converted = date.ToMetaValue();
    ASSERT_EQ(converted.GetType(), Value::Type::DateTime);
    EXPECT_EQ(converted.Get<DateTime>().hour, 5);
    ASSERT_TRUE(date.Read(XmpNode::Synthesise("last spring"), Unbound(), options_));
    EXPECT_EQ(std::move(date).ToMetaValue(), Value("last spring"));
}

TEST_F(XmpValues, SimpleValuesKeepTheirQualifiers) {
    XmpNode node = Property(R"(<foo:note xml:lang="en">hello</foo:note>)", "foo:note");
    auto result = ReadProperty("foo:note", std::move(node));
    ASSERT_TRUE(result.value);
    EXPECT_EQ(result.value->GetType(), XmpType::Simple);
    Value const value = result.value->ToMetaValue();
    EXPECT_EQ(value.Get<std::string>(), "hello");
    EXPECT_EQ(value.GetQualifier("xml:lang").GetText(), "en");
    EXPECT_EQ(result.prefix, "foo");
    EXPECT_EQ(result.name, "note");
    EXPECT_EQ(result.field, nullptr);
}

TEST_F(XmpValues, ArraysByShapeAndByDefinition) {
    XmpNode tree =
        Tree(R"(<foo:list><rdf:Alt><rdf:li>x</rdf:li><rdf:li>y</rdf:li></rdf:Alt></foo:list>)"
             R"(<dc:subject><rdf:Bag><rdf:li>one</rdf:li><rdf:li>two</rdf:li></rdf:Bag></dc:subject>)"
             R"(<dc:creator><rdf:Seq><rdf:li>A</rdf:li><rdf:li>B</rdf:li></rdf:Seq></dc:creator>)");
    auto& properties = tree.GetStructureValue();

    auto alt = ReadProperty("foo:list", std::move(properties.at("foo:list")));
    ASSERT_TRUE(alt.value);
    EXPECT_EQ(alt.value->GetType(), XmpType::AlternativeArray);
    EXPECT_EQ(alt.value->ToString(), "[array]");
    Value const sequence = alt.value->ToMetaValue();
    ASSERT_EQ(sequence.GetType(), Value::Type::Sequence);
    EXPECT_EQ(sequence.Length(), 2u);
    EXPECT_EQ(sequence[1], Value("y"));
    EXPECT_TRUE(sequence.HasQualifier("_xmpArrayIsAlt"));

    auto bag = ReadProperty("dc:subject", std::move(properties.at("dc:subject")));
    ASSERT_TRUE(bag.value);
    ASSERT_NE(bag.field, nullptr);
    EXPECT_EQ(bag.group, FieldGroup::XmpDc);
    Value const set = std::move(*bag.value).ToMetaValue();
    ASSERT_EQ(set.GetType(), Value::Type::Set);
    EXPECT_EQ(set[0], Value("one"));
    EXPECT_FALSE(set.HasQualifier("_xmpArrayIsAlt"));

    auto seq = ReadProperty("dc:creator", std::move(properties.at("dc:creator")));
    ASSERT_TRUE(seq.value);
    EXPECT_EQ(seq.value->ToMetaValue(), Value(ValueSequence{Value("A"), Value("B")}));
}

TEST_F(XmpValues, TextWhereAListIsDeclaredIsSplitAtCommas) {
    UnorderedArrayXmpValue bag;
    XmpNode text = XmpNode::Synthesise("a, b,c");
    text.GetQualifiers().emplace("foo:q", std::make_unique<ValueQualifier>("1"));
    ASSERT_TRUE(bag.Read(std::move(text), Unbound(), options_));
    Value const value = bag.ToMetaValue();
    EXPECT_EQ(value, [] {
        Value expected(ValueSet{Value("a"), Value("b"), Value("c")});
        expected.AddQualifier("foo:q", "1");
        return expected;
    }());
    EXPECT_FALSE(bag.Read(XmpNode(XmpGroupForm::Structure), Unbound(), options_));
}

TEST_F(XmpValues, ArrayItemsFollowTheItemDefinition) {
    // exif:ISOSpeedRatings declares integer items: a text item is dropped.
    XmpNode node = Property(
        R"(<exif:ISOSpeedRatings><rdf:Seq><rdf:li>200</rdf:li><rdf:li>high</rdf:li><rdf:li>400</rdf:li>)"
        R"(</rdf:Seq></exif:ISOSpeedRatings>)",
        "exif:ISOSpeedRatings");
    auto result = ReadProperty("exif:ISOSpeedRatings", std::move(node));
    ASSERT_TRUE(result.value);
    EXPECT_EQ(result.value->ToMetaValue(),
              Value(ValueSequence{Value(std::int64_t{200}), Value(std::int64_t{400})}));
}

TEST_F(XmpValues, LanguageAlternativesBecomeLocalisedStrings) {
    XmpNode node = Property(R"(<dc:title><rdf:Alt><rdf:li xml:lang="en">Hello</rdf:li>)"
                            R"(<rdf:li xml:lang="fr">Bonjour</rdf:li></rdf:Alt></dc:title>)",
                            "dc:title");
    auto result = ReadProperty("dc:title", std::move(node));
    ASSERT_TRUE(result.value);
    EXPECT_EQ(result.value->GetType(), XmpType::LanguageAlternative);
    Value const value = result.value->ToMetaValue();
    ASSERT_EQ(value.GetType(), Value::Type::LString);
    LocalisedString const& text = value.Get<LocalisedString>();
    EXPECT_EQ(text.GetDefaultLocale(), LocaleIdentifier("en"));
    EXPECT_EQ(text.GetDefaultValue(), "Hello");
    EXPECT_EQ(text.GetValue(LocaleIdentifier("fr")), "Bonjour");
    EXPECT_FALSE(value.HasQualifier("_xmpArrayIsAlt"));

    LanguageAlternativeXmpValue empty;
    ASSERT_TRUE(empty.Read(XmpNode(XmpGroupForm::Alternative), Unbound(), options_));
    EXPECT_FALSE(empty.ToMetaValue().Exists());
    EXPECT_FALSE(empty.Read(XmpNode(XmpGroupForm::Sequence), Unbound(), options_));

    // A plain text is one item of unknown locale, commas and all.
    LanguageAlternativeXmpValue plain;
    ASSERT_TRUE(plain.Read(XmpNode::Synthesise("Red, white"), Unbound(), options_));
    Value const single = plain.ToMetaValue();
    EXPECT_EQ(single.Get<LocalisedString>().GetDefaultValue(), "Red, white");
    EXPECT_FALSE(single.Get<LocalisedString>().GetDefaultLocale().IsKnown());
}

TEST_F(XmpValues, StructuresReadTheirMembersByTheMemberTable) {
    XmpNode node = Property(
        R"(<xmpMM:History><rdf:Seq><rdf:li rdf:parseType="Resource"><stEvt:action>saved</stEvt:action>)"
        R"(<stEvt:when>2020:01:02 03:04:05</stEvt:when><foo:extra>e</foo:extra></rdf:li></rdf:Seq></xmpMM:History>)",
        "xmpMM:History");
    auto result = ReadProperty("xmpMM:History", std::move(node));
    ASSERT_TRUE(result.value);
    Value const history = result.value->ToMetaValue();
    ASSERT_EQ(history.Length(), 1u);
    Value const& event = history[0];
    ASSERT_EQ(event.GetType(), Value::Type::Structure);
    ValueStore const& fields = event.Get<ValueStore>();
    EXPECT_EQ(*fields.at("action"), Value("saved"));
    // stEvt:when is declared a date; foo:extra is read by its shape.
    EXPECT_EQ(fields.at("when")->GetType(), Value::Type::DateTime);
    EXPECT_EQ(*fields.at("extra"), Value("e"));

    StructureXmpValue direct;
    EXPECT_FALSE(direct.Read(XmpNode::Synthesise("text"), Unbound(), options_));
    EXPECT_TRUE(direct.Read(XmpNode(XmpGroupForm::Structure), Unbound(), options_));
    EXPECT_EQ(direct.ToString(), "[structure]");
}

TEST_F(XmpValues, GeneratorChoosesByDefinitionThenByShape) {
    Tree(R"(<foo:x>1</foo:x><xmp:Label>l</xmp:Label>)");  // registers the prefixes
    XmpValueGenerator const gen = Unbound();
    XmpNode const text = XmpNode::Synthesise("v");

    auto known = gen("xmp:CreateDate", text, options_);
    EXPECT_EQ(known.group, FieldGroup::Xmp);
    ASSERT_NE(known.field, nullptr);
    ASSERT_TRUE(known.value);
    EXPECT_EQ(known.value->GetType(), XmpType::Date);

    auto unknown = gen("foo:x", text, options_);
    EXPECT_EQ(unknown.group, FieldGroup::Unknown);
    ASSERT_TRUE(unknown.value);
    EXPECT_EQ(unknown.value->GetType(), XmpType::Simple);
    EXPECT_EQ(gen("foo:x", XmpNode(XmpGroupForm::Structure), options_).value->GetType(), XmpType::Structure);
    EXPECT_EQ(gen("foo:x", XmpNode(XmpGroupForm::Sequence), options_).value->GetType(),
              XmpType::OrderedArray);
    EXPECT_FALSE(gen("foo:x", XmpNode(), options_));

    Options drop;
    drop.dropUnknownXmp = true;
    EXPECT_FALSE(gen("foo:x", text, drop));
    EXPECT_TRUE(gen("xmp:CreateDate", text, drop));
    EXPECT_TRUE(gen(text, drop));  // nameless items are never dropped
}

TEST(XmpNodes, PathsDecomposeToTheirLastStep) {
    EXPECT_EQ(XmpNode::DecomposePath("xmpMM:History[2]/stEvt:action"), "stEvt:action");
    EXPECT_EQ(XmpNode::DecomposePath("dc:subject[13]"), "dc:subject");
    EXPECT_EQ(XmpNode::DecomposePath("dc:title[1]/?xml:lang"), "xml:lang");
    EXPECT_EQ(XmpNode::DecomposePath("xmp:Rating"), "xmp:Rating");
    EXPECT_TRUE(XmpNode::NameEquals("photoshop:DocumentAncestors", "DocumentAncestors"));
    EXPECT_FALSE(XmpNode::NameEquals("photoshop:DocumentAncestorsX", "DocumentAncestors"));

    XmpNode node(XmpGroupForm::Structure);
    node.StoreChild("a", XmpNode::Synthesise("1"));
    node.StoreChild("a", XmpNode::Synthesise("2"));
    EXPECT_EQ(node.GetStructureValue().at("a").GetSimpleValue(), "1");
    node.SetForm(XmpGroupForm::Bag);
    EXPECT_TRUE(node.GetArrayValue().empty());
    node.GetQualifiers().emplace("q", std::make_unique<ValueQualifier>("v"));
    XmpNode const copy = node;
    node.GetQualifiers().at("q")->SetText("changed");
    EXPECT_EQ(copy.GetQualifiers().at("q")->GetText(), "v");
}

}  // namespace
}  // namespace meta
