#pragma once

#include "varrow/fields/canon_vrd_dr4_tag_id.h"
#include "varrow/fields/field.h"
#include "varrow/fields/table_keys.h"

namespace meta {

// Keys of the items of Canon VRD recipe data (the "CANON OPTIONAL DATA"
// trailer and .vrd/.dr4 files). Each is named after its definition, else
// after its id: blocks and IHL/edit records as "0xffff00f4"-style numbers,
// DR4 records as "0x20310" and their elements as "0x20310.0".

// A top-level block of the recipe data (edit data, IHL data, XMP).
using CanonVrdBlockKey = ExifKey<CanonVrdBlock>;
// A record of the edit or edit4 data.
using CanonVrdEditKey = ExifKey<CanonVrdEditTag>;
// A record of the IHL data.
using CanonVrdIhlKey = ExifKey<CanonVrdIhlTag>;
// A DR4 record or one element of it.
using CanonVrdDr4Key = ExifKey<CanonVrdDr4Tag>;

}  // namespace meta
