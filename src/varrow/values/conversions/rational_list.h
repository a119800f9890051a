#pragma once

// Lists of fractions as the space-separated text XMP stores them in.

#include <string>
#include <string_view>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/values/fraction.h"

namespace meta::detail {

// "1/3 5 7/2": each fraction as 'N/D', or "N" when D is 1.
VARROW_API std::string ToRationalList(const std::vector<Fraction>& fractions);
// The inverse; parts that do not read as fractions become invalid fractions.
VARROW_API std::vector<Fraction> FromRationalList(std::string_view text);

}  // namespace meta::detail
