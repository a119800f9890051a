#pragma once

#include <compare>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/fields/field_group.h"

namespace meta::xmp {

// The XMP property an item is written to.
struct FieldNameMapEntry {
    FieldGroup group = FieldGroup::Unknown;  // Unknown: the item has no property
    std::string_view name;                   // the property name, in static storage
    // A property that later schemas replaced: used only when no other
    // property of the same name exists.
    bool deprecated = false;

    friend bool operator==(const FieldNameMapEntry&, const FieldNameMapEntry&) = default;
    friend std::strong_ordering operator<=>(const FieldNameMapEntry&, const FieldNameMapEntry&) = default;
};

// The property for an item of `group` named `name`. A few source groups
// (IPTC IIM datasets, some lens-correction items) map by their exact name;
// everything else maps by the case-insensitive name to the property of the
// same name. Without a mapping the result has group Unknown and an empty
// name. The reference stays valid for the life of the process; the call does
// not allocate.
VARROW_API const FieldNameMapEntry& MapGroupToField(FieldGroup group, std::string_view name);

}  // namespace meta::xmp
