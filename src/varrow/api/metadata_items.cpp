#include <algorithm>

#include "varrow/api/metadata.h"
#include "varrow/items/simple_metadatums.h"

namespace meta {

bool Metadata::Add(Metadatum item) {
    if (!item.HasItem()) return false;
    std::string_view const name = item.GetName();
    auto const [first, last] = nameIndex_.equal_range(name);

    bool wins = true;
    bool hadWinner = false;
    for (auto it = first; it != last; ++it) {
        if (it->second.wins) {
            hadWinner = true;
            wins = item.Replaces(items_[it->second.index]);
            break;
        }
    }
    if (wins && hadWinner) {
        for (auto it = first; it != last; ++it) it->second.wins = false;
    }

    std::size_t const index = items_.size();
    items_.push_back(std::move(item));
    Metadatum const& stored = items_.back();
    // Equal names keep their order of insertion in a multimap.
    nameIndex_.emplace_hint(last, stored.GetName(), NameEntry{index, wins});
    if (wins) keyIndex_.insert_or_assign(stored.GetKey(), index);
    ++structureStack_.back()->count;
    return true;
}

bool Metadata::Add(FieldGroup group, std::string name, Value value, ValueAffinity affinity) {
    UserKey key{GetGroupNamespace(group), group, std::move(name)};
    return Add(Metadatum(UserMetadatum::Create(std::move(key), std::move(value), affinity)));
}

Metadatum Metadata::Find(Key const& key) const {
    auto const found = keyIndex_.find(key);
    return found == keyIndex_.end() ? Metadatum() : items_[found->second];
}

Metadatum Metadata::Find(FieldGroup group, std::string_view name) const {
    if (group == FieldGroup::Unknown) return FindAny(name);
    auto const found = keyIndex_.find(KeyRef{group, name});
    return found == keyIndex_.end() ? Metadatum() : items_[found->second];
}

Metadatum Metadata::Find(FieldNamespace ns, std::string_view name) const {
    if (ns == FieldNamespace::Unknown) return FindAny(name);
    // The winner when it is in `ns`, else the latest item of that name there.
    bool bestWins = false;
    std::size_t best = items_.size();
    auto const [first, last] = nameIndex_.equal_range(name);
    for (auto it = first; it != last; ++it) {
        NameEntry const& entry = it->second;
        if (items_[entry.index].GetNamespace() != ns) continue;
        if (best == items_.size() || std::pair(entry.wins, entry.index) > std::pair(bestWins, best)) {
            bestWins = entry.wins;
            best = entry.index;
        }
    }
    return best == items_.size() ? Metadatum() : items_[best];
}

Metadatum Metadata::FindAny(std::string_view name) const {
    auto const [first, last] = nameIndex_.equal_range(name);
    for (auto it = first; it != last; ++it) {
        if (it->second.wins) return items_[it->second.index];
    }
    return {};
}

std::vector<Key> Metadata::GetAllKeys() const {
    std::vector<Key> keys;
    keys.reserve(keyIndex_.size());
    for (auto const& entry : keyIndex_) keys.push_back(entry.first);
    return keys;
}

}  // namespace meta
