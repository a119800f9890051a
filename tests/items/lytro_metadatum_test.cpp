#include <gtest/gtest.h>
#include <json/json.h>

#include <cstdint>
#include <memory>
#include <string>

#include "varrow/fields/field.h"
#include "varrow/items/lytro_metadatum.h"
#include "varrow/items/metadatum.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/json_value.h"

namespace meta {
namespace {

TEST(JsonValueTest, ConvertsScalarsByJsonType) {
    Value const negative = JsonValue::Parse("-42").ToMetaValue();
    ASSERT_EQ(negative.GetType(), Value::Type::S64);
    EXPECT_EQ(negative.Get<std::int64_t>(), -42);
    EXPECT_EQ(JsonValue::Parse("9223372036854775807").ToMetaValue().GetType(), Value::Type::S64);
    Value const huge = JsonValue::Parse("9223372036854775808").ToMetaValue();
    ASSERT_EQ(huge.GetType(), Value::Type::U64);
    EXPECT_EQ(huge.Get<std::uint64_t>(), 9223372036854775808u);
    Value const real = JsonValue::Parse("1.0").ToMetaValue();
    ASSERT_EQ(real.GetType(), Value::Type::Double);
    EXPECT_EQ(real.Get<double>(), 1.0);
    EXPECT_EQ(JsonValue::Parse("true").ToMetaValue().GetType(), Value::Type::Bool);
    // Text keeps every byte, an escaped NUL included.
    Value const text = JsonValue::Parse("\"a\\u0000b\"").ToMetaValue();
    ASSERT_EQ(text.GetType(), Value::Type::String);
    EXPECT_EQ(text.Get<std::string>().size(), 3u);

    EXPECT_THROW(JsonValue().ToMetaValue(), ValueException);
    EXPECT_THROW(JsonValue::Parse("null").ToMetaValue(), ValueException);
    EXPECT_THROW(JsonValue::Parse("[1]").ToMetaValue(), ValueException);
    EXPECT_THROW(JsonValue::Parse("{\"a\":1}").ToMetaValue(), ValueException);
    // Text that does not parse is the null.
    EXPECT_TRUE(JsonValue::Parse("{").IsNull());
}

TEST(JsonValueTest, ReportsTypesByName) {
    EXPECT_EQ(JsonValue().GetType(), LytroType::Null);
    EXPECT_EQ(JsonValue::Parse("-1").GetType(), LytroType::Integer);
    EXPECT_EQ(JsonValue::Parse("18446744073709551615").GetType(), LytroType::UnsignedInteger);
    EXPECT_EQ(JsonValue::Parse("2.5").GetType(), LytroType::Real);
    EXPECT_EQ(JsonValue::Parse("\"x\"").GetType(), LytroType::String);
    EXPECT_EQ(JsonValue::Parse("false").GetType(), LytroType::Boolean);
    EXPECT_EQ(JsonValue::Parse("[]").GetType(), LytroType::Array);
    EXPECT_EQ(JsonValue::Parse("{}").GetType(), LytroType::Object);
    EXPECT_EQ(GetLytroTypeName(LytroType::UnsignedInteger), "UnsignedInteger");
    EXPECT_EQ(GetLytroTypeName(LytroType::Object), "Object");
    EXPECT_EQ(GetLytroTypeName(static_cast<LytroType>(8)), "");
}

TEST(JsonValueTest, SharesTheDocumentItPointsInto) {
    auto document = std::make_shared<Json::Value>(Json::objectValue);
    (*document)["make"] = "Lytro";
    JsonValue const make(std::shared_ptr<Json::Value const>(document), (*document)["make"]);
    std::weak_ptr<Json::Value> const watch = document;
    document.reset();
    // The node outlives the caller's handle on the document.
    ASSERT_FALSE(watch.expired());
    EXPECT_EQ(make.ToMetaValue().Get<std::string>(), "Lytro");
    JsonValue copy = make;
    EXPECT_EQ(copy.Get(), make.Get());

    // A copied value is independent of its source.
    Json::Value source = 5;
    JsonValue const owned(source);
    source = 6;
    EXPECT_EQ(owned.ToMetaValue().Get<std::int64_t>(), 5);
}

class LytroMetadatumTest : public ::testing::Test {
  protected:
    std::shared_ptr<ReadStore> store_ = std::make_shared<ReadStore>();
};

TEST_F(LytroMetadatumTest, AnswersLikeAnItemOfItsOwnNamespace) {
    Metadatum const item(LytroMetadatum::Create(LytroKey{FieldGroup::Lytro, "PictureFrameImageRef", nullptr},
                                                store_, JsonValue::Parse("\"sha1-abc\""), 1));
    EXPECT_TRUE(item.KeyIsKnown());  // known without a definition
    EXPECT_EQ(item.GetNamespace(), FieldNamespace::Lytro);
    EXPECT_EQ(item.GetGroup(), FieldGroup::Lytro);
    EXPECT_EQ(item.GetName(), "PictureFrameImageRef");
    EXPECT_EQ(item.GetId(), "PictureFrameImageRef");
    EXPECT_EQ(item.GetTitle(), "Picture Frame Image Ref");
    EXPECT_EQ(item.GetDescription(), "");
    EXPECT_EQ(item.GetValueCount(), 1u);
    EXPECT_EQ(item.GetValueTypeAsString(), "String");
    EXPECT_EQ(item.GetAffinity(), ValueAffinity::Display);
    EXPECT_EQ(item.GetPriority(), 1);
    EXPECT_EQ(item.GetDisplayValueAsString(), "sha1-abc");
    EXPECT_EQ(item.GetKey().GetFullName(), "Lytro:Lytro.PictureFrameImageRef");

    Metadatum const zero(
        LytroMetadatum::Create(LytroKey{FieldGroup::Lytro, "A", nullptr}, store_, JsonValue::Parse("1"), 0));
    EXPECT_FALSE(zero.Replaces(item));
    EXPECT_TRUE(item.Replaces(zero));
}

TEST_F(LytroMetadatumTest, ConvertsLazilyThroughItsDefinition) {
    int calls = 0;
    LytroProperty field;
    field.name = "FocalLength";
    field.valueConversion = [&calls](Value const& v, ReadStore&) {
        ++calls;
        return Value(v.Get<double>() * 1000.0);
    };
    field.displayConversion = [](Value const& v, ReadStore&) {
        return Value(std::to_string(v.Get<double>()));
    };
    LytroMetadatum const item = LytroMetadatum::Create(
        LytroKey{FieldGroup::Lytro, "DevicesLensFocalLength", &field}, store_, JsonValue::Parse("0.5"), 1);
    EXPECT_EQ(item.GetName(), "FocalLength");
    EXPECT_EQ(item.GetId(), "DevicesLensFocalLength");
    EXPECT_EQ(calls, 0);
    // The raw value needs no conversion of the definition's.
    EXPECT_EQ(item.GetRawValue().Get<double>(), 0.5);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(item.GetDisplayValue().Get<std::string>(), "500.000000");
    EXPECT_EQ(item.GetValue().Get<double>(), 500.0);
    EXPECT_EQ(calls, 1);
}

TEST_F(LytroMetadatumTest, NullAndEmptyItemsHaveNoValue) {
    Metadatum const null(LytroMetadatum::Create(LytroKey{FieldGroup::Lytro, "Nothing", nullptr}, store_,
                                                JsonValue::Parse("null"), 1));
    EXPECT_TRUE(null.HasItem());
    EXPECT_TRUE(null.IsNull());
    EXPECT_FALSE(null.GetValue().Exists());
    EXPECT_FALSE(null.GetDisplayValue().Exists());
    EXPECT_EQ(null.GetValueTypeAsString(), "Null");
    EXPECT_FALSE(null.As<LytroMetadatum>().HasValue());

    LytroMetadatum const empty =
        LytroMetadatum::Create(LytroKey{FieldGroup::Lytro, "Empty", nullptr}, store_);
    EXPECT_FALSE(empty.HasValue());
    EXPECT_EQ(empty.GetPriority(), 1);
    EXPECT_EQ(empty.GetValueTypeAsString(), "Null");
}

}  // namespace
}  // namespace meta
