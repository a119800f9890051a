#include "varrow/items/lytro_metadatum.h"

#include <utility>

#include "varrow/values/value.h"

namespace meta {

LytroMetadatum LytroMetadatum::Create(LytroKey key, std::shared_ptr<ReadStore> const& store) {
    return LytroMetadatum(std::move(key), store);
}

LytroMetadatum LytroMetadatum::Create(LytroKey key, std::shared_ptr<ReadStore> const& store,
                                      JsonValue&& value, int priority) {
    LytroMetadatum item(std::move(key), store);
    item.type_ = value.GetType();
    item.json_ = std::move(value);
    item.priority_ = priority;
    item.pending_ = true;
    return item;
}

void LytroMetadatum::ConvertNow() const {
    pending_ = false;
    Value raw;
    try {
        raw = json_.ToMetaValue();
    } catch (ValueException const&) {
        // A null has no value: the item stays empty, like one whose raw
        // conversion failed.
    }
    // SetValue touches only the base's mutable caches, which a const item
    // fills lazily anyway.
    const_cast<LytroMetadatum*>(this)->SetValue(std::move(raw));
}

}  // namespace meta
