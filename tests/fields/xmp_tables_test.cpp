// The XMP tables: how declared value shapes become XmpTypes, where structure
// members live, and that every table links only to tables that exist.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "varrow/fields/field_database.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/fraction.h"
#include "varrow/values/value.h"
#include "varrow/values/xmp_type.h"

namespace meta {
namespace {

using Db = FieldDatabase<XmpField>;

XmpField const& Xmp(FieldGroup group, std::string const& id) {
    XmpField const* field = Db::UnconditionalFind(id, group, true);
    if (field == nullptr) throw std::out_of_range("no XMP definition " + id);
    return *field;
}

// The definition of an array's items.
XmpField const& Items(XmpField const& array) {
    auto it = array.children.find(std::string());
    if (it == array.children.end()) throw std::out_of_range("array without an item definition");
    return it->second;
}

FieldGroup StructGroup(XmpField const& field) {
    return field.subDirectories.empty() ? FieldGroup::Unknown : field.subDirectories[0].group;
}

TEST(XmpTables, DeclaredShapesBecomeXmpTypes) {
    XmpField const& subject = Xmp(FieldGroup::XmpDc, "subject");
    EXPECT_EQ(subject.name, "Subject");
    EXPECT_EQ(subject.overrideFormat, XmpType::UnorderedArray);
    EXPECT_EQ(Items(subject).overrideFormat, XmpType::Text);

    EXPECT_EQ(Xmp(FieldGroup::XmpDc, "title").overrideFormat, XmpType::LanguageAlternative);
    EXPECT_EQ(Xmp(FieldGroup::XmpDc, "creator").overrideFormat, XmpType::OrderedArray);
    EXPECT_EQ(Items(Xmp(FieldGroup::XmpDc, "date")).overrideFormat, XmpType::Date);
    EXPECT_EQ(Xmp(FieldGroup::Xmp, "CreateDate").overrideFormat, XmpType::Date);
    EXPECT_EQ(Xmp(FieldGroup::Xmp, "Rating").overrideFormat, XmpType::Real);
    EXPECT_EQ(Xmp(FieldGroup::XmpExif, "ExposureTime").overrideFormat, XmpType::Rational);
    EXPECT_EQ(Xmp(FieldGroup::XmpTiff, "ImageWidth").overrideFormat, XmpType::Integer);
    EXPECT_EQ(Xmp(FieldGroup::XmpAux, "IsMergedHDR").overrideFormat, XmpType::Boolean);
    EXPECT_EQ(Xmp(FieldGroup::XmpX, "xmptk").name, "XMPToolkit");

    // The id is the property name in the packet, the name the item's.
    XmpField const& iso = Xmp(FieldGroup::XmpExif, "ISOSpeedRatings");
    EXPECT_EQ(iso.name, "ISO");
    EXPECT_EQ(iso.overrideFormat, XmpType::OrderedArray);
    EXPECT_EQ(Items(iso).overrideFormat, XmpType::Integer);
    EXPECT_EQ(Items(Xmp(FieldGroup::XmpExifEx, "LensSpecification")).overrideFormat, XmpType::Rational);
    EXPECT_EQ(Xmp(FieldGroup::XmpExifEx, "Temperature").name, "AmbientTemperature");
}

TEST(XmpTables, StructuresLinkToTheirMemberTables) {
    XmpField const& history = Xmp(FieldGroup::XmpMM, "History");
    EXPECT_EQ(history.overrideFormat, XmpType::OrderedArray);
    EXPECT_EQ(Items(history).overrideFormat, XmpType::Structure);
    EXPECT_EQ(StructGroup(Items(history)), FieldGroup::XmpStructResourceEvent);
    EXPECT_TRUE(history.subDirectories.empty());

    XmpField const& flash = Xmp(FieldGroup::XmpExif, "Flash");
    EXPECT_EQ(flash.overrideFormat, XmpType::Structure);
    EXPECT_EQ(StructGroup(flash), FieldGroup::XmpStructFlash);
    EXPECT_TRUE(flash.children.empty());

    XmpField const& thumbnails = Xmp(FieldGroup::Xmp, "Thumbnails");
    EXPECT_EQ(thumbnails.overrideFormat, XmpType::AlternativeArray);
    EXPECT_EQ(StructGroup(Items(thumbnails)), FieldGroup::XmpStructThumbnail);

    EXPECT_EQ(StructGroup(Xmp(FieldGroup::XmpMM, "DerivedFrom")), FieldGroup::XmpStructResourceRef);
    EXPECT_EQ(StructGroup(Xmp(FieldGroup::XmpIptcCore, "CreatorContactInfo")),
              FieldGroup::XmpStructContactInfo);
    EXPECT_EQ(StructGroup(Items(Xmp(FieldGroup::XmpMwgCollections, "Collections"))),
              FieldGroup::XmpStructMwgCollectionInfo);
    // A member can itself hold structures.
    EXPECT_EQ(StructGroup(Xmp(FieldGroup::XmpStructManifestItem, "reference")),
              FieldGroup::XmpStructResourceRef);
    EXPECT_EQ(StructGroup(Items(Xmp(FieldGroup::XmpStructCorrection, "CorrectionMasks"))),
              FieldGroup::XmpStructCorrectionMask);
}

TEST(XmpTables, StructureMembersLiveInTheStructureTables) {
    // Flattened names are not properties of the namespace.
    EXPECT_EQ(Db::UnconditionalFind(std::string("DerivedFromDocumentID"), FieldGroup::XmpMM, true), nullptr);
    EXPECT_EQ(Db::UnconditionalFind(std::string("FlashFired"), FieldGroup::XmpExif, true), nullptr);
    EXPECT_EQ(Db::UnconditionalFind(std::string("HistoryWhen"), FieldGroup::XmpMM, true), nullptr);

    EXPECT_EQ(Xmp(FieldGroup::XmpStructResourceRef, "documentID").name, "DocumentID");
    EXPECT_EQ(Xmp(FieldGroup::XmpStructResourceRef, "lastModifyDate").overrideFormat, XmpType::Date);
    EXPECT_EQ(Xmp(FieldGroup::XmpStructResourceRef, "alternatePaths").overrideFormat, XmpType::OrderedArray);
    EXPECT_EQ(Xmp(FieldGroup::XmpStructResourceEvent, "when").overrideFormat, XmpType::Date);
    // Members of array structures inherit the parent's list flag only.
    EXPECT_EQ(Xmp(FieldGroup::XmpStructResourceEvent, "action").overrideFormat, XmpType::Text);

    EXPECT_EQ(Xmp(FieldGroup::XmpStructFlash, "Fired").overrideFormat, XmpType::Boolean);
    EXPECT_EQ(Xmp(FieldGroup::XmpStructFlash, "Return").overrideFormat, XmpType::Integer);
    EXPECT_EQ(Xmp(FieldGroup::XmpStructFlash, "Mode").overrideFormat, XmpType::Integer);
    EXPECT_EQ(Xmp(FieldGroup::XmpStructFlash, "Function").overrideFormat, XmpType::Boolean);
    EXPECT_EQ(Xmp(FieldGroup::XmpStructFlash, "RedEyeMode").overrideFormat, XmpType::Boolean);
    EXPECT_EQ(Db::GetAll().at(FieldGroup::XmpStructFlash).size(), 5u);

    // Adobe's structure types spell members with a lower-case initial, except
    // the colour components of the L*a*b* model.
    EXPECT_EQ(Xmp(FieldGroup::XmpStructColorant, "swatchName").name, "SwatchName");
    EXPECT_NE(Db::UnconditionalFind(std::string("L"), FieldGroup::XmpStructColorant, true), nullptr);
    EXPECT_NE(Db::UnconditionalFind(std::string("w"), FieldGroup::XmpStructDimensions, true), nullptr);
    EXPECT_NE(Db::UnconditionalFind(std::string("CiAdrCity"), FieldGroup::XmpStructContactInfo, true),
              nullptr);
}

std::string Display(XmpField const& field, Value const& value) {
    ReadStore store;
    return field.displayConversion(value, store).ToString();
}

TEST(XmpTables, EnumerationsReuseTheExifLookups) {
    XmpField const& orientation = Xmp(FieldGroup::XmpTiff, "Orientation");
    EXPECT_EQ(orientation.lookupName, "ExifOrientation");
    EXPECT_EQ(Display(orientation, Value(std::uint16_t{6})), "Rotate 90 CW");
    ASSERT_TRUE(orientation.inverseDisplayConversion);
    EXPECT_EQ(orientation.inverseDisplayConversion(Value("Rotate 90 CW")), Value(std::int64_t{6}));

    EXPECT_EQ(Xmp(FieldGroup::XmpExif, "ColorSpace").lookupName, "ExifColorSpace");
    EXPECT_EQ(Xmp(FieldGroup::XmpExif, "GPSAltitudeRef").lookupName, "GpsGPSAltitudeRef");
    // The XMP codes are those of the TIFF-EP tag, not of the EXIF one.
    EXPECT_EQ(Xmp(FieldGroup::XmpExif, "SensingMethod").lookupName, "ExifSensingMethod_0x9217");
    // A lookup keyed by the whole array sits on the array, others on its items.
    XmpField const& subsampling = Xmp(FieldGroup::XmpTiff, "YCbCrSubSampling");
    EXPECT_EQ(subsampling.lookupName, "ExifYCbCrSubSampling");
    EXPECT_TRUE(Items(subsampling).lookupName.empty());
    XmpField const& components = Xmp(FieldGroup::XmpExif, "ComponentsConfiguration");
    EXPECT_TRUE(components.lookupName.empty());
    EXPECT_EQ(Items(components).lookupName, "ExifComponentsConfiguration");

    EXPECT_TRUE(Xmp(FieldGroup::XmpDc, "subject").lookupName.empty());
    EXPECT_FALSE(Xmp(FieldGroup::XmpDc, "subject").displayConversion);
}

TEST(XmpTables, EnumerationsWithoutAnExifTwinGetTheirOwnLookups) {
    XmpField const& unit = Xmp(FieldGroup::XmpCrs, "CropUnit");
    EXPECT_EQ(unit.lookupName, "XmpCrsCropUnit");
    EXPECT_EQ(Display(unit, Value(std::int64_t{2})), "cm");
    EXPECT_EQ(unit.inverseDisplayConversion(Value("inches")), Value(std::int64_t{1}));

    XmpField const& tagged = Xmp(FieldGroup::PhotomechanicXmp, "Tagged");
    EXPECT_EQ(Display(tagged, Value("True")), "Yes");
    EXPECT_EQ(Display(Xmp(FieldGroup::XmpStructFlash, "Return"), Value(std::int64_t{3})), "Return detected");
    EXPECT_EQ(Display(Items(Xmp(FieldGroup::XmpCreativeCommons, "permits")), Value("cc:Distribution")),
              "Distribution");
}

TEST(XmpTables, RationalsAndExifPropertiesBindConversionsWithInverses) {
    // Rationals without a conversion of their own show as decimals.
    XmpField const& resolution = Xmp(FieldGroup::XmpExif, "FocalPlaneXResolution");
    EXPECT_EQ(Display(resolution, Value(Fraction(71000, 7))), "10142.8571428571");
    ASSERT_TRUE(resolution.inverseDisplayConversion);
    EXPECT_EQ(resolution.inverseDisplayConversion(Value("2.5")), Value(Fraction(5, 2)));
    EXPECT_EQ(Display(Items(Xmp(FieldGroup::XmpExifEx, "LensSpecification")), Value(Fraction(35, 10))),
              "3.5");

    // APEX values as the EXIF tags convert them, and back.
    XmpField const& shutter = Xmp(FieldGroup::XmpExif, "ShutterSpeedValue");
    ASSERT_TRUE(shutter.valueConversion && shutter.inverseValueConversion);
    ReadStore store;
    Value const seconds = shutter.valueConversion(Value(Fraction(3, 1)), store);
    EXPECT_NEAR(seconds.Convert<double>(), 0.125, 1e-12);
    EXPECT_NEAR(shutter.inverseValueConversion(seconds).Convert<double>(), 3.0, 1e-12);
    EXPECT_EQ(Display(Xmp(FieldGroup::XmpExif, "FocalLength"), Value(Fraction(58, 10))), "5.8 mm");
    XmpField const& latitude = Xmp(FieldGroup::XmpExif, "GPSLatitude");
    ASSERT_TRUE(latitude.inverseValueConversion);
    EXPECT_EQ(latitude.inverseValueConversion(Value(-52.02)).ToString(), "52,1.200000S");

    // Codes outside an enumeration are named unknown; booleans keep their text.
    EXPECT_EQ(Display(Xmp(FieldGroup::XmpExif, "ColorSpace"), Value(std::int64_t{-1})), "Unknown (-1)");
    EXPECT_EQ(Display(Xmp(FieldGroup::XmpStructFlash, "Fired"), Value(false)), "False");

    // Structures and arrays with shown members or items get the conversion
    // that walks them; plain lists do not.
    EXPECT_TRUE(Xmp(FieldGroup::XmpExif, "Flash").displayConversion);
    EXPECT_TRUE(Xmp(FieldGroup::XmpExif, "ComponentsConfiguration").displayConversion);
    EXPECT_TRUE(Items(Xmp(FieldGroup::XmpMM, "History")).displayConversion);
    EXPECT_FALSE(Xmp(FieldGroup::XmpDc, "creator").displayConversion);
}

// Walks a definition and its items, checking what the XMP reader relies on.
void CheckShape(XmpField const& field, std::string const& where, int& arrays, int& structures) {
    SCOPED_TRACE(where);
    switch (field.overrideFormat) {
        case XmpType::OrderedArray:
        case XmpType::UnorderedArray:
        case XmpType::AlternativeArray:
            ++arrays;
            ASSERT_EQ(field.children.size(), 1u);
            EXPECT_EQ(field.children.begin()->first, "");
            EXPECT_TRUE(field.subDirectories.empty());
            CheckShape(field.children.begin()->second, where + "[]", arrays, structures);
            break;
        case XmpType::Structure:
            ++structures;
            EXPECT_TRUE(field.children.empty());
            EXPECT_LE(field.subDirectories.size(), 1u);
            if (!field.subDirectories.empty()) {
                FieldGroup group = field.subDirectories[0].group;
                EXPECT_EQ(GetGroupNamespace(group), FieldNamespace::Xmp);
                EXPECT_EQ(std::string(ToString(group)).rfind("XmpStruct", 0), 0u);
                EXPECT_TRUE(Db::GetAll().contains(group));
            }
            break;
        default:
            EXPECT_TRUE(field.children.empty());
            EXPECT_TRUE(field.subDirectories.empty());
            break;
    }
}

TEST(XmpTables, EveryRowIsWellFormed) {
    int arrays = 0;
    int structures = 0;
    std::size_t rows = 0;
    for (auto const& [group, table] : Db::GetAll()) {
        EXPECT_TRUE(GetGroupNamespace(group) == FieldNamespace::Xmp || group == FieldGroup::PhotomechanicXmp)
            << group;
        for (auto const& [id, field] : table) {
            ++rows;
            EXPECT_FALSE(id.empty()) << group;
            EXPECT_FALSE(field.name.empty()) << group << " " << id;
            EXPECT_NE(field.overrideFormat, XmpType::Unknown) << group << " " << id;
            CheckShape(field, std::string(ToString(group)) + ":" + id, arrays, structures);
        }
    }
    // Bounds against silently losing whole tables.
    EXPECT_GT(rows, 700u);
    EXPECT_GT(arrays, 50);
    EXPECT_GT(structures, 30);
    EXPECT_EQ(Db::GetAll().size(), 47u);  // 25 namespace tables and 22 structure tables
}

}  // namespace
}  // namespace meta
