#include "varrow/api/item_indices.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <random>
#include <utility>

namespace meta::detail {
namespace {

// Slot counts are powers of two and tables stay at most half full, so a
// probe sequence is short and always ends at an empty slot. The first size
// holds the items of most photos without growing.
constexpr std::size_t kInitialSlots = 128;

// Chosen per process: names come from the file (XMP properties, unknown
// tags), and a fixed hash would let a crafted file pile its names into one
// run of slots and make every insertion walk it.
std::uint64_t ProcessSeed() {
    static std::uint64_t const seed = [] {
        try {
            std::random_device device;
            return (std::uint64_t{device()} << 32) ^ device();
        } catch (std::exception const&) {
            return std::uint64_t{0x2545F4914F6CDD1D};
        }
    }();
    return seed;
}

std::uint32_t HashName(std::string_view name) {
    // The seeded value goes through a 64-bit finaliser, so the low bits that
    // pick a slot depend on every bit of the name's hash and of the seed.
    std::uint64_t x = static_cast<std::uint64_t>(std::hash<std::string_view>{}(name)) ^ ProcessSeed();
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9u;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBu;
    x ^= x >> 31;
    return static_cast<std::uint32_t>(x);
}

std::uint32_t HashKey(std::int32_t group, std::string_view name) {
    return HashName(name) ^ (static_cast<std::uint32_t>(group) * 0x9E3779B9u);
}

bool NeedsGrowth(std::size_t used, std::size_t slots) {
    return (used + 1) * 2 > slots;
}

}  // namespace

ItemNameIndex::Names const* ItemNameIndex::Find(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    Names const& names = slots_[SlotOf(name, HashName(name))];
    return names.first == kNoItem ? nullptr : &names;
}

ItemNameIndex::Names& ItemNameIndex::Insert(std::string_view name, std::uint32_t index) {
    if (NeedsGrowth(used_, slots_.size())) Grow();
    std::uint32_t const hash = HashName(name);
    Names& names = slots_[SlotOf(name, hash)];
    next_.push_back(kNoItem);
    if (names.first == kNoItem) {
        names = Names{name, index, index, kNoItem, hash};
        ++used_;
    } else {
        next_[names.last] = index;
        names.last = index;
    }
    return names;
}

void ItemNameIndex::Clear() {
    std::fill(slots_.begin(), slots_.end(), Names{});
    next_.clear();
    used_ = 0;
}

std::size_t ItemNameIndex::SlotOf(std::string_view name, std::uint32_t hash) const {
    std::size_t const mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        Names const& names = slots_[slot];
        if (names.first == kNoItem || (names.hash == hash && names.name == name)) return slot;
    }
}

void ItemNameIndex::Grow() {
    if (slots_.empty()) next_.reserve(kInitialSlots / 2);
    std::vector<Names> old(slots_.empty() ? kInitialSlots : slots_.size() * 2);
    old.swap(slots_);
    for (Names const& names : old) {
        if (names.first != kNoItem) slots_[SlotOf(names.name, names.hash)] = names;
    }
}

std::uint32_t ItemKeyIndex::Find(FieldGroup group, std::string_view name) const {
    if (slots_.empty()) return kNoItem;
    auto const number = static_cast<std::int32_t>(group);
    return slots_[SlotOf(number, name, HashKey(number, name))].item;
}

void ItemKeyIndex::Assign(FieldGroup group, std::string_view name, std::uint32_t item) {
    if (NeedsGrowth(used_, slots_.size())) Grow();
    auto const number = static_cast<std::int32_t>(group);
    std::uint32_t const hash = HashKey(number, name);
    Entry& entry = slots_[SlotOf(number, name, hash)];
    if (entry.item == kNoItem) ++used_;
    entry = Entry{name, number, item, hash};
    sortedCurrent_ = false;
}

std::vector<std::uint32_t> const& ItemKeyIndex::Sorted() const {
    if (sortedCurrent_) return sorted_;
    std::vector<Entry const*> entries;
    entries.reserve(used_);
    for (Entry const& entry : slots_) {
        if (entry.item != kNoItem) entries.push_back(&entry);
    }
    std::sort(entries.begin(), entries.end(), [](Entry const* a, Entry const* b) {
        return a->group != b->group ? a->group < b->group : a->name < b->name;
    });
    sorted_.clear();
    for (Entry const* entry : entries) sorted_.push_back(entry->item);
    sortedCurrent_ = true;
    return sorted_;
}

void ItemKeyIndex::Clear() {
    std::fill(slots_.begin(), slots_.end(), Entry{});
    used_ = 0;
    sorted_.clear();
    sortedCurrent_ = true;
}

std::size_t ItemKeyIndex::SlotOf(std::int32_t group, std::string_view name, std::uint32_t hash) const {
    std::size_t const mask = slots_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        Entry const& entry = slots_[slot];
        if (entry.item == kNoItem || (entry.hash == hash && entry.group == group && entry.name == name))
            return slot;
    }
}

void ItemKeyIndex::Grow() {
    std::vector<Entry> old(slots_.empty() ? kInitialSlots : slots_.size() * 2);
    old.swap(slots_);
    for (Entry const& entry : old) {
        if (entry.item != kNoItem) slots_[SlotOf(entry.group, entry.name, entry.hash)] = entry;
    }
}

}  // namespace meta::detail
