#pragma once

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace meta {

struct ReadStore;

// Value level of the resolutions of the Photoshop resolution record: an
// unsigned 16.16 fixed-point number of pixels per unit, rounded half up to
// two decimals (0x00480000 is 72, 0x00480253 is 72.01). A Double.
VARROW_API Value PhotoshopFixedResolution(Value const& value, ReadStore& store);

}  // namespace meta
