#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "varrow/blocks/iptc/iptc_integral_value.h"
#include "varrow/blocks/iptc/iptc_text_values.h"
#include "varrow/items/iptc_metadatum.h"
#include "varrow/items/metadatum.h"

namespace meta {
namespace {

IptcTag Definition(char const* name) {
    IptcTag tag;
    tag.name = name;
    return tag;
}

TEST(IptcMetadatum, SingleValueItem) {
    IptcTag urgency = Definition("Urgency");
    urgency.displayConversion = [](Value const& v, ReadStore&) { return Value(v.ToString() + " (normal)"); };
    urgency.lookupName = "IptcUrgency";
    auto store = std::make_shared<ReadStore>();
    Metadatum const item(IptcMetadatum::Create(
        IptcKey(std::uint8_t{10}, FieldGroup::IptcApplication, &urgency), store, DigitsIptcValue("5"), 0));
    EXPECT_TRUE(item.KeyIsKnown());
    EXPECT_EQ(item.GetKey().GetFullName(), "Iptc:IptcApplication.Urgency");
    EXPECT_EQ(item.GetId(), "0x000a");
    EXPECT_EQ(item.GetTitle(), "Urgency");
    EXPECT_EQ(item.GetPriority(), 0);
    EXPECT_EQ(item.GetValueCount(), 1u);
    EXPECT_EQ(item.GetValueTypeAsString(), "DIGITS");
    EXPECT_EQ(item.GetAffinity(), ValueAffinity::Display);
    EXPECT_EQ(item.GetRawValue(), Value("5"));
    EXPECT_EQ(item.GetDisplayValueAsString(), "5 (normal)");
    EXPECT_EQ(item.GetDisplayValue().GetQualifier("LookupName").GetText(), "IptcUrgency");
    auto const& typed = item.As<IptcMetadatum>();
    EXPECT_EQ(typed.GetField(), std::uint8_t{10});
    EXPECT_EQ(typed.GetValueType(), 4u);
}

TEST(IptcMetadatum, RepeatedDatasetsShareOneItem) {
    IptcTag keywords = Definition("Keywords");
    auto store = std::make_shared<ReadStore>();
    std::vector<std::unique_ptr<IptcValue>> values;
    values.push_back(std::make_unique<StringIptcValue>("b"));
    values.push_back(nullptr);
    values.push_back(std::make_unique<StringIptcValue>("a"));
    Metadatum const item(IptcMetadatum::Create(
        IptcKey(std::uint8_t{25}, FieldGroup::IptcApplication, &keywords), store, std::move(values), 1));
    EXPECT_EQ(item.GetRawValue(), Value(ValueSet{Value("b"), Value("a")}));  // file order, nulls skipped
    EXPECT_EQ(item.GetValueTypeAsString(), "STRING");
    EXPECT_EQ(item.GetValueCount(), 1u);
}

TEST(IptcMetadatum, UnknownAndFailingDefinitions) {
    auto store = std::make_shared<ReadStore>();
    Metadatum const unknown(IptcMetadatum::Create(
        IptcKey(std::uint8_t{0xa5}, FieldGroup::IptcApplication, nullptr), store, LongIptcValue(5), 1));
    EXPECT_FALSE(unknown.KeyIsKnown());
    EXPECT_EQ(unknown.GetName(), "0x00a5");
    EXPECT_EQ(unknown.GetTitle(), "Unknown");
    EXPECT_EQ(unknown.GetValueTypeAsString(), "LONG");
    EXPECT_EQ(unknown.GetDisplayValue(), Value(std::uint32_t{5}));

    IptcTag broken = Definition("DateCreated");
    broken.valueConversion = [](Value const&, ReadStore&) -> Value { throw std::runtime_error("bad"); };
    Metadatum const failing(IptcMetadatum::Create(
        IptcKey(std::uint8_t{55}, FieldGroup::IptcApplication, &broken), store, DigitsIptcValue("2009"), 1));
    EXPECT_EQ(failing.GetValue(), Value("2009"));
    EXPECT_EQ(failing.GetDisplayValue(), Value("2009"));

    // Made without a value: nothing to show, no type.
    Metadatum const empty(
        IptcMetadatum::Create(IptcKey(std::nullopt, FieldGroup::IptcEnvelope, nullptr), store));
    EXPECT_FALSE(empty);
    EXPECT_EQ(empty.GetValueTypeAsString(), "");
    EXPECT_EQ(empty.GetId(), "");
    EXPECT_EQ(empty.GetName(), "Unknown");
}

}  // namespace
}  // namespace meta
