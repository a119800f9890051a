#include "varrow/fields/composites/lens_identification.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <utility>

#include "varrow/fields/composites/composite_inputs.h"
#include "varrow/fields/composites/lens_properties.h"

namespace meta::detail {
namespace {

struct Registered {
    std::string prefix;
    LensTable table;
};

std::vector<Registered>& Registry() {
    static std::vector<Registered> registry;
    return registry;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Lens names round their focal lengths: 1 mm or 3 %, whichever is more.
bool SameFocal(double named, double recorded) {
    return std::fabs(named - recorded) <= std::max(1.0, 0.03 * recorded);
}

using composites::IsPositive;

bool FocalRangeFits(LensProperties const& lens, LensData const& data, double factor) {
    if (IsPositive(data.minFocalLength) && IsPositive(data.maxFocalLength)) {
        return SameFocal(lens.GetMinFocalLength() * factor, *data.minFocalLength) &&
               SameFocal(lens.GetMaxFocalLength() * factor, *data.maxFocalLength);
    }
    if (IsPositive(data.focalLength)) {
        double const tolerance = std::max(1.0, 0.03 * *data.focalLength);
        return *data.focalLength >= lens.GetMinFocalLength() * factor - tolerance &&
               *data.focalLength <= lens.GetMaxFocalLength() * factor + tolerance;
    }
    return false;
}

bool ApertureFits(LensProperties const& lens, LensData const& data) {
    if (!IsPositive(data.maxAperture) || !lens.HasMaxAperture()) return true;
    double const fastest = std::min(lens.GetMaxApertureWide(), lens.GetMaxApertureTele());
    double const slowest = std::max(lens.GetMaxApertureWide(), lens.GetMaxApertureTele());
    return *data.maxAperture >= fastest - 0.15 && *data.maxAperture <= slowest + 0.15;
}

bool Fits(std::string_view candidate, LensData const& data) {
    LensProperties const lens(candidate);
    return lens.HasFocalLength() && FocalRangeFits(lens, data, 1.0) && ApertureFits(lens, data);
}

std::string Join(std::vector<std::string> const& names) {
    std::string out;
    for (std::string const& name : names) {
        if (!out.empty()) out += " or ";
        out += name;
    }
    return out;
}

std::string Squeezed(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '/') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

void RegisterLensTable(std::string_view makePrefix, LensTable table) {
    std::vector<Registered>& registry = Registry();
    for (Registered& entry : registry) {
        if (entry.prefix == makePrefix) {
            entry.table = table;
            return;
        }
    }
    registry.push_back({std::string(makePrefix), table});
}

LensTable FindLensTable(std::string_view make) {
    if (make.empty()) return nullptr;
    for (Registered const& entry : Registry()) {
        if (composites::StartsWithIgnoringCase(make, entry.prefix)) return entry.table;
    }
    return nullptr;
}

bool MatchLensModel(std::string_view candidate, std::string_view model) {
    std::string const wanted = Squeezed(model);
    if (wanted.empty()) return false;
    return Squeezed(candidate).find(wanted) != std::string::npos;
}

std::vector<std::string> MatchLensModel(std::vector<std::string> const& candidates, std::string_view model) {
    std::vector<std::string> named;
    for (std::string const& candidate : candidates) {
        if (MatchLensModel(candidate, model)) named.push_back(candidate);
    }
    return named;
}

std::optional<std::string> LensWithTC(std::string_view candidate, LensData const& data) {
    LensProperties const lens(candidate);
    if (!lens.HasFocalLength()) return std::nullopt;
    for (double factor : {1.4, 1.7, 2.0}) {
        if (!FocalRangeFits(lens, data, factor)) continue;
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, " + %gx", factor);
        return std::string(candidate) + suffix;
    }
    return std::nullopt;
}

std::string PrintLensID(std::vector<std::string> const& candidates, LensData const& data) {
    if (candidates.empty()) {
        std::string range = FocalRangeText(data.minFocalLength, data.maxFocalLength);
        if (range.empty()) return {};
        return "Unknown " + range;
    }
    if (candidates.size() == 1) return candidates.front();
    std::vector<std::string> pool = candidates;
    LensData known = data;
    if (!data.model.empty()) {
        std::vector<std::string> named = MatchLensModel(pool, data.model);
        if (named.size() == 1) return named.front();
        if (!named.empty()) pool = std::move(named);
        // A model text written differently still tells the focal range.
        LensProperties const model(data.model);
        if (model.HasFocalLength() &&
            !(IsPositive(known.minFocalLength) && IsPositive(known.maxFocalLength))) {
            known.minFocalLength = model.GetMinFocalLength();
            known.maxFocalLength = model.GetMaxFocalLength();
        }
        if (model.HasFixedMaxAperture() && !IsPositive(known.maxAperture)) {
            known.maxAperture = model.GetMaxApertureWide();
        }
    }
    std::vector<std::string> fitting;
    for (std::string const& candidate : pool) {
        if (Fits(candidate, known)) fitting.push_back(candidate);
    }
    if (!fitting.empty()) return Join(fitting);
    for (std::string const& candidate : pool) {
        if (std::optional<std::string> withConverter = LensWithTC(candidate, known)) return *withConverter;
    }
    return Join(pool);
}

std::string FocalRangeText(std::optional<double> minFocal, std::optional<double> maxFocal) {
    if (!IsPositive(minFocal) && !IsPositive(maxFocal)) return {};
    double const low = IsPositive(minFocal) ? *minFocal : *maxFocal;
    double const high = IsPositive(maxFocal) ? *maxFocal : low;
    if (low > 1e6 || high > 1e6) return {};
    auto const whole = [](double x) { return std::to_string(static_cast<long long>(x)); };
    if (whole(low) == whole(high)) return whole(low) + "mm";
    return whole(low) + "-" + whole(high) + "mm";
}

std::string NormaliseLensName(std::string_view name) {
    std::string out;
    out.reserve(name.size() + 2);
    for (std::size_t i = 0; i < name.size(); ++i) {
        char const c = name[i];
        bool const afterDigit = !out.empty() && IsDigit(out.back());
        if (c == ' ' && afterDigit) {
            std::size_t next = i;
            while (next < name.size() && name[next] == ' ') ++next;
            if (name.substr(next, 2) == "mm") {
                i = next - 1;  // "100.0 mm": the unit joins the number
                continue;
            }
            if (next < name.size() && name[next] == '-') {
                std::size_t after = next + 1;
                while (after < name.size() && name[after] == ' ') ++after;
                if (after < name.size() && IsDigit(name[after])) {
                    out += '-';  // "18.0 - 55.0": a range without gaps
                    i = after - 1;
                    continue;
                }
            }
        }
        out += c;
        // "XF50mmF2": the aperture is a word of its own.
        if (c == 'm' && i + 2 < name.size() && name[i + 1] == 'F' && IsDigit(name[i + 2]) && i >= 2 &&
            name[i - 1] == 'm' && IsDigit(name[i - 2])) {
            out += ' ';
        }
    }
    return out;
}

std::vector<std::string> SplitLensAlternatives(std::string_view text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    for (;;) {
        std::size_t const split = text.find(" or ", start);
        std::string_view const part =
            text.substr(start, split == std::string_view::npos ? std::string_view::npos : split - start);
        if (!part.empty()) names.emplace_back(part);
        if (split == std::string_view::npos) break;
        start = split + 4;
    }
    return names;
}

}  // namespace meta::detail
