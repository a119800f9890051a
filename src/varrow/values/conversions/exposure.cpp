#include "varrow/values/conversions/exposure.h"

#include <cmath>
#include <sstream>

#include "varrow/values/string_format.h"
#include "varrow/values/value_converter.h"

namespace meta::detail {

namespace {

// First element of an array or list, else the value itself.
double FirstAsDouble(const Value& v) {
    if (v.IsArray()) {
        const auto all = v.Convert<std::vector<double>>();
        if (all.empty()) throw ValueException();
        return all.front();
    }
    if (v.Exists(Value::Type::Sequence) || v.Exists(Value::Type::Set)) return v.at(0).Convert<double>();
    return v.Convert<double>();
}

std::string Printf(const char* format, double x) {
    std::string out;
    strprintf(out, format, x);
    return out;
}

// Texts for numbers that have no digits.
const char* NonFiniteText(double x) {
    return std::isnan(x) ? "undef" : "inf";
}

}  // namespace

std::string ToExposureTimeString(double t) {
    if (!std::isfinite(t)) return NonFiniteText(t);
    if (t > 0 && t < 0.25001) {
        std::string out;
        strprintf(out, "1/%.0f", std::round(1.0 / t));
        return out;
    }
    if (t == std::trunc(t) && std::fabs(t) < 1e15) {
        std::string out;
        strprintf(out, "%lld", static_cast<long long>(t));
        return out;
    }
    return Printf("%.1f", t);
}

std::string ValToExposureTimeString(const Value& v) {
    return ToExposureTimeString(FirstAsDouble(v));
}

std::string ToFNumberString(double f) {
    if (!std::isfinite(f)) return NonFiniteText(f);
    if (f == 0) return "0";
    return Printf(f < 1 ? "%.2f" : "%.1f", f);
}

std::string ValToFNumberString(const Value& v) {
    return ToFNumberString(FirstAsDouble(v));
}

std::string ToFractionString(double x) {
    if (!std::isfinite(x)) return NonFiniteText(x);
    // Nudged up so that values stored as 0.333 still print as thirds.
    const double v = x * 1.00001;
    if (v == 0) return "0";
    std::string out;
    for (int d = 1; d <= 3; ++d) {
        const double scaled = v * d;
        const double whole = std::trunc(scaled);
        if (whole / scaled > 0.999) {
            strprintf(out, d == 1 ? "%+.0f" : "%+.0f/%d", whole, d);
            return out;
        }
    }
    return Printf("%+.3g", v);
}

std::string ToFocusDistanceString(double d) {
    if (d > 655.345) return "inf";
    std::ostringstream os;
    os << d << " m";
    return std::move(os).str();
}

std::string ValToFocusDistanceString(const Value& v) {
    if (!v.Exists()) return "0";
    return ToFocusDistanceString(FirstAsDouble(v));
}

std::string ToRoundedString(double x) {
    return std::to_string(std::round(x));
}

std::string ToTemperatureString(int c) {
    return std::to_string(c) + " C";
}

std::string ToNumericalParameterString(int v) {
    if (v == 0) return "Normal";
    if (v >= 65521) v -= 65536;
    std::string out;
    strprintf(out, "%+d", v);
    return out;
}

double CalculateLV(double a, double b, double c) {
    if (a == 0 || b == 0 || c == 0) return std::nan("");
    return std::log2(a * a * 100 / (b * c));
}

double ApexToFNumber(double v) {
    return std::exp2(v / 2);
}

double ApexToExposureTime(double v) {
    return std::fabs(v) < 100 ? std::exp2(-v) : 0.0;
}

}  // namespace meta::detail
