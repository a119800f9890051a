#include "varrow/fields/field_database.h"

#include "varrow/fields/table_builders.h"

namespace meta {

namespace detail {
// Generated with the registrations: builds each database in turn and adds up
// their sizes.
std::size_t InitialiseFieldDatabases();
}  // namespace detail

std::size_t InitialiseAllDatabases() {
    RunTableBuilders(TableStage::FieldDatabases);
    return detail::InitialiseFieldDatabases();
}

}  // namespace meta
