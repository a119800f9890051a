#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "varrow/fields/table_keys.h"
#include "varrow/items/metadatum.h"
#include "varrow/items/metadatum_base.h"

namespace meta {
namespace {

using Conversion = std::function<Value(Value const&, ReadStore&)>;

struct FakeField {
    using IdType = std::uint16_t;
    std::string name = "Fake";
    std::string title;
    std::string description;
    Conversion rawConversion;
    Conversion valueConversion;
    Conversion displayConversion;
    std::string lookupName;
};

// A minimal table-driven item over the shared cache.
class FakeItem : public MetadatumBase<ExifKey<FakeField>> {
  public:
    using MetadatumBase::MetadatumBase;
    bool KeyIsKnown() const { return GetKey().GetField() != nullptr; }
    std::string GetId() const { return {}; }
    std::string GetTitle() const { return std::string(GetKey().GetTitle()); }
    std::string GetDescription() const { return {}; }
    int GetPriority() const { return 1; }
    std::size_t GetValueCount() const { return 1; }
    std::string GetValueTypeAsString() const { return {}; }
    ValueAffinity GetAffinity() const { return ValueAffinity::Display; }
};

struct Counts {
    int raw = 0, value = 0, display = 0;
};

Conversion Counting(int& counter, std::function<Value(Value const&)> body) {
    return [&counter, body](Value const& v, ReadStore&) {
        ++counter;
        return body(v);
    };
}

Metadatum Make(FakeField const* field, Value raw) {
    FakeItem item(ExifKey<FakeField>(std::uint16_t{1}, FieldGroup::Exif, field),
                  std::make_shared<ReadStore>());
    item.SetValue(std::move(raw));
    return Metadatum(std::move(item));
}

TEST(MetadatumBase, EachConversionRunsOnceAndLevelsAreCached) {
    Counts counts;
    FakeField field;
    field.rawConversion = Counting(counts.raw, [](Value const& v) { return Value(v.Convert<int>() + 1); });
    field.valueConversion =
        Counting(counts.value, [](Value const& v) { return Value(v.Convert<int>() * 10); });
    field.displayConversion = Counting(counts.display, [](Value const&) { return Value("shown"); });
    field.lookupName = "FakeLookup";

    Metadatum const item = Make(&field, Value(4));
    EXPECT_EQ(counts.raw, 1);  // at creation
    EXPECT_EQ(item.GetRawValue(), Value(5));
    EXPECT_EQ(counts.value, 0);  // nothing computed before it is asked for
    EXPECT_EQ(item.GetValue(), Value(50));
    EXPECT_EQ(item.GetDisplayValueAsString(), "shown");
    EXPECT_EQ(item.GetDisplayValue().GetQualifier("LookupName").GetText(), "FakeLookup");
    item.GetDisplayValue();
    item.GetValue();
    EXPECT_EQ(counts.raw, 1);
    EXPECT_EQ(counts.value, 1);
    EXPECT_EQ(counts.display, 1);
}

TEST(MetadatumBase, FailingConversionsFallBack) {
    FakeField field;
    field.valueConversion = [](Value const&, ReadStore&) -> Value { throw std::runtime_error("bad"); };
    field.displayConversion = [](Value const&, ReadStore&) { return Value("never"); };
    Metadatum const throwing = Make(&field, Value(7));
    EXPECT_EQ(throwing.GetValue(), Value(7));
    EXPECT_EQ(throwing.GetDisplayValue(), Value(7));

    FakeField displayThrows;
    displayThrows.displayConversion = [](Value const&, ReadStore&) -> Value { throw std::out_of_range(""); };
    displayThrows.lookupName = "X";
    Metadatum const fallback = Make(&displayThrows, Value(3));
    EXPECT_EQ(fallback.GetDisplayValue(), Value(3));
    EXPECT_FALSE(fallback.GetDisplayValue().HasQualifiers());

    // A value conversion giving nothing ends the computation: display is the raw value.
    int displays = 0;
    FakeField empty;
    empty.valueConversion = [](Value const&, ReadStore&) { return Value(); };
    empty.displayConversion = Counting(displays, [](Value const&) { return Value("x"); });
    Metadatum const emptied = Make(&empty, Value(9));
    EXPECT_EQ(emptied.GetDisplayValue(), Value(9));
    EXPECT_EQ(displays, 0);
}

TEST(MetadatumBase, WithoutFieldEverythingIsTheRawValue) {
    Metadatum const item = Make(nullptr, Value(std::string("abc")));
    EXPECT_FALSE(item.KeyIsKnown());
    EXPECT_EQ(item.GetTitle(), "Unknown");
    EXPECT_EQ(&item.GetValue(), &item.GetRawValue());
    EXPECT_EQ(&item.GetDisplayValue(), &item.GetRawValue());

    // A display conversion sees the raw value when there is no value conversion,
    // and a display without lookup name gets no qualifier.
    FakeField field;
    field.displayConversion = [](Value const& v, ReadStore&) { return Value(v.ToString() + "!"); };
    Metadatum const shown = Make(&field, Value(2));
    EXPECT_EQ(shown.GetDisplayValueAsString(), "2!");
    EXPECT_EQ(shown.GetValueAsString(), "2");
    EXPECT_FALSE(shown.GetDisplayValue().HasQualifiers());
}

}  // namespace
}  // namespace meta
