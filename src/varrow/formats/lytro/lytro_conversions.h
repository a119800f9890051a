#pragma once

// Conversions of the Lytro field table. Lytro cameras write SI units (metres,
// seconds, degrees Celsius) as JSON numbers; these turn them into the units
// photographers read. None of them throws: a value of the wrong kind gives
// Value::None, and the item shows its raw value instead.

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace meta {

struct ReadStore;

namespace detail {

// Metres to millimetres.
VARROW_API Value LytroMetresToMm(Value const& v, ReadStore& store);
// A sensor pixel pitch in metres to pixels per inch (as a focal-plane
// resolution); None for a pitch of 0.
VARROW_API Value LytroPitchToResolution(Value const& v, ReadStore& store);
// "2012-04-12T14:10:55.000Z" to "2012:04:12 14:10:55.000Z": EXIF date
// punctuation, the rest kept as written. Other text passes unchanged.
VARROW_API Value LytroZuluTime(Value const& v, ReadStore& store);

// "6.4 mm".
VARROW_API Value LytroFocalLengthText(Value const& v, ReadStore& store);
// "34.1 C".
VARROW_API Value LytroTemperatureText(Value const& v, ReadStore& store);
// "+0.0", "-1.2": an exposure bias in stops, always signed.
VARROW_API Value LytroExposureBiasText(Value const& v, ReadStore& store);
// "1/250", "2", "0.3".
VARROW_API Value LytroExposureTimeText(Value const& v, ReadStore& store);
// "1.9", "0.95".
VARROW_API Value LytroFNumberText(Value const& v, ReadStore& store);

}  // namespace detail
}  // namespace meta
