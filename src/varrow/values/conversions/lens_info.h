#pragma once

// The four-number lens description of LensInfo / LensSpecification
// (shortest and longest focal length, f-numbers at each) as text like
// "24-70mm f/2.8" and back.

#include <string>
#include <string_view>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/values/fraction.h"

namespace meta::detail {

// "24-70mm f/2.8-4", "50mm f/1.8"; an unknown (x/0) number prints "?", an
// empty or repeated second number is left out. Other counts than four are
// written as decimals separated by spaces.
VARROW_API std::string ToLensInfoString(const std::vector<Fraction>& info);

// The four numbers of such a text; a missing longest focal length or largest
// f-number repeats the other. "?" reads as NaN. Text of another shape throws
// ValueException.
VARROW_API std::vector<double> FromLensInfoString(std::string_view text);
// As above, but all four numbers must be written out.
VARROW_API std::vector<double> FromLensInfoString_Strict(std::string_view text);
// The same as fractions (NaN as 0/0).
VARROW_API std::vector<Fraction> FromLensInfoStringAsFracs(std::string_view text);
VARROW_API std::vector<Fraction> FromLensInfoStringAsFracs_Strict(std::string_view text);

}  // namespace meta::detail
