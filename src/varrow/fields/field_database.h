#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>

#include "varrow/api/export.h"
#include "varrow/fields/field.h"
#include "varrow/fields/field_group.h"
#include "varrow/processors/read_store.h"
#include "varrow/util/strings_basic.h"

namespace meta {

namespace detail {

// Whether an id of another integer type names an id of the table's type at
// all; a value out of range must not wrap onto an unrelated id.
template <class IdType, class K>
constexpr bool IdInRange(K id) {
    if constexpr (std::is_same_v<K, bool> || std::is_same_v<K, char> || std::is_same_v<K, wchar_t> ||
                  std::is_same_v<K, char8_t> || std::is_same_v<K, char16_t> || std::is_same_v<K, char32_t>) {
        return IdInRange<IdType>(static_cast<long long>(id));
    } else {
        return std::in_range<IdType>(id);
    }
}

// The definition stored under `id`. String ids that have no exact match are
// compared without regard to case unless `exactOnly`; the first match in key
// order wins.
template <class Table, class K>
const typename Table::mapped_type* FindInTable(Table const& table, K const& id, bool exactOnly) {
    using IdType = typename Table::key_type;
    typename Table::const_iterator it;
    if constexpr (std::is_same_v<IdType, std::string>) {
        std::string_view const key(id);
        it = table.find(key);
        if (it == table.end()) {
            if (exactOnly) return nullptr;
            for (auto const& [name, field] : table) {
                if (strings::basic::Equivalent(key, name, false)) return &field;
            }
            return nullptr;
        }
    } else if constexpr (std::is_integral_v<IdType> && std::is_integral_v<K>) {
        if (!IdInRange<IdType>(id)) return nullptr;
        it = table.find(static_cast<IdType>(id));
    } else if constexpr (std::is_integral_v<K> && std::is_constructible_v<IdType, std::uint32_t>) {
        // A bare number names a whole record of a composite id (CanonVrdDr4TagId).
        if (!IdInRange<std::uint32_t>(id)) return nullptr;
        it = table.find(IdType(static_cast<std::uint32_t>(id)));
    } else {
        it = table.find(IdType(id));
    }
    return it == table.end() ? nullptr : &it->second;
}

// The definition that applies to this read: `d` itself or one of its
// variants, or null when no condition holds.
template <class T>
const T* ChooseDefinition(T const& d, ReadStore& store) {
    // The reader comes back with the data at hand (delayed entries).
    if (d.delayed && store.dataSource == nullptr) return &d;
    // Unknown and ignored tags: the reader decides by the options.
    if (d.visibility != 0) return &d;
    if (d.variants.empty()) return !d.condition || d.condition(store) ? &d : nullptr;
    for (T const& variant : d.variants) {
        if (!variant.condition || variant.condition(store)) return &variant;
    }
    return nullptr;
}

// Walks one table in id order, yielding for each id the definition that
// ChooseDefinition picks (every definition as stored when there is no read
// store); ids for which nothing applies are skipped.
template <class T>
class TableFieldIterator {
  public:
    using Table = FieldTable<T>;
    using IdType = typename T::IdType;

    // A null table walks nothing.
    TableFieldIterator(Table const* table, ReadStore* store)
        : table_(table),
          store_(store),
          next_(table != nullptr ? table->begin() : typename Table::const_iterator{}) {}

    // Moves to the next id that has a definition; false when the walk is over.
    bool Advance() {
        field_ = nullptr;
        if (table_ == nullptr) return false;
        while (next_ != table_->end()) {
            auto const current = next_++;
            T const* chosen =
                store_ != nullptr ? ChooseDefinition(current->second, *store_) : &current->second;
            if (chosen != nullptr) {
                id_ = &current->first;
                field_ = chosen;
                return true;
            }
        }
        return false;
    }

    // Valid after Advance returned true.
    IdType const& GetId() const { return *id_; }
    T const* GetField() const { return field_; }

  private:
    Table const* table_;
    ReadStore* store_;
    typename Table::const_iterator next_;
    IdType const* id_ = nullptr;
    T const* field_ = nullptr;
};

// Hook for the generated registrations: one overload per definition type,
// found by argument-dependent lookup.
template <class T>
struct FieldTablesTag {};

}  // namespace detail

// Registers one table under a group. The first registration of a group wins;
// a later one is not even built.
template <class Map>
void BuildHelper(std::unordered_map<FieldGroup, Map>& data, FieldGroup group, Map (*table)()) {
    if (data.find(group) == data.end()) data.emplace(group, table());
}

// The definitions of one type, per group. Built completely on first use
// (thread-safe) and read-only afterwards, so pointers to definitions stay
// valid until the program ends. Readers look definitions up by id and group;
// no lookup ever falls back to another group.
template <class T>
class VARROW_API FieldDatabase {
  public:
    using FieldType = T;
    using IdType = typename T::IdType;
    using Table = FieldTable<T>;
    using Data = std::unordered_map<FieldGroup, Table>;

    // The process-wide database, built on the first call. A table function
    // that throws aborts the build; the next caller tries again.
    static Data const& GetAll();
    // Builds a fresh database from the table functions, group by group.
    static Data Build();
    // The definitions of one group, or null.
    static Table const* GetTable(FieldGroup group);
    // Number of definitions in every group (variants and children not counted).
    static std::size_t Size();

    // The definition stored under `group` and `id`, or null. String ids fall
    // back to a case-insensitive match unless `exactOnly`.
    template <class K>
    static T const* UnconditionalFind(K const& id, FieldGroup group, bool exactOnly = false) {
        Table const* table = GetTable(group);
        return table != nullptr ? detail::FindInTable(*table, id, exactOnly) : nullptr;
    }

    // The definition that applies to this read: the stored one, or the first
    // of its variants whose condition holds; null when none applies. A
    // delayed definition is taken as it is while the store has no data
    // source, and so is one of non-zero visibility.
    template <class K>
    static T const* Find(K const& id, FieldGroup group, ReadStore& store, bool exactOnly = false) {
        T const* d = UnconditionalFind(id, group, exactOnly);
        return d != nullptr ? detail::ChooseDefinition(*d, store) : nullptr;
    }

    // Walks a group's definitions in id order (negative record ids last):
    //   for (FieldDatabase<RecordField>::FieldIterator it(group, store); it.Advance();) ...
    class FieldIterator : public detail::TableFieldIterator<T> {
      public:
        FieldIterator(FieldGroup group, ReadStore& store)
            : detail::TableFieldIterator<T>(GetTable(group), &store) {}
        explicit FieldIterator(FieldGroup group) : detail::TableFieldIterator<T>(GetTable(group), nullptr) {}
    };
};

// Builds every field database (and runs the builders registered for that
// stage) and returns the number of definitions in all of them.
VARROW_API std::size_t InitialiseAllDatabases();

}  // namespace meta
