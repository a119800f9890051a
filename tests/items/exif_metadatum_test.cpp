#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "varrow/items/exif_metadatum.h"
#include "varrow/items/item_priority.h"
#include "varrow/items/metadatum.h"
#include "varrow/values/exif_values.h"

namespace meta {
namespace {

using Conversion = std::function<Value(Value const&, ReadStore&)>;

struct TestTag {
    using IdType = std::uint16_t;
    std::string name;
    std::string title;
    std::string description;
    Conversion rawConversion;
    Conversion valueConversion;
    Conversion displayConversion;
    std::string lookupName;
};

std::unique_ptr<ExifValue> Shorts(std::initializer_list<std::uint8_t> littleEndianBytes) {
    auto value = CreateExifValue(ExifType::Short);
    std::string const bytes(littleEndianBytes.begin(), littleEndianBytes.end());
    EXPECT_TRUE(value->Read(bytes.data(), bytes.size() / 2, ByteOrder::LittleEndian));
    return value;
}

TEST(ExifMetadatum, CarriesFormatCountAndPriority) {
    TestTag orientation{"Orientation", "", "", {}, {}, {}, {}};
    orientation.displayConversion = [](Value const& v, ReadStore&) {
        return Value(v.Convert<int>() == 6 ? "Rotate 90 CW" : "other");
    };
    orientation.lookupName = "ExifOrientation";
    auto store = std::make_shared<ReadStore>();
    Metadatum const item(ExifMetadatum<TestTag>::Create(
        ExifKey<TestTag>(std::uint16_t{0x0112}, FieldGroup::Ifd0, &orientation), store,
        std::move(*Shorts({6, 0})), 0));

    EXPECT_TRUE(item.KeyIsKnown());
    EXPECT_EQ(item.GetId(), "0x0112");
    EXPECT_EQ(item.GetKey().GetFullName(), "Tiff:Ifd0.Orientation");
    EXPECT_EQ(item.GetTitle(), "Orientation");  // derived: the row has no title
    EXPECT_EQ(item.GetPriority(), 0);
    EXPECT_EQ(item.GetValueCount(), 1u);
    EXPECT_EQ(item.GetValueTypeAsString(), "SHORT");
    EXPECT_EQ(item.GetRawValue(), Value(std::uint16_t{6}));
    EXPECT_EQ(item.GetDisplayValueAsString(), "Rotate 90 CW");
    EXPECT_EQ(item.GetDisplayValue().GetQualifier("LookupName").GetText(), "ExifOrientation");
    EXPECT_EQ(item.As<ExifMetadatum<TestTag>>().GetValueType(), 3);
    EXPECT_EQ(item.As<ExifMetadatum<TestTag>>().GetField(), std::uint16_t{0x0112});
}

TEST(ExifMetadatum, UnknownTagShowsItsRawValue) {
    auto store = std::make_shared<ReadStore>();
    Metadatum const item(
        ExifMetadatum<TestTag>::Create(ExifKey<TestTag>(std::uint16_t{0xc000}, FieldGroup::Exif, nullptr),
                                       store, std::move(*Shorts({1, 0, 2, 0, 3, 0})), 1));
    EXPECT_FALSE(item.KeyIsKnown());
    EXPECT_EQ(item.GetName(), "0xc000");
    EXPECT_EQ(item.GetTitle(), "Unknown");
    EXPECT_EQ(item.GetDescription(), "Unknown");
    EXPECT_EQ(item.GetValueCount(), 3u);
    EXPECT_EQ(item.GetDisplayValueAsString(), "1 2 3");
    EXPECT_EQ(&item.GetDisplayValue(), &item.GetRawValue());

    Metadatum const empty(
        ExifMetadatum<TestTag>::Create(ExifKey<TestTag>(std::nullopt, FieldGroup::Exif, nullptr), store));
    EXPECT_EQ(empty.GetId(), "");
    EXPECT_TRUE(empty.IsNull());
    EXPECT_EQ(empty.GetValueTypeAsString(), "Unknown type");
}

TEST(ItemPriority, GroupRules) {
    ReadStore store;
    EXPECT_EQ(ComputeItemPriority(FieldGroup::Composite, 0, store), 2);
    EXPECT_EQ(ComputeItemPriority(FieldGroup::Unknown, 0, store), 0);
    EXPECT_EQ(ComputeItemPriority(FieldGroup::Ifd0, 0, store), 0);
    EXPECT_EQ(ComputeItemPriority(FieldGroup::Ifd0, 1, store), 1);
    store.preferredGroup = FieldGroup::Ifd0;
    store.zeroPriorityGroups.insert(FieldGroup::Ifd0);
    store.zeroPriorityGroups.insert(FieldGroup::Ifd1);
    EXPECT_EQ(ComputeItemPriority(FieldGroup::Ifd0, 0, store), 1);  // preferred wins over zero-priority
    EXPECT_EQ(ComputeItemPriority(FieldGroup::Ifd0, 1, store), 0);
    EXPECT_EQ(ComputeItemPriority(FieldGroup::Ifd1, 1, store), 0);
    EXPECT_EQ(ComputeItemPriority(FieldGroup::Exif, 1, store), 1);
    EXPECT_EQ(ComputeItemPriority(FieldGroup::Unknown, 1, store), 1);
}

}  // namespace
}  // namespace meta
