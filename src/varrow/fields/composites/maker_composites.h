#pragma once

// Composites from maker-note items: Canon's ISO, the image size of
// Panasonic raw files, Sony's focus distances, whether the camera corrected
// vignetting, chromatic aberration or distortion, and the lens distortion
// model of Panasonic raw files. Each belongs to one camera make and stays
// away from items of the same name that other makes record.

#include "varrow/values/value.h"

namespace meta {
struct ReadStore;
}

namespace meta::composites {

// Inputs: CameraISO, BaseISO, AutoISO. The camera's own ISO when it is a
// number, else BaseISO × AutoISO / 100.
Value CanonIso(Value const& refs, ReadStore& store);
// Inputs: the two borders; the second minus the first.
Value PanasonicImageWidth(Value const& refs, ReadStore& store);
Value PanasonicImageHeight(Value const& refs, ReadStore& store);
// Inputs: a focus position (255 = infinity) and a focal length (mm):
// (2^(position/16 - 5) + 1) × focal length / 1000 metres.
Value SonyFocusDistance(Value const& refs, ReadStore& store);
// "5.108 m" (four significant digits) or "inf".
Value FocusDistanceDisplay(Value const& value, ReadStore& store);

// Input: VignetteControl (0 = off).
Value NikonVignettingCorrectionApplied(Value const& refs, ReadStore& store);
// Input: VignettingCorrection (0 = off, 2 = auto).
Value SonyVignettingCorrectionApplied(Value const& refs, ReadStore& store);
// Inputs: ChromaticAberrationCorrection, LateralChromaticAberration
// (0 = off, 2 = auto); the first present counts.
Value SonyChromaticAberrationCorrectionApplied(Value const& refs, ReadStore& store);
// Inputs: DistortionCorrection (0 = none, 1 = applied),
// DistortionCorrectionSetting (0 = off, 2 = auto).
Value SonyDistortionCorrectionApplied(Value const& refs, ReadStore& store);
// Input: DistortionCorrection of a Panasonic raw file (1 = on): whether the
// lens distortion parameters describe the lens.
Value LensDistortionKnown(Value const& refs, ReadStore& store);
// Input: one distortion parameter of a Panasonic raw file, passed on as
// its number.
Value LensDistortionParameter(Value const& refs, ReadStore& store);

// "Yes" or "No".
Value YesNoDisplay(Value const& value, ReadStore& store);

}  // namespace meta::composites
