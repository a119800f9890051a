#include "varrow/items/item_priority.h"

namespace meta {

int ComputeItemPriority(FieldGroup group, int definitionPriority, ReadStore const& store) {
    if (group == FieldGroup::Composite) return 2;
    if (group == FieldGroup::Unknown) return definitionPriority;
    if (definitionPriority == 0 && group == store.preferredGroup) return 1;
    if (store.zeroPriorityGroups.count(group) != 0) return 0;
    return definitionPriority;
}

}  // namespace meta
