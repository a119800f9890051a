#include "varrow/values/conversions/quicktime.h"

#include <cmath>
#include <ctime>
#include <limits>

#include "varrow/values/date_time.h"
#include "varrow/values/string_format.h"

namespace meta::detail {

namespace {

static_assert(sizeof(std::time_t) >= sizeof(std::int64_t), "dates need a 64-bit time_t");

// 16.16 and 2.30 fixed point differ by 2^14.
constexpr double kFractionScale = 16384.0;

}  // namespace

Value ConvertQuickTimeDate(std::uint64_t seconds) {
    if (seconds == 0) {
        DateTime none;
        none.hasYear = none.hasMonth = none.hasDay = none.hasTime = true;
        return Value(none);
    }
    // No calendar reaches beyond the signed 64-bit range.
    if (seconds > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) return Value::None;
    std::int64_t const unixTime = static_cast<std::int64_t>(seconds) - kQuickTimeEpochOffset;
    DateTime dt = DateTime::FromUnixTime(static_cast<std::time_t>(unixTime));
    if (!dt) return Value::None;
    dt.hasZone = true;
    dt.zone = 0;
    return Value(dt);
}

std::string ToQuickTimeDateString(const DateTime& dt) {
    DateTime plain = dt;
    plain.hasZone = false;
    std::string out = ToString(plain, ':', ' ', 0);
    if (dt.hasZone && dt.hasTime) {
        std::int64_t const zone = dt.zone;
        std::int64_t const magnitude = zone < 0 ? -zone : zone;
        std::string offset;
        strprintf(offset, "%c%.2lld:%.2lld", zone < 0 ? '-' : '+', static_cast<long long>(magnitude / 100),
                  static_cast<long long>(magnitude % 100));
        out += offset;
    }
    return out;
}

std::string ToDurationString(double seconds) {
    if (!std::isfinite(seconds)) throw ValueException();
    if (seconds == 0) return "0 s";
    char const* const sign = seconds < 0 ? "-" : "";
    double const magnitude = std::fabs(seconds);
    std::string out;
    if (magnitude < 30) {
        strprintf(out, "%s%.2f s", sign, magnitude);
        return out;
    }
    double const whole = std::floor(magnitude + 0.5);
    double const hours = std::floor(whole / 3600);
    auto const rest = static_cast<int>(whole - hours * 3600);
    strprintf(out, "%s%.0f:%.2d:%.2d", sign, hours, rest / 60, rest % 60);
    return out;
}

std::string ToPercentString(double ratio) {
    std::string out;
    strprintf(out, "%.2f%%", ratio * 100);
    return out;
}

std::vector<double> ConvertMatrixStructure(std::vector<double> elements) {
    if (elements.size() != 9) throw ValueException();
    for (std::size_t i : {2u, 5u, 8u}) elements[i] /= kFractionScale;
    return elements;
}

}  // namespace meta::detail
