#pragma once

// Unary forms of the GPS printers, for binding into field definitions.

#include <string>

#include "varrow/values/conversions/gps.h"

namespace meta::detail {

template <DmsStringFormat F, DmsStringDirection D>
std::string ToDMSStringAs(double degrees) {
    return ToDMSString(degrees, F, D);
}

}  // namespace meta::detail
