#pragma once

// The computations of the composite definitions. Raw conversions receive the
// reference sequence described by Inputs (composite_inputs.h), with the
// inputs in the order the definition lists them: required ones first, then
// desired ones. Display conversions receive the composite's value.

#include <optional>
#include <string>

#include "varrow/values/value.h"

namespace meta {
struct ReadStore;
}

namespace meta::composites {

// --- raw conversions ---------------------------------------------------------
Value Path(Value const& refs, ReadStore& store);
Value Model(Value const& refs, ReadStore& store);
Value ImageSize(Value const& refs, ReadStore& store);
Value Megapixels(Value const& refs, ReadStore& store);
Value ShutterSpeed(Value const& refs, ReadStore& store);
Value Aperture(Value const& refs, ReadStore& store);
Value LightValue(Value const& refs, ReadStore& store);
Value ScaleFactor35efl(Value const& refs, ReadStore& store);
Value FocalLength35efl(Value const& refs, ReadStore& store);
Value CircleOfConfusion(Value const& refs, ReadStore& store);
Value HyperfocalDistance(Value const& refs, ReadStore& store);
Value FieldOfView(Value const& refs, ReadStore& store);
Value GpsLatitude(Value const& refs, ReadStore& store);
Value GpsLongitude(Value const& refs, ReadStore& store);
Value GpsAltitude(Value const& refs, ReadStore& store);
Value GpsPosition(Value const& refs, ReadStore& store);
Value GpsDateTime(Value const& refs, ReadStore& store);
// Date-time, sub-seconds and offset: inputs (date, sub-seconds, offset).
Value SubSecDateTime(Value const& refs, ReadStore& store);
// The same with a time zone as second input (date, zone, sub-seconds, offset).
Value SubSecDateTimeWithZone(Value const& refs, ReadStore& store);

// --- display conversions -----------------------------------------------------
Value ImageSizeDisplay(Value const& value, ReadStore& store);
Value MegapixelsDisplay(Value const& value, ReadStore& store);
Value ExposureTimeDisplay(Value const& value, ReadStore& store);
Value ApertureDisplay(Value const& value, ReadStore& store);
Value OneDecimalDisplay(Value const& value, ReadStore& store);
Value FocalLength35eflDisplay(Value const& value, ReadStore& store);
Value CircleOfConfusionDisplay(Value const& value, ReadStore& store);
Value HyperfocalDistanceDisplay(Value const& value, ReadStore& store);
Value FieldOfViewDisplay(Value const& value, ReadStore& store);
Value LatitudeDisplay(Value const& value, ReadStore& store);
Value LongitudeDisplay(Value const& value, ReadStore& store);
Value GpsAltitudeDisplay(Value const& value, ReadStore& store);
Value GpsPositionDisplay(Value const& value, ReadStore& store);

// One decimal from one megapixel on, three below, six below a thousandth.
std::string FormatMegapixels(double megapixels);
// The 35 mm scale factor from what the camera recorded, in order of trust:
// the 35 mm equivalent focal length, Canon's sensor size hidden in the focal
// plane resolution, a recorded sensor diagonal or size, the focal plane
// size, and last the focal plane resolution with the image size. Empty
// when nothing fits.
struct ScaleFactorInputs {
    std::optional<double> focalLength;
    std::optional<double> focalLengthIn35mm;
    std::optional<double> digitalZoom;
    // From CanonCalcSensorDiag; NaN or empty when it does not apply.
    std::optional<double> canonSensorDiagonal;
    std::optional<double> focalPlaneDiagonal;  // FocalPlaneDiagonal or SensorSize
    std::optional<double> focalPlaneXSize;
    std::optional<double> focalPlaneYSize;
    std::optional<double> focalPlaneXResolution;
    std::optional<double> focalPlaneYResolution;
    std::optional<double> focalPlaneResolutionUnit;
    // The first image width and height pair of a plausible aspect ratio.
    std::optional<double> width;
    std::optional<double> height;
};
std::optional<double> CalcScaleFactor35efl(ScaleFactorInputs const& in);

}  // namespace meta::composites
