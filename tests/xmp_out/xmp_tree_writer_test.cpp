// A collection turned into an XMP tree: mapping, precedence, shaping and the
// items read from XMP packets.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "blocks/xmp_test_packets.h"
#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_processor.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/xmp_out/rdf_serialisation.h"

namespace meta {
namespace {

using Tree = xmp::TXMPMeta<std::string>;
constexpr char const* kDc = "http://purl.org/dc/elements/1.1/";
constexpr char const* kXmp = "http://ns.adobe.com/xap/1.0/";
constexpr char const* kExif = "http://ns.adobe.com/exif/1.0/";
constexpr char const* kTiff = "http://ns.adobe.com/tiff/1.0/";
constexpr char const* kMM = "http://ns.adobe.com/xap/1.0/mm/";

std::string Text(Tree const& tree, char const* ns, char const* path) {
    std::string value;
    if (!tree.GetProperty(ns, path, &value, nullptr)) return "<missing>";
    return value;
}

bool Add(Metadata& md, FieldGroup group, std::string name, Value value,
         ValueAffinity affinity = ValueAffinity::Display) {
    return md.Add(group, std::move(name), std::move(value), affinity);
}

TEST(XmpTreeWriter, MappedItemsAreShapedByTheirProperty) {
    Metadata md(test::XmpToolkit());
    ASSERT_TRUE(md.GetInitialiser()->XmpOkay());
    Add(md, FieldGroup::Exif, "Make", Value("Canon"));
    Add(md, FieldGroup::Exif, "DateTimeOriginal", Value("2021:07:04 10:20:30"));
    // A display string where integers are declared is read as one.
    Add(md, FieldGroup::Exif, "ISO", Value("400"));
    Add(md, FieldGroup::IptcApplication, "Keywords", Value(ValueSet{Value("a"), Value("b")}));
    Add(md, FieldGroup::IptcApplication, "ObjectName", Value("A title"));
    // Not written: no property, no text, no affinity, not a date.
    Add(md, FieldGroup::Exif, "NoSuchTagAnywhere", Value("x"));
    Add(md, FieldGroup::Exif, "Software", Value(""));
    Add(md, FieldGroup::Exif, "Artist", Value("me"), ValueAffinity::None);
    Add(md, FieldGroup::Exif, "CreateDate", Value("not a date"));

    Tree const tree = md.ToLibXmpTree(Options{});
    EXPECT_EQ(Text(tree, kTiff, "Make"), "Canon");
    EXPECT_EQ(Text(tree, kExif, "DateTimeOriginal"), "2021-07-04T10:20:30");
    // A sequence of integers, even from one number.
    EXPECT_EQ(tree.CountArrayItems(kExif, "ISOSpeedRatings"), 1);
    EXPECT_EQ(Text(tree, kExif, "ISOSpeedRatings[1]"), "400");
    EXPECT_EQ(tree.CountArrayItems(kDc, "subject"), 2);
    EXPECT_EQ(Text(tree, kDc, "subject[2]"), "b");
    std::string lang, title;
    ASSERT_TRUE(tree.GetLocalizedText(kDc, "title", "", "x-default", &lang, &title, nullptr));
    EXPECT_EQ(title, "A title");

    EXPECT_FALSE(tree.DoesPropertyExist(kTiff, "Software"));
    EXPECT_FALSE(tree.DoesPropertyExist(kTiff, "Artist"));
    EXPECT_FALSE(tree.DoesPropertyExist(kXmp, "CreateDate"));
    std::string const rdf = md.ToXmp(Options{}, xmp::RdfSerialisationMode::NoPacketWrapper);
    EXPECT_EQ(rdf.find("NoSuchTagAnywhere"), std::string::npos);
    EXPECT_NE(rdf.find("<tiff:Make>Canon</tiff:Make>"), std::string::npos) << rdf;
    EXPECT_EQ(rdf, xmp::SerialiseToRdf(tree, xmp::RdfSerialisationMode::NoPacketWrapper));
}

TEST(XmpTreeWriter, CompositeIsoYieldsToTheExifOneUnlessKept) {
    Metadata md(test::XmpToolkit());
    Add(md, FieldGroup::Exif, "ISO", Value(std::uint16_t{100}));
    Add(md, FieldGroup::Composite, "ISO", Value(std::uint16_t{200}));
    EXPECT_EQ(Text(md.ToLibXmpTree(Options{}), kExif, "ISOSpeedRatings[1]"), "100");
    Options keep;
    keep.xmpKeepCompositeIso = true;
    EXPECT_EQ(Text(md.ToLibXmpTree(keep), kExif, "ISOSpeedRatings[1]"), "200");

    Metadata compositeOnly(test::XmpToolkit());
    Add(compositeOnly, FieldGroup::Composite, "ISO", Value(std::uint16_t{200}));
    EXPECT_EQ(Text(compositeOnly.ToLibXmpTree(Options{}), kExif, "ISOSpeedRatings[1]"), "200");
}

TEST(XmpTreeWriter, ItemsOfLowerPriorityDoNotTakeAPropertyOver) {
    std::string const packet = test::XmpPacket(
        R"(<tiff:Make>FromXmp</tiff:Make><xmp:Rating>4</xmp:Rating>)"
        R"(<xmpMM:History><rdf:Seq><rdf:li rdf:parseType="Resource"><stEvt:action>saved</stEvt:action>)"
        R"(</rdf:li></rdf:Seq></xmpMM:History>)"
        R"(<dc:title><rdf:Alt><rdf:li xml:lang="x-default">T</rdf:li><rdf:li xml:lang="de">D</rdf:li>)"
        R"(<rdf:li xml:lang="fr">F</rdf:li></rdf:Alt></dc:title>)");
    Tree const parsed(packet.data(), packet.size());

    // The user's item (priority 2) came first; the packet's (priority 1)
    // does not replace it.
    Metadata userFirst(test::XmpToolkit());
    Add(userFirst, FieldGroup::Exif, "Make", Value("FromUser"));
    ASSERT_TRUE(userFirst.Read(parsed, Options{}));
    Tree const a = userFirst.ToLibXmpTree(Options{});
    EXPECT_EQ(Text(a, kTiff, "Make"), "FromUser");

    // Added later, the user's item wins.
    Metadata xmpFirst(test::XmpToolkit());
    ASSERT_TRUE(xmpFirst.Read(parsed, Options{}));
    Tree const b0 = xmpFirst.ToLibXmpTree(Options{});
    EXPECT_EQ(Text(b0, kTiff, "Make"), "FromXmp");
    Add(xmpFirst, FieldGroup::Exif, "Make", Value("FromUser"));
    Tree const b = xmpFirst.ToLibXmpTree(Options{});
    EXPECT_EQ(Text(b, kTiff, "Make"), "FromUser");

    // XMP items go back as they were read, structures and languages included.
    for (Tree const* tree : {&a, &b}) {
        EXPECT_EQ(Text(*tree, kXmp, "Rating"), "4");
        // The reader keeps structure members by their local names, so they
        // are written in the property's namespace.
        std::uint32_t bits = 0;
        ASSERT_TRUE(tree->GetProperty(kMM, "History[1]", nullptr, &bits));
        EXPECT_NE(bits & xmp::options::kPropValueIsStruct, 0u);
        EXPECT_EQ(Text(*tree, kMM, "History[1]/xmpMM:action"), "saved");
        std::string lang, text;
        ASSERT_TRUE(tree->GetLocalizedText(kDc, "title", "", "de", &lang, &text, nullptr));
        EXPECT_EQ(text, "D");
        ASSERT_TRUE(tree->GetLocalizedText(kDc, "title", "", "x-default", &lang, &text, nullptr));
        EXPECT_EQ(text, "T");
    }
}

TEST(XmpTreeWriter, FlashBecomesAStructureOfItsBits) {
    Metadata md(test::XmpToolkit());
    Add(md, FieldGroup::Exif, "Flash", Value(std::uint16_t{0x59}));
    Tree const tree = md.ToLibXmpTree(Options{});
    EXPECT_EQ(Text(tree, kExif, "Flash/exif:Fired"), "True");
    EXPECT_EQ(Text(tree, kExif, "Flash/exif:Return"), "0");
    EXPECT_EQ(Text(tree, kExif, "Flash/exif:Mode"), "3");
    EXPECT_EQ(Text(tree, kExif, "Flash/exif:Function"), "False");
    EXPECT_EQ(Text(tree, kExif, "Flash/exif:RedEyeMode"), "True");

    Tree direct;
    Metadata textual(test::XmpToolkit());
    Add(textual, FieldGroup::Exif, "Flash", Value("Fired"));
    XmpProcessor::BuildExifFlashStructure(textual, direct);
    EXPECT_EQ(direct.CountProperties(), 0u);
    Metadata bits(test::XmpToolkit());
    Add(bits, FieldGroup::Exif, "Flash", Value(std::uint16_t{0x06}));
    XmpProcessor::BuildExifFlashStructure(bits, direct);
    EXPECT_EQ(Text(direct, kExif, "Flash/exif:Return"), "3");
    EXPECT_EQ(Text(direct, kExif, "Flash/exif:Fired"), "False");
}

TEST(XmpTreeWriter, WithoutAToolkitTheOutputIsEmpty) {
    Metadata md(std::shared_ptr<Initialiser>{});
    Add(md, FieldGroup::Exif, "Make", Value("Canon"));
    EXPECT_EQ(md.ToXmp(Options{}, xmp::RdfSerialisationMode::FullPacket), "");
    EXPECT_EQ(md.ToLibXmpTree(Options{}).CountProperties(), 0u);
    // The same collection with a toolkit does write.
    Metadata usable(test::XmpToolkit());
    Add(usable, FieldGroup::Exif, "Make", Value("Canon"));
    EXPECT_NE(usable.ToXmp(Options{}, xmp::RdfSerialisationMode::FullPacket), "");
}

}  // namespace
}  // namespace meta
