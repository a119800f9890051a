// The DR4 record id: order, names, parsing and hashing, and the keys built
// from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

#include "varrow/fields/canon_vrd_dr4_tag_id.h"
#include "varrow/fields/canon_vrd_keys.h"
#include "varrow/fields/field_database.h"
#include "varrow/fields/key.h"

namespace meta {
namespace {

using Id = CanonVrdDr4TagId;

TEST(CanonVrdDr4TagId, RecordsComeBeforeTheirElements) {
    std::vector<Id> ids{Id(0x20311u), Id(0x20310u, 1), Id(0xffffffffu), Id(0x20310u, 0),
                        Id(0x10002u), Id(0x20310u),    Id(0x1ff52au)};
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<Id>{Id(0x10002u), Id(0x20310u), Id(0x20310u, 0), Id(0x20310u, 1),
                                    Id(0x20311u), Id(0x1ff52au), Id(0xffffffffu)}));

    // The table comparator (std::less<void>) agrees, so a record's elements
    // are one range of a table, right after the record.
    std::map<Id, int, std::less<void>> table{{Id(0x20311u), 3}, {Id(0x20310u, 0), 2}, {Id(0x20310u), 1}};
    auto const range = table.lower_bound(Id(0x20310u));
    ASSERT_NE(range, table.end());
    EXPECT_EQ(range->second, 1);
    EXPECT_EQ(std::next(range)->second, 2);
    EXPECT_EQ(table.upper_bound(Id(0x20310u, 0))->second, 3);

    // Negative element numbers all mean the whole record.
    EXPECT_EQ(Id(0x20310u, -7), Id(0x20310u));
    EXPECT_TRUE(Id(0x20310u, -7).IsWholeRecord());
    EXPECT_FALSE(Id(0x20310u, 0).IsWholeRecord());
    EXPECT_EQ(Id(0x20310u, 4).Record(), Id(0x20310u));
    EXPECT_NE(Id(0x20310u, 4), Id(0x20311u, 4));
    EXPECT_EQ(Id(), Id(0u));
}

TEST(CanonVrdDr4TagId, PrintsAsTheTagDocumentationNumbersIt) {
    EXPECT_EQ(ToString(Id(0x10002u)), "0x10002");
    EXPECT_EQ(ToString(Id(0x20310u, 0)), "0x20310.0");
    EXPECT_EQ(ToString(Id(0x2030au, 12)), "0x2030a.12");
    EXPECT_EQ(ToString(Id(0x5u)), "0x0005");  // at least four digits, as other tag ids
    EXPECT_EQ(ToString(Id(0xffffffffu, 2147483647)), "0xffffffff.2147483647");
    std::ostringstream out;
    out << Id(0x20400u, 1) << ' ' << Id(0xf0512u);
    EXPECT_EQ(out.str(), "0x20400.1 0xf0512");
}

TEST(CanonVrdDr4TagId, ParsesWhatItPrints) {
    for (Id const id :
         {Id(0u), Id(0x5u), Id(0x10002u), Id(0x20310u, 0), Id(0x2030au, 12), Id(0xffffffffu, 2147483647)}) {
        EXPECT_EQ(ParseCanonVrdDr4TagId(ToString(id)), id) << ToString(id);
    }
    // Upper-case digits and decimal tags as the reference data writes them.
    EXPECT_EQ(ParseCanonVrdDr4TagId("0X2030A"), Id(0x2030au));
    EXPECT_EQ(ParseCanonVrdDr4TagId("131856"), Id(0x20310u));
    EXPECT_EQ(ParseCanonVrdDr4TagId("131856.0"), Id(0x20310u, 0));

    for (char const* bad :
         {"", "0x", "x10", "0x20310.", ".0", "0x20310.-1", "0x20310.+1", "-1", "+5", "0x100000000",
          "4294967296", "0x1.2147483648", "0x2031g", " 0x1", "0x1 ", "0x1.2.3", "0x-1", "header"}) {
        EXPECT_EQ(ParseCanonVrdDr4TagId(bad), std::nullopt) << '"' << bad << '"';
    }
}

TEST(CanonVrdDr4TagId, HashesEqualIdsAlike) {
    std::hash<Id> const hash;
    EXPECT_EQ(hash(Id(0x20310u, 0)), hash(*ParseCanonVrdDr4TagId("0x20310.0")));
    // The element takes part in the hash: a record and its first element
    // must not collide by construction.
    EXPECT_NE(hash(Id(0x20310u)), hash(Id(0x20310u, 0)));
    std::unordered_set<Id> const set{Id(0x20310u), Id(0x20310u, 0), Id(0x20311u), Id(0x20310u)};
    EXPECT_EQ(set.size(), 3u);
    EXPECT_EQ(set.count(Id(0x20310u, 0)), 1u);
    EXPECT_EQ(set.count(Id(0x20310u, 1)), 0u);
}

TEST(CanonVrdKeys, NamedAfterTheDefinitionElseTheId) {
    CanonVrdDr4Tag const* defined =
        FieldDatabase<CanonVrdDr4Tag>::UnconditionalFind(Id(0x20310u, 0), FieldGroup::CanonVrdDr4);
    ASSERT_NE(defined, nullptr);
    CanonVrdDr4Key const known(Id(0x20310u, 0), FieldGroup::CanonVrdDr4, defined);
    EXPECT_EQ(known.GetName(), "SharpnessAdjOn");
    EXPECT_EQ(known.GetNamespace(), FieldNamespace::Canon);
    EXPECT_EQ(Key(known).GetFullName(), "Canon:CanonVrdDr4.SharpnessAdjOn");

    CanonVrdDr4Key const element(Id(0x20310u, 3), FieldGroup::CanonVrdDr4, nullptr);
    EXPECT_EQ(element.GetName(), "0x20310.3");
    EXPECT_EQ(element.GetTitle(), "Unknown");
    EXPECT_EQ(Key(element).GetFullName(), "Canon:CanonVrdDr4.0x20310.3");
    CanonVrdDr4Key const record(Id(0x10018u), FieldGroup::CanonVrdDr4, nullptr);
    EXPECT_EQ(record.GetName(), "0x10018");

    CanonVrdBlockKey const block(0xffff00f8u, FieldGroup::CanonVrd, nullptr);
    EXPECT_EQ(Key(block).GetFullName(), "Canon:CanonVrd.0xffff00f8");
    CanonVrdIhlKey const ihl(std::uint8_t{2}, FieldGroup::CanonVrdIhl, nullptr);
    EXPECT_EQ(ihl.GetName(), "0x0002");
    CanonVrdEditKey const edit(
        std::uint8_t{0}, FieldGroup::CanonVrdEdit4,
        FieldDatabase<CanonVrdEditTag>::UnconditionalFind(0, FieldGroup::CanonVrdEdit4));
    EXPECT_EQ(edit.GetName(), "DR4");
}

}  // namespace
}  // namespace meta
