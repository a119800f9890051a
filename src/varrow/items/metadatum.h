#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "varrow/api/export.h"
#include "varrow/fields/field_group.h"
#include "varrow/fields/key.h"
#include "varrow/values/value.h"

namespace meta {

// One item of a collection: a key, the raw value as read and, computed on
// first request and cached, the converted and the display value. A cheap
// copyable handle; copies share the item. The default-constructed Metadatum
// is the null item, which answers every accessor with an empty result.
//   Metadatum make = metadata.FindAny("Make");
//   if (make) std::cout << make.GetTitle() << ": " << make.GetDisplayValueAsString();
class VARROW_API Metadatum {
  public:
    class Concept {
      public:
        virtual ~Concept() = default;
        virtual Key GetKey() const = 0;
        virtual bool KeyIsKnown() const = 0;
        virtual FieldNamespace GetNamespace() const = 0;
        virtual FieldGroup GetGroup() const = 0;
        virtual std::string_view GetName() const = 0;
        virtual std::string GetId() const = 0;
        virtual std::string GetTitle() const = 0;
        virtual std::string GetDescription() const = 0;
        virtual int GetPriority() const = 0;
        virtual std::size_t GetValueCount() const = 0;
        virtual std::string GetValueTypeAsString() const = 0;
        virtual Value const& GetDisplayValue() const = 0;
        virtual std::string GetDisplayValueAsString() const = 0;
        virtual Value const& GetValue() const = 0;
        virtual std::string GetValueAsString() const = 0;
        virtual Value const& GetRawValue() const = 0;
        virtual ValueAffinity GetAffinity() const = 0;
    };

    // Wraps a concrete item class; each operation forwards to the member of
    // the same name. Classes without their own string forms get them from
    // the chosen value's ToString().
    template <class T>
    class Model final : public Concept {
      public:
        explicit Model(T item) : item_(std::move(item)) {}

        Key GetKey() const override { return Key(item_.GetKey()); }
        bool KeyIsKnown() const override { return item_.KeyIsKnown(); }
        FieldNamespace GetNamespace() const override { return item_.GetNamespace(); }
        FieldGroup GetGroup() const override { return item_.GetGroup(); }
        std::string_view GetName() const override { return item_.GetName(); }
        std::string GetId() const override { return item_.GetId(); }
        std::string GetTitle() const override { return item_.GetTitle(); }
        std::string GetDescription() const override { return item_.GetDescription(); }
        int GetPriority() const override { return item_.GetPriority(); }
        std::size_t GetValueCount() const override { return item_.GetValueCount(); }
        std::string GetValueTypeAsString() const override { return item_.GetValueTypeAsString(); }
        Value const& GetDisplayValue() const override { return item_.GetDisplayValue(); }
        std::string GetDisplayValueAsString() const override { return item_.GetDisplayValue().ToString(); }
        Value const& GetValue() const override { return item_.GetValue(); }
        std::string GetValueAsString() const override { return item_.GetValue().ToString(); }
        Value const& GetRawValue() const override { return item_.GetRawValue(); }
        ValueAffinity GetAffinity() const override { return item_.GetAffinity(); }

        T const& Get() const { return item_; }

      private:
        T item_;
    };

    Metadatum() = default;
    template <class T, class = std::enable_if_t<!std::is_same_v<std::decay_t<T>, Metadatum>>>
    explicit Metadatum(T&& item) : model_(std::make_shared<Model<std::decay_t<T>>>(std::forward<T>(item))) {}

    Key GetKey() const { return model_ ? model_->GetKey() : Key(); }
    bool KeyIsKnown() const { return model_ && model_->KeyIsKnown(); }
    FieldNamespace GetNamespace() const { return model_ ? model_->GetNamespace() : FieldNamespace::Unknown; }
    FieldGroup GetGroup() const { return model_ ? model_->GetGroup() : FieldGroup::Unknown; }
    std::string_view GetName() const { return model_ ? model_->GetName() : std::string_view(); }
    std::string GetId() const { return model_ ? model_->GetId() : std::string(); }
    // The item's own title, or one made from its name ("ExposureProgram"
    // gives "Exposure Program", "GPSVersionID" gives "GPS Version ID").
    std::string GetTitle() const;
    std::string GetDescription() const { return model_ ? model_->GetDescription() : std::string(); }
    int GetPriority() const { return model_ ? model_->GetPriority() : 0; }
    std::size_t GetValueCount() const { return model_ ? model_->GetValueCount() : 0; }
    std::string GetValueTypeAsString() const {
        return model_ ? model_->GetValueTypeAsString() : std::string();
    }
    Value const& GetDisplayValue() const { return model_ ? model_->GetDisplayValue() : Value::None; }
    std::string GetDisplayValueAsString() const {
        return model_ ? model_->GetDisplayValueAsString() : std::string();
    }
    Value const& GetValue() const { return model_ ? model_->GetValue() : Value::None; }
    std::string GetValueAsString() const { return model_ ? model_->GetValueAsString() : std::string(); }
    Value const& GetRawValue() const { return model_ ? model_->GetRawValue() : Value::None; }
    ValueAffinity GetAffinity() const { return model_ ? model_->GetAffinity() : ValueAffinity::None; }

    bool IsNull() const { return !GetRawValue().Exists(); }
    explicit operator bool() const { return GetRawValue().Exists(); }
    // Whether this item takes the place of `other` (same key) in a
    // collection: at least other's priority, or positive against priority 0.
    bool Replaces(Metadatum const& other) const;

    // The wrapped item, which must be of type T.
    template <class T>
    T const& As() const {
        return dynamic_cast<Model<T> const&>(*model_).Get();
    }
    // Whether a concrete item is held (even one without a value).
    bool HasItem() const { return model_ != nullptr; }

  private:
    std::shared_ptr<Concept const> model_;
};

// The title made from a name: first letter upper-cased, "_" as spaces, and a
// space between the words of a CamelCase name; a trailing " (0x...)" is kept
// as it is.
VARROW_API std::string MakeTitleFromName(std::string_view name);

}  // namespace meta
