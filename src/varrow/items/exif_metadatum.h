#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "varrow/fields/table_keys.h"
#include "varrow/items/metadatum_base.h"
#include "varrow/values/exif_type_info.h"
#include "varrow/values/exif_value.h"

namespace meta {

// An item of a TIFF-style directory or binary record: its key, the format and
// count the data had, and its priority; the values come from the typed EXIF
// value and the definition's conversions.
template <class Tag>
class ExifMetadatum : public MetadatumBase<ExifKey<Tag>> {
    using Base = MetadatumBase<ExifKey<Tag>>;

  public:
    using IdType = typename Tag::IdType;

    static ExifMetadatum Create(ExifKey<Tag> key, std::shared_ptr<ReadStore> const& store) {
        return ExifMetadatum(std::move(key), store);
    }
    static ExifMetadatum Create(ExifKey<Tag> key, std::shared_ptr<ReadStore> const& store, ExifValue&& value,
                                int priority) {
        ExifMetadatum item(std::move(key), store);
        item.valueCount_ = value.GetValueCount();
        item.valueFormat_ = static_cast<std::uint16_t>(value.GetType());
        item.priority_ = priority;
        item.SetValue(std::move(value).ToMetaValue());
        return item;
    }

    bool KeyIsKnown() const { return this->GetKey().GetField() != nullptr; }
    std::string GetId() const {
        auto const& id = this->GetKey().GetId();
        return id ? detail::IdToName(*id) : std::string();
    }
    std::string GetTitle() const { return std::string(this->GetKey().GetTitle()); }
    std::string GetDescription() const { return std::string(this->GetKey().GetDescription()); }
    int GetPriority() const { return priority_; }
    std::size_t GetValueCount() const { return static_cast<std::size_t>(valueCount_); }
    std::string GetValueTypeAsString() const { return ToString(static_cast<ExifType>(valueFormat_)); }
    ValueAffinity GetAffinity() const { return ValueAffinity::Display; }

    // The tag id (empty for an item made without one) and the stored format.
    std::optional<IdType> const& GetField() const { return this->GetKey().GetId(); }
    std::uint16_t GetValueType() const { return valueFormat_; }

  private:
    ExifMetadatum(ExifKey<Tag> key, std::shared_ptr<ReadStore> const& store) : Base(std::move(key), store) {}

    std::uint64_t valueCount_ = 0;
    std::uint16_t valueFormat_ = 0;
    int priority_ = 1;
};

}  // namespace meta
