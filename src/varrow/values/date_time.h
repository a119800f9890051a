#pragma once

#include <cstdint>
#include <ctime>
#include <iosfwd>
#include <string>
#include <string_view>

#include "varrow/api/export.h"

namespace meta {

// A calendar date and/or time of day as written in metadata, with presence
// flags because files often carry only part of it (a year alone, a time
// without a date, a date without a zone). Fields are kept as read: no range
// check, so month 13 survives a round trip.
struct VARROW_API DateTime {
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    std::int32_t second = 0;
    // The digits after the decimal point as an integer: '.250' is 250 with
    // subSecondDigits 3.
    std::int32_t subSecond = 0;
    // Signed +-HHMM: +05:30 is 530, -03:30 is -330.
    std::int32_t zone = 0;
    bool hasYear = false;
    bool hasMonth = false;
    bool hasDay = false;
    bool hasTime = false;
    bool hasZone = false;
    std::int32_t subSecondDigits = 0;

    // True when any date part or the time is present.
    explicit operator bool() const noexcept { return hasYear || hasMonth || hasDay || hasTime; }

    // Accepts 'YYYY-MM-DDThh:mm[:ss[.fff]][zone]' (also ':' date separators
    // and a space before the time), 'YYYY[-MM[-DD]]', 'YYYYMMDD',
    // 'hh:mm[:ss[.fff]][zone]' and 'hhmmss+HHMM'; zone is 'Z', '+HH:MM' or
    // '+HHMM'. Anything else gives the empty DateTime. Never throws.
    static DateTime FromString(std::string_view text) noexcept;
    // Broken-down UTC time of a Unix time stamp, without zone. A time that
    // cannot be broken down gives the empty DateTime.
    static DateTime FromUnixTime(std::time_t t) noexcept;
    // Date parts from `date`, time parts and zone from `time`.
    static DateTime Compose(const DateTime& date, const DateTime& time) noexcept;

    friend bool operator==(const DateTime&, const DateTime&) noexcept = default;
};

// Writes the present parts: 'YYYY<sep>MM<sep>DD', then `dateTimeSeparator`
// when a time follows, then 'hh:mm:ss', the sub-seconds (all of them when
// maxSubSecondDigits is negative, none when it is 0, else at most that many
// leading digits) and the zone ('Z' or '+hh:mm'). A zone without a time is
// not written.
VARROW_API std::string ToString(const DateTime& dt, char dateSeparator = '-', char dateTimeSeparator = 'T',
                                int maxSubSecondDigits = -1);

// ISO 8601 style: ToString(dt, '-', 'T', -1).
VARROW_API std::ostream& operator<<(std::ostream& os, const DateTime& dt);
// Reads one line that must end the stream; sets failbit when more input
// follows or the text is not a date or time.
VARROW_API std::istream& operator>>(std::istream& is, DateTime& dt);

}  // namespace meta
