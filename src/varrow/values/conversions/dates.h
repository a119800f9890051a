#pragma once

// Dates and times of EXIF-style text and Unix time stamps.

#include <ctime>
#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace meta::detail {

// A date text ("2024:03:05", "2024-03-05", "2024 3 05" is not one) as
// "YYYY:MM:DD": four digits, two and two, separated by anything but digits,
// with only white space or NULs after the day. Text that is not such a date
// comes back unchanged.
VARROW_API std::string ExifDate(std::string_view text);

// A Unix time stamp as a DateTime ("YYYY:MM:DD hh:mm:ss"), in UTC or, with
// `local`, in the host's zone with that zone's offset. 0 gives the all-zero
// date and time; a time that cannot be broken down gives Value::None.
VARROW_API Value ConvertUnixTime(long long t, bool local);
VARROW_API Value ConvertUnixTime(double t, bool local);

// Minutes between two broken-down times of the same instant (local - utc),
// allowing for the day boundary between them.
VARROW_API int GetTimeZone(const std::tm* local, const std::tm* utc);
// "+hh:mm" / "-hh:mm".
VARROW_API std::string TimeZoneString(int minutes);
// The zone text of `local`, the broken-down local time of time stamp `t`.
VARROW_API std::string TimeZoneString(const std::tm* local, long long t);

}  // namespace meta::detail
