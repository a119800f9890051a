#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

#include "varrow/api/export.h"
#include "varrow/fields/field.h"
#include "varrow/fields/table_keys.h"
#include "varrow/items/metadatum_base.h"
#include "varrow/values/json_value.h"

namespace meta {

// Lytro JSON properties: named by their member path, known whether or not a
// definition names them.
using LytroKey = GenericStringKeyWithField<FieldNamespace::Lytro, LytroProperty, true>;

// One scalar of a Lytro JSON section. The JSON value is turned into the raw
// Value on the first request for any of the item's values, so reading a file
// converts nothing that nobody looks at. A JSON null (or an array or object)
// has no Value: such an item stays empty (IsNull() is true) but keeps its
// JSON type.
class VARROW_API LytroMetadatum : public MetadatumBase<LytroKey> {
    using Base = MetadatumBase<LytroKey>;

  public:
    static LytroMetadatum Create(LytroKey key, std::shared_ptr<ReadStore> const& store);
    static LytroMetadatum Create(LytroKey key, std::shared_ptr<ReadStore> const& store, JsonValue&& value,
                                 int priority);

    bool KeyIsKnown() const { return true; }
    std::string GetId() const { return GetKey().name; }
    std::string GetTitle() const { return std::string(); }
    std::string GetDescription() const { return std::string(); }
    int GetPriority() const { return priority_; }
    std::size_t GetValueCount() const { return 1; }
    std::string GetValueTypeAsString() const { return std::string(GetLytroTypeName(type_)); }
    ValueAffinity GetAffinity() const { return ValueAffinity::Display; }

    LytroType GetValueType() const { return type_; }
    JsonValue const& GetJsonValue() const { return json_; }

    // The base's accessors, after the pending conversion of the JSON value.
    Value const& GetRawValue() const {
        Convert();
        return Base::GetRawValue();
    }
    Value const& GetValue() const {
        Convert();
        return Base::GetValue();
    }
    Value const& GetDisplayValue() const {
        Convert();
        return Base::GetDisplayValue();
    }
    bool HasValue() const {
        Convert();
        return Base::HasValue();
    }
    void PopulateCachesUpTo(ValueAffinity level) const {
        Convert();
        Base::PopulateCachesUpTo(level);
    }

  private:
    LytroMetadatum(LytroKey key, std::shared_ptr<ReadStore> const& store) : Base(std::move(key), store) {}

    void Convert() const {
        if (pending_) ConvertNow();
    }
    void ConvertNow() const;

    JsonValue json_;
    LytroType type_ = LytroType::Null;
    int priority_ = 1;
    mutable bool pending_ = false;
};

}  // namespace meta
