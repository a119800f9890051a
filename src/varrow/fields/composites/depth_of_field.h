#pragma once

// Depth of field: the near and far limits of acceptable sharpness around
// the focus distance.

#include <optional>

#include "varrow/values/value.h"

namespace meta {
struct ReadStore;
}

namespace meta::composites {

struct DepthOfField {
    double nearLimit = 0;  // metres
    double farLimit = 0;   // metres; infinite when everything beyond is sharp
};

// For focal length f (mm), aperture N, circle of confusion c (mm) and focus
// distance d (m): with t = N c (1000 d - f) / f², the limits are d / (1 + t)
// and d / (1 - t), the far one infinite once t reaches 1. An infinite
// distance gives the hyperfocal distance as near limit. Empty for a
// focal length, aperture or circle that is not positive.
std::optional<DepthOfField> CalcDepthOfField(double focalLength, double aperture, double circle,
                                             double distance);

// Inputs: FocalLength, Aperture, CircleOfConfusion; FocusDistance,
// SubjectDistance, ObjectDistance, ApproximateFocusDistance,
// FocusDistanceLower, FocusDistanceUpper. Value: near and far limit.
Value Dof(Value const& refs, ReadStore& store);
// "0.65 m (1.97 - 2.62 m)", "inf (2.77 m - inf)"; three decimals for a
// depth under 2 cm.
Value DofDisplay(Value const& value, ReadStore& store);

}  // namespace meta::composites
