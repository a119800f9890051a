#include "varrow/xmp_out/xmp_namespaces.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace meta::xmp {
namespace {

struct Known {
    FieldGroup group;
    std::string_view prefix;
    std::string_view uri;
};

// Published namespace names, written out independently of the table.
constexpr Known kKnown[] = {
    {FieldGroup::Xmp, "xmp", "http://ns.adobe.com/xap/1.0/"},
    {FieldGroup::XmpX, "x", "adobe:ns:meta/"},
    {FieldGroup::XmpDc, "dc", "http://purl.org/dc/elements/1.1/"},
    {FieldGroup::XmpRights, "xmpRights", "http://ns.adobe.com/xap/1.0/rights/"},
    {FieldGroup::XmpNote, "xmpNote", "http://ns.adobe.com/xmp/note/"},
    {FieldGroup::XmpMM, "xmpMM", "http://ns.adobe.com/xap/1.0/mm/"},
    {FieldGroup::XmpBJ, "xmpBJ", "http://ns.adobe.com/xap/1.0/bj/"},
    {FieldGroup::XmpTPg, "xmpTPg", "http://ns.adobe.com/xap/1.0/t/pg/"},
    {FieldGroup::XmpPdf, "pdf", "http://ns.adobe.com/pdf/1.3/"},
    {FieldGroup::XmpPhotoshop, "photoshop", "http://ns.adobe.com/photoshop/1.0/"},
    {FieldGroup::XmpCrs, "crs", "http://ns.adobe.com/camera-raw-settings/1.0/"},
    {FieldGroup::XmpTiff, "tiff", "http://ns.adobe.com/tiff/1.0/"},
    {FieldGroup::XmpExif, "exif", "http://ns.adobe.com/exif/1.0/"},
    {FieldGroup::XmpExifEx, "exifEX", "http://cipa.jp/exif/1.0/"},
    {FieldGroup::XmpAux, "aux", "http://ns.adobe.com/exif/1.0/aux/"},
    {FieldGroup::XmpIptcCore, "Iptc4xmpCore", "http://iptc.org/std/Iptc4xmpCore/1.0/xmlns/"},
    {FieldGroup::XmpLightroom, "lr", "http://ns.adobe.com/lightroom/1.0/"},
    {FieldGroup::XmpAlbum, "album", "http://ns.adobe.com/album/1.0/"},
    {FieldGroup::PhotomechanicXmp, "photomechanic", "http://ns.camerabits.com/photomechanic/1.0/"},
    {FieldGroup::XmpGPano, "GPano", "http://ns.google.com/photos/1.0/panorama/"},
    {FieldGroup::XmpGSpherical, "GSpherical", "http://ns.google.com/videos/1.0/spherical/"},
    {FieldGroup::XmpGFocus, "GFocus", "http://ns.google.com/photos/1.0/focus/"},
    {FieldGroup::XmpCreativeCommons, "cc", "http://creativecommons.org/ns#"},
    {FieldGroup::XmpMwgCollections, "mwg-coll", "http://www.metadataworkinggroup.com/schemas/collections/"},
};

TEST(XmpNamespacesTest, EverySchemaRoundTripsThroughAllFourLookups) {
    for (const auto& k : kKnown) {
        SCOPED_TRACE(std::string(k.prefix));
        EXPECT_EQ(GetFieldGroupFromNsUri(k.uri), k.group);
        EXPECT_EQ(GetNsUriFromFieldGroup(k.group), k.uri);
        EXPECT_EQ(GetNsPreferredPrefix(k.uri), k.prefix);
        EXPECT_EQ(GetFieldGroupFromNsPrefix(k.prefix), k.group);
    }
}

TEST(XmpNamespacesTest, LightroomAliasPrefixResolvesButIsNotPreferred) {
    EXPECT_EQ(GetFieldGroupFromNsPrefix("lightroom"), FieldGroup::XmpLightroom);
    EXPECT_EQ(GetNsPreferredPrefix("http://ns.adobe.com/lightroom/1.0/"), "lr");
}

TEST(XmpNamespacesTest, UnknownInputsGiveUnknownOrEmpty) {
    // Near misses: missing trailing slash, wrong case, a prefix of a longer URI.
    for (std::string_view uri : {"", "http://ns.adobe.com/xap/1.0", "HTTP://purl.org/dc/elements/1.1/",
                                 "http://ns.adobe.com/", "http://ns.adobe.com/exif/1.0/aux/x"}) {
        SCOPED_TRACE(std::string(uri));
        EXPECT_EQ(GetFieldGroupFromNsUri(uri), FieldGroup::Unknown);
        EXPECT_TRUE(GetNsPreferredPrefix(uri).empty());
    }
    for (std::string_view prefix : {"", "DC", "Xmp", "exifex", "rdf", "crd"}) {
        SCOPED_TRACE(std::string(prefix));
        EXPECT_EQ(GetFieldGroupFromNsPrefix(prefix), FieldGroup::Unknown);
    }
    // Groups outside the XMP schemas, including the XMP groups without a namespace of their own.
    for (FieldGroup group :
         {FieldGroup::Unknown, FieldGroup::Composite, FieldGroup::Exif, FieldGroup::XmpPassthrough,
          FieldGroup::XmpStructFlash, static_cast<FieldGroup>(9999)})
        EXPECT_TRUE(GetNsUriFromFieldGroup(group).empty()) << static_cast<int>(group);
}

TEST(XmpNamespacesTest, ExifNamespacesInFixedOrder) {
    auto uris = GetExifNamespaces();
    ASSERT_EQ(uris.size(), 5u);
    EXPECT_STREQ(uris[0], "http://ns.adobe.com/exif/1.0/");
    EXPECT_STREQ(uris[1], "http://ns.adobe.com/exif/1.0/aux/");
    EXPECT_STREQ(uris[2], "http://cipa.jp/exif/1.0/");
    EXPECT_STREQ(uris[3], "http://ns.adobe.com/camera-raw-settings/1.0/");
    EXPECT_STREQ(uris[4], "http://ns.adobe.com/tiff/1.0/");
}

TEST(XmpNamespacesTest, LookupsTakeKeysThatAreNotNulTerminated) {
    std::string buffer = "http://purl.org/dc/elements/1.1/trailing";
    std::string_view uri(buffer.data(), buffer.size() - 8);
    EXPECT_EQ(GetFieldGroupFromNsUri(uri), FieldGroup::XmpDc);
    EXPECT_EQ(GetFieldGroupFromNsPrefix(std::string_view("dcx", 2)), FieldGroup::XmpDc);
}

}  // namespace
}  // namespace meta::xmp
