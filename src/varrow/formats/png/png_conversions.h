#pragma once

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace meta {

struct ReadStore;

// Value level of the cHRM coordinates, stored as integers scaled by 100000:
// 31270 is 0.3127. Throws ValueException for a value that is not a number.
VARROW_API Value PngChromaticity(Value const& value, ReadStore& store);

}  // namespace meta
