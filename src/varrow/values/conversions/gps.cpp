#include "varrow/values/conversions/gps.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "varrow/values/string_format.h"
#include "varrow/values/value.h"

namespace meta::detail {

double DMSToDegrees(const std::vector<double>& dms) {
    if (dms.size() != 3) return 0;
    return dms[0] + dms[1] / 60 + dms[2] / 3600;
}

std::string ToDMSString(double degrees, DmsStringFormat format, DmsStringDirection direction) {
    // Coordinates stored as 0/0 have no position at all.
    if (std::isnan(degrees)) return "";
    if (std::isinf(degrees)) return "inf";
    const bool negative = degrees < 0;
    double a = std::fabs(degrees);
    const char* letter = "";
    if (direction == DmsStringDirection::Latitude) letter = negative ? "S" : "N";
    if (direction == DmsStringDirection::Longitude) letter = negative ? "W" : "E";
    const char* sign = negative && direction == DmsStringDirection::None ? "-" : "";
    std::string out;
    switch (format) {
        case DmsStringFormat::DecimalDegrees:
            strprintf(out, "%s%.6f%s%s", sign, a, *letter != '\0' ? " " : "", letter);
            return out;
        case DmsStringFormat::DegMinSecXmp: {
            double d = std::floor(a);
            double m = std::round((a - d) * 60 * 1e6) / 1e6;
            if (m >= 60) {
                m -= 60;
                d += 1;
            }
            strprintf(out, "%s%.0f,%.6f%s", sign, d, m, letter);
            return out;
        }
        case DmsStringFormat::DegMinSec: break;
    }
    // Round once at the printed precision so that 59.999" becomes the next
    // minute instead of "60.00".
    const double hundredths = std::round(a * 360000.0);
    if (hundredths > 1e15) return std::to_string(degrees);
    const auto total = static_cast<long long>(hundredths);
    const long long d = total / 360000;
    const long long m = (total / 6000) % 60;
    const double s = static_cast<double>(total % 6000) / 100.0;
    strprintf(out, "%s%lld deg %lld' %.2f\"%s%s", sign, d, m, s, *letter != '\0' ? " " : "", letter);
    return out;
}

double ToDegrees(std::string_view text, bool westOrSouth) {
    // Up to three numbers, whatever separates them.
    double parts[3] = {0, 0, 0};
    int count = 0;
    bool negative = westOrSouth;
    std::size_t i = 0;
    std::string number;
    while (i < text.size()) {
        const char c = text[i];
        const bool startsNumber =
            std::isdigit(static_cast<unsigned char>(c)) ||
            ((c == '.' || c == '-' || c == '+') && i + 1 < text.size() &&
             (std::isdigit(static_cast<unsigned char>(text[i + 1])) || text[i + 1] == '.'));
        if (startsNumber) {
            std::size_t j = i + 1;
            while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '.' ||
                                       text[j] == 'e' || text[j] == 'E'))
                ++j;
            number.assign(text.substr(i, j - i));
            char* end = nullptr;
            const double x = std::strtod(number.c_str(), &end);
            if (end == number.c_str()) return std::numeric_limits<double>::quiet_NaN();
            if (count < 3) parts[count++] = x;
            i = j;
            continue;
        }
        if (c == 'S' || c == 's' || c == 'W' || c == 'w') negative = true;
        ++i;
    }
    if (count == 0) return std::numeric_limits<double>::quiet_NaN();
    if (parts[0] < 0) {
        negative = true;
        parts[0] = -parts[0];
    }
    const double degrees = parts[0] + parts[1] / 60 + parts[2] / 3600;
    return negative ? -degrees : degrees;
}

std::string ConvertGpsTimeStamp(double h, double m, double s) {
    const double t = (h * 60 + m) * 60 + s;
    if (!std::isfinite(t) || t < 0 || t > 1e12) return "undef";
    double whole = std::floor(t);
    auto nanos = static_cast<long long>(std::llround((t - whole) * 1e9));
    if (nanos >= 1000000000) {
        nanos -= 1000000000;
        whole += 1;
    }
    const auto secs = static_cast<long long>(whole);
    std::string out;
    strprintf(out, "%02lld:%02lld:%02lld", secs / 3600, (secs / 60) % 60, secs % 60);
    if (nanos != 0) {
        std::string fraction;
        strprintf(fraction, ".%09lld", nanos);
        while (fraction.back() == '0') fraction.pop_back();
        out += fraction;
    }
    return out;
}

std::string ConvertGpsTimeStampList(const std::vector<double>& hms) {
    if (hms.size() != 3) throw ValueException();
    // Parts stored as 0/0 count as zero, as for a clock that was never set.
    const auto part = [](double x) { return std::isnan(x) ? 0.0 : x; };
    return ConvertGpsTimeStamp(part(hms[0]), part(hms[1]), part(hms[2]));
}

std::string PrintGpsTimeStamp(std::string text) {
    // The fractional seconds ":SS.fff" at the end of the text.
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || text.size() < colon + 5) return text;
    const std::string_view tail(text.data() + colon + 1, text.size() - colon - 1);
    if (!std::isdigit(static_cast<unsigned char>(tail[0])) ||
        !std::isdigit(static_cast<unsigned char>(tail[1])) || tail[2] != '.')
        return text;
    for (std::size_t k = 3; k < tail.size(); ++k)
        if (!std::isdigit(static_cast<unsigned char>(tail[k]))) return text;
    const double seconds = std::strtod(std::string(tail).c_str(), nullptr);
    std::string rounded;
    strprintf(rounded, "%05.2f", seconds);
    // Hundredths only when needed: "07.20" stays as ExifTool-style "07.2".
    while (rounded.back() == '0') rounded.pop_back();
    if (rounded.back() == '.') rounded.pop_back();
    text.replace(colon + 1, std::string::npos, rounded);
    return text;
}

}  // namespace meta::detail
