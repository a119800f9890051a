#include "varrow/fields/composites/depth_of_field.h"

#include <cmath>
#include <exception>
#include <limits>
#include <string>
#include <vector>

#include "varrow/fields/composites/composite_inputs.h"

namespace meta::composites {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The first focus distance the camera recorded, in order of precision; 0
// stands for "not recorded" there. Without any, the middle of the focus
// distance range, where 0 to 0 is a real (if useless) answer.
std::optional<double> FocusDistance(Inputs const& in) {
    for (std::size_t i = 3; i <= 6; ++i) {
        std::optional<double> const d = in.Number(i);
        if (d && *d != 0 && !std::isnan(*d)) return d;
    }
    if (std::optional<double> const upper = in.Number(8)) {
        double const lower = in.Number(7).value_or(0);
        return (lower + *upper) / 2;
    }
    return std::nullopt;
}

}  // namespace

std::optional<DepthOfField> CalcDepthOfField(double focalLength, double aperture, double circle,
                                             double distance) {
    if (!(focalLength > 0) || !(aperture > 0) || !(circle > 0) || std::isnan(distance) || distance < 0) {
        return std::nullopt;
    }
    if (std::isinf(distance))
        return DepthOfField{focalLength * focalLength / (aperture * circle * 1000), kInfinity};
    double const t = aperture * circle * (distance * 1000 - focalLength) / (focalLength * focalLength);
    DepthOfField dof;
    dof.nearLimit = distance / (1 + t);
    dof.farLimit = distance / (1 - t);
    // Past the hyperfocal distance the far limit wraps round to negative;
    // at distance 0 it is 0: both mean nothing beyond is blurred.
    if (!(dof.farLimit > 0) || t >= 1) dof.farLimit = kInfinity;
    return dof;
}

Value Dof(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    std::optional<double> const focal = in.Number(0);
    std::optional<double> const aperture = in.Number(1);
    std::optional<double> const circle = in.Number(2);
    std::optional<double> const distance = FocusDistance(in);
    if (!focal || !aperture || !circle || !distance) return {};
    std::optional<DepthOfField> const dof = CalcDepthOfField(*focal, *aperture, *circle, *distance);
    if (!dof) return {};
    return Value(std::vector<double>{dof->nearLimit, dof->farLimit});
}

Value DofDisplay(Value const& value, ReadStore&) {
    try {
        std::vector<double> const limits = value.Convert<std::vector<double>>();
        if (limits.size() != 2) return {};
        if (std::isinf(limits[1])) return Value(FormatNumber("inf (%.2f m - inf)", limits[0]));
        double const depth = limits[1] - limits[0];
        char const* format = depth > 0 && depth < 0.02 ? "%.3f" : "%.2f";
        return Value(FormatNumber(format, depth) + " m (" + FormatNumber(format, limits[0]) + " - " +
                     FormatNumber(format, limits[1]) + " m)");
    } catch (std::exception const&) {
        return {};
    }
}

}  // namespace meta::composites
