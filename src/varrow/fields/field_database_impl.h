#pragma once

// Member definitions of FieldDatabase, for the one file that instantiates the
// databases (the generated registrations) and nowhere else: every database
// must exist once in the process.

#include <cstddef>

#include "varrow/fields/field_database.h"

namespace meta {

template <class T>
typename FieldDatabase<T>::Data const& FieldDatabase<T>::GetAll() {
    static Data const data = Build();
    return data;
}

template <class T>
typename FieldDatabase<T>::Data FieldDatabase<T>::Build() {
    Data data;
    RegisterFieldTables(detail::FieldTablesTag<T>{}, data);
    return data;
}

template <class T>
typename FieldDatabase<T>::Table const* FieldDatabase<T>::GetTable(FieldGroup group) {
    Data const& data = GetAll();
    auto const it = data.find(group);
    return it == data.end() ? nullptr : &it->second;
}

template <class T>
std::size_t FieldDatabase<T>::Size() {
    std::size_t total = 0;
    for (auto const& [group, table] : GetAll()) total += table.size();
    return total;
}

}  // namespace meta
