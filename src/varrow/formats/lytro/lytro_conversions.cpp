#include "varrow/formats/lytro/lytro_conversions.h"

#include <cmath>
#include <optional>
#include <string>

#include "varrow/values/conversions/exposure.h"
#include "varrow/values/string_format.h"
#include "varrow/values/value_converter.h"

namespace meta::detail {

namespace {

// The number a scalar holds; text is not taken as a number, so a camera that
// wrote "n/a" keeps its text.
std::optional<double> Number(Value const& v) {
    if (!v.IsArithmetic()) return std::nullopt;
    try {
        double const d = v.Convert<double>();
        if (std::isfinite(d)) return d;
    } catch (ValueException const&) {
    }
    return std::nullopt;
}

template <class... Args>
Value Formatted(char const* format, Args... args) {
    std::string out;
    if (!strprintf(out, format, args...)) return Value();
    return Value(std::move(out));
}

}  // namespace

Value LytroMetresToMm(Value const& v, ReadStore&) {
    auto const d = Number(v);
    return d ? Value(*d * 1000.0) : Value();
}

Value LytroPitchToResolution(Value const& v, ReadStore&) {
    auto const d = Number(v);
    if (!d || *d == 0.0) return Value();
    return Value(25.4 / (*d * 1000.0));
}

Value LytroZuluTime(Value const& v, ReadStore&) {
    if (v.GetType() != Value::Type::String) return Value();
    std::string text = v.Get<std::string>();
    // Only a date that starts the text the ISO way is rewritten.
    auto const digits = [&text](std::size_t from, std::size_t n) {
        for (std::size_t i = from; i < from + n; ++i) {
            if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
        }
        return true;
    };
    if (digits(0, 4) && text.size() > 7 && text[4] == '-' && digits(5, 2) && text[7] == '-') {
        text[4] = ':';
        text[7] = ':';
        if (text.size() > 10 && text[10] == 'T') text[10] = ' ';
    }
    return Value(std::move(text));
}

Value LytroFocalLengthText(Value const& v, ReadStore&) {
    auto const d = Number(v);
    return d ? Formatted("%.1f mm", *d) : Value();
}

Value LytroTemperatureText(Value const& v, ReadStore&) {
    auto const d = Number(v);
    return d ? Formatted("%.1f C", *d) : Value();
}

Value LytroExposureBiasText(Value const& v, ReadStore&) {
    auto const d = Number(v);
    return d ? Formatted("%+.1f", *d) : Value();
}

Value LytroExposureTimeText(Value const& v, ReadStore&) {
    auto const d = Number(v);
    return d ? Value(ToExposureTimeString(*d)) : Value();
}

Value LytroFNumberText(Value const& v, ReadStore&) {
    auto const d = Number(v);
    return d ? Value(ToFNumberString(*d)) : Value();
}

}  // namespace meta::detail
