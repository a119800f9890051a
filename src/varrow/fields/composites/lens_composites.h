#pragma once

// The lens composites: lens identification from the lens type, the lens
// model or the XMP lens id, and the lens summaries of Canon and Nikon
// maker notes. Raw conversions receive the inputs as described in
// composite_inputs.h; display conversions receive the composite's value.

#include "varrow/values/value.h"

namespace meta {
struct ReadStore;
}

namespace meta::composites {

// Inputs: LensType; FocalLength, MaxAperture, MaxApertureValue,
// MinFocalLength, MaxFocalLength, LensModel, LensFocalRange, LensSpec,
// LensType2, LensType3, LensFocalLength, RFLensType.
Value LensId(Value const& refs, ReadStore& store);
// Inputs: LensModel, Lens and a composite LensID (whose presence means
// another lens composite has already named the lens).
Value LensIdFromModel(Value const& refs, ReadStore& store);
// Inputs: LensIDNumber, LensFStops, MinFocalLength, MaxFocalLength,
// MaxApertureAtMinFocal, MaxApertureAtMaxFocal, MCUVersion; LensType.
Value NikonLensId(Value const& refs, ReadStore& store);
// Input: LensFirmware.
Value RicohLensId(Value const& refs, ReadStore& store);
// Inputs: the XMP LensID, Make; LensInfo, FocalLength, LensModel,
// MaxApertureValue, Lens (the model text when LensModel is missing).
Value XmpLensId(Value const& refs, ReadStore& store);
// Inputs: MinFocalLength, MaxFocalLength. Value: the two lengths.
Value CanonLens(Value const& refs, ReadStore& store);
// Inputs: Lens; LensType.
Value NikonLensSpec(Value const& refs, ReadStore& store);

// "18.0 - 55.0 mm", or "100.0 mm" for a prime lens.
Value CanonLensDisplay(Value const& value, ReadStore& store);

}  // namespace meta::composites
