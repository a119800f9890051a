// The 35 mm scale factor: how much longer a lens must be on a 36 x 24 mm
// frame to give the picture the camera took.

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <exception>
#include <optional>
#include <vector>

#include "varrow/fields/composites/composite_computations.h"
#include "varrow/fields/composites/composite_inputs.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/conversions/canon.h"

namespace meta::composites {
namespace {

// Millimetres per focal plane resolution unit: 3 centimetres, 4 millimetres,
// 5 micrometres; inches for 2 and for anything else.
double MillimetresPerUnit(std::optional<double> unit) {
    if (!unit) return 25.4;
    if (*unit == 3) return 10;
    if (*unit == 4) return 1;
    if (*unit == 5) return 0.001;
    return 25.4;
}

// A focal plane size is trusted only with the shape of a real sensor.
bool SensorShaped(double x, double y) {
    double const ratio = x > y ? x / y : y / x;
    return std::fabs(ratio - 4.0 / 3.0) < 0.1 || std::fabs(ratio - 1.5) < 0.1;
}

bool PlausibleAspect(std::optional<double> w, std::optional<double> h) {
    if (!IsPositive(w) || !IsPositive(h)) return false;
    double const ratio = *w / *h;
    return ratio > 0.5 && ratio < 2;
}

std::optional<double> SensorDiagonal(ScaleFactorInputs const& in) {
    if (IsPositive(in.canonSensorDiagonal)) return in.canonSensorDiagonal;
    if (IsPositive(in.focalPlaneDiagonal)) return in.focalPlaneDiagonal;
    if (IsPositive(in.focalPlaneXSize) && IsPositive(in.focalPlaneYSize) &&
        SensorShaped(*in.focalPlaneXSize, *in.focalPlaneYSize)) {
        return std::hypot(*in.focalPlaneXSize, *in.focalPlaneYSize);
    }
    if (!IsPositive(in.focalPlaneXResolution) || !IsPositive(in.focalPlaneYResolution) ||
        !PlausibleAspect(in.width, in.height)) {
        return std::nullopt;
    }
    double const unit = MillimetresPerUnit(in.focalPlaneResolutionUnit);
    double const x = *in.width * unit / *in.focalPlaneXResolution;
    double const y = *in.height * unit / *in.focalPlaneYResolution;
    double const diagonal = std::hypot(x, y);
    // Outside this range the resolution describes the picture, not the sensor.
    if (!(diagonal > 1 && diagonal < 100)) return std::nullopt;
    return diagonal;
}

// SensorSize holds a diagonal or the two sides.
std::optional<double> SensorSizeDiagonal(Value const& value) {
    if (!value.Exists()) return std::nullopt;
    try {
        if (value.IsArray() || value.IsCollection()) {
            std::vector<double> const sides = value.Convert<std::vector<double>>();
            if (sides.size() >= 2) return std::hypot(sides[0], sides[1]);
            if (sides.size() == 1) return sides[0];
            return std::nullopt;
        }
        if (value.GetType() == Value::Type::String) {
            double a = 0;
            double b = 0;
            int const n = std::sscanf(value.Get<std::string>().c_str(), "%lf %lf", &a, &b);
            if (n == 2) return std::hypot(a, b);
            if (n == 1) return a;
            return std::nullopt;
        }
        return value.Convert<double>();
    } catch (std::exception const&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<double> CalcScaleFactor35efl(ScaleFactorInputs const& in) {
    if (IsPositive(in.focalLength) && IsPositive(in.focalLengthIn35mm)) {
        return *in.focalLengthIn35mm / *in.focalLength;
    }
    std::optional<double> const diagonal = SensorDiagonal(in);
    if (!diagonal) return std::nullopt;
    double const zoom = IsPositive(in.digitalZoom) ? *in.digitalZoom : 1.0;
    return kFullFrameDiagonal / *diagonal * zoom;
}

Value ScaleFactor35efl(Value const& refs, ReadStore& store) {
    Inputs const in(refs);
    // Inputs, in the definition's order: FocalLength, FocalLengthIn35mmFormat,
    // DigitalZoom, FocalPlaneDiagonal, SensorSize, FocalPlaneXSize,
    // FocalPlaneYSize, FocalPlaneResolutionUnit, FocalPlaneXResolution,
    // FocalPlaneYResolution, ExifImageWidth, ExifImageHeight,
    // CanonImageWidth, CanonImageHeight, ImageWidth, ImageHeight.
    ScaleFactorInputs inputs;
    inputs.focalLength = in.Number(0);
    inputs.focalLengthIn35mm = in.Number(1);
    inputs.digitalZoom = in.Number(2);
    if (!store.make.empty() && MakeMatches(store, "Canon")) {
        // The EXIF rationals as stored, even where an XMP copy of the tags
        // answers the lookup by name.
        std::optional<Fraction> x = store.focalPlaneXResolution;
        std::optional<Fraction> y = store.focalPlaneYResolution;
        if (!x || !y) {
            x = FractionOf(in.GetRaw(8));
            y = FractionOf(in.GetRaw(9));
        }
        if (x && y) inputs.canonSensorDiagonal = detail::CanonCalcSensorDiag(*x, *y);
    }
    inputs.focalPlaneDiagonal = in.Number(3);
    if (!IsPositive(inputs.focalPlaneDiagonal)) {
        inputs.focalPlaneDiagonal = SensorSizeDiagonal(in.GetValue(4));
    }
    inputs.focalPlaneXSize = in.Number(5);
    inputs.focalPlaneYSize = in.Number(6);
    // The unit as stored: its display is a word.
    inputs.focalPlaneResolutionUnit = NumberOf(in.GetRaw(7));
    inputs.focalPlaneXResolution = in.Number(8);
    inputs.focalPlaneYResolution = in.Number(9);
    // Canon's own image size describes the sensor area the resolution refers
    // to; it comes before the EXIF size, which may be a resized picture's.
    for (std::size_t first : {std::size_t{12}, std::size_t{10}, std::size_t{14}}) {
        std::optional<double> const w = in.Number(first);
        std::optional<double> const h = in.Number(first + 1);
        if (PlausibleAspect(w, h)) {
            inputs.width = w;
            inputs.height = h;
            break;
        }
    }
    std::optional<double> const scale = CalcScaleFactor35efl(inputs);
    if (!IsPositive(scale)) return {};
    return Value(*scale);
}

}  // namespace meta::composites
