#pragma once

#include "varrow/api/export.h"
#include "varrow/fields/field_group.h"
#include "varrow/processors/read_store.h"

namespace meta {

// Priority of a table-driven item of group `group` whose definition has
// priority `definitionPriority` (1 without a definition). Composites get 2;
// a priority-0 definition still gives 1 in the read's preferred group; every
// item of a zero-priority group gets 0.
VARROW_API int ComputeItemPriority(FieldGroup group, int definitionPriority, ReadStore const& store);

}  // namespace meta
