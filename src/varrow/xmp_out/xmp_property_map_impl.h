#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "varrow/xmp_out/xmp_property_map.h"

namespace meta::xmp::detail {

// Names longer than this cannot match any key of the general table (the
// generated table checks its keys against it), so the look-up lower-cases
// into a buffer of this size on the stack.
inline constexpr std::size_t kPropertyKeyCapacity = 64;

struct PropertyMapRow {
    std::string_view key;  // lower-case ASCII
    FieldNameMapEntry entry;
};

// The general table, sorted by key; rows of one key in the order they are
// tried. Generated.
std::span<const PropertyMapRow> GeneralPropertyRows();

}  // namespace meta::xmp::detail
