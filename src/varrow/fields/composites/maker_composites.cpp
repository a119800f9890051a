#include "varrow/fields/composites/maker_composites.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "varrow/fields/composites/composite_inputs.h"

namespace meta::composites {
namespace {

bool Panasonic(ReadStore const& store) {
    return MakeMatches(store, "Panasonic") || MakeMatches(store, "Leica");
}

bool AllDigits(std::string const& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// The stored number of a setting: enumerations show words.
std::optional<double> Code(Inputs const& in, std::size_t i) {
    if (auto n = NumberOf(in.GetRaw(i))) return n;
    return NumberOf(in.GetValue(i));
}

Value Difference(Value const& refs) {
    Inputs const in(refs);
    std::optional<double> const first = Code(in, 0);
    std::optional<double> const second = Code(in, 1);
    if (!first || !second || *second <= *first) return {};
    return Value(static_cast<std::int64_t>(*second - *first));
}

// Applied when the setting is `on`, not applied when it is 0; anything else
// (Sony's 0xffffffff for n/a) says nothing.
Value Applied(std::optional<double> setting, double on) {
    if (!setting) return {};
    if (*setting == on) return Value(true);
    if (*setting == 0) return Value(false);
    return {};
}

}  // namespace

Value CanonIso(Value const& refs, ReadStore& store) {
    if (!MakeMatches(store, "Canon")) return {};
    Inputs const in(refs);
    std::string shown = in.GetDisplay(0).Exists() ? in.GetDisplay(0).ToExifToolString() : std::string();
    if (AllDigits(shown)) return Value(std::strtod(shown.c_str(), nullptr));
    std::optional<double> const base = in.Number(1);
    std::optional<double> const automatic = in.Number(2);
    if (!base || !automatic || !std::isfinite(*base * *automatic)) return {};
    return Value(std::round(*base * *automatic / 100));
}

Value PanasonicImageWidth(Value const& refs, ReadStore& store) {
    if (!Panasonic(store)) return {};
    return Difference(refs);
}

Value PanasonicImageHeight(Value const& refs, ReadStore& store) {
    if (!Panasonic(store)) return {};
    return Difference(refs);
}

Value SonyFocusDistance(Value const& refs, ReadStore& store) {
    if (!MakeMatches(store, "Sony")) return {};
    Inputs const in(refs);
    std::optional<double> const position = Code(in, 0);
    std::optional<double> const focal = in.Number(1);
    if (!position) return {};
    if (*position == 255) return Value(std::numeric_limits<double>::infinity());
    if (!IsPositive(focal)) return {};
    return Value((std::exp2(*position / 16 - 5) + 1) * *focal / 1000);
}

Value FocusDistanceDisplay(Value const& value, ReadStore&) {
    std::optional<double> const d = NumberOf(value);
    if (!d) return {};
    if (std::isinf(*d)) return Value("inf");
    return Value(FormatNumber("%.4g m", *d));
}

Value NikonVignettingCorrectionApplied(Value const& refs, ReadStore& store) {
    if (!MakeMatches(store, "Nikon")) return {};
    Inputs const in(refs);
    std::optional<double> const control = Code(in, 0);
    if (!control) return {};
    return Value(*control != 0);
}

Value SonyVignettingCorrectionApplied(Value const& refs, ReadStore& store) {
    if (!MakeMatches(store, "Sony")) return {};
    Inputs const in(refs);
    return Applied(Code(in, 0), 2);
}

Value SonyChromaticAberrationCorrectionApplied(Value const& refs, ReadStore& store) {
    if (!MakeMatches(store, "Sony")) return {};
    Inputs const in(refs);
    std::optional<double> setting = Code(in, 0);
    if (!setting) setting = Code(in, 1);
    return Applied(setting, 2);
}

Value SonyDistortionCorrectionApplied(Value const& refs, ReadStore& store) {
    if (!MakeMatches(store, "Sony")) return {};
    Inputs const in(refs);
    if (std::optional<double> const result = Code(in, 0)) return Applied(result, 1);
    return Applied(Code(in, 1), 2);
}

Value LensDistortionKnown(Value const& refs, ReadStore& store) {
    if (!Panasonic(store)) return {};
    Inputs const in(refs);
    std::optional<double> const correction = Code(in, 0);
    if (!correction) return {};
    return Value(*correction == 1);
}

Value LensDistortionParameter(Value const& refs, ReadStore& store) {
    if (!Panasonic(store)) return {};
    Inputs const in(refs);
    std::optional<double> const parameter = in.Number(0);
    if (!parameter || !std::isfinite(*parameter)) return {};
    return Value(*parameter);
}

Value YesNoDisplay(Value const& value, ReadStore&) {
    if (value.GetType() != Value::Type::Bool) return {};
    return Value(value.Get<bool>() ? "Yes" : "No");
}

}  // namespace meta::composites
