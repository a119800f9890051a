#include "varrow/api/item_indices.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace meta::detail {
namespace {

// The indices keep views: the names live in a vector that is never resized.
std::vector<std::string> MakeNames(std::size_t count) {
    std::vector<std::string> names;
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) names.push_back("Tag" + std::to_string(i * 7919 % 100003));
    return names;
}

std::vector<std::uint32_t> ItemsOf(ItemNameIndex const& index, std::string_view name) {
    std::vector<std::uint32_t> items;
    ItemNameIndex::Names const* names = index.Find(name);
    if (names == nullptr) return items;
    for (std::uint32_t i = names->first; i != kNoItem; i = index.Next(i)) items.push_back(i);
    return items;
}

TEST(ItemNameIndex, AgreesWithAMultimapThroughGrowthAndClear) {
    std::vector<std::string> const pool = MakeNames(700);
    ItemNameIndex index;
    std::mt19937 random(12345);
    for (int round = 0; round < 2; ++round) {
        std::multimap<std::string_view, std::uint32_t> model;
        std::map<std::string_view, std::uint32_t> winners;
        // Enough items to grow the table several times over; names repeat.
        for (std::uint32_t item = 0; item < 3000; ++item) {
            std::string_view const name = pool[random() % pool.size()];
            ItemNameIndex::Names& names = index.Insert(name, item);
            auto const known = winners.find(name);
            EXPECT_EQ(names.winner, known == winners.end() ? kNoItem : known->second) << name;
            if (random() % 3 == 0 || names.winner == kNoItem) {
                names.winner = item;
                winners[name] = item;
            }
            model.emplace(name, item);
        }
        for (std::string const& name : pool) {
            std::vector<std::uint32_t> expected;
            auto const [first, last] = model.equal_range(name);
            for (auto it = first; it != last; ++it) expected.push_back(it->second);
            EXPECT_EQ(ItemsOf(index, name), expected) << name;
            ItemNameIndex::Names const* names = index.Find(name);
            if (expected.empty()) {
                EXPECT_EQ(names, nullptr);
            } else {
                ASSERT_NE(names, nullptr);
                EXPECT_EQ(names->winner, winners.at(name));
                EXPECT_EQ(names->last, expected.back());
            }
        }
        EXPECT_EQ(index.Find("Absent"), nullptr);
        EXPECT_EQ(index.Find(""), nullptr);
        index.Clear();
        for (std::string const& name : pool) {
            EXPECT_EQ(index.Find(name), nullptr);
        }
    }
}

TEST(ItemNameIndex, EmptyNameIsAName) {
    ItemNameIndex index;
    EXPECT_EQ(index.Find(""), nullptr);
    index.Insert("", 0).winner = 0;
    index.Insert("", 1);
    EXPECT_EQ(ItemsOf(index, ""), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(index.Find("")->winner, 0u);
}

TEST(ItemKeyIndex, AgreesWithAMapAndSortsLikeKeys) {
    std::vector<std::string> const pool = MakeNames(300);
    std::vector<FieldGroup> const groups = {FieldGroup::Unknown, FieldGroup::Ifd0, FieldGroup::Ifd1,
                                            FieldGroup::Exif, FieldGroup::Composite};
    ItemKeyIndex index;
    std::map<std::pair<std::int32_t, std::string_view>, std::uint32_t> model;
    std::mt19937 random(777);
    for (std::uint32_t item = 0; item < 2000; ++item) {
        FieldGroup const group = groups[random() % groups.size()];
        std::string_view const name = pool[random() % pool.size()];
        index.Assign(group, name, item);
        model[{static_cast<std::int32_t>(group), name}] = item;
        if (item % 500 == 0) {
            EXPECT_EQ(index.Sorted().size(), model.size());
        }
    }
    EXPECT_EQ(index.Size(), model.size());
    std::vector<std::uint32_t> expected;
    for (auto const& [key, item] : model) {
        EXPECT_EQ(index.Find(static_cast<FieldGroup>(key.first), key.second), item);
        expected.push_back(item);
    }
    // The map orders by signed group, then name bytes: the key order.
    EXPECT_EQ(index.Sorted(), expected);
    EXPECT_EQ(index.Find(FieldGroup::Ifd0, "Absent"), kNoItem);

    index.Clear();
    EXPECT_EQ(index.Size(), 0u);
    EXPECT_TRUE(index.Sorted().empty());
    EXPECT_EQ(index.Find(FieldGroup::Ifd0, pool[0]), kNoItem);
}

TEST(ItemKeyIndex, GroupsAreSeparateKeysAndOrderIsGroupThenName) {
    ItemKeyIndex index;
    EXPECT_EQ(index.Find(FieldGroup::Ifd0, "Make"), kNoItem);
    EXPECT_TRUE(index.Sorted().empty());
    index.Assign(FieldGroup::Ifd1, "Make", 0);
    index.Assign(FieldGroup::Ifd0, "Makes", 1);
    index.Assign(FieldGroup::Ifd0, "Make", 2);
    index.Assign(FieldGroup::Unknown, "Zed", 3);  // group -1 sorts first
    EXPECT_EQ(index.Sorted(), (std::vector<std::uint32_t>{3, 2, 1, 0}));
    // Replacing a key's item keeps its place and invalidates the cached order.
    index.Assign(FieldGroup::Ifd0, "Make", 4);
    EXPECT_EQ(index.Size(), 4u);
    EXPECT_EQ(index.Sorted(), (std::vector<std::uint32_t>{3, 4, 1, 0}));
    EXPECT_EQ(index.Find(FieldGroup::Ifd1, "Make"), 0u);
}

}  // namespace
}  // namespace meta::detail
