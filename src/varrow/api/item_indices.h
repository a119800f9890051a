#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/fields/field_group.h"

namespace meta::detail {

// The two lookups a collection keeps over its items, as open-addressing hash
// tables: adding an item costs a hash of its name and usually one probe, with
// no allocation once the tables have grown to the file's size. Names are
// views into the items' own keys; the collection keeps those alive.

inline constexpr std::uint32_t kNoItem = ~std::uint32_t{0};

// Every item under its name, in order of adding, and for each name the item
// that answers lookups by name (its winner).
class VARROW_API ItemNameIndex {
  public:
    struct Names {
        std::string_view name;
        std::uint32_t first = kNoItem;  // kNoItem marks an empty slot
        std::uint32_t last = kNoItem;
        std::uint32_t winner = kNoItem;
        std::uint32_t hash = 0;
    };

    // The entry of `name`; nullptr when no item has that name.
    Names const* Find(std::string_view name) const;
    // Appends item `index`, which must be the number of items inserted so
    // far, to the items named `name`. The entry returned still holds the
    // winner from before (kNoItem for a new name) and stays valid until the
    // next Insert.
    Names& Insert(std::string_view name, std::uint32_t index);
    // The next item of the same name, kNoItem after the last.
    std::uint32_t Next(std::uint32_t index) const { return next_[index]; }
    void Clear();

  private:
    std::size_t SlotOf(std::string_view name, std::uint32_t hash) const;
    void Grow();

    std::vector<Names> slots_;
    std::vector<std::uint32_t> next_;
    std::size_t used_ = 0;
};

// The winner recorded for each (group, name) key, and the keys in their
// defined order: group number as signed, then name bytes, a proper prefix
// first.
class VARROW_API ItemKeyIndex {
  public:
    // The item recorded for the key; kNoItem when there is none.
    std::uint32_t Find(FieldGroup group, std::string_view name) const;
    // Records `item` for the key, replacing what was recorded.
    void Assign(FieldGroup group, std::string_view name, std::uint32_t item);
    std::size_t Size() const { return used_; }
    // The recorded items in key order, sorted when first asked for after a
    // change. The reference stays valid until the next Assign or Clear.
    std::vector<std::uint32_t> const& Sorted() const;
    void Clear();

  private:
    struct Entry {
        std::string_view name;
        std::int32_t group = 0;
        std::uint32_t item = kNoItem;  // kNoItem marks an empty slot
        std::uint32_t hash = 0;
    };

    std::size_t SlotOf(std::int32_t group, std::string_view name, std::uint32_t hash) const;
    void Grow();

    std::vector<Entry> slots_;
    std::size_t used_ = 0;
    mutable std::vector<std::uint32_t> sorted_;
    mutable bool sortedCurrent_ = true;
};

}  // namespace meta::detail
