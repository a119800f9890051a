// Contents of the Canon VRD tables: telling rows of each database, their
// display lookups, the way sub-directories chain the blocks and records
// together, and that the initialiser builds them all.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

#include "varrow/blocks/xmp/xmp_processor.h"
#include "varrow/fields/canon_vrd_dr4_tag_id.h"
#include "varrow/fields/defs/field_defs.h"
#include "varrow/fields/display_lookups.h"
#include "varrow/fields/field_database.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/value.h"

namespace meta {
namespace {

using Id = CanonVrdDr4TagId;

template <class T, class K>
T const& Row(K const& id, FieldGroup group) {
    T const* field = FieldDatabase<T>::UnconditionalFind(id, group);
    if (field == nullptr) throw std::out_of_range("no definition");
    return *field;
}

template <class T>
std::string Display(T const& field, Value const& value) {
    ReadStore store;
    return field.displayConversion ? field.displayConversion(value, store).ToString() : "(no conversion)";
}

// The groups the sub-directories of a definition lead to.
template <class T>
std::vector<FieldGroup> Leads(T const& field) {
    std::vector<FieldGroup> groups;
    for (SubDirectorySpecifier const& sub : field.subDirectories) groups.push_back(sub.group);
    return groups;
}

TEST(CanonVrdTables, BlocksLeadToTheirRecords) {
    auto const* blocks = FieldDatabase<CanonVrdBlock>::GetTable(FieldGroup::CanonVrd);
    ASSERT_NE(blocks, nullptr);
    EXPECT_EQ(blocks->size(), 4u);
    EXPECT_EQ(Row<CanonVrdBlock>(0xffff00f4u, FieldGroup::CanonVrd).name, "EditData");
    EXPECT_EQ(Leads(Row<CanonVrdBlock>(0xffff00f4u, FieldGroup::CanonVrd)),
              std::vector<FieldGroup>{FieldGroup::CanonVrdEdit});
    EXPECT_EQ(Leads(Row<CanonVrdBlock>(0xffff00f5u, FieldGroup::CanonVrd)),
              std::vector<FieldGroup>{FieldGroup::CanonVrdIhl});
    EXPECT_EQ(Leads(Row<CanonVrdBlock>(0xffff00f7u, FieldGroup::CanonVrd)),
              std::vector<FieldGroup>{FieldGroup::CanonVrdEdit4});
    CanonVrdBlock const& xmp = Row<CanonVrdBlock>(0xffff00f6u, FieldGroup::CanonVrd);
    EXPECT_EQ(xmp.name, "XMP");
    ASSERT_EQ(xmp.subDirectories.size(), 1u);
    EXPECT_EQ(xmp.subDirectories[0].group, FieldGroup::Xmp);
    EXPECT_EQ(xmp.subDirectories[0].processor, &typeid(XmpProcessor));
    // Block formats come from the data, whatever the reference says.
    EXPECT_EQ(xmp.overrideFormat, ExifType::Unknown);
    EXPECT_EQ(FieldDatabase<CanonVrdBlock>::UnconditionalFind(0xffff00f8u, FieldGroup::CanonVrd), nullptr);

    // Edit and edit4 share one definition type but keep their own rows.
    EXPECT_EQ(Row<CanonVrdEditTag>(0, FieldGroup::CanonVrdEdit).name, "VRD1");
    EXPECT_EQ(Row<CanonVrdEditTag>(0, FieldGroup::CanonVrdEdit4).name, "DR4");
    std::vector<FieldGroup> editLeads;
    for (int id : {0, 1, 2}) {
        auto const leads = Leads(Row<CanonVrdEditTag>(id, FieldGroup::CanonVrdEdit));
        editLeads.insert(editLeads.end(), leads.begin(), leads.end());
    }
    EXPECT_EQ(editLeads, (std::vector<FieldGroup>{FieldGroup::CanonVrdVer1, FieldGroup::CanonVrdStampTool,
                                                  FieldGroup::CanonVrdVer2}));
    EXPECT_EQ(Leads(Row<CanonVrdEditTag>(0, FieldGroup::CanonVrdEdit4)),
              std::vector<FieldGroup>{FieldGroup::CanonVrdDr4});
    EXPECT_EQ(FieldDatabase<CanonVrdEditTag>::UnconditionalFind(1, FieldGroup::CanonVrdEdit4), nullptr);
    EXPECT_EQ(FieldDatabase<CanonVrdEditTag>::UnconditionalFind(3, FieldGroup::CanonVrdEdit), nullptr);
}

TEST(CanonVrdTables, IhlRecords) {
    auto const* ihl = FieldDatabase<CanonVrdIhlTag>::GetTable(FieldGroup::CanonVrdIhl);
    ASSERT_NE(ihl, nullptr);
    EXPECT_EQ(ihl->size(), 5u);
    CanonVrdIhlTag const& exif = Row<CanonVrdIhlTag>(1, FieldGroup::CanonVrdIhl);
    EXPECT_EQ(exif.name, "IHL_EXIF");
    EXPECT_EQ(exif.visibility, 0u);  // read: it leads to the EXIF block
    EXPECT_EQ(Leads(exif), std::vector<FieldGroup>{FieldGroup::Ifd0});
    EXPECT_EQ(Row<CanonVrdIhlTag>(4, FieldGroup::CanonVrdIhl).name, "PreviewImage");
    EXPECT_EQ(Row<CanonVrdIhlTag>(5, FieldGroup::CanonVrdIhl).name, "RawCodecVersion");
    EXPECT_EQ(Row<CanonVrdIhlTag>(6, FieldGroup::CanonVrdIhl).visibility, 1u);  // unknown in the reference
    EXPECT_EQ(FieldDatabase<CanonVrdIhlTag>::UnconditionalFind(2, FieldGroup::CanonVrdIhl), nullptr);
    EXPECT_EQ(FieldDatabase<CanonVrdIhlTag>::UnconditionalFind(0x101, FieldGroup::CanonVrdIhl), nullptr);
}

TEST(CanonVrdTables, Dr4RecordsAndTheirElements) {
    auto const* dr4 = FieldDatabase<CanonVrdDr4Tag>::GetTable(FieldGroup::CanonVrdDr4);
    ASSERT_NE(dr4, nullptr);
    EXPECT_EQ(dr4->size(), 68u);

    CanonVrdDr4Tag const& space = Row<CanonVrdDr4Tag>(Id(0x10200u), FieldGroup::CanonVrdDr4);
    EXPECT_EQ(space.name, "WorkColorSpace");
    EXPECT_EQ(space.lookupName, "CanonVrdDr4WorkColorSpace");
    EXPECT_EQ(space.fixedCount, 0u);                     // the record says how many
    EXPECT_EQ(space.overrideFormat, ExifType::Unknown);  // and in which format
    EXPECT_EQ(Display(space, Value(std::uint32_t{3})), "Wide Gamut RGB");
    EXPECT_EQ(Display(space, Value(std::uint32_t{9})), "9");  // no explicit default

    CanonVrdDr4Tag const& balance = Row<CanonVrdDr4Tag>(Id(0x20101u), FieldGroup::CanonVrdDr4);
    EXPECT_EQ(Display(balance, Value(std::int32_t{-1})), "Manual (Click)");
    EXPECT_EQ(Display(balance, Value(std::int32_t{2})), "Cloudy");

    // A record and an element of its value are separate definitions.
    CanonVrdDr4Tag const& sharpness = Row<CanonVrdDr4Tag>(Id(0x20310u), FieldGroup::CanonVrdDr4);
    CanonVrdDr4Tag const& sharpnessOn = Row<CanonVrdDr4Tag>(Id(0x20310u, 0), FieldGroup::CanonVrdDr4);
    EXPECT_EQ(sharpness.name, "SharpnessAdj");
    EXPECT_EQ(sharpnessOn.name, "SharpnessAdjOn");
    EXPECT_EQ(Display(sharpness, Value(std::uint32_t{1})), "Unsharp Mask");
    EXPECT_EQ(Display(sharpnessOn, Value(std::uint32_t{1})), "Yes");
    EXPECT_EQ(FieldDatabase<CanonVrdDr4Tag>::UnconditionalFind(Id(0x20310u, 1), FieldGroup::CanonVrdDr4),
              nullptr);

    // A bare number names the whole record; numbers outside 32 bits name none.
    EXPECT_EQ(FieldDatabase<CanonVrdDr4Tag>::UnconditionalFind(0x20310u, FieldGroup::CanonVrdDr4),
              &sharpness);
    EXPECT_EQ(FieldDatabase<CanonVrdDr4Tag>::UnconditionalFind(0x20310, FieldGroup::CanonVrdDr4), &sharpness);
    EXPECT_EQ(FieldDatabase<CanonVrdDr4Tag>::UnconditionalFind(0x100020310ull, FieldGroup::CanonVrdDr4),
              nullptr);
    EXPECT_EQ(FieldDatabase<CanonVrdDr4Tag>::UnconditionalFind(-1, FieldGroup::CanonVrdDr4), nullptr);
    // Records seen in files but not documented stay unknown.
    EXPECT_EQ(FieldDatabase<CanonVrdDr4Tag>::UnconditionalFind(Id(0x10018u), FieldGroup::CanonVrdDr4),
              nullptr);
    EXPECT_EQ(FieldDatabase<CanonVrdDr4Tag>::UnconditionalFind(Id(0x10200u), FieldGroup::CanonVrd), nullptr);

    ReadStore store;
    EXPECT_EQ(FieldDatabase<CanonVrdDr4Tag>::Find(Id(0x20400u, 1), FieldGroup::CanonVrdDr4, store)->name,
              "ToneCurveOriginal");

    // Every element follows its own record in the walk.
    std::size_t elements = 0;
    Id previousRecord;
    for (FieldDatabase<CanonVrdDr4Tag>::FieldIterator it(FieldGroup::CanonVrdDr4); it.Advance();) {
        if (it.GetId().IsWholeRecord()) {
            previousRecord = it.GetId();
        } else {
            ++elements;
            EXPECT_EQ(it.GetId().Record(), previousRecord) << ToString(it.GetId());
        }
    }
    EXPECT_EQ(elements, 8u);
}

TEST(CanonVrdTables, Dr4RecordsLeadToTheirBinaryRecords) {
    std::vector<FieldGroup> leads;
    for (std::uint32_t tag : {0x20400u, 0x20a00u, 0xf0100u, 0xf0510u, 0xf0511u}) {
        auto const more = Leads(Row<CanonVrdDr4Tag>(Id(tag), FieldGroup::CanonVrdDr4));
        leads.insert(leads.end(), more.begin(), more.end());
    }
    EXPECT_EQ(leads, (std::vector<FieldGroup>{FieldGroup::CanonVrdToneCurve, FieldGroup::CanonVrdGammaInfo,
                                              FieldGroup::CanonVrdCropInfo, FieldGroup::CanonVrdStampInfo,
                                              FieldGroup::CanonVrdDustInfo}));
    EXPECT_EQ(Leads(Row<RecordField>(224, FieldGroup::CanonVrdVer2)),
              std::vector<FieldGroup>{FieldGroup::CanonVrdDlo});
}

TEST(CanonVrdTables, BinaryRecordsTakeTheirFormatsFromTheReference) {
    RecordField const& version = Row<RecordField>(2, FieldGroup::CanonVrdVer1);
    EXPECT_EQ(version.name, "VRDVersion");
    EXPECT_EQ(version.overrideFormat, ExifType::Short);
    EXPECT_EQ(version.fixedCount, 1u);
    RecordField const& levels = Row<RecordField>(6, FieldGroup::CanonVrdVer1);
    EXPECT_EQ(levels.name, "WBAdjRGGBLevels");
    EXPECT_EQ(levels.fixedCount, 4u);
    EXPECT_EQ(Row<RecordField>(275, FieldGroup::CanonVrdVer1).overrideFormat, ExifType::Byte);
    EXPECT_EQ(Row<RecordField>(276, FieldGroup::CanonVrdVer1).overrideFormat, ExifType::SByte);
    EXPECT_EQ(Row<RecordField>(610, FieldGroup::CanonVrdVer1).overrideFormat, ExifType::Float);
    EXPECT_EQ(Row<RecordField>(48, FieldGroup::CanonVrdVer1).overrideFormat, ExifType::SLong);

    RecordField const& range = Row<RecordField>(15, FieldGroup::CanonVrdGammaInfo);
    EXPECT_EQ(range.name, "GammaCurveOutputRange");
    EXPECT_EQ(range.overrideFormat, ExifType::Double);
    EXPECT_EQ(range.fixedCount, 2u);
    EXPECT_EQ(Row<RecordField>(7, FieldGroup::CanonVrdToneCurve).fixedCount, 21u);
    EXPECT_EQ(Row<RecordField>(8, FieldGroup::CanonVrdCropInfo).overrideFormat, ExifType::Double);
    EXPECT_EQ(Row<RecordField>(5, FieldGroup::CanonVrdDlo).overrideFormat, ExifType::Ascii);
    EXPECT_EQ(Row<RecordField>(5, FieldGroup::CanonVrdDlo).fixedCount, 10u);
    // Unknown-class rows are read only on request.
    EXPECT_EQ(Row<RecordField>(69, FieldGroup::CanonVrdVer2).name, "UnknownContrast");
    EXPECT_EQ(Row<RecordField>(69, FieldGroup::CanonVrdVer2).visibility, 1u);
    EXPECT_EQ(Row<RecordField>(2, FieldGroup::CanonVrdVer2).visibility, 0u);
}

TEST(CanonVrdTables, RecordLookupsDifferPerGroup) {
    // The same tag names carry other codes in each record, so each group has
    // lookups of its own.
    RecordField const& ver1Balance = Row<RecordField>(24, FieldGroup::CanonVrdVer1);
    EXPECT_EQ(ver1Balance.lookupName, "CanonVrdVer1WhiteBalanceAdj");
    EXPECT_EQ(Display(ver1Balance, Value(std::uint16_t{30})), "Manual (Click)");
    RecordField const& ver1Space = Row<RecordField>(624, FieldGroup::CanonVrdVer1);
    EXPECT_EQ(Display(ver1Space, Value(std::uint16_t{4})), "ColorMatch RGB");
    EXPECT_EQ(Display(Row<CanonVrdDr4Tag>(Id(0x10200u), FieldGroup::CanonVrdDr4), Value(std::uint32_t{4})),
              "Apple RGB");

    RecordField const& filter = Row<RecordField>(58, FieldGroup::CanonVrdVer2);
    EXPECT_EQ(Display(filter, Value(std::int16_t{-2})), "None");
    EXPECT_EQ(Display(filter, Value(std::int16_t{1})), "Red");
    EXPECT_EQ(Display(Row<RecordField>(2, FieldGroup::CanonVrdVer2), Value(std::int16_t{0})), "Standard");

    RecordField const& model = Row<RecordField>(3, FieldGroup::CanonVrdDr4Header);
    EXPECT_EQ(model.name, "DR4CameraModel");
    EXPECT_EQ(model.overrideFormat, ExifType::Long);
    EXPECT_EQ(Display(model, Value(std::uint32_t{2147484297u})), "EOS 7D Mark II");
    EXPECT_EQ(Display(Row<RecordField>(1, FieldGroup::CanonVrdToneCurve), Value(std::uint32_t{1})),
              "Straight");
    EXPECT_EQ(Display(Row<RecordField>(2, FieldGroup::CanonVrdDustInfo), Value(std::uint32_t{0})), "No");
    // Rows without an enumeration keep no lookup.
    EXPECT_TRUE(Row<RecordField>(26, FieldGroup::CanonVrdVer1).lookupName.empty());
}

TEST(CanonVrdTables, PrintedValues) {
    // Versions print their digits dotted.
    RecordField const& version = Row<RecordField>(2, FieldGroup::CanonVrdVer1);
    EXPECT_EQ(Display(version, Value(std::uint16_t{200})), "2.0.0");
    EXPECT_EQ(Display(version, Value(std::uint16_t{3410})), "3.41.0");
    EXPECT_EQ(Display(version, Value(std::uint16_t{95})), "95");

    // Curves: a point count, then that many pairs, padded to 21 numbers.
    RecordField const& red = Row<RecordField>(352, FieldGroup::CanonVrdVer1);
    EXPECT_EQ(red.fixedCount, 21u);
    EXPECT_EQ(
        Display(red, Value(std::vector<std::uint16_t>{9,   0,   0,   5,   16,  11,  30,  58,  101, 106, 154,
                                                      154, 198, 202, 233, 228, 246, 255, 255, 0,   0})),
        "(0,0) (5,16) (11,30) (58,101) (106,154) (154,198) (202,233) (228,246) (255,255)");
    RecordField const& rgb = Row<RecordField>(7, FieldGroup::CanonVrdToneCurve);
    std::vector<std::uint32_t> curve{3, 0, 79, 117, 172, 242, 255};
    curve.resize(21);
    EXPECT_EQ(Display(rgb, Value(curve)), "(0,79) (117,172) (242,255)");
    // A count beyond the stored pairs (a damaged record) stops at the data.
    EXPECT_EQ(Display(rgb, Value(std::vector<std::uint32_t>{200, 1, 2, 3, 4, 5})), "(1,2) (3,4)");
    EXPECT_EQ(Display(rgb, Value(std::vector<std::uint32_t>{0, 1, 2})), "");

    EXPECT_EQ(Display(Row<CanonVrdDr4Tag>(Id(0x20701u), FieldGroup::CanonVrdDr4), Value(1.0)), "100%");
    EXPECT_EQ(Display(Row<CanonVrdDr4Tag>(Id(0x20701u), FieldGroup::CanonVrdDr4), Value(0.25)), "25%");
    RecordField const& black = Row<RecordField>(12, FieldGroup::CanonVrdGammaInfo);
    EXPECT_EQ(Display(black, Value(0.0)), "+0.000");
    EXPECT_EQ(Display(black, Value(-0.25)), "-0.250");
    EXPECT_EQ(Display(Row<RecordField>(14, FieldGroup::CanonVrdGammaInfo), Value(1.5)), "+1.500");
}

TEST(CanonVrdTables, TableSizesFollowTheReference) {
    std::vector<std::pair<FieldGroup, std::size_t>> const sizes{
        {FieldGroup::CanonVrdVer1, 43},      {FieldGroup::CanonVrdStampTool, 1},
        {FieldGroup::CanonVrdVer2, 150},     {FieldGroup::CanonVrdDlo, 3},
        {FieldGroup::CanonVrdDr4Header, 1},  {FieldGroup::CanonVrdToneCurve, 10},
        {FieldGroup::CanonVrdGammaInfo, 13}, {FieldGroup::CanonVrdCropInfo, 10},
        {FieldGroup::CanonVrdStampInfo, 1},  {FieldGroup::CanonVrdDustInfo, 1}};
    for (auto const& [group, size] : sizes) {
        auto const* table = FieldDatabase<RecordField>::GetTable(group);
        ASSERT_NE(table, nullptr) << ToString(group);
        EXPECT_EQ(table->size(), size) << ToString(group);
    }
}

// Every lookup a VRD row names exists and is bound as its display conversion.
template <class T>
std::vector<std::string> UnboundLookups(std::vector<FieldGroup> const& groups) {
    std::vector<std::string> missing;
    for (FieldGroup group : groups) {
        auto const* table = FieldDatabase<T>::GetTable(group);
        if (table == nullptr) {
            missing.push_back(std::string(ToString(group)) + ": no table");
            continue;
        }
        for (auto const& [id, field] : *table) {
            if (field.lookupName.empty()) continue;
            if (DisplayLookups::Get(field.lookupName) == nullptr || !field.displayConversion) {
                missing.push_back(field.name + ": " + field.lookupName);
            }
        }
    }
    return missing;
}

TEST(CanonVrdTables, InitialiserBuildsAndCountsEveryVrdDatabase) {
    std::size_t const total = InitialiseAllDatabases();
    std::size_t const vrd = FieldDatabase<CanonVrdBlock>::Size() + FieldDatabase<CanonVrdEditTag>::Size() +
                            FieldDatabase<CanonVrdIhlTag>::Size() + FieldDatabase<CanonVrdDr4Tag>::Size();
    EXPECT_EQ(vrd, 4u + 3u + 1u + 5u + 68u);
    EXPECT_GT(total, vrd);

    EXPECT_EQ(UnboundLookups<CanonVrdDr4Tag>({FieldGroup::CanonVrdDr4}), std::vector<std::string>{});
    EXPECT_EQ(UnboundLookups<CanonVrdIhlTag>({FieldGroup::CanonVrdIhl}), std::vector<std::string>{});
    EXPECT_EQ(UnboundLookups<RecordField>({FieldGroup::CanonVrdVer1, FieldGroup::CanonVrdVer2,
                                           FieldGroup::CanonVrdDr4Header, FieldGroup::CanonVrdToneCurve,
                                           FieldGroup::CanonVrdCropInfo, FieldGroup::CanonVrdDustInfo}),
              std::vector<std::string>{});
}

}  // namespace
}  // namespace meta
