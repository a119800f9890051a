#pragma once

// Decimal texts in their shortest form: "+01.500" becomes "1.5", "2.0"
// becomes "2", "-0" becomes "0". Text that is not a number comes back
// unchanged.

#include <string>

#include "varrow/api/export.h"

namespace meta::detail {

// The shortest text that reads back as the same double.
VARROW_API std::string CanonicaliseDouble(std::string text);
// The shortest text that reads back as the same float: "0.1000000015" is "0.1".
VARROW_API std::string CanonicaliseFloat(std::string text);

}  // namespace meta::detail
