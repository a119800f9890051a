#include "varrow/values/date_time.h"

#include <algorithm>
#include <charconv>
#include <istream>
#include <limits>
#include <ostream>

namespace meta {

namespace {

// The accepted forms were first described as five ECMAScript regular
// expressions tried in order (see the tests, which still compare against
// them). Matching them by hand avoids compiling a std::regex per call; the
// comments give the expression each function stands for. Where an
// expression's '(.*)$' tail would refuse a line terminator, the tail is
// refused anyway by the zone rule, so the outcome is the same.

bool IsDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view s, std::size_t pos, std::size_t count) noexcept {
    if (pos + count > s.size()) return false;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (!IsDigit(s[i])) return false;
    }
    return true;
}

// Value of `count` digits known to be present; at most 4, so it cannot overflow.
std::int32_t DigitsValue(std::string_view s, std::size_t pos, std::size_t count) noexcept {
    std::int32_t v = 0;
    for (std::size_t i = pos; i < pos + count; ++i) v = v * 10 + (s[i] - '0');
    return v;
}

bool IsSeparator(char c) noexcept {
    return c == '-' || c == ':';
}

// Sub-second digits (without the point) into value and count. A run too long
// for 32 bits keeps its first nine digits, i.e. nanosecond precision.
void SetSubSeconds(std::string_view digits, DateTime& dt) noexcept {
    if (digits.empty()) return;
    std::int64_t value = 0;
    bool overflow = false;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) {
            overflow = true;
            break;
        }
    }
    if (overflow) {
        digits = digits.substr(0, 9);
        value = 0;
        for (char c : digits) value = value * 10 + (c - '0');
    }
    dt.subSecond = static_cast<std::int32_t>(value);
    dt.subSecondDigits = static_cast<std::int32_t>(digits.size());
}

// '(?::(\d{2})(\.\d*)?)?(.*)$' after 'hh:mm' at `pos`, then the zone rule
// for the tail: '', 'Z' or '^([+-])(\d{2}):?(\d{2})$'. False when the tail
// is none of these.
bool ParseSecondsAndZone(std::string_view s, std::size_t pos, DateTime& dt) noexcept {
    if (pos < s.size() && s[pos] == ':' && AllDigits(s, pos + 1, 2)) {
        dt.second = DigitsValue(s, pos + 1, 2);
        pos += 3;
        if (pos < s.size() && s[pos] == '.') {
            const std::size_t start = ++pos;
            while (pos < s.size() && IsDigit(s[pos])) ++pos;
            SetSubSeconds(s.substr(start, pos - start), dt);
        }
    }
    const std::string_view rest = s.substr(pos);
    if (rest.empty()) return true;
    if (rest == "Z") {
        dt.zone = 0;
        dt.hasZone = true;
        return true;
    }
    if ((rest.size() == 5 || rest.size() == 6) && (rest[0] == '+' || rest[0] == '-') &&
        AllDigits(rest, 1, 2)) {
        const std::size_t minutesAt = rest.size() == 6 ? 4 : 3;
        if ((rest.size() == 5 || rest[3] == ':') && AllDigits(rest, minutesAt, 2)) {
            const std::int32_t magnitude = DigitsValue(rest, 1, 2) * 100 + DigitsValue(rest, minutesAt, 2);
            dt.zone = rest[0] == '-' ? -magnitude : magnitude;
            dt.hasZone = true;
            return true;
        }
    }
    return false;
}

// ^(\d{4})[-:](\d{2})[-:](\d{2})[T ](\d{2}):(\d{2})(?::(\d{2})(\.\d*)?)?(.*)$
bool MatchDateAndTime(std::string_view s, DateTime& dt) noexcept {
    if (s.size() < 16 || !AllDigits(s, 0, 4) || !IsSeparator(s[4]) || !AllDigits(s, 5, 2) ||
        !IsSeparator(s[7]) || !AllDigits(s, 8, 2) || (s[10] != 'T' && s[10] != ' ') || !AllDigits(s, 11, 2) ||
        s[13] != ':' || !AllDigits(s, 14, 2)) {
        return false;
    }
    dt.year = DigitsValue(s, 0, 4);
    dt.month = DigitsValue(s, 5, 2);
    dt.day = DigitsValue(s, 8, 2);
    dt.hour = DigitsValue(s, 11, 2);
    dt.minute = DigitsValue(s, 14, 2);
    dt.hasYear = dt.hasMonth = dt.hasDay = dt.hasTime = true;
    if (!ParseSecondsAndZone(s, 16, dt)) dt = DateTime();
    return true;
}

// ^(\d{4})(?:[-:](\d{2})(?:[-:](\d{2}))?)?$
bool MatchDate(std::string_view s, DateTime& dt) noexcept {
    if (!AllDigits(s, 0, 4)) return false;
    if (s.size() == 4) {
        dt.year = DigitsValue(s, 0, 4);
        dt.hasYear = true;
        return true;
    }
    if ((s.size() != 7 && s.size() != 10) || !IsSeparator(s[4]) || !AllDigits(s, 5, 2)) return false;
    if (s.size() == 10 && (!IsSeparator(s[7]) || !AllDigits(s, 8, 2))) return false;
    dt.year = DigitsValue(s, 0, 4);
    dt.month = DigitsValue(s, 5, 2);
    dt.hasYear = dt.hasMonth = true;
    if (s.size() == 10) {
        dt.day = DigitsValue(s, 8, 2);
        dt.hasDay = true;
    }
    return true;
}

// ^(\d{4})(\d{2})(\d{2})$
bool MatchCompactDate(std::string_view s, DateTime& dt) noexcept {
    if (s.size() != 8 || !AllDigits(s, 0, 8)) return false;
    dt.year = DigitsValue(s, 0, 4);
    dt.month = DigitsValue(s, 4, 2);
    dt.day = DigitsValue(s, 6, 2);
    dt.hasYear = dt.hasMonth = dt.hasDay = true;
    return true;
}

// ^(\d{2}):(\d{2})(?::(\d{2})(\.\d*)?)?(.*)$
bool MatchTime(std::string_view s, DateTime& dt) noexcept {
    if (s.size() < 5 || !AllDigits(s, 0, 2) || s[2] != ':' || !AllDigits(s, 3, 2)) {
        return false;
    }
    dt.hour = DigitsValue(s, 0, 2);
    dt.minute = DigitsValue(s, 3, 2);
    dt.hasTime = true;
    if (!ParseSecondsAndZone(s, 5, dt)) dt = DateTime();
    return true;
}

// ^(\d{2})(\d{2})(\d{2})([+-]\d{4})$
bool MatchCompactTimeWithZone(std::string_view s, DateTime& dt) noexcept {
    if (s.size() != 11 || !AllDigits(s, 0, 6) || (s[6] != '+' && s[6] != '-') || !AllDigits(s, 7, 4)) {
        return false;
    }
    dt.hour = DigitsValue(s, 0, 2);
    dt.minute = DigitsValue(s, 2, 2);
    dt.second = DigitsValue(s, 4, 2);
    const std::int32_t zone = DigitsValue(s, 7, 4);
    dt.zone = s[6] == '-' ? -zone : zone;
    dt.hasTime = dt.hasZone = true;
    return true;
}

// Appends v right-aligned in `width` characters filled with '0', the way a
// stream with setw/setfill('0') writes it (the fill goes before a sign).
void AppendPadded(std::string& out, std::int64_t v, int width) {
    char buffer[24];
    const auto length = static_cast<int>(std::to_chars(buffer, buffer + sizeof(buffer), v).ptr - buffer);
    if (width > length) out.append(static_cast<std::size_t>(width - length), '0');
    out.append(buffer, static_cast<std::size_t>(length));
}

}  // namespace

DateTime DateTime::FromString(std::string_view text) noexcept {
    DateTime dt;
    if (MatchDateAndTime(text, dt) || MatchDate(text, dt) || MatchCompactDate(text, dt) ||
        MatchTime(text, dt) || MatchCompactTimeWithZone(text, dt)) {
        return dt;
    }
    return DateTime();
}

DateTime DateTime::FromUnixTime(std::time_t t) noexcept {
    std::tm parts{};
    if (gmtime_r(&t, &parts) == nullptr) return DateTime();
    DateTime dt;
    dt.year = parts.tm_year + 1900;
    dt.month = parts.tm_mon + 1;
    dt.day = parts.tm_mday;
    dt.hour = parts.tm_hour;
    dt.minute = parts.tm_min;
    dt.second = parts.tm_sec;
    dt.hasYear = dt.hasMonth = dt.hasDay = dt.hasTime = true;
    return dt;
}

DateTime DateTime::Compose(const DateTime& date, const DateTime& time) noexcept {
    DateTime dt = time;
    dt.year = date.year;
    dt.month = date.month;
    dt.day = date.day;
    dt.hasYear = date.hasYear;
    dt.hasMonth = date.hasMonth;
    dt.hasDay = date.hasDay;
    return dt;
}

std::string ToString(const DateTime& dt, char dateSeparator, char dateTimeSeparator, int maxSubSecondDigits) {
    std::string out;
    out.reserve(32);
    const bool hasDate = dt.hasYear || dt.hasMonth || dt.hasDay;
    if (hasDate) {
        AppendPadded(out, dt.year, 4);
        out += dateSeparator;
        AppendPadded(out, dt.month, 2);
        out += dateSeparator;
        AppendPadded(out, dt.day, 2);
        if (dt.hasTime) out += dateTimeSeparator;
    }
    if (!dt.hasTime) return out;

    AppendPadded(out, dt.hour, 2);
    out += ':';
    AppendPadded(out, dt.minute, 2);
    out += ':';
    AppendPadded(out, dt.second, 2);
    if (maxSubSecondDigits != 0 && dt.subSecondDigits != 0) {
        out += '.';
        const std::size_t start = out.size();
        // A digit count beyond what 32 bits can hold only adds leading zeros;
        // the cap keeps a corrupt count from asking for gigabytes.
        AppendPadded(out, dt.subSecond, std::min(dt.subSecondDigits, 32));
        if (maxSubSecondDigits > 0 && out.size() - start > static_cast<std::size_t>(maxSubSecondDigits)) {
            out.resize(start + static_cast<std::size_t>(maxSubSecondDigits));
        }
    }
    if (dt.hasZone) {
        if (dt.zone == 0) {
            out += 'Z';
        } else {
            const std::int64_t zone = dt.zone;
            const std::int64_t magnitude = zone < 0 ? -zone : zone;
            out += zone < 0 ? '-' : '+';
            AppendPadded(out, magnitude / 100, 2);
            out += ':';
            AppendPadded(out, magnitude % 100, 2);
        }
    }
    return out;
}

std::ostream& operator<<(std::ostream& os, const DateTime& dt) {
    return os << ToString(dt, '-', 'T', -1);
}

std::istream& operator>>(std::istream& is, DateTime& dt) {
    std::string line;
    if (!std::getline(is, line)) return is;
    // peek() on a stream already at its end would set failbit.
    if (!is.eof() && is.peek() != std::char_traits<char>::eof()) {
        is.setstate(std::ios_base::failbit);
        return is;
    }
    const DateTime parsed = DateTime::FromString(line);
    if (!parsed) {
        is.setstate(std::ios_base::failbit);
        return is;
    }
    dt = parsed;
    return is;
}

}  // namespace meta
