#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "varrow/fields/key.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/value.h"

namespace meta {

// Items that hold one value with no conversions: raw, converted and display
// value are the same Value.
namespace detail {

template <class K>
class SingleValueItem {
  public:
    SingleValueItem(K key, Value value) : key_(std::move(key)), value_(std::move(value)) {}

    K const& GetKey() const { return key_; }
    FieldNamespace GetNamespace() const { return key_.GetNamespace(); }
    FieldGroup GetGroup() const { return key_.GetGroup(); }
    std::string_view GetName() const { return key_.GetName(); }
    bool KeyIsKnown() const { return true; }
    std::string GetDescription() const { return {}; }
    std::size_t GetValueCount() const { return 1; }
    std::string GetValueTypeAsString() const { return ToString(value_.GetType()); }
    Value const& GetDisplayValue() const { return value_; }
    Value const& GetValue() const { return value_; }
    Value const& GetRawValue() const { return value_; }
    ValueAffinity GetAffinity() const { return ValueAffinity::Display; }
    bool HasValue() const { return value_.Exists(); }

  protected:
    K key_;
    Value value_;
};

}  // namespace detail

// A value added by the caller or by a processor under a plain name
// (Metadata::Add(group, name, value, affinity)). Always priority 2.
class UserMetadatum : public detail::SingleValueItem<UserKey> {
  public:
    UserMetadatum(UserKey key, Value value, ValueAffinity affinity)
        : SingleValueItem(std::move(key), std::move(value)), affinity_(affinity) {}

    static UserMetadatum Create(UserKey key, Value value, ValueAffinity affinity) {
        return UserMetadatum(std::move(key), std::move(value), affinity);
    }

    std::string GetId() const { return {}; }
    std::string GetTitle() const { return "Unknown"; }
    int GetPriority() const { return 2; }
    std::size_t GetValueCount() const { return value_.Length(); }
    ValueAffinity GetAffinity() const { return affinity_; }

  private:
    ValueAffinity affinity_;
};

// An item of a format whose names are plain strings (JPEG segments, PNG
// text, GIF); it keeps the read context like the table-driven items.
template <class K>
class GenericMetadatum : public detail::SingleValueItem<K> {
  public:
    GenericMetadatum(K key, std::shared_ptr<ReadStore> store, Value value, int priority)
        : detail::SingleValueItem<K>(std::move(key), std::move(value)),
          store_(std::move(store)),
          priority_(priority) {}

    static GenericMetadatum Create(K key, std::shared_ptr<ReadStore> const& store, Value value,
                                   int priority = 1) {
        return GenericMetadatum(std::move(key), store, std::move(value), priority);
    }

    std::string GetId() const { return std::string(this->key_.GetName()); }
    std::string GetTitle() const { return {}; }
    int GetPriority() const { return priority_; }

  private:
    std::shared_ptr<ReadStore> store_;
    int priority_;
};

// An item read from an ISO base media box.
class IsobmffMetadatum : public detail::SingleValueItem<IsobmffKey> {
  public:
    IsobmffMetadatum(IsobmffKey key, Value value, int priority)
        : SingleValueItem(std::move(key), std::move(value)), priority_(priority) {}

    static IsobmffMetadatum Create(IsobmffKey key) { return IsobmffMetadatum(std::move(key), Value(), 1); }
    static IsobmffMetadatum Create(IsobmffKey key, Value value, int priority) {
        return IsobmffMetadatum(std::move(key), std::move(value), priority);
    }

    std::string GetId() const { return key_.name; }
    std::string GetTitle() const { return {}; }
    int GetPriority() const { return priority_; }

  private:
    int priority_;
};

}  // namespace meta
