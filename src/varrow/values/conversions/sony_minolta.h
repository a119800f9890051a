#pragma once

// Sony and Minolta maker-note decoders.

#include <cstdint>
#include <string>
#include <vector>

#include "varrow/api/export.h"

namespace meta::detail {

// The 8-byte LensSpec record: feature byte, shortest and longest focal
// length (four BCD digits each), f-numbers at each (two BCD digits, tenths),
// second feature byte. Returns {features, short, long, fShort, fLong}, the
// features as (first byte << 8) | last byte. Throws ValueException for a
// record of another length.
VARROW_API std::vector<double> SonyConvLensSpec(const std::vector<std::uint8_t>& record);
// "DT 18-55mm F3.5-5.6 SAM": prefix and suffix words from the feature bits,
// "Unknown" when nothing is set.
VARROW_API std::string SonyPrintLensSpec(const std::vector<double>& lens);

// White balance of the Minolta camera settings: the high byte is the mode,
// the signed low byte the fine adjustment ("Daylight +2").
VARROW_API std::string MinoltaConvertWhiteBalance(std::uint32_t code);

}  // namespace meta::detail
