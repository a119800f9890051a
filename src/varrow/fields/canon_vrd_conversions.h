#pragma once

// Display forms of Canon VRD recipe values.

#include <cstdint>
#include <string>
#include <vector>

#include "varrow/api/export.h"

namespace meta::detail {

// A version number written as its digits: first digit, the middle ones, last
// digit, joined by dots (200 -> "2.0.0", 3410 -> "3.41.0"); numbers of fewer
// than three digits stay as they are.
VARROW_API std::string ToCanonVrdVersionString(std::uint64_t version);

// A curve stored as a point count followed by that many (x, y) pairs, padded
// to a fixed length: "(0,0) (128,140) (255,255)". A count larger than the
// stored pairs is clamped to them.
VARROW_API std::string ToCanonVrdCurvePointsString(const std::vector<std::uint64_t>& values);

// A ratio as a whole percentage: 1 -> "100%".
VARROW_API std::string ToCanonVrdPercentString(double ratio);

// A signed number with three decimals and its sign always shown: "+0.000".
VARROW_API std::string ToCanonVrdSignedThousandthsString(double value);

}  // namespace meta::detail
