#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "varrow/fields/field.h"
#include "varrow/fields/table_keys.h"
#include "varrow/items/metadatum_base.h"
#include "varrow/values/exif_type_info.h"
#include "varrow/values/exif_value.h"

namespace meta {

// Keys of formats whose attributes are named by strings: OpenEXR header
// attributes (every attribute counts as known, named or not) and the
// key/value properties of Sigma raw files.
using OpenExrKey = GenericStringKeyWithField<FieldNamespace::OpenExr, OpenExrAttribute, true>;
using SigmaKey = GenericStringKeyWithField<FieldNamespace::Sigma, SigmaRawProperty, false>;

// An OpenEXR header attribute: a typed value with the format and count it
// was stored with.
class OpenExrMetadatum : public MetadatumBase<OpenExrKey> {
    using Base = MetadatumBase<OpenExrKey>;

  public:
    static OpenExrMetadatum Create(OpenExrKey key, std::shared_ptr<ReadStore> const& store) {
        return OpenExrMetadatum(std::move(key), store);
    }
    static OpenExrMetadatum Create(OpenExrKey key, std::shared_ptr<ReadStore> const& store, ExifValue&& value,
                                   int priority) {
        OpenExrMetadatum item(std::move(key), store);
        item.valueCount_ = value.GetValueCount();
        item.valueFormat_ = static_cast<std::uint16_t>(value.GetType());
        item.priority_ = priority;
        item.SetValue(std::move(value).ToMetaValue());
        return item;
    }

    bool KeyIsKnown() const { return true; }
    std::string GetId() const { return GetKey().name; }
    std::string GetTitle() const { return {}; }
    std::string GetDescription() const { return {}; }
    int GetPriority() const { return priority_; }
    std::size_t GetValueCount() const { return static_cast<std::size_t>(valueCount_); }
    std::string GetValueTypeAsString() const { return ToString(static_cast<ExifType>(valueFormat_)); }
    ValueAffinity GetAffinity() const { return ValueAffinity::Display; }
    std::uint16_t GetValueType() const { return valueFormat_; }

  private:
    OpenExrMetadatum(OpenExrKey key, std::shared_ptr<ReadStore> const& store) : Base(std::move(key), store) {}

    std::uint64_t valueCount_ = 0;
    std::uint16_t valueFormat_ = 0;
    int priority_ = 1;
};

// A Sigma raw property: always one text value.
class SigmaMetadatum : public MetadatumBase<SigmaKey> {
    using Base = MetadatumBase<SigmaKey>;

  public:
    static SigmaMetadatum Create(SigmaKey key, std::shared_ptr<ReadStore> const& store) {
        return SigmaMetadatum(std::move(key), store);
    }
    static SigmaMetadatum Create(SigmaKey key, std::shared_ptr<ReadStore> const& store, std::string&& text,
                                 int priority) {
        SigmaMetadatum item(std::move(key), store);
        item.priority_ = priority;
        item.SetValue(Value(std::move(text)));
        return item;
    }

    bool KeyIsKnown() const { return GetKey().GetField() != nullptr; }
    std::string GetId() const { return GetKey().name; }
    std::string GetTitle() const { return {}; }
    std::string GetDescription() const { return {}; }
    int GetPriority() const { return priority_; }
    std::size_t GetValueCount() const { return 1; }
    std::string GetValueTypeAsString() const { return "ASCII"; }
    ValueAffinity GetAffinity() const { return ValueAffinity::Display; }

  private:
    SigmaMetadatum(SigmaKey key, std::shared_ptr<ReadStore> const& store) : Base(std::move(key), store) {}

    int priority_ = 1;
};

}  // namespace meta
