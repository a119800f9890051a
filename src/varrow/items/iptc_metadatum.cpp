#include "varrow/items/iptc_metadatum.h"

#include <utility>

#include "varrow/blocks/iptc/iptc_type.h"
#include "varrow/blocks/iptc/iptc_value.h"

namespace meta {

IptcMetadatum IptcMetadatum::Create(IptcKey key, std::shared_ptr<ReadStore> const& store) {
    return IptcMetadatum(std::move(key), store);
}

IptcMetadatum IptcMetadatum::Create(IptcKey key, std::shared_ptr<ReadStore> const& store, IptcValue&& value,
                                    int priority) {
    IptcMetadatum item(std::move(key), store);
    item.valueType_ = static_cast<std::uint32_t>(value.GetType());
    item.priority_ = priority;
    item.SetValue(std::move(value).ToMetaValue());
    return item;
}

IptcMetadatum IptcMetadatum::Create(IptcKey key, std::shared_ptr<ReadStore> const& store,
                                    std::vector<std::unique_ptr<IptcValue>> values, int priority) {
    IptcMetadatum item(std::move(key), store);
    item.priority_ = priority;
    ValueSet set;
    set.reserve(values.size());
    for (auto& value : values) {
        if (!value) continue;
        if (set.empty()) item.valueType_ = static_cast<std::uint32_t>(value->GetType());
        set.push_back(std::move(*value).ToMetaValue());
    }
    item.SetValue(Value(std::move(set)));
    return item;
}

std::string IptcMetadatum::GetId() const {
    auto const& id = GetKey().GetId();
    return id ? detail::IdToName(*id) : std::string();
}

std::string IptcMetadatum::GetValueTypeAsString() const {
    return std::string(ToString(static_cast<IptcType>(valueType_)));
}

}  // namespace meta
