#include <cstdint>
#include <utility>

#include "varrow/api/metadata.h"
#include "varrow/items/simple_metadatums.h"

namespace meta {

bool Metadata::Add(Metadatum item) {
    if (!item.HasItem()) return false;
    auto const index = static_cast<std::uint32_t>(items_.size());
    items_.push_back(std::move(item));
    Metadatum const& stored = items_.back();
    std::string_view const name = stored.GetName();
    detail::ItemNameIndex::Names& names = nameIndex_.Insert(name, index);
    // The first item of a name wins; later ones by priority.
    if (names.winner == detail::kNoItem || stored.Replaces(items_[names.winner])) {
        names.winner = index;
        keyIndex_.Assign(stored.GetGroup(), name, index);
    }
    ++structureStack_.back()->count;
    return true;
}

bool Metadata::Add(FieldGroup group, std::string name, Value value, ValueAffinity affinity) {
    UserKey key{GetGroupNamespace(group), group, std::move(name)};
    return Add(Metadatum(UserMetadatum::Create(std::move(key), std::move(value), affinity)));
}

Metadatum Metadata::Find(Key const& key) const {
    // The key's own group, Unknown included: no fallback to FindAny here.
    std::uint32_t const found = keyIndex_.Find(key.GetGroup(), key.GetName());
    return found == detail::kNoItem ? Metadatum() : items_[found];
}

Metadatum Metadata::Find(FieldGroup group, std::string_view name) const {
    if (group == FieldGroup::Unknown) return FindAny(name);
    std::uint32_t const found = keyIndex_.Find(group, name);
    return found == detail::kNoItem ? Metadatum() : items_[found];
}

Metadatum Metadata::Find(FieldNamespace ns, std::string_view name) const {
    if (ns == FieldNamespace::Unknown) return FindAny(name);
    detail::ItemNameIndex::Names const* names = nameIndex_.Find(name);
    if (names == nullptr) return {};
    // The winner when it is in `ns`, else the latest item of that name there.
    if (items_[names->winner].GetNamespace() == ns) return items_[names->winner];
    std::uint32_t latest = detail::kNoItem;
    for (std::uint32_t i = names->first; i != detail::kNoItem; i = nameIndex_.Next(i)) {
        if (items_[i].GetNamespace() == ns) latest = i;
    }
    return latest == detail::kNoItem ? Metadatum() : items_[latest];
}

Metadatum Metadata::FindAny(std::string_view name) const {
    detail::ItemNameIndex::Names const* names = nameIndex_.Find(name);
    return names == nullptr ? Metadatum() : items_[names->winner];
}

std::vector<Key> Metadata::GetAllKeys() const {
    std::vector<Key> keys;
    keys.reserve(keyIndex_.Size());
    for (std::uint32_t index : keyIndex_.Sorted()) keys.push_back(items_[index].GetKey());
    return keys;
}

}  // namespace meta
