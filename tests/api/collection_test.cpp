#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/items/simple_metadatums.h"

namespace meta {
namespace {

// An item with a chosen namespace, group and priority.
Metadatum Item(FieldNamespace ns, FieldGroup group, std::string name, int priority, int value) {
    return Metadatum(
        IsobmffMetadatum::Create(IsobmffKey{std::move(name), ns, group}, Value(value), priority));
}

class CollectionTest : public ::testing::Test {
  protected:
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(CollectionTest, EmptyCollection) {
    EXPECT_FALSE(metadata_.FindAny("Make").HasItem());
    EXPECT_TRUE(metadata_.GetAllKeys().empty());
    EXPECT_TRUE(metadata_.GetAllValues().empty());
    EXPECT_FALSE(metadata_.Add(Metadatum()));
    EXPECT_EQ(metadata_.Size(), 0u);
}

TEST_F(CollectionTest, WinnersByPriority) {
    Metadatum const first = Item(FieldNamespace::Tiff, FieldGroup::Ifd0, "Make", 1, 1);
    Metadatum const weaker = Item(FieldNamespace::Tiff, FieldGroup::Ifd0, "Make", 0, 2);
    ASSERT_TRUE(metadata_.Add(first));
    // A losing item is kept and Add still reports success.
    ASSERT_TRUE(metadata_.Add(weaker));
    EXPECT_EQ(metadata_.GetAllValues().size(), 2u);
    EXPECT_EQ(metadata_.FindAny("Make").GetRawValue(), Value(1));
    EXPECT_EQ(metadata_.Find(first.GetKey()).GetRawValue(), Value(1));

    Metadatum const stronger = Item(FieldNamespace::Tiff, FieldGroup::Ifd0, "Make", 2, 3);
    ASSERT_TRUE(metadata_.Add(stronger));
    EXPECT_EQ(metadata_.FindAny("Make").GetRawValue(), Value(3));
    EXPECT_EQ(metadata_["Make"].GetRawValue(), Value(3));
    EXPECT_EQ(metadata_.Find(first.GetKey()).GetRawValue(), Value(3));
    EXPECT_EQ(metadata_.GetAllValues().size(), 3u);
    EXPECT_EQ(metadata_.GetAllValues()[0].GetRawValue(), Value(1));
}

TEST_F(CollectionTest, NamesCompeteAcrossGroupsAndNamespaces) {
    metadata_.Add(Item(FieldNamespace::Tiff, FieldGroup::Ifd0, "Make", 1, 1));
    metadata_.Add(Item(FieldNamespace::Xmp, FieldGroup::XmpTiff, "Make", 2, 2));
    metadata_.Add(Item(FieldNamespace::Xmp, FieldGroup::XmpTiff, "Make", 1, 3));  // loses to 2

    EXPECT_EQ(metadata_.FindAny("Make").GetRawValue(), Value(2));
    EXPECT_EQ(metadata_.Find(FieldGroup::Unknown, "Make").GetRawValue(), Value(2));
    EXPECT_EQ(metadata_.Find(FieldGroup::Ifd0, "Make").GetRawValue(), Value(1));
    EXPECT_EQ(metadata_.Find(FieldGroup::XmpTiff, "Make").GetRawValue(), Value(2));
    EXPECT_FALSE(metadata_.Find(FieldGroup::Ifd1, "Make").HasItem());

    // By namespace: the winner when it is there, else the latest of that namespace.
    EXPECT_EQ(metadata_.Find(FieldNamespace::Xmp, "Make").GetRawValue(), Value(2));
    EXPECT_EQ(metadata_.Find(FieldNamespace::Tiff, "Make").GetRawValue(), Value(1));
    EXPECT_EQ(metadata_.Find(FieldNamespace::Unknown, "Make").GetRawValue(), Value(2));
    EXPECT_FALSE(metadata_.Find(FieldNamespace::Icc, "Make").HasItem());
    // A key names its group: the null key (group Unknown, no name) finds no
    // item, where the group Unknown in Find(group, name) means any group.
    metadata_.Add(Item(FieldNamespace::Tiff, FieldGroup::Ifd0, "", 1, 4));
    EXPECT_TRUE(metadata_.Find(FieldGroup::Unknown, "").HasItem());
    EXPECT_FALSE(metadata_.Find(Key()).HasItem());
}

TEST_F(CollectionTest, KeysSortedAndLosersOnArrivalNotListed) {
    metadata_.Add(Item(FieldNamespace::Tiff, FieldGroup::Ifd1, "Model", 1, 1));
    metadata_.Add(Item(FieldNamespace::Tiff, FieldGroup::Ifd0, "Model", 1, 2));  // replaces, same name
    metadata_.Add(Item(FieldNamespace::Tiff, FieldGroup::Ifd0, "Make", 1, 3));
    metadata_.Add(Item(FieldNamespace::Tiff, FieldGroup::Exif, "Make", 0, 4));  // loses on arrival
    std::vector<std::string> names;
    for (Key const& key : metadata_.GetAllKeys()) names.push_back(key.GetFullName());
    EXPECT_EQ(names, (std::vector<std::string>{"Tiff:Ifd0.Make", "Tiff:Ifd0.Model", "Tiff:Ifd1.Model"}));

    std::vector<int> sorted;
    for (Metadatum const& item : metadata_.GetSortedView())
        sorted.push_back(item.GetRawValue().Convert<int>());
    EXPECT_EQ(sorted, (std::vector<int>{3, 2, 1}));
    // The view follows the collection: a new key, and a new winner for a key.
    metadata_.Add(Item(FieldNamespace::Tiff, FieldGroup::Ifd0, "Artist", 1, 5));
    metadata_.Add(Item(FieldNamespace::Tiff, FieldGroup::Ifd0, "Make", 2, 6));
    sorted.clear();
    for (Metadatum const& item : metadata_.GetSortedView())
        sorted.push_back(item.GetRawValue().Convert<int>());
    EXPECT_EQ(sorted, (std::vector<int>{5, 6, 2, 1}));
    EXPECT_EQ(metadata_.GetSortedView().size(), 4u);
    std::vector<int> ordered;
    for (Metadatum const& item : metadata_.GetOrderedView())
        ordered.push_back(item.GetRawValue().Convert<int>());
    EXPECT_EQ(ordered, (std::vector<int>{1, 2, 3, 4, 5, 6}));
}

TEST_F(CollectionTest, UserItemsAndClear) {
    ASSERT_TRUE(
        metadata_.Add(FieldGroup::Bmp, "ImageWidth", Value(std::uint32_t{640}), ValueAffinity::Value));
    Metadatum const width = metadata_.Find(FieldNamespace::Bmp, "ImageWidth");
    ASSERT_TRUE(width);
    EXPECT_EQ(width.GetKey().GetFullName(), "Bmp:Bmp.ImageWidth");
    EXPECT_EQ(width.GetPriority(), 2);
    EXPECT_EQ(width.GetAffinity(), ValueAffinity::Value);

    auto const oldStore = metadata_.GetReadStore();
    metadata_.Clear();
    EXPECT_NE(metadata_.GetReadStore(), oldStore);
    EXPECT_EQ(metadata_.Size(), 0u);
    EXPECT_FALSE(metadata_.FindAny("ImageWidth").HasItem());
    // Items handed out earlier stay valid.
    EXPECT_EQ(width.GetName(), "ImageWidth");
}

}  // namespace
}  // namespace meta

namespace meta {
namespace {

TEST(Finders, SelectLevelAndStyle) {
    Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
    ValueSequence list;
    list.push_back(Value("a"));
    list.push_back(Value("b"));
    metadata.Add(FieldGroup::XmpDc, "subject", Value(std::move(list)), ValueAffinity::Display);
    metadata.Add(FieldGroup::Exif, "Flag", Value(true), ValueAffinity::Display);

    EXPECT_EQ(Metadata::MakeDisplayStringFinder()(metadata, "subject"), "[a, b]");
    EXPECT_EQ(Metadata::MakeExifToolDisplayStringFinder()(metadata, "subject"), "(Sequence data)");
    EXPECT_EQ(Metadata::MakeRawStringFinder()(metadata, FieldGroup::Exif, "Flag"), "true");
    EXPECT_EQ(Metadata::MakeExifToolValueStringFinder()(metadata, FieldNamespace::Tiff, "Flag"), "True");
    EXPECT_EQ(Metadata::MakeRawStringFinder()(metadata, "Missing"), "");
    EXPECT_EQ(Metadata::MakeValueStringFinder()(metadata, FieldGroup::Gps, "Flag"), "");
    EXPECT_EQ(Metadata::Finder(ValueAffinity::None, false)(metadata, "Flag"), "");
}

}  // namespace
}  // namespace meta
