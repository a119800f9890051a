#pragma once

// Dates, durations and fixed-point numbers of QuickTime and ISO base media
// headers.

#include <cstdint>
#include <string>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/values/date_time.h"
#include "varrow/values/value.h"

namespace meta::detail {

// Seconds from the QuickTime epoch (1904-01-01 00:00 UTC) to the Unix one.
inline constexpr std::int64_t kQuickTimeEpochOffset = 2082844800;

// Seconds since the QuickTime epoch as a DateTime. The headers store UTC, so
// the result carries the zone +00:00. 0 means "no date" and gives the
// all-zero date and time without zone; a time no calendar can hold gives
// Value::None.
VARROW_API Value ConvertQuickTimeDate(std::uint64_t seconds);

// A date as "YYYY:MM:DD hh:mm:ss" followed by its zone as an offset, UTC
// included ("+00:00", never "Z"); without zone or time the parts present.
VARROW_API std::string ToQuickTimeDateString(const DateTime& dt);

// A span of time: "0 s" for none, "12.34 s" under 30 seconds, from there on
// whole seconds (rounded) as "h:mm:ss" with as many hour digits as needed.
// Negative spans get a leading "-"; a span that is not finite throws
// ValueException.
VARROW_API std::string ToDurationString(double seconds);

// A ratio as a percentage with two decimals: 1 gives "100.00%".
VARROW_API std::string ToPercentString(double ratio);

// The nine elements {a b u c d v x y w} of a transformation matrix read as
// 16.16 fixed point. u, v and w (elements 2, 5 and 8) are really 2.30 fixed
// point and are scaled down to match, so that the identity reads
// "1 0 0 0 1 0 0 0 1". Any other element count throws ValueException.
VARROW_API std::vector<double> ConvertMatrixStructure(std::vector<double> elements);

}  // namespace meta::detail
