#include "varrow/xmp_out/xmp_property_map.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "varrow/fields/field_database.h"
#include "varrow/xmp_out/xmp_namespaces.h"
#include "varrow/xmp_out/xmp_property_map_impl.h"

namespace meta::xmp {
namespace {

void ExpectMaps(FieldGroup source, std::string_view item, FieldGroup group, std::string_view property) {
    const FieldNameMapEntry& entry = MapGroupToField(source, item);
    EXPECT_EQ(entry.group, group) << item;
    EXPECT_EQ(entry.name, property) << item;
}

TEST(XmpPropertyMapTest, DirectRowsMatchExactNamesOfTheirGroupOnly) {
    ExpectMaps(FieldGroup::IptcApplication, "Keywords", FieldGroup::XmpDc, "subject");
    ExpectMaps(FieldGroup::IptcApplication, "By-line", FieldGroup::XmpDc, "creator");
    ExpectMaps(FieldGroup::IptcApplication, "Caption-Abstract", FieldGroup::XmpDc, "description");
    ExpectMaps(FieldGroup::IptcApplication, "Country-PrimaryLocationCode", FieldGroup::XmpIptcCore,
               "CountryCode");
    ExpectMaps(FieldGroup::PentaxLensCorr, "DistortionCorrection", FieldGroup::XmpAux,
               "DistortionCorrectionAlreadyApplied");
    ExpectMaps(FieldGroup::Composite, "NikonVignettingCorrectionApplied", FieldGroup::XmpAux,
               "VignetteCorrectionAlreadyApplied");
    // The same names in other groups, or in another case, go to the general table.
    ExpectMaps(FieldGroup::Exif, "Keywords", FieldGroup::XmpPdf, "Keywords");
    ExpectMaps(FieldGroup::IptcApplication, "keywords", FieldGroup::XmpPdf, "Keywords");
    EXPECT_EQ(MapGroupToField(FieldGroup::Exif, "Caption-Abstract").group, FieldGroup::Unknown);
    // A direct group still reaches the general table for its other names.
    ExpectMaps(FieldGroup::IptcApplication, "City", FieldGroup::XmpPhotoshop, "City");
    ExpectMaps(FieldGroup::Composite, "ISO", FieldGroup::XmpExif, "ISOSpeedRatings");
}

TEST(XmpPropertyMapTest, GeneralRowsIgnoreCaseAndPreferCurrentProperties) {
    ExpectMaps(FieldGroup::Ifd0, "ApertureValue", FieldGroup::XmpExif, "ApertureValue");
    ExpectMaps(FieldGroup::CanonCameraSettings, "APERTUREVALUE", FieldGroup::XmpExif, "ApertureValue");
    ExpectMaps(FieldGroup::Ifd0, "Artist", FieldGroup::XmpTiff, "Artist");
    ExpectMaps(FieldGroup::Exif, "ApproximateFocusDistance", FieldGroup::XmpAux, "ApproximateFocusDistance");
    ExpectMaps(FieldGroup::Exif, "AmbientTemperature", FieldGroup::XmpExifEx, "Temperature");
    ExpectMaps(FieldGroup::Exif, "Author", FieldGroup::XmpPdf, "Author");
    ExpectMaps(FieldGroup::Exif, "Collections", FieldGroup::XmpMwgCollections, "Collections");
    ExpectMaps(FieldGroup::Photomechanic, "ColorClass", FieldGroup::PhotomechanicXmp, "ColorClass");
    ExpectMaps(FieldGroup::Exif, "CaptureSoftware", FieldGroup::XmpGPano, "CaptureSoftware");
    ExpectMaps(FieldGroup::Exif, "BlurAtInfinity", FieldGroup::XmpGFocus, "BlurAtInfinity");
    ExpectMaps(FieldGroup::Exif, "Clarity2012", FieldGroup::XmpCrs, "Clarity2012");
    ExpectMaps(FieldGroup::Exif, "Subject", FieldGroup::XmpDc, "subject");  // between two deprecated rows
    ExpectMaps(FieldGroup::Ifd0, "Copyright", FieldGroup::XmpTiff, "Copyright");
    ExpectMaps(FieldGroup::Exif, "ExposureCompensation", FieldGroup::XmpExif, "ExposureBiasValue");
    EXPECT_FALSE(MapGroupToField(FieldGroup::Exif, "Author").deprecated);
}

TEST(XmpPropertyMapTest, UnknownNamesGiveTheNoMatchEntry) {
    using namespace std::string_view_literals;
    for (std::string_view name : {"NoSuchTag"sv, ""sv, "Author "sv, "Auth"sv, "Author\0"sv}) {
        const FieldNameMapEntry& entry = MapGroupToField(FieldGroup::Exif, name);
        EXPECT_EQ(entry.group, FieldGroup::Unknown) << name;
        EXPECT_TRUE(entry.name.empty());
        EXPECT_FALSE(entry.deprecated);
    }
    // Longer than any key, including one that a lower-cased prefix would match.
    std::string longName = "ApertureValue" + std::string(200, 'x');
    EXPECT_EQ(MapGroupToField(FieldGroup::Exif, longName).group, FieldGroup::Unknown);
    EXPECT_EQ(MapGroupToField(FieldGroup::Unknown, "Keywords").group, FieldGroup::XmpPdf);
    // Bytes outside ASCII are left alone, never folded to a match.
    EXPECT_EQ(MapGroupToField(FieldGroup::Exif, "\xC3\x80rtist").group, FieldGroup::Unknown);
}

TEST(XmpPropertyMapTest, EntriesOrderByGroupThenNameThenFlag) {
    std::set<FieldNameMapEntry> entries{
        {FieldGroup::XmpPdf, "Author", false},
        {FieldGroup::Xmp, "Title", true},
        {FieldGroup::Xmp, "Author", true},
        {FieldGroup::Xmp, "Author", false},
    };
    ASSERT_EQ(entries.size(), 4u);
    auto it = entries.begin();
    EXPECT_EQ(*it++, (FieldNameMapEntry{FieldGroup::Xmp, "Author", false}));
    EXPECT_EQ(*it++, (FieldNameMapEntry{FieldGroup::Xmp, "Author", true}));
    EXPECT_EQ(*it++, (FieldNameMapEntry{FieldGroup::Xmp, "Title", true}));
    EXPECT_EQ(*it, (FieldNameMapEntry{FieldGroup::XmpPdf, "Author", false}));
}

// Every general row must name a property that can be written: one with a
// definition in the XMP tables and a namespace URI.
TEST(XmpPropertyMapTest, EveryGeneralRowNamesAKnownProperty) {
    const auto rows = detail::GeneralPropertyRows();
    EXPECT_GT(rows.size(), 500u);
    for (const auto& row : rows) {
        const FieldNameMapEntry& entry = row.entry;
        EXPECT_FALSE(GetNsUriFromFieldGroup(entry.group).empty()) << row.key;
        EXPECT_NE(FieldDatabase<XmpField>::UnconditionalFind(std::string(entry.name), entry.group, true),
                  nullptr)
            << row.key;
    }
}

}  // namespace
}  // namespace meta::xmp
