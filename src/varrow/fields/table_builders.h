#pragma once

#include <cstddef>

#include "varrow/api/export.h"

namespace meta {

// The built-in tables (display lookups, then field databases) are built on
// first use. Each table file registers its builder here at library load, and
// the first Initialiser runs them all once so that no read pays for it.
enum class TableStage { DisplayLookups, FieldDatabases };

using TableBuilder = void (*)();

class VARROW_API TableBuilderRegistration {
  public:
    TableBuilderRegistration(TableStage stage, TableBuilder builder);
};

// Runs every builder of the stage; exceptions propagate. Building is
// idempotent (each builder fills a function-local static), so running a
// stage again is cheap.
VARROW_API void RunTableBuilders(TableStage stage);
VARROW_API int CountTableBuilders(TableStage stage);

// Builds every field database (field_database.h) and returns the number of
// definitions in all of them.
VARROW_API std::size_t InitialiseAllDatabases();

}  // namespace meta
