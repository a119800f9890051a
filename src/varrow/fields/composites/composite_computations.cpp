#include "varrow/fields/composites/composite_computations.h"

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include "varrow/fields/composites/composite_inputs.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/conversions/exposure.h"
#include "varrow/values/conversions/gps.h"

namespace meta::composites {
namespace {

// A number as photographers read it: no trailing zeros after the point.
std::string Trimmed(std::string text) {
    if (text.find('.') == std::string::npos) return text;
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

// Degrees of a coordinate: a number as it is, three numbers as degrees,
// minutes and seconds.
std::optional<double> Degrees(Value const& value) {
    if (!value.Exists()) return std::nullopt;
    try {
        if (value.IsArray() || value.IsCollection()) {
            std::vector<double> const parts = value.Convert<std::vector<double>>();
            if (parts.size() == 3) return detail::DMSToDegrees(parts);
            if (parts.size() == 1) return parts.front();
            return std::nullopt;
        }
        return value.Convert<double>();
    } catch (std::exception const&) {
        return std::nullopt;
    }
}

// A hemisphere reference counts as negative when it starts with S or W.
bool NegativeReference(std::string const& reference) {
    return !reference.empty() && (reference.front() == 'S' || reference.front() == 'W' ||
                                  reference.front() == 's' || reference.front() == 'w');
}

Value Coordinate(Value const& refs) {
    Inputs const in(refs);
    std::optional<double> degrees = Degrees(in.GetValue(0));
    if (!degrees) degrees = Degrees(in.GetRaw(0));
    if (!degrees || !std::isfinite(*degrees)) return {};
    // A value already signed (from XMP, say) keeps its sign.
    if (*degrees > 0 && NegativeReference(in.RawText(1))) *degrees = -*degrees;
    return Value(*degrees);
}

std::string SubSeconds(std::string text) {
    std::size_t begin = 0;
    while (begin < text.size() && text[begin] == ' ') ++begin;
    text.erase(0, begin);
    for (char c : text) {
        if (c < '0' || c > '9') return {};
    }
    return text;
}

Value DateWithParts(std::string date, std::string const& subSeconds, std::string const& offset) {
    if (date.empty()) return {};
    if (std::string const digits = SubSeconds(subSeconds);
        !digits.empty() && date.size() >= 19 && date.find('.', 19) == std::string::npos) {
        date.insert(19, "." + digits);
    }
    if (!offset.empty() && date.size() >= 19) date += offset;
    return Value(std::move(date));
}

}  // namespace

// --- raw conversions ---------------------------------------------------------

Value Path(Value const&, ReadStore& store) {
    if (store.path.empty()) return {};
    return Value(store.path);
}

Value Model(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    return in.GetValue(0);
}

Value ImageSize(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    // Inputs: ImageWidth, ImageHeight, ExifImageWidth, ExifImageHeight, RawImageCroppedSize.
    if (std::string const cropped = in.RawText(4); !cropped.empty()) {
        std::string size = cropped;
        for (char& c : size) c = c == 'x' ? ' ' : c;
        return Value(size);
    }
    std::optional<double> const width = in.Number(0);
    std::optional<double> const height = in.Number(1);
    if (!width || !height) return {};
    return Value(FormatNumber("%.0f", *width) + " " + FormatNumber("%.0f", *height));
}

Value Megapixels(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    std::string const size = in.GetValue(0).ToString();
    unsigned long long width = 0;
    unsigned long long height = 0;
    char tail = 0;
    // The text of ImageSize: two whole numbers and nothing else.
    if (std::sscanf(size.c_str(), "%llu %llu%c", &width, &height, &tail) != 2) return {};
    return Value(static_cast<double>(width) * static_cast<double>(height) / 1e6);
}

Value ShutterSpeed(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    // Inputs: ExposureTime, ShutterSpeedValue, BulbDuration.
    if (std::optional<double> const bulb = in.Number(2); IsPositive(bulb)) return Value(*bulb);
    if (std::optional<double> const exposure = in.Number(0)) return Value(*exposure);
    if (std::optional<double> const speed = in.Number(1)) return Value(*speed);
    return {};
}

Value Aperture(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    // Inputs: FNumber, ApertureValue.
    if (std::optional<double> const f = in.Number(0); f && *f != 0) return Value(*f);
    if (std::optional<double> const a = in.Number(1); a && *a != 0) return Value(*a);
    return {};
}

Value LightValue(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    std::optional<double> const aperture = in.Number(0);
    std::optional<double> const time = in.Number(1);
    std::optional<double> const iso = in.Number(2);
    if (!aperture || !time || !iso) return {};
    double const lv = detail::CalculateLV(*aperture, *time, *iso);
    if (!std::isfinite(lv)) return {};
    return Value(lv);
}

Value FocalLength35efl(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    std::optional<double> const focal = in.Number(0);
    if (!focal) return {};
    std::optional<double> const scale = in.Number(1);
    if (!IsPositive(scale)) return Value(*focal);
    Value equivalent(*focal * *scale);
    // The display names both lengths; the value is the equivalent one.
    equivalent.AddQualifier("FocalLength", FormatNumber("%.17g", *focal));
    return equivalent;
}

Value CircleOfConfusion(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    std::optional<double> const scale = in.Number(0);
    if (!IsPositive(scale)) return {};
    return Value(kFullFrameDiagonal / (*scale * 1440));
}

Value HyperfocalDistance(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    std::optional<double> const focal = in.Number(0);
    std::optional<double> const aperture = in.Number(1);
    std::optional<double> const coc = in.Number(2);
    if (!IsPositive(focal) || !IsPositive(aperture) || !IsPositive(coc)) return {};
    return Value(*focal * *focal / (*aperture * *coc * 1000));
}

Value FieldOfView(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    // Inputs: FocalLength, ScaleFactor35efl, FocusDistance.
    std::optional<double> const focal = in.Number(0);
    std::optional<double> const scale = in.Number(1);
    if (!IsPositive(focal) || !IsPositive(scale)) return {};
    double const half = std::atan(18.0 / (*focal * *scale));
    double const degrees = 2 * half * 180 / std::numbers::pi;
    std::optional<double> const distance = in.Number(2);
    if (IsPositive(distance) && std::isfinite(*distance)) {
        return Value(std::vector<double>{degrees, 2 * *distance * std::tan(half)});
    }
    return Value(degrees);
}

Value GpsLatitude(Value const& refs, ReadStore&) {
    return Coordinate(refs);
}

Value GpsLongitude(Value const& refs, ReadStore&) {
    return Coordinate(refs);
}

Value GpsAltitude(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    std::optional<double> altitude = in.Number(0);
    if (!altitude) return {};
    std::optional<double> const reference = in.Number(1);
    if (reference && *reference == 1 && *altitude > 0) *altitude = -*altitude;
    return Value(*altitude);
}

Value GpsPosition(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    std::optional<double> const latitude = Degrees(in.GetValue(0));
    std::optional<double> const longitude = Degrees(in.GetValue(1));
    if (!latitude || !longitude) return {};
    return Value(std::vector<double>{*latitude, *longitude});
}

Value GpsDateTime(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    std::string const date = in.RawText(0);
    std::string time;
    try {
        std::vector<double> const hms = in.GetRaw(1).Convert<std::vector<double>>();
        time = detail::ConvertGpsTimeStampList(hms);
    } catch (std::exception const&) {
        time = in.RawText(1);
    }
    if (date.empty() && time.empty()) return {};
    return Value(date + " " + time + "Z");
}

Value SubSecDateTime(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    // A date stored as a count of seconds (a movie header's) is no date
    // text to extend.
    if (in.GetRaw(0).IsArithmetic() || in.GetRaw(0).IsArithmeticArray()) return {};
    return DateWithParts(in.RawText(0), in.RawText(1), in.RawText(2));
}

Value SubSecDateTimeWithZone(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    if (in.GetRaw(0).IsArithmetic() || in.GetRaw(0).IsArithmeticArray()) return {};
    std::string offset = in.RawText(3);
    if (offset.empty()) offset = in.RawText(1);
    return DateWithParts(in.RawText(0), in.RawText(2), offset);
}

// --- display conversions -----------------------------------------------------

Value ImageSizeDisplay(Value const& value, ReadStore&) {
    std::string text = value.ToString();
    for (char& c : text) c = c == ' ' ? 'x' : c;
    return Value(std::move(text));
}

std::string FormatMegapixels(double megapixels) {
    if (megapixels >= 1) return FormatNumber("%.1f", megapixels);
    if (megapixels >= 0.001) return FormatNumber("%.3f", megapixels);
    return FormatNumber("%.6f", megapixels);
}

Value MegapixelsDisplay(Value const& value, ReadStore&) {
    std::optional<double> const mp = NumberOf(value);
    if (!mp) return {};
    return Value(FormatMegapixels(*mp));
}

Value ExposureTimeDisplay(Value const& value, ReadStore&) {
    std::optional<double> const t = NumberOf(value);
    if (!t) return {};
    return Value(detail::ToExposureTimeString(*t));
}

Value ApertureDisplay(Value const& value, ReadStore&) {
    std::optional<double> const f = NumberOf(value);
    if (!f) return {};
    return Value(detail::ToFNumberString(*f));
}

Value OneDecimalDisplay(Value const& value, ReadStore&) {
    std::optional<double> const x = NumberOf(value);
    if (!x) return {};
    return Value(FormatNumber("%.1f", *x));
}

Value FocalLength35eflDisplay(Value const& value, ReadStore&) {
    std::optional<double> const length = NumberOf(value);
    if (!length) return {};
    if (!value.HasQualifier("FocalLength")) return Value(FormatNumber("%.1f mm", *length));
    double const actual = std::strtod(value.GetQualifier("FocalLength").GetText().c_str(), nullptr);
    return Value(FormatNumber("%.1f mm", actual) +
                 " (35 mm equivalent: " + FormatNumber("%.1f mm)", *length));
}

Value CircleOfConfusionDisplay(Value const& value, ReadStore&) {
    std::optional<double> const c = NumberOf(value);
    if (!c) return {};
    return Value(FormatNumber("%.3f mm", *c));
}

Value HyperfocalDistanceDisplay(Value const& value, ReadStore&) {
    std::optional<double> const d = NumberOf(value);
    if (!d) return {};
    return Value(FormatNumber("%.2f m", *d));
}

Value FieldOfViewDisplay(Value const& value, ReadStore&) {
    try {
        std::vector<double> const parts = value.Convert<std::vector<double>>();
        if (parts.empty()) return {};
        std::string text = FormatNumber("%.1f deg", parts[0]);
        if (parts.size() > 1) text += FormatNumber(" (%.2f m)", parts[1]);
        return Value(std::move(text));
    } catch (std::exception const&) {
        return {};
    }
}

Value LatitudeDisplay(Value const& value, ReadStore&) {
    std::optional<double> const d = NumberOf(value);
    if (!d) return {};
    return Value(
        detail::ToDMSString(*d, detail::DmsStringFormat::DegMinSec, detail::DmsStringDirection::Latitude));
}

Value LongitudeDisplay(Value const& value, ReadStore&) {
    std::optional<double> const d = NumberOf(value);
    if (!d) return {};
    return Value(
        detail::ToDMSString(*d, detail::DmsStringFormat::DegMinSec, detail::DmsStringDirection::Longitude));
}

Value GpsAltitudeDisplay(Value const& value, ReadStore&) {
    std::optional<double> const altitude = NumberOf(value);
    if (!altitude) return {};
    // Tenths, cut rather than rounded, as altimeters show them.
    double const tenths = std::trunc(std::fabs(*altitude) * 10) / 10;
    return Value(Trimmed(FormatNumber("%.1f", tenths)) +
                 (*altitude < 0 ? " m Below Sea Level" : " m Above Sea Level"));
}

Value GpsPositionDisplay(Value const& value, ReadStore&) {
    try {
        std::vector<double> const parts = value.Convert<std::vector<double>>();
        if (parts.size() != 2) return {};
        return Value(detail::ToDMSString(parts[0], detail::DmsStringFormat::DegMinSec,
                                         detail::DmsStringDirection::Latitude) +
                     ", " +
                     detail::ToDMSString(parts[1], detail::DmsStringFormat::DegMinSec,
                                         detail::DmsStringDirection::Longitude));
    } catch (std::exception const&) {
        return {};
    }
}

}  // namespace meta::composites
