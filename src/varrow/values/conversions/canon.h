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
// Sensor diagonal (same unit as the sides); NaN when a side is unknown.
VARROW_API double CanonCalcSensorDiag(const Fraction& width, const Fraction& height);

}  // namespace meta::detail
