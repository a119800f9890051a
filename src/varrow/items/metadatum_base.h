#pragma once

#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "varrow/fields/field_group.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/value.h"

namespace meta {

namespace detail {
// Qualifier a display value carries to name the lookup that produced it.
inline constexpr char const* kLookupNameQualifier = "LookupName";
}  // namespace detail

// State shared by the table-driven items: the raw value and, filled lazily
// and at most once each, the converted and the display value, computed by
// the conversions of the key's field definition with the read's context.
// A conversion that fails (throws a std::exception) leaves its level empty,
// and the accessors fall back to the level below.
template <class K>
class MetadatumBase {
  public:
    MetadatumBase(K key, std::shared_ptr<ReadStore> store) : key_(std::move(key)), store_(std::move(store)) {}

    K const& GetKey() const { return key_; }
    FieldNamespace GetNamespace() const { return key_.GetNamespace(); }
    FieldGroup GetGroup() const { return key_.GetGroup(); }
    std::string_view GetName() const { return key_.GetName(); }
    std::shared_ptr<ReadStore> const& GetStore() const { return store_; }

    // Replaces the raw value (with its qualifiers) and runs the raw
    // conversion; the other levels are recomputed on demand.
    void SetValue(Value raw) {
        raw_ = std::move(raw);
        value_ = Value();
        display_ = Value();
        cachedUpTo_ = ValueAffinity::None;
        PopulateCachesUpTo(ValueAffinity::Raw);
    }

    Value const& GetRawValue() const { return raw_; }
    Value const& GetValue() const {
        PopulateCachesUpTo(ValueAffinity::Value);
        return value_.Exists() ? value_ : raw_;
    }
    Value const& GetDisplayValue() const {
        PopulateCachesUpTo(ValueAffinity::Display);
        if (display_.Exists()) return display_;
        return value_.Exists() ? value_ : raw_;
    }
    bool HasValue() const { return raw_.Exists(); }

    // Fills the caches down to `level` (Raw, then Value, then Display).
    void PopulateCachesUpTo(ValueAffinity level) const;

  private:
    template <class Conversion>
    Value Run(Conversion const& conversion, Value const& input) const {
        try {
            return conversion(input, *store_);
        } catch (std::exception const&) {
            return Value();
        }
    }

    // Levels already computed, counted down from None (3) to Display (0).
    static bool Above(ValueAffinity a, ValueAffinity b) { return static_cast<int>(a) > static_cast<int>(b); }

    mutable Value raw_;
    mutable Value value_;
    mutable Value display_;
    mutable ValueAffinity cachedUpTo_ = ValueAffinity::None;
    K key_;
    std::shared_ptr<ReadStore> store_;
};

template <class K>
void MetadatumBase<K>::PopulateCachesUpTo(ValueAffinity level) const {
    if (level == ValueAffinity::None || !Above(cachedUpTo_, level)) return;
    auto const* field = key_.GetField();

    if (cachedUpTo_ == ValueAffinity::None) {
        if (field != nullptr && field->rawConversion && store_) raw_ = Run(field->rawConversion, raw_);
        cachedUpTo_ = ValueAffinity::Raw;
        if (level == ValueAffinity::Raw) return;
    }

    if (cachedUpTo_ == ValueAffinity::Raw) {
        if (field == nullptr || !raw_.Exists()) {
            cachedUpTo_ = ValueAffinity::Display;
        } else if (!field->valueConversion || !store_) {
            cachedUpTo_ = ValueAffinity::Value;
        } else {
            value_ = Run(field->valueConversion, raw_);
            cachedUpTo_ = value_.Exists() ? ValueAffinity::Value : ValueAffinity::Display;
        }
        if (level == ValueAffinity::Value) return;
    }

    if (cachedUpTo_ == ValueAffinity::Value) {
        Value const& source = value_.Exists() ? value_ : raw_;
        if (field != nullptr && source.Exists() && field->displayConversion && store_) {
            display_ = Run(field->displayConversion, source);
            if (display_.Exists() && !field->lookupName.empty()) {
                display_.AddQualifier(detail::kLookupNameQualifier, field->lookupName);
            }
        }
        cachedUpTo_ = ValueAffinity::Display;
    }
}

}  // namespace meta
