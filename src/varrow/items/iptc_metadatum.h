#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/fields/field_keys.h"
#include "varrow/items/metadatum_base.h"

namespace meta {

class IptcValue;

// An item of an IPTC IIM block: one dataset, or every repetition of a
// repeated dataset (keywords) as one item whose raw value is a ValueSet in
// file order. Values and display values come from the definition's
// conversions, as for EXIF items.
class VARROW_API IptcMetadatum : public MetadatumBase<IptcKey> {
  public:
    static IptcMetadatum Create(IptcKey key, std::shared_ptr<ReadStore> const& store);
    static IptcMetadatum Create(IptcKey key, std::shared_ptr<ReadStore> const& store, IptcValue&& value,
                                int priority);
    // Null entries are skipped; the value type is the first value's.
    static IptcMetadatum Create(IptcKey key, std::shared_ptr<ReadStore> const& store,
                                std::vector<std::unique_ptr<IptcValue>> values, int priority);

    bool KeyIsKnown() const { return GetKey().GetField() != nullptr; }
    // "0x" and four or more hex digits of the dataset number; empty without one.
    std::string GetId() const;
    std::string GetTitle() const { return std::string(GetKey().GetTitle()); }
    std::string GetDescription() const { return std::string(GetKey().GetDescription()); }
    int GetPriority() const { return priority_; }
    std::size_t GetValueCount() const { return 1; }
    // "BYTE" ... "UNDEFINED"; empty for an item made without a value.
    std::string GetValueTypeAsString() const;
    ValueAffinity GetAffinity() const { return ValueAffinity::Display; }

    // The dataset number, and the IptcType number of the stored value (0 when none).
    std::optional<std::uint8_t> const& GetField() const { return GetKey().GetId(); }
    std::uint32_t GetValueType() const { return valueType_; }

  private:
    IptcMetadatum(IptcKey key, std::shared_ptr<ReadStore> const& store)
        : MetadatumBase(std::move(key), store) {}

    std::uint32_t valueType_ = 0;
    int priority_ = 1;
};

}  // namespace meta
