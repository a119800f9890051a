#include "varrow/values/conversions/canon.h"

#include <cmath>
#include <cstdlib>

namespace meta::detail {

std::string ToCanonCameraISOString(int v) {
    if (v == 32767) return "Auto High";
    if ((v & 0x4000) != 0) return std::to_string(v & 0x3fff);
    if (v >= 21) return std::to_string(v);
    switch (v) {
        case 14: return "Auto High";
        case 15: return "Auto";
        case 16: return "50";
        case 17: return "100";
        case 18: return "200";
        case 19: return "400";
        case 20: return "800";
        default: break;
    }
    return "Unknown (" + std::to_string(v) + ")";
}

double CanonEv(int v) {
    const int a = std::abs(v);
    const int remainder = a % 32;
    double f = remainder;
    if (remainder == 12) f = 32.0 / 3;
    if (remainder == 20) f = 64.0 / 3;
    const double ev = (static_cast<double>(a - remainder) + f) / 32;
    return v < 0 ? -ev : ev;
}

double CanonExposureTimeConv(std::uint8_t v) {
    return std::exp(4 * std::log(2.0) * (1 - CanonEv(static_cast<int>(v) - 24)));
}

double CanonIsoConv(std::uint8_t v) {
    return 100 * std::exp2(static_cast<double>(v) / 8 - 9);
}

double CanonFNumberConv(std::uint8_t v) {
    return std::exp2((static_cast<double>(v) - 8) / 16);
}

std::string ToCanonColorCalibString(const std::vector<std::int16_t>& record) {
    std::string out;
    for (std::int16_t x : record) {
        if (!out.empty()) out += ' ';
        out += std::to_string(x);
    }
    return out;
}

double CanonCalcSensorDiag(const Fraction& xResolution, const Fraction& yResolution) {
    // Canon writes the focal plane resolution as pixels*1000 over the sensor
    // side in thousandths of an inch; only then do the denominators measure
    // the sensor. No sensor side reaches 1.5 inches (full frame is 1.42), and
    // a denominator of exactly 1000 is a plain resolution kept to three
    // decimals.
    auto side = [](const Fraction& f) -> double {
        if (f.numerator <= 0 || f.numerator % 1000 != 0) return std::nan("");
        if (f.denominator <= 0 || f.denominator >= 1500 || f.denominator == 1000) return std::nan("");
        return static_cast<double>(f.denominator);
    };
    const double x = side(xResolution);
    const double y = side(yResolution);
    if (std::isnan(x) || std::isnan(y)) return std::nan("");
    return std::hypot(x, y) / 1000 * 25.4;
}

}  // namespace meta::detail
