#pragma once

// Nikon maker-note formulas and printers.

#include <cstdint>
#include <string>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace meta::detail {

// Lens data bytes in 1/24 EV steps.
VARROW_API double NikonApertureValue(std::uint8_t v);
VARROW_API double NikonFocalValue(std::uint8_t v);
// "5.6" and "50.0 mm".
VARROW_API std::string NikonAperturePrint(double f);
VARROW_API std::string NikonFocalPrint(double mm);

// A picture-control adjustment (already centred on 0): -128 "Auto",
// -127 "User", 127 "n/a", 0 `normal`, otherwise v / divisor through the
// printf `format` (one double argument, such as "%+.2f").
VARROW_API std::string ToPCString(std::int8_t v, const char* normal, const char* format, int divisor);

// A Nikon text field without its padding: NULs and surrounding white space
// removed, inner runs of white space reduced to one space.
VARROW_API std::string FormatNikonString(const Value& v);

// Flash firmware version bytes: "n/a" for 0 0, else "major.minor" with two
// minor digits.
VARROW_API std::string ToNikonFlashFirmwareString(const std::vector<std::uint8_t>& bytes);

}  // namespace meta::detail
