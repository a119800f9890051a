#pragma once

// Canon maker-note formulas and printers.

#include <cstdint>
#include <string>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/values/fraction.h"

namespace meta::detail {

// CameraISO: "Auto High" (32767), a speed with bit 14 set, the fixed codes
// below 21 ("Auto", "50" ... "800"), else the number itself.
VARROW_API std::string ToCanonCameraISOString(int v);
// Canon's EV encoding: 1/32 steps where fractions 12 and 20 stand for
// thirds.
VARROW_API double CanonEv(int v);
VARROW_API double CanonExposureTimeConv(std::uint8_t v);
VARROW_API double CanonIsoConv(std::uint8_t v);
VARROW_API double CanonFNumberConv(std::uint8_t v);
// The entries of a colour-calibration record separated by spaces.
VARROW_API std::string ToCanonColorCalibString(const std::vector<std::int16_t>& record);
// Sensor diagonal in millimetres from the focal plane X and Y resolutions as
// Canon records them (numerators multiples of 1000, denominators the sensor
// sides in thousandths of an inch, below 1000); NaN when they are not of
// that form.
VARROW_API double CanonCalcSensorDiag(const Fraction& xResolution, const Fraction& yResolution);

}  // namespace meta::detail
