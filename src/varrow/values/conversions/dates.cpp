#include "varrow/values/conversions/dates.h"

#include <cmath>
#include <cstdlib>

#include "varrow/values/date_time.h"
#include "varrow/values/string_format.h"

namespace meta::detail {

namespace {

bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}
// NUL or what std::regex's \s matches in the classic locale.
bool IsSpaceOrNul(char c) noexcept {
    return c == '\0' || c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Matches two digits after a run of non-digits starting at `i`; returns the
// index after them or npos.
std::size_t SkipToPair(std::string_view text, std::size_t i) noexcept {
    while (i < text.size() && !IsDigit(text[i])) ++i;
    if (i + 2 > text.size() || !IsDigit(text[i]) || !IsDigit(text[i + 1])) return std::string_view::npos;
    return i + 2;
}

}  // namespace

std::string ExifDate(std::string_view text) {
    // Every quantifier but the last is followed by a class it cannot match,
    // so the first start position that fits is the leftmost match and no
    // backtracking is needed.
    for (std::size_t start = 0; start + 8 <= text.size(); ++start) {
        if (!IsDigit(text[start]) || !IsDigit(text[start + 1]) || !IsDigit(text[start + 2]) ||
            !IsDigit(text[start + 3]))
            continue;
        const std::size_t monthEnd = SkipToPair(text, start + 4);
        if (monthEnd == std::string_view::npos) continue;
        const std::size_t dayEnd = SkipToPair(text, monthEnd);
        if (dayEnd == std::string_view::npos) continue;
        std::size_t rest = dayEnd;
        while (rest < text.size() && IsSpaceOrNul(text[rest])) ++rest;
        if (rest != text.size()) continue;
        std::string out;
        out.reserve(10);
        out.append(text.substr(start, 4)).append(1, ':');
        out.append(text.substr(monthEnd - 2, 2)).append(1, ':');
        out.append(text.substr(dayEnd - 2, 2));
        return out;
    }
    return std::string(text);
}

Value ConvertUnixTime(long long t, bool local) {
    DateTime dt;
    dt.hasYear = dt.hasMonth = dt.hasDay = dt.hasTime = true;
    if (t == 0) return Value(dt);
    const auto tt = static_cast<std::time_t>(t);
    std::tm parts{};
    if ((local ? localtime_r(&tt, &parts) : gmtime_r(&tt, &parts)) == nullptr) return Value::None;
    dt.year = parts.tm_year + 1900;
    dt.month = parts.tm_mon + 1;
    dt.day = parts.tm_mday;
    dt.hour = parts.tm_hour;
    dt.minute = parts.tm_min;
    dt.second = parts.tm_sec;
    if (local) {
        std::tm utc{};
        if (gmtime_r(&tt, &utc) != nullptr) {
            const int minutes = GetTimeZone(&parts, &utc);
            dt.zone = (minutes / 60) * 100 + minutes % 60;
            dt.hasZone = true;
        }
    }
    return Value(dt);
}

Value ConvertUnixTime(double t, bool local) {
    // Beyond about 2^62 seconds no calendar applies.
    if (!std::isfinite(t) || std::fabs(t) > 4.6e18) return Value::None;
    return ConvertUnixTime(static_cast<long long>(std::trunc(t)), local);
}

int GetTimeZone(const std::tm* local, const std::tm* utc) {
    if (local == nullptr || utc == nullptr) return 0;
    int minutes = (local->tm_hour - utc->tm_hour) * 60 + (local->tm_min - utc->tm_min);
    // The two may lie on either side of midnight (or of new year).
    const int dayOrder =
        local->tm_year != utc->tm_year ? local->tm_year - utc->tm_year : local->tm_yday - utc->tm_yday;
    if (dayOrder > 0) minutes += 24 * 60;
    if (dayOrder < 0) minutes -= 24 * 60;
    return minutes;
}

std::string TimeZoneString(int minutes) {
    const char sign = minutes < 0 ? '-' : '+';
    const int a = std::abs(minutes);
    std::string out;
    strprintf(out, "%c%.2d:%.2d", sign, a / 60, a % 60);
    return out;
}

std::string TimeZoneString(const std::tm* local, long long t) {
    const auto tt = static_cast<std::time_t>(t);
    std::tm utc{};
    if (local == nullptr || gmtime_r(&tt, &utc) == nullptr) return TimeZoneString(0);
    return TimeZoneString(GetTimeZone(local, &utc));
}

}  // namespace meta::detail
