#pragma once

// Printers of exposure quantities, as photographers write them.

#include <string>

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace meta::detail {

// "1/250" below a quarter second, "2" for whole seconds, else "0.3".
VARROW_API std::string ToExposureTimeString(double t);
// The same on the first element of a value; None or non-numeric input throws
// ValueException.
VARROW_API std::string ValToExposureTimeString(const Value& v);

// "0" for 0, "0.95" below 1, else "2.8".
VARROW_API std::string ToFNumberString(double f);
VARROW_API std::string ValToFNumberString(const Value& v);

// Exposure compensation: "+1/3", "-1/2", "+2", "+0.7".
VARROW_API std::string ToFractionString(double x);

// "inf" beyond 655.345 m, else "1.5 m".
VARROW_API std::string ToFocusDistanceString(double d);
// The same on a value; an empty value gives "0".
VARROW_API std::string ValToFocusDistanceString(const Value& v);

// Rounded half away from zero, written like std::to_string ("3.000000").
VARROW_API std::string ToRoundedString(double x);
VARROW_API std::string ToTemperatureString(int c);
// Contrast-style settings: 0 "Normal", else signed ("+1", "-1"); 65521 and
// above stand for small negative numbers.
VARROW_API std::string ToNumericalParameterString(int v);

// Light value from f-number, exposure time and ISO; NaN when any is 0.
VARROW_API double CalculateLV(double a, double b, double c);

// APEX to f-number (2^(v/2)) and to exposure time (2^-v, 0 beyond +-100).
VARROW_API double ApexToFNumber(double v);
VARROW_API double ApexToExposureTime(double v);

}  // namespace meta::detail
