// The toolkit layer's typed setters, arrays, structures, qualifiers and path
// composition, checked by reading the tree back and through its RDF text.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace meta::xmp {
namespace {

using Tree = TXMPMeta<std::string>;
constexpr char const* kDc = "http://purl.org/dc/elements/1.1/";
constexpr char const* kXmp = "http://ns.adobe.com/xap/1.0/";
constexpr char const* kXml = "http://www.w3.org/XML/1998/namespace";
constexpr char const* kEvt = "http://ns.adobe.com/xap/1.0/sType/ResourceEvent#";
constexpr char const* kUnregistered = "http://example.com/never-registered/";

std::string Get(Tree const& tree, char const* ns, char const* path) {
    std::string value;
    EXPECT_TRUE(tree.GetProperty(ns, path, &value, nullptr)) << path;
    return value;
}

TEST(XmpToolkitWriting, TypedSettersWriteTheirCanonicalText) {
    Tree tree;
    tree.SetProperty_Bool(kXmp, "B", true);
    tree.SetProperty_Int(kXmp, "I", -7);
    tree.SetProperty_Int64(kXmp, "L", INT64_C(-9007199254740993));
    tree.SetProperty_Float(kXmp, "F", 1.5);
    // Small and large reals keep every digit instead of six fixed decimals.
    tree.SetProperty_Float(kXmp, "Small", 1e-7);
    tree.SetProperty_Float(kXmp, "Large", 12345678901234.5);
    EXPECT_EQ(Get(tree, kXmp, "B"), "True");
    EXPECT_EQ(Get(tree, kXmp, "I"), "-7");
    EXPECT_EQ(Get(tree, kXmp, "L"), "-9007199254740993");
    EXPECT_EQ(Get(tree, kXmp, "F"), "1.5");
    EXPECT_EQ(Get(tree, kXmp, "Large"), "12345678901234.5");

    bool b = false;
    std::int64_t l = 0;
    double small = 0;
    EXPECT_TRUE(tree.GetProperty_Bool(kXmp, "B", &b, nullptr));
    EXPECT_TRUE(b);
    EXPECT_TRUE(tree.GetProperty_Int64(kXmp, "L", &l, nullptr));
    EXPECT_EQ(l, INT64_C(-9007199254740993));
    EXPECT_TRUE(tree.GetProperty_Float(kXmp, "Small", &small, nullptr));
    EXPECT_DOUBLE_EQ(small, 1e-7);
    EXPECT_FALSE(tree.GetProperty_Int64(kXmp, "Missing", &l, nullptr));
    tree.SetProperty(kXmp, "Text", "abc");
    EXPECT_THROW(tree.GetProperty_Int64(kXmp, "Text", &l, nullptr), XMP_Error);
}

TEST(XmpToolkitWriting, ArraysAppendCountAndIndex) {
    Tree tree;
    // Creating an array needs its form.
    EXPECT_THROW(tree.AppendArrayItem(kDc, "subject", 0, "x"), XMP_Error);
    EXPECT_EQ(tree.CountArrayItems(kDc, "subject"), 0);
    for (int i = 1; i <= 37; ++i) {
        tree.AppendArrayItem(kDc, "subject", options::kPropValueIsArray, std::to_string(i).c_str());
    }
    EXPECT_EQ(tree.CountArrayItems(kDc, "subject"), 37);
    std::string value;
    std::uint32_t bits = 0;
    ASSERT_TRUE(tree.GetArrayItem(kDc, "subject", 17, &value, nullptr));
    EXPECT_EQ(value, "17");
    ASSERT_TRUE(tree.GetArrayItem(kDc, "subject", kArrayLastItem, &value, nullptr));
    EXPECT_EQ(value, "37");
    EXPECT_TRUE(tree.DoesArrayItemExist(kDc, "subject", 37));
    EXPECT_FALSE(tree.DoesArrayItemExist(kDc, "subject", 38));
    ASSERT_TRUE(tree.GetProperty(kDc, "subject", nullptr, &bits));
    EXPECT_EQ(bits & options::kPropCompositeMask, options::kPropValueIsArray);

    tree.SetArrayItem(kDc, "subject", 2, "two");
    tree.SetArrayItem(kDc, "subject", 38, "appended");
    EXPECT_EQ(tree.CountArrayItems(kDc, "subject"), 38);
    EXPECT_EQ(Get(tree, kDc, "subject[2]"), "two");
    EXPECT_EQ(Get(tree, kDc, "subject[38]"), "appended");
    EXPECT_THROW(tree.SetArrayItem(kDc, "subject", 40, "gap"), XMP_Error);
    EXPECT_THROW(tree.SetArrayItem(kDc, "nothing", 1, "x"), XMP_Error);

    // Containers as items, which the C layer's own append refuses.
    tree.AppendArrayItem(kDc, "rights", options::kPropArrayIsOrdered, nullptr, options::kPropValueIsStruct);
    tree.SetStructField(kDc, "rights[1]", kEvt, "action", "saved");
    EXPECT_EQ(Get(tree, kDc, "rights[1]/stEvt:action"), "saved");
    std::string field;
    EXPECT_TRUE(tree.GetStructField(kDc, "rights[1]", kEvt, "stEvt:action", &field, nullptr));
    EXPECT_EQ(field, "saved");
    // A simple property is not an array.
    tree.SetProperty(kDc, "format", "image/jpeg");
    EXPECT_THROW(tree.AppendArrayItem(kDc, "format", options::kPropValueIsArray, "x"), XMP_Error);
    EXPECT_THROW(tree.CountArrayItems(kDc, "format"), XMP_Error);
}

TEST(XmpToolkitWriting, LocalisedTextAndQualifiers) {
    Tree tree;
    tree.SetLocalizedText(kDc, "title", "", "x-default", "Hello");
    tree.SetLocalizedText(kDc, "title", "", "de", "Hallo");
    std::string lang, text;
    ASSERT_TRUE(tree.GetLocalizedText(kDc, "title", "", "de", &lang, &text, nullptr));
    EXPECT_EQ(lang, "de");
    EXPECT_EQ(text, "Hallo");
    ASSERT_TRUE(tree.GetLocalizedText(kDc, "title", "", "fr", &lang, &text, nullptr));
    EXPECT_EQ(lang, "x-default");
    EXPECT_FALSE(tree.GetLocalizedText(kDc, "description", "", "fr", &lang, &text, nullptr));
    EXPECT_THROW(tree.SetLocalizedText(kDc, "title", "", "", "x"), XMP_Error);

    tree.SetProperty(kXmp, "Label", "red");
    tree.SetQualifier(kXmp, "Label", kXml, "lang", "en");
    std::string qualifier;
    ASSERT_TRUE(tree.GetQualifier(kXmp, "Label", kXml, "lang", &qualifier, nullptr));
    EXPECT_EQ(qualifier, "en");
    EXPECT_THROW(tree.SetQualifier(kXmp, "Missing", kXml, "lang", "en"), XMP_Error);
}

TEST(XmpToolkitWriting, PathsAreComposedInTheToolkitSyntax) {
    using Utils = TXMPUtils<std::string>;
    std::string path;
    Utils::ComposeArrayItemPath(kDc, "dc:subject", 3, &path);
    EXPECT_EQ(path, "dc:subject[3]");
    Utils::ComposeArrayItemPath(kDc, "subject", kArrayLastItem, &path);
    EXPECT_EQ(path, "subject[last()]");
    EXPECT_THROW(Utils::ComposeArrayItemPath(kDc, "subject", 0, &path), XMP_Error);
    EXPECT_THROW(Utils::ComposeArrayItemPath(kUnregistered, "subject", 1, &path), XMP_Error);

    Utils::ComposeStructFieldPath(kXmp, "xmp:S", kEvt, "action", &path);
    EXPECT_EQ(path, "xmp:S/stEvt:action");
    Utils::ComposeStructFieldPath(kXmp, "xmp:S", kEvt, "stEvt:when", &path);
    EXPECT_EQ(path, "xmp:S/stEvt:when");
    // A prefix that is not the field namespace's.
    EXPECT_THROW(Utils::ComposeStructFieldPath(kXmp, "xmp:S", kEvt, "dc:when", &path), XMP_Error);

    Utils::ComposeQualifierPath(kDc, "dc:title", kXml, "lang", &path);
    EXPECT_EQ(path, "dc:title/?xml:lang");
    Utils::ComposeLangSelector(kDc, "dc:title", "x-default", &path);
    EXPECT_EQ(path, "dc:title[?xml:lang=\"x-default\"]");

    // The composed paths address what the setters wrote.
    Tree tree;
    tree.SetLocalizedText(kDc, "title", "", "x-default", "T");
    EXPECT_EQ(Get(tree, kDc, path.c_str()), "T");
}

}  // namespace
}  // namespace meta::xmp
