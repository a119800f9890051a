#pragma once

// The movie header ("mvhd") is read as a binary record; its times and
// durations count in units of the time scale read earlier in the same record.
// The field table keeps that scale in the read store with the hook below and
// converts with it.

#include <cstdint>

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace meta {

struct ReadStore;
class ExifValue;

namespace isobmff {

// Value hook of TimeScale: records the scale for the conversions below and
// accepts the value.
VARROW_API bool NoteMovieTimeScale(ExifValue const* value, std::uint32_t count, ReadStore& store);

// A time or duration of the movie header in seconds. Without a usable time
// scale the value is left as it is.
VARROW_API Value MovieTimeToSeconds(Value const& value, ReadStore& store);

// Seconds (from MovieTimeToSeconds) as a duration text: "0 s", "1.00 s",
// "1:02:03". Without a usable time scale the value is left as it is.
VARROW_API Value PrintMovieTime(Value const& value, ReadStore& store);

}  // namespace isobmff
}  // namespace meta
