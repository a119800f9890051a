#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "varrow/fields/defs/field_defs.h"
#include "varrow/fields/display_lookups.h"
#include "varrow/fields/field_database.h"
#include "varrow/fields/neg_aware_ordering.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/value.h"

namespace meta {
namespace {

template <class T>
std::size_t CountDefinitions() {
    std::size_t total = 0;
    for (auto const& [group, table] : FieldDatabase<T>::GetAll()) total += table.size();
    return total;
}

// Every definition of a database, with its variants and children.
template <class T, class F>
void ForEachDefinition(F&& visit) {
    auto walk = [&](auto const& self, T const& field, FieldGroup group) -> void {
        visit(field, group);
        for (T const& variant : field.variants) self(self, variant, group);
        for (auto const& [id, child] : field.children) self(self, child, group);
    };
    for (auto const& [group, table] : FieldDatabase<T>::GetAll()) {
        for (auto const& [id, field] : table) walk(walk, field, group);
    }
}

template <class T>
std::vector<std::string> UnresolvedLookups() {
    std::vector<std::string> missing;
    ForEachDefinition<T>([&](T const& field, FieldGroup group) {
        if (field.lookupName.empty()) return;
        if (DisplayLookups::Get(field.lookupName) == nullptr || !field.displayConversion) {
            missing.push_back(std::string(ToString(group)) + "." + field.name + ": " + field.lookupName);
        }
    });
    return missing;
}

TEST(FieldDatabase, InitialiseAllDatabasesCountsEveryDefinition) {
    // A misspelt lookup name or a repeated id would throw here.
    std::size_t first = 0;
    ASSERT_NO_THROW(first = InitialiseAllDatabases());
    EXPECT_EQ(InitialiseAllDatabases(), first);
    std::size_t const counted = CountDefinitions<AdobeDngBlock>() + CountDefinitions<CompositeField>() +
                                CountDefinitions<RecordField>() + CountDefinitions<CanonVrdBlock>() +
                                CountDefinitions<CanonVrdEditTag>() + CountDefinitions<CanonVrdIhlTag>() +
                                CountDefinitions<CanonVrdDr4Tag>() + CountDefinitions<ExifTag>() +
                                CountDefinitions<UnsignedRecordField>() + CountDefinitions<IccProfileTag>() +
                                CountDefinitions<OpenExrAttribute>() + CountDefinitions<LytroProperty>() +
                                CountDefinitions<SigmaRawProperty>() + CountDefinitions<IptcTag>() +
                                CountDefinitions<XmpField>();
    EXPECT_EQ(first, counted);
    EXPECT_EQ(FieldDatabase<ExifTag>::Size(), CountDefinitions<ExifTag>());
    // The ten EXIF-family copies alone.
    EXPECT_GT(first, 10 * field_defs::ExifFields().size());
}

TEST(FieldDatabase, EveryLookupNameResolves) {
    EXPECT_EQ(UnresolvedLookups<ExifTag>(), std::vector<std::string>{});
    EXPECT_EQ(UnresolvedLookups<RecordField>(), std::vector<std::string>{});
    EXPECT_EQ(UnresolvedLookups<IccProfileTag>(), std::vector<std::string>{});
    EXPECT_EQ(UnresolvedLookups<IptcTag>(), std::vector<std::string>{});
    std::size_t bound = 0;
    ForEachDefinition<ExifTag>([&](ExifTag const& field, FieldGroup) { bound += !field.lookupName.empty(); });
    EXPECT_GT(bound, 0u);
}

TEST(FieldDatabase, EachExifGroupHasItsOwnCopy) {
    ExifTag const* ifd0 = FieldDatabase<ExifTag>::UnconditionalFind(0x0112, FieldGroup::Ifd0);
    ExifTag const* ifd1 = FieldDatabase<ExifTag>::UnconditionalFind(0x0112, FieldGroup::Ifd1);
    ASSERT_NE(ifd0, nullptr);
    ASSERT_NE(ifd1, nullptr);
    EXPECT_NE(ifd0, ifd1);
    EXPECT_EQ(ifd0->name, ifd1->name);
    EXPECT_EQ(ifd0->fixedCount, ifd1->fixedCount);
    EXPECT_EQ(ifd0->priority, ifd1->priority);
    EXPECT_EQ(ifd0->lookupName, ifd1->lookupName);
    ReadStore store;
    EXPECT_EQ(ifd0->displayConversion(Value(std::uint16_t{3}), store).ToString(),
              ifd1->displayConversion(Value(std::uint16_t{3}), store).ToString());

    for (FieldGroup group :
         {FieldGroup::Exif, FieldGroup::Ifd2, FieldGroup::SubIfd, FieldGroup::SubIfd1, FieldGroup::SubIfd2,
          FieldGroup::SubIfd3, FieldGroup::SubIfd4, FieldGroup::Interoperability}) {
        auto const* table = FieldDatabase<ExifTag>::GetTable(group);
        ASSERT_NE(table, nullptr) << ToString(group);
        EXPECT_EQ(table->size(), FieldDatabase<ExifTag>::GetTable(FieldGroup::Ifd0)->size());
    }
}

TEST(FieldDatabase, LookupsStayInTheirGroup) {
    // GPSHPositioningError exists only in the GPS table.
    EXPECT_NE(FieldDatabase<ExifTag>::UnconditionalFind(0x001f, FieldGroup::Gps), nullptr);
    EXPECT_EQ(FieldDatabase<ExifTag>::UnconditionalFind(0x001f, FieldGroup::Ifd0), nullptr);
    EXPECT_EQ(FieldDatabase<ExifTag>::UnconditionalFind(0x001f, FieldGroup::Exif), nullptr);
    // Make is no GPS tag, and groups without a table find nothing.
    EXPECT_EQ(FieldDatabase<ExifTag>::UnconditionalFind(0x010f, FieldGroup::Gps), nullptr);
    EXPECT_EQ(FieldDatabase<ExifTag>::UnconditionalFind(0x010f, FieldGroup::Canon), nullptr);
    EXPECT_EQ(FieldDatabase<ExifTag>::UnconditionalFind(0x010f, FieldGroup(9999)), nullptr);
    EXPECT_EQ(FieldDatabase<ExifTag>::GetTable(FieldGroup::Unknown), nullptr);
}

TEST(FieldDatabase, IdsOutsideTheIdTypeFindNothing) {
    // 0x10112 must not wrap onto Orientation, nor -1 onto 0xffff.
    EXPECT_EQ(FieldDatabase<ExifTag>::UnconditionalFind(0x10112, FieldGroup::Ifd0), nullptr);
    EXPECT_EQ(FieldDatabase<ExifTag>::UnconditionalFind(-1, FieldGroup::Ifd0), nullptr);
    EXPECT_NE(FieldDatabase<ExifTag>::UnconditionalFind(std::uint64_t{0x0112}, FieldGroup::Ifd0), nullptr);
    EXPECT_NE(FieldDatabase<IptcTag>::UnconditionalFind(25, FieldGroup::IptcApplication), nullptr);
    EXPECT_EQ(FieldDatabase<IptcTag>::UnconditionalFind(25 + 256, FieldGroup::IptcApplication), nullptr);
    EXPECT_NE(FieldDatabase<RecordField>::UnconditionalFind(4u, FieldGroup::IccProfileHeader), nullptr);
}

TEST(FieldDatabase, StringIdsFallBackToCaseInsensitiveMatches) {
    auto const find = [](char const* id, bool exactOnly) {
        return FieldDatabase<IccProfileTag>::UnconditionalFind(std::string(id), FieldGroup::IccProfile,
                                                               exactOnly);
    };
    ASSERT_NE(find("A2B0", true), nullptr);
    EXPECT_EQ(find("A2B0", true)->name, "AToB0");
    EXPECT_EQ(find("a2b0", true), nullptr);
    EXPECT_EQ(find("a2b0", false), find("A2B0", true));
    EXPECT_EQ(find("BTRC", false), find("bTRC", true));
    EXPECT_EQ(find("none", false), nullptr);
}

TEST(FieldDatabase, FindOnPlainDefinitionsReturnsThem) {
    ReadStore store;
    ExifTag const* orientation = FieldDatabase<ExifTag>::Find(0x0112, FieldGroup::Ifd0, store);
    EXPECT_EQ(orientation, FieldDatabase<ExifTag>::UnconditionalFind(0x0112, FieldGroup::Ifd0));
    EXPECT_EQ(FieldDatabase<ExifTag>::Find(0x0112, FieldGroup::Gps, store), nullptr);
    // An unknown-class tag is handed back for the reader to decide.
    ExifTag const* unknown = FieldDatabase<ExifTag>::Find(0xa102, FieldGroup::Exif, store);
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->visibility, 1u);
}

TEST(FieldDatabase, FieldIteratorWalksOneGroupInIdOrder) {
    ReadStore store;
    std::vector<int> ids;
    for (FieldDatabase<RecordField>::FieldIterator it(FieldGroup::Jfif, store); it.Advance();) {
        EXPECT_EQ(it.GetField(), FieldDatabase<RecordField>::UnconditionalFind(it.GetId(), FieldGroup::Jfif));
        ids.push_back(it.GetId());
    }
    EXPECT_EQ(ids, (std::vector<int>{0, 2, 3, 5, 7, 8, 9}));

    std::size_t walked = 0;
    for (FieldDatabase<ExifTag>::FieldIterator it(FieldGroup::Gps); it.Advance();) ++walked;
    EXPECT_EQ(walked, FieldDatabase<ExifTag>::GetTable(FieldGroup::Gps)->size());

    FieldDatabase<ExifTag>::FieldIterator nothing(FieldGroup::Canon);
    EXPECT_FALSE(nothing.Advance());
}

TEST(FieldDatabase, BuildHelperKeepsTheFirstRegistration) {
    std::unordered_map<FieldGroup, FieldTable<ExifTag>> data;
    BuildHelper(data, FieldGroup::Gps, &field_defs::GpsFields);
    BuildHelper(data, FieldGroup::Gps, &field_defs::ExifFields);
    ASSERT_EQ(data.size(), 1u);
    EXPECT_EQ(data.at(FieldGroup::Gps).size(), field_defs::GpsFields().size());
}

TEST(NegAwareOrdering, NonNegativeIdsComeFirst) {
    std::vector<int> ids{-2, 5, 0, -1, 2147483647, -2147483647 - 1};
    std::sort(ids.begin(), ids.end(), NegAwareOrdering<int>{});
    EXPECT_EQ(ids, (std::vector<int>{0, 5, 2147483647, -2147483647 - 1, -2, -1}));
}

}  // namespace
}  // namespace meta
