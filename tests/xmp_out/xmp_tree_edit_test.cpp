// Serialisation modes and the editing helpers on whole trees.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "blocks/xmp_test_packets.h"
#include "varrow/blocks/xmp/xmp_deserialise.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/xmp_out/rdf_serialisation.h"
#include "varrow/xmp_out/xmp_namespaces.h"
#include "varrow/xmp_out/xmp_tree_edit.h"

namespace meta::xmp {
namespace {

using Tree = TXMPMeta<std::string>;
constexpr char const* kDc = "http://purl.org/dc/elements/1.1/";
constexpr char const* kXmp = "http://ns.adobe.com/xap/1.0/";
constexpr char const* kExif = "http://ns.adobe.com/exif/1.0/";
constexpr char const* kTiff = "http://ns.adobe.com/tiff/1.0/";

Tree Sample() {
    Tree tree;
    tree.SetProperty(kXmp, "Rating", "3");
    tree.SetProperty(kXmp, "Label", "red");
    tree.SetProperty(kDc, "format", "image/jpeg");
    tree.AppendArrayItem(kDc, "subject", options::kPropValueIsArray, "cat");
    tree.SetProperty(kExif, "GPSLatitude", "10,30N");
    tree.SetProperty(kExif, "GPSDifferential", "0");
    tree.SetProperty(kExif, "FNumber", "28/10");
    tree.SetProperty(kTiff, "Make", "Canon");
    return tree;
}

TEST(RdfSerialisation, ModesChooseTheWrapper) {
    Tree const tree = Sample();
    std::string const bare = SerialiseToRdf(tree, RdfSerialisationMode::NoPacketWrapper);
    std::string const readOnly = SerialiseToRdf(tree, RdfSerialisationMode::ReadOnlyPacket);
    std::string const full = SerialiseToRdf(tree, RdfSerialisationMode::FullPacket);
    EXPECT_EQ(bare.rfind("<x:xmpmeta", 0), 0u) << bare;
    EXPECT_EQ(bare.find("<?xpacket"), std::string::npos);
    EXPECT_EQ(readOnly.rfind("<?xpacket begin=", 0), 0u);
    EXPECT_NE(readOnly.find("<?xpacket end=\"r\"?>"), std::string::npos);
    EXPECT_NE(full.find("<?xpacket end=\"w\"?>"), std::string::npos);
    EXPECT_EQ(SerialiseToRdf(tree, static_cast<RdfSerialisationMode>(3)), "");
    EXPECT_EQ(SerialiseToRdf(tree, static_cast<RdfSerialisationMode>(-1)), "");

    // The text parses back into the same properties.
    bool changed = true;
    Tree const back = DeserialiseRdf(full, &changed);
    EXPECT_EQ(back.CountProperties(), tree.CountProperties());
    std::string value;
    EXPECT_TRUE(back.GetProperty(kDc, "subject[1]", &value, nullptr));
    EXPECT_EQ(value, "cat");
}

TEST(XmpTreeEdit, RemovalByNamespace) {
    Tree tree = Sample();
    RemoveExifGpsFields(tree);
    EXPECT_FALSE(tree.DoesPropertyExist(kExif, "GPSLatitude"));
    EXPECT_FALSE(tree.DoesPropertyExist(kExif, "GPSDifferential"));
    EXPECT_TRUE(tree.DoesPropertyExist(kExif, "FNumber"));

    tree = Sample();
    RemoveAllInNamespaceExcept(tree, kXmp, {"xmp:Label"});
    EXPECT_FALSE(tree.DoesPropertyExist(kXmp, "Rating"));
    EXPECT_TRUE(tree.DoesPropertyExist(kXmp, "Label"));
    RemoveAllInNamespace(tree, kXmp);
    EXPECT_FALSE(tree.DoesPropertyExist(kXmp, "Label"));
    // A namespace the tree does not hold is no error.
    RemoveAllInNamespace(tree, "http://ns.adobe.com/photoshop/1.0/");
    EXPECT_EQ(tree.CountProperties(), 6u);

    tree = Sample();
    RemoveAllInNamespaces(tree, GetExifNamespaces());
    EXPECT_EQ(tree.CountProperties(), 4u);
    EXPECT_TRUE(tree.DoesPropertyExist(kDc, "subject"));

    tree = Sample();
    RemoveAllNotInNamespaces(tree, {kDc, kTiff});
    EXPECT_EQ(tree.CountProperties(), 3u);
    EXPECT_TRUE(tree.DoesPropertyExist(kTiff, "Make"));
    RemoveAllNotInNamespace(tree, kDc);
    EXPECT_EQ(tree.CountProperties(), 2u);
}

TEST(XmpTreeEdit, MergeLetsTheSourceWin) {
    Tree target = Sample();
    Tree source;
    source.SetProperty(kXmp, "Rating", "5");
    source.AppendArrayItem(kDc, "subject", options::kPropValueIsArray | options::kPropArrayIsOrdered, "dog");
    source.SetProperty(kDc, "source", "scan");
    MergeToplevelProperties(target, source);
    std::string value;
    std::uint32_t bits = 0;
    ASSERT_TRUE(target.GetProperty(kXmp, "Rating", &value, nullptr));
    EXPECT_EQ(value, "5");
    // The whole subtree is replaced, not merged item by item.
    EXPECT_EQ(target.CountArrayItems(kDc, "subject"), 1);
    ASSERT_TRUE(target.GetProperty(kDc, "subject", nullptr, &bits));
    EXPECT_NE(bits & options::kPropArrayIsOrdered, 0u);
    ASSERT_TRUE(target.GetProperty(kDc, "subject[1]", &value, nullptr));
    EXPECT_EQ(value, "dog");
    EXPECT_TRUE(target.DoesPropertyExist(kDc, "source"));
    EXPECT_TRUE(target.DoesPropertyExist(kXmp, "Label"));
    EXPECT_EQ(target.CountProperties(), 9u);
}

TEST(XmpTreeEdit, CorrectNormalisesDatesAndMisplacedSimpleValues) {
    ASSERT_TRUE(test::XmpToolkit()->DbOkay());  // the field tables decide
    Tree tree;
    tree.SetProperty(kXmp, "CreateDate", "2021:07:04 10:20:30");
    tree.SetProperty(kDc, "subject", "not an array");
    tree.SetProperty(kXmp, "Label", "red");
    EXPECT_TRUE(Correct(tree));
    std::string value;
    ASSERT_TRUE(tree.GetProperty(kXmp, "CreateDate", &value, nullptr));
    EXPECT_EQ(value, "2021-07-04T10:20:30");
    EXPECT_FALSE(tree.DoesPropertyExist(kDc, "subject"));
    EXPECT_TRUE(tree.DoesPropertyExist(kXmp, "Label"));
    EXPECT_FALSE(Correct(tree));
}

}  // namespace
}  // namespace meta::xmp
