#pragma once

// Date-times that IPTC records as separate date and time datasets.

#include "varrow/values/value.h"

namespace meta {
struct ReadStore;
}

namespace meta::composites {

// Inputs: a date and a time (DateCreated and TimeCreated, or
// DigitalCreationDate and DigitalCreationTime). "2008:05:08 09:54:28+00:00":
// the two as shown, joined by a space.
Value IptcDateTime(Value const& refs, ReadStore& store);

}  // namespace meta::composites
