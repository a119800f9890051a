// Contents of the standard tables: the rows whose values the library's
// behaviour depends on, and the rules that turn the reference facts into rows.
#include <gtest/gtest.h>

#include "varrow/values/fraction.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "varrow/fields/defs/field_defs.h"
#include "varrow/fields/field_database.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/value.h"

namespace meta {
namespace {

ExifTag const& Exif(std::uint16_t id, FieldGroup group = FieldGroup::Ifd0) {
    ExifTag const* field = FieldDatabase<ExifTag>::UnconditionalFind(id, group);
    if (field == nullptr) throw std::out_of_range("no EXIF definition");
    return *field;
}

std::string Display(ExifTag const& field, Value const& value) {
    ReadStore store;
    return field.displayConversion(value, store).ToString();
}

TEST(ExifTables, TellingRows) {
    ExifTag const& orientation = Exif(0x0112);
    EXPECT_EQ(orientation.name, "Orientation");
    EXPECT_EQ(orientation.fixedCount, 1u);
    EXPECT_EQ(orientation.priority, 0);
    EXPECT_EQ(orientation.lookupName, "ExifOrientation");
    EXPECT_EQ(Display(orientation, Value(std::uint16_t{6})), "Rotate 90 CW");

    ExifTag const& program = Exif(0x8822, FieldGroup::Exif);
    EXPECT_EQ(program.name, "ExposureProgram");
    EXPECT_EQ(program.fixedCount, 1u);
    EXPECT_EQ(program.description, "the value of 9 is not standard EXIF, but is used by the Canon EOS 7D");
    EXPECT_EQ(program.lookupName, "ExifExposureProgram");
    EXPECT_EQ(program.priority, 1);
    EXPECT_EQ(Display(program, Value(std::uint16_t{2})), "Program AE");

    ExifTag const& exposure = Exif(0x829a, FieldGroup::Exif);
    EXPECT_EQ(exposure.name, "ExposureTime");
    EXPECT_EQ(exposure.fixedCount, 1u);
    EXPECT_TRUE(exposure.lookupName.empty());
    ASSERT_TRUE(exposure.displayConversion);  // a printer, not a lookup
    EXPECT_EQ(Display(exposure, Value(Fraction(1, 250))), "1/250");

    ExifTag const& version = Exif(0x0000, FieldGroup::Gps);
    EXPECT_EQ(version.name, "GPSVersionID");
    EXPECT_EQ(version.fixedCount, 4u);

    ExifTag const& latitudeRef = Exif(0x0001, FieldGroup::Gps);
    EXPECT_EQ(latitudeRef.name, "GPSLatitudeRef");
    EXPECT_EQ(latitudeRef.fixedCount, 2u);
    EXPECT_EQ(
        latitudeRef.description.rfind("tags 0x0001-0x0006 used for camera location according to MWG 2.0.", 0),
        0u);
    EXPECT_EQ(latitudeRef.lookupName, "GpsGPSLatitudeRef");
    EXPECT_EQ(Display(latitudeRef, Value("S")), "South");
}

TEST(ExifTables, CountsFollowTheFormat) {
    // Formats come from the data in directories, so no row overrides them,
    // except the thumbnail offset, read as a position in the document.
    for (auto const& [id, field] : *FieldDatabase<ExifTag>::GetTable(FieldGroup::Ifd0)) {
        EXPECT_EQ(field.overrideFormat, id == 0x0201 ? ExifType::AbsOffset : ExifType::Unknown) << field.name;
    }
    EXPECT_EQ(Exif(0x0102).fixedCount, 0u);  // BitsPerSample, one per sample
    EXPECT_EQ(Exif(0x0129).fixedCount, 2u);  // PageNumber
    EXPECT_EQ(Exif(0x010f).fixedCount, 0u);  // Make, text of any length
    EXPECT_EQ(Exif(0x0002, FieldGroup::Gps).fixedCount, 3u);
    // Blocks handed to other readers have no element count of their own.
    EXPECT_EQ(Exif(0x83bb).fixedCount, 0u);
    EXPECT_EQ(Exif(0x02bc).fixedCount, 0u);
    // SamsungRawUnknown is only read on request.
    EXPECT_EQ(Exif(0xa102).visibility, 1u);
    // The TIFF-EP and EXIF sensing methods have lookups of their own.
    EXPECT_EQ(Exif(0xa217, FieldGroup::Exif).lookupName, "ExifSensingMethod");
    EXPECT_EQ(Exif(0x9217, FieldGroup::Exif).lookupName, "ExifSensingMethod_0x9217");
}

TEST(ExifTables, PointerRowsOpenTheirDirectories) {
    auto const groups = [](ExifTag const& field) {
        std::vector<FieldGroup> out;
        for (SubDirectorySpecifier const& s : field.subDirectories) out.push_back(s.group);
        return out;
    };
    EXPECT_EQ(Exif(0x8769).name, "ExifOffset");
    EXPECT_EQ(groups(Exif(0x8769)), std::vector<FieldGroup>{FieldGroup::Exif});
    EXPECT_EQ(Exif(0x8825).name, "GPSInfo");
    EXPECT_EQ(groups(Exif(0x8825)), std::vector<FieldGroup>{FieldGroup::Gps});
    EXPECT_EQ(Exif(0xa005, FieldGroup::Exif).name, "InteropOffset");
    EXPECT_EQ(groups(Exif(0xa005, FieldGroup::Exif)), std::vector<FieldGroup>{FieldGroup::Interoperability});
    EXPECT_EQ(Exif(0x014a).name, "SubIFDs");
    EXPECT_EQ(groups(Exif(0x014a)),
              (std::vector<FieldGroup>{FieldGroup::SubIfd, FieldGroup::SubIfd1, FieldGroup::SubIfd2,
                                       FieldGroup::SubIfd3, FieldGroup::SubIfd4}));
    // Sub-IFDs are read by the directory reader itself.
    for (SubDirectorySpecifier const& s : Exif(0x014a).subDirectories) {
        EXPECT_EQ(s.processor, nullptr);
        EXPECT_FALSE(s.byteOrder.has_value());
        EXPECT_EQ(s.offset, 0u);
    }
    EXPECT_EQ(Exif(0x927c, FieldGroup::Exif).name, "MakerNote");
    EXPECT_EQ(Exif(0x927c, FieldGroup::Exif).subDirectories.size(), 1u);
    EXPECT_EQ(groups(Exif(0x83bb)), std::vector<FieldGroup>{FieldGroup::Iptc});
    EXPECT_EQ(groups(Exif(0x02bc)), std::vector<FieldGroup>{FieldGroup::Xmp});
    EXPECT_EQ(groups(Exif(0x8773)), std::vector<FieldGroup>{FieldGroup::IccProfile});
    EXPECT_TRUE(Exif(0x0112).subDirectories.empty());
}

TEST(RecordTables, FormatsAndCountsOfBinaryRecords) {
    auto const record = [](FieldGroup group, int id) -> RecordField const& {
        RecordField const* field = FieldDatabase<RecordField>::UnconditionalFind(id, group);
        if (field == nullptr) throw std::out_of_range("no record definition");
        return *field;
    };
    RecordField const& jfifVersion = record(FieldGroup::Jfif, 0);
    EXPECT_EQ(jfifVersion.name, "JFIFVersion");
    EXPECT_EQ(jfifVersion.overrideFormat, ExifType::Byte);
    EXPECT_EQ(jfifVersion.fixedCount, 2u);
    EXPECT_EQ(record(FieldGroup::Jfif, 3).overrideFormat, ExifType::Short);
    EXPECT_EQ(record(FieldGroup::Jfif, 2).lookupName, "JfifResolutionUnit");

    RecordField const& cmm = record(FieldGroup::IccProfileHeader, 4);
    EXPECT_EQ(cmm.name, "ProfileCMMType");
    EXPECT_EQ(cmm.overrideFormat, ExifType::Ascii);
    EXPECT_EQ(cmm.fixedCount, 4u);
    EXPECT_EQ(cmm.lookupName, "IccProfileCMMType");
    EXPECT_EQ(record(FieldGroup::IccProfileHeader, 68).overrideFormat, ExifType::SLongFixed);
    EXPECT_EQ(record(FieldGroup::IccProfileHeader, 68).fixedCount, 3u);
    EXPECT_EQ(record(FieldGroup::IccProfileHeader, 84).fixedCount, 16u);

    // 16.16 fixed point read as a whole number and divided by the conversion;
    // both unit fields share the X lookup.
    EXPECT_EQ(record(FieldGroup::PhotoshopResolution, 0).overrideFormat, ExifType::Long);
    EXPECT_TRUE(record(FieldGroup::PhotoshopResolution, 0).valueConversion);
    EXPECT_EQ(record(FieldGroup::PhotoshopResolution, 2).overrideFormat, ExifType::Short);
    EXPECT_EQ(record(FieldGroup::PhotoshopResolution, 6).lookupName, "PhotoshopResolutionDisplayedUnitsX");
}

TEST(IptcTables, DatasetTypesAndLengths) {
    auto const dataset = [](FieldGroup group, int id) -> IptcTag const& {
        IptcTag const* field = FieldDatabase<IptcTag>::UnconditionalFind(id, group);
        if (field == nullptr) throw std::out_of_range("no IPTC definition");
        return *field;
    };
    auto const type = [](IptcTag const& tag) { return static_cast<std::uint32_t>(tag.overrideFormat); };
    IptcTag const& keywords = dataset(FieldGroup::IptcApplication, 25);
    EXPECT_EQ(keywords.name, "Keywords");
    EXPECT_EQ(type(keywords), 5u);  // string
    EXPECT_EQ(keywords.minLength, 0u);
    EXPECT_EQ(keywords.maxLength, 64u);
    IptcTag const& created = dataset(FieldGroup::IptcApplication, 55);
    EXPECT_EQ(created.name, "DateCreated");
    EXPECT_EQ(type(created), 4u);  // digits, exactly 8
    EXPECT_EQ(created.minLength, 8u);
    EXPECT_EQ(created.maxLength, 0u);
    EXPECT_EQ(type(dataset(FieldGroup::IptcApplication, 0)), 2u);  // 16-bit version
    EXPECT_EQ(type(dataset(FieldGroup::IptcNewsPhoto, 55)), 1u);   // 8-bit
    EXPECT_EQ(type(dataset(FieldGroup::IptcNewsPhoto, 110)), 3u);  // 32-bit
    EXPECT_EQ(type(dataset(FieldGroup::IptcObjectData, 10)), 6u);  // undefined
    EXPECT_EQ(dataset(FieldGroup::IptcEnvelope, 20).lookupName, "IptcFileFormat");
    EXPECT_EQ(dataset(FieldGroup::IptcEnvelope, 100).minLength, 14u);
    EXPECT_EQ(dataset(FieldGroup::IptcEnvelope, 100).maxLength, 80u);

    ASSERT_NE(FieldDatabase<IptcTag>::GetTable(FieldGroup::IptcFotoStation), nullptr);
    EXPECT_TRUE(FieldDatabase<IptcTag>::GetTable(FieldGroup::IptcFotoStation)->empty());
    EXPECT_EQ(FieldDatabase<IptcTag>::UnconditionalFind(25, FieldGroup::IptcEnvelope), nullptr);
}

TEST(IccTables, SignaturesAndStructuredTypes) {
    auto const* table = FieldDatabase<IccProfileTag>::GetTable(FieldGroup::IccProfile);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->at("desc").name, "ProfileDescription");
    EXPECT_EQ(table->at("cprt").name, "ProfileCopyright");
    EXPECT_EQ(table->at("tech").lookupName, "IccTechnology");
    EXPECT_EQ(table->at("view").name, "ViewingConditions");
    // Version 5 and private signatures are not in the table.
    EXPECT_EQ(table->count("A2B3"), 0u);
    EXPECT_EQ(table->count("vcgt"), 0u);

    // The structured types' own tables belong to no group.
    auto const chromaticity = field_defs::IccProfileChromaticityFields();
    EXPECT_EQ(chromaticity.size(), 6u);
    EXPECT_EQ(chromaticity.at("12").overrideFormat, ExifType::LongFixed);
    EXPECT_EQ(chromaticity.at("10").lookupName, "IccChromaticityColorant");
    EXPECT_EQ(field_defs::IccProfileColorantTableFields().at("12").fixedCount, 32u);
    EXPECT_EQ(field_defs::IccProfileMeasurementFields().at("32").lookupName, "IccMeasurementIlluminant");
    EXPECT_EQ(field_defs::IccProfileViewingConditionsFields().size(), 3u);
}

}  // namespace
}  // namespace meta
