// The toolkit layer: parsing, property access, iteration and the tree
// operations built on top of the C interface.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "blocks/xmp_test_packets.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace meta::xmp {
namespace {

using test::kDcNs;
using test::kFooNs;
using test::kXmpNs;
using test::XmpPacket;
using Meta = TXMPMeta<std::string>;

class XmpToolkit : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(test::XmpToolkit()->XmpOkay()); }
};

std::string const kSample = XmpPacket(
    R"(<dc:subject><rdf:Bag><rdf:li>b</rdf:li><rdf:li>a</rdf:li></rdf:Bag></dc:subject>)"
    R"(<dc:title><rdf:Alt><rdf:li xml:lang="de">Titel</rdf:li><rdf:li xml:lang="x-default">Title</rdf:li></rdf:Alt></dc:title>)"
    R"(<xmp:Rating>3</xmp:Rating>)"
    R"(<foo:note rdf:parseType="Resource"><rdf:value>text</rdf:value><foo:q>1</foo:q></foo:note>)"
    R"(<xmpMM:History><rdf:Seq><rdf:li rdf:parseType="Resource"><stEvt:when>2020</stEvt:when>)"
    R"(<stEvt:action>saved</stEvt:action></rdf:li></rdf:Seq></xmpMM:History>)");

Meta Parse(std::string const& text) {
    return Meta(text.data(), text.size());
}

std::string Property(Meta const& meta, char const* ns, char const* path) {
    std::string value;
    EXPECT_TRUE(meta.GetProperty(ns, path, &value, nullptr)) << path;
    return value;
}

TEST_F(XmpToolkit, ParsesAndReadsProperties) {
    Meta const meta = Parse(kSample);
    std::uint32_t bits = 0;
    ASSERT_TRUE(meta.GetProperty(kDcNs, "subject", nullptr, &bits));
    EXPECT_EQ(bits & options::kPropCompositeMask, options::kPropValueIsArray);
    EXPECT_EQ(Property(meta, kDcNs, "subject[2]"), "a");
    EXPECT_EQ(Property(meta, kXmpNs, "Rating"), "3");
    EXPECT_TRUE(meta.DoesPropertyExist(kDcNs, "title"));
    EXPECT_FALSE(meta.DoesPropertyExist(kDcNs, "rights"));
    EXPECT_FALSE(meta.GetProperty(kDcNs, "rights", nullptr, nullptr));
    EXPECT_EQ(meta.CountProperties(), 5u);

    std::string lang;
    EXPECT_TRUE(meta.GetQualifier(kFooNs, "note", "http://example.com/foo/1.0/", "q", &lang, nullptr));
    EXPECT_EQ(lang, "1");
    EXPECT_FALSE(meta.GetQualifier(kXmpNs, "Rating", "http://example.com/foo/1.0/", "q", nullptr, nullptr));
}

TEST_F(XmpToolkit, MalformedPacketsThrowTheToolkitError) {
    try {
        Parse("<x:xmpmeta><unclosed");
        FAIL() << "no error";
    } catch (XMP_Error const& e) {
        EXPECT_EQ(e.GetID(), 201);  // bad XML
        EXPECT_NE(std::string(e.GetErrMsg()), "");
    }
    // Well-formed XML that is not valid RDF.
    std::string const badRdf = XmpPacket(R"(<foo:a foo:b="1">text</foo:a>)");
    EXPECT_THROW(Parse(badRdf), XMP_Error);
}

TEST_F(XmpToolkit, PiecewiseParseEqualsWholeParse) {
    Meta pieces;
    for (std::size_t at = 0; at < kSample.size(); at += 7) {
        pieces.ParseFromBuffer(kSample.data() + at, std::min<std::size_t>(7, kSample.size() - at),
                               options::kParseMoreBuffers);
    }
    EXPECT_FALSE(pieces.DoesPropertyExist(kDcNs, "subject"));  // nothing until the last piece
    pieces.ParseFromBuffer(nullptr, 0);
    std::string whole, piecewise;
    Parse(kSample).SerializeToBuffer(&whole, options::kOmitPacketWrapper);
    pieces.SerializeToBuffer(&piecewise, options::kOmitPacketWrapper);
    EXPECT_EQ(piecewise, whole);
    EXPECT_NE(whole.find("saved"), std::string::npos);
}

TEST_F(XmpToolkit, CopiesAreIndependentAndMovesTransfer) {
    Meta original = Parse(kSample);
    Meta copy = original;
    copy.SetProperty(kXmpNs, "Rating", "5");
    copy.DeleteProperty(kDcNs, "subject");
    copy.DeleteProperty(kDcNs, "subject");  // gone already: not an error
    EXPECT_EQ(Property(original, kXmpNs, "Rating"), "3");
    EXPECT_TRUE(original.DoesPropertyExist(kDcNs, "subject"));
    EXPECT_EQ(Property(copy, kXmpNs, "Rating"), "5");

    Meta moved = std::move(copy);
    EXPECT_EQ(Property(moved, kXmpNs, "Rating"), "5");
    copy = original;  // a moved-from object can be assigned again
    EXPECT_EQ(Property(copy, kXmpNs, "Rating"), "3");
}

TEST_F(XmpToolkit, IteratesDirectChildrenWithQualifiersFirst) {
    Meta const meta = Parse(kSample);
    std::vector<std::string> paths;
    std::vector<std::uint32_t> bits;
    TXMPIterator<std::string> it(meta, kDcNs, "title", options::kIterJustChildren);
    std::string path, value;
    std::uint32_t b = 0;
    while (it.Next(nullptr, &path, &value, &b)) {
        paths.push_back(path);
        bits.push_back(b);
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"dc:title[1]", "dc:title[2]"}));

    TXMPIterator<std::string> note(meta, kFooNs, "note", options::kIterJustChildren);
    ASSERT_TRUE(note.Next(nullptr, &path, &value, &b));
    EXPECT_EQ(path, "foo:note/?foo:q");
    EXPECT_NE(b & options::kPropIsQualifier, 0u);
    EXPECT_FALSE(note.Next(nullptr, &path, &value, &b));

    // The root's direct children are the schemas.
    std::vector<std::string> schemas;
    std::string ns;
    TXMPIterator<std::string> root(meta, nullptr, nullptr, options::kIterJustChildren);
    while (root.Next(&ns, nullptr, nullptr, nullptr)) schemas.push_back(ns);
    EXPECT_EQ(schemas.size(), 4u);
}

TEST_F(XmpToolkit, NamespaceLookups) {
    std::string prefix, uri;
    EXPECT_TRUE(Meta::GetNamespacePrefix(kDcNs, &prefix));
    EXPECT_EQ(prefix, "dc:");
    EXPECT_TRUE(Meta::GetNamespaceURI("dc", &uri));
    EXPECT_EQ(uri, kDcNs);
    EXPECT_FALSE(Meta::GetNamespaceURI("surely-not-registered", &uri));
    EXPECT_EQ(Meta::RegisterNamespace("http://example.com/registered/", "regd"), "regd:");
    EXPECT_TRUE(Meta::GetNamespacePrefix("http://example.com/registered/", &prefix));
    EXPECT_EQ(prefix, "regd:");
}

TEST_F(XmpToolkit, DuplicateSubtreeCopiesItemsFieldsAndQualifiers) {
    Meta const source = Parse(kSample);
    Meta dest;
    TXMPUtils<std::string>::DuplicateSubtree(source, &dest, kDcNs, "title");
    TXMPUtils<std::string>::DuplicateSubtree(source, &dest, "http://ns.adobe.com/xap/1.0/mm/",
                                             "xmpMM:History");
    TXMPUtils<std::string>::DuplicateSubtree(source, &dest, kFooNs, "foo:note", kXmpNs, "xmp:Note");
    EXPECT_EQ(Property(dest, kDcNs, "title[1]/?xml:lang"), Property(source, kDcNs, "title[1]/?xml:lang"));
    EXPECT_EQ(Property(dest, kDcNs, "title[2]/?xml:lang"), Property(source, kDcNs, "title[2]/?xml:lang"));
    EXPECT_EQ(Property(dest, kDcNs, "title[2]"), Property(source, kDcNs, "title[2]"));
    EXPECT_EQ(Property(dest, "http://ns.adobe.com/xap/1.0/mm/", "History[1]/stEvt:action"), "saved");
    EXPECT_EQ(Property(dest, kXmpNs, "Note"), "text");
    EXPECT_EQ(Property(dest, kXmpNs, "Note/?foo:q"), "1");
    std::uint32_t bits = 0;
    ASSERT_TRUE(dest.GetProperty(kDcNs, "title", nullptr, &bits));
    EXPECT_NE(bits & options::kPropArrayIsAltText, 0u);
    EXPECT_FALSE(dest.DoesPropertyExist(kDcNs, "subject"));

    // A whole schema, and a missing source.
    TXMPUtils<std::string>::DuplicateSubtree(source, &dest, kDcNs, "");
    EXPECT_EQ(Property(dest, kDcNs, "subject[1]"), "b");
    EXPECT_THROW(TXMPUtils<std::string>::DuplicateSubtree(source, &dest, kDcNs, "rights"), XMP_Error);
}

TEST_F(XmpToolkit, SortOrdersSchemasPropertiesFieldsAndLanguages) {
    Meta meta = Parse(kSample);
    meta.Sort();
    std::string text;
    meta.SerializeToBuffer(&text, options::kOmitPacketWrapper);
    // Schemas by prefix: dc < foo < xmp < xmpMM.
    auto const dc = text.find("<dc:subject"), foo = text.find("<foo:note"), xmp = text.find("<xmp:Rating"),
               mm = text.find("<xmpMM:History");
    ASSERT_NE(mm, std::string::npos);
    EXPECT_LT(dc, foo);
    EXPECT_LT(foo, xmp);
    EXPECT_LT(xmp, mm);
    // Properties and struct fields by name; x-default first; bag items keep their order.
    EXPECT_LT(text.find("<dc:subject"), text.find("<dc:title"));
    EXPECT_LT(text.find("<stEvt:action"), text.find("<stEvt:when"));
    EXPECT_EQ(Property(meta, kDcNs, "title[1]/?xml:lang"), "x-default");
    EXPECT_EQ(Property(meta, kDcNs, "subject[1]"), "b");
    EXPECT_EQ(meta.CountProperties(), 5u);
}

}  // namespace
}  // namespace meta::xmp
