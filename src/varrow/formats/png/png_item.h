#pragma once

#include <memory>
#include <string>
#include <utility>

#include "varrow/fields/key.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/value.h"

namespace meta {

using PngKey = GenericStringKey<FieldNamespace::Png>;

// A PNG chunk or text item: the value as stored and the text ExifTool-style
// output shows for it, which for packed chunk data (a background colour, an
// offset with its unit, a palette) is not a plain rendering of the raw value.
class PngMetadatum {
  public:
    PngMetadatum(PngKey key, std::shared_ptr<ReadStore> store, Value raw, Value display)
        : key_(std::move(key)),
          store_(std::move(store)),
          raw_(std::move(raw)),
          display_(std::move(display)) {}

    static PngMetadatum Create(PngKey key, std::shared_ptr<ReadStore> const& store, Value raw,
                               Value display) {
        return PngMetadatum(std::move(key), store, std::move(raw), std::move(display));
    }
    // An item whose display is its value.
    static PngMetadatum Create(PngKey key, std::shared_ptr<ReadStore> const& store, Value raw) {
        Value display = raw;
        return PngMetadatum(std::move(key), store, std::move(raw), std::move(display));
    }

    PngKey const& GetKey() const { return key_; }
    FieldNamespace GetNamespace() const { return key_.GetNamespace(); }
    FieldGroup GetGroup() const { return key_.GetGroup(); }
    std::string_view GetName() const { return key_.GetName(); }
    bool KeyIsKnown() const { return true; }
    std::string GetId() const { return key_.name; }
    std::string GetTitle() const { return {}; }
    std::string GetDescription() const { return {}; }
    int GetPriority() const { return 1; }
    std::size_t GetValueCount() const { return raw_.Length(); }
    std::string GetValueTypeAsString() const { return ToString(raw_.GetType()); }
    Value const& GetDisplayValue() const { return display_; }
    Value const& GetValue() const { return raw_; }
    Value const& GetRawValue() const { return raw_; }
    ValueAffinity GetAffinity() const { return ValueAffinity::Display; }

  private:
    PngKey key_;
    std::shared_ptr<ReadStore> store_;
    Value raw_;
    Value display_;
};

}  // namespace meta
