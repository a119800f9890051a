// XMP items: naming by definition or property, the type names and the
// prefix kept for writing back.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "varrow/blocks/xmp/xmp_value.h"
#include "varrow/blocks/xmp/xmp_value_compound.h"
#include "varrow/fields/field_database.h"
#include "varrow/items/metadatum.h"
#include "varrow/items/xmp_metadatum.h"

namespace meta {
namespace {

TEST(XmpMetadatum, NamedByItsDefinitionElseByItsProperty) {
    auto const store = std::make_shared<ReadStore>();
    XmpField const* subjectField =
        FieldDatabase<XmpField>::UnconditionalFind("subject", FieldGroup::XmpDc, true);
    ASSERT_NE(subjectField, nullptr);

    UnorderedArrayXmpValue bag;
    BaseArrayXmpValue::Items items;
    items.push_back(std::make_unique<TextXmpValue>("a"));
    bag.SetData(std::move(items));
    Metadatum const subject(XmpMetadatum::Create(XmpKey{FieldGroup::XmpDc, "subject", subjectField}, store,
                                                 std::move(bag), 1, "dc"));
    EXPECT_EQ(subject.GetName(), "Subject");
    EXPECT_EQ(subject.GetId(), "subject");
    EXPECT_TRUE(subject.KeyIsKnown());
    EXPECT_EQ(subject.GetValueTypeAsString(), "UnorderedArray");
    EXPECT_EQ(subject.GetValueCount(), 1u);
    EXPECT_EQ(subject.GetAffinity(), ValueAffinity::Display);
    EXPECT_EQ(subject.GetRawValue(), Value(ValueSet{Value("a")}));
    EXPECT_EQ(subject.GetKey().GetFullName(), "Xmp:XmpDc.Subject");
    EXPECT_EQ(subject.As<XmpMetadatum>().GetOriginalNsPrefix(), "dc");
    EXPECT_EQ(subject.As<XmpMetadatum>().GetValueType(), XmpType::UnorderedArray);

    DateXmpValue date("2001-02-03");
    Metadatum const unknown(XmpMetadatum::Create(XmpKey{FieldGroup::XmpPassthrough, "white_balance", nullptr},
                                                 store, std::move(date), 0, "foo"));
    EXPECT_EQ(unknown.GetName(), "white_balance");
    EXPECT_EQ(unknown.GetId(), "white_balance");
    EXPECT_FALSE(unknown.KeyIsKnown());
    EXPECT_EQ(unknown.GetTitle(), "White balance");
    EXPECT_EQ(unknown.GetDescription(), "");
    EXPECT_EQ(unknown.GetValueTypeAsString(), "Date");
    EXPECT_EQ(unknown.GetRawValue().GetType(), Value::Type::DateTime);
    EXPECT_EQ(unknown.GetPriority(), 0);
    EXPECT_FALSE(unknown.Replaces(subject));
    EXPECT_TRUE(subject.Replaces(unknown));
}

TEST(XmpMetadatum, TypeNamesCoverTheNumbersOneToTwentyTwo) {
    EXPECT_EQ(GetXmpTypeName(XmpType::Simple), "Simple");
    EXPECT_EQ(GetXmpTypeName(XmpType::Choice), "Choice");
    EXPECT_EQ(GetXmpTypeName(XmpType::Guid), "GUID");
    EXPECT_EQ(GetXmpTypeName(XmpType::MimeType), "MIMEType");
    EXPECT_EQ(GetXmpTypeName(XmpType::Uri), "URI");
    EXPECT_EQ(GetXmpTypeName(XmpType::Rational), "Rational");
    EXPECT_EQ(GetXmpTypeName(XmpType::Unknown), "");
    EXPECT_EQ(GetXmpTypeName(static_cast<XmpType>(23)), "");

    auto const store = std::make_shared<ReadStore>();
    Metadatum const bare(XmpMetadatum::Create(XmpKey{FieldGroup::Xmp, "Label", nullptr}, store));
    EXPECT_FALSE(bare);
    EXPECT_EQ(bare.GetValueTypeAsString(), "");
}

}  // namespace
}  // namespace meta
