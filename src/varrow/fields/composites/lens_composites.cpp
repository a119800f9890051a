#include "varrow/fields/composites/lens_composites.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "varrow/fields/composites/composite_inputs.h"
#include "varrow/fields/composites/lens_identification.h"
#include "varrow/fields/composites/lens_properties.h"
#include "varrow/processors/read_store.h"

namespace meta::composites {
namespace {

// What a lens type shows when the camera could not tell.
bool UnknownLensText(std::string const& text) {
    return text.empty() || text == "n/a" || text == "None" || text.rfind("Unknown", 0) == 0;
}

std::string Text(Value const& value) {
    if (!value.Exists()) return {};
    if (value.GetType() == Value::Type::String) return value.Get<std::string>();
    return value.ToExifToolString();
}

// The candidates for a lens type: the maker's table when one is registered,
// else the lens names the type's display already carries.
std::vector<std::string> Candidates(ReadStore const& store, std::string const& code,
                                    std::string const& shown) {
    if (detail::LensTable const table = detail::FindLensTable(store.make)) return table(code);
    std::vector<std::string> names;
    for (std::string& name : detail::SplitLensAlternatives(shown)) {
        if (LensProperties(name).HasFocalLength()) names.push_back(std::move(name));
    }
    return names;
}

// Lens model texts that name a lens rather than a camera module or a code.
bool NamesALens(std::string const& text) {
    if (text.find("mm") != std::string::npos) return true;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        if (text[i] == '/' && text[i + 1] == 'F' && text[i - 1] >= '0' && text[i - 1] <= '9') return true;
    }
    return false;
}

std::string HexBytes(std::vector<unsigned> const& bytes) {
    std::string out;
    char buffer[4];
    for (unsigned b : bytes) {
        std::snprintf(buffer, sizeof buffer, "%.2X", b & 0xffu);
        if (!out.empty()) out += ' ';
        out += buffer;
    }
    return out;
}

// "Unknown (92 37 2D 88 2C 40 4B 0E) 18-250mm".
std::string UnknownCode(std::string const& code, std::string const& range) {
    std::string text = "Unknown (" + code + ")";
    if (!range.empty()) text += " " + range;
    return text;
}

}  // namespace

Value LensId(Value const& refs, ReadStore& store) {
    Inputs const in(refs);
    std::string const code = in.RawText(0);
    std::string const shown = Text(in.GetDisplay(0));
    detail::LensData data;
    data.focalLength = in.Number(1);
    data.maxAperture = in.Number(2) ? in.Number(2) : in.Number(3);
    data.minFocalLength = in.Number(4);
    data.maxFocalLength = in.Number(5);
    if (!IsPositive(data.minFocalLength) || !IsPositive(data.maxFocalLength)) {
        // A lens focal range item ("18-55mm") stands in for the two lengths.
        LensProperties const range(Text(in.GetDisplay(7)), true);
        if (range.HasFocalLength()) {
            data.minFocalLength = range.GetMinFocalLength();
            data.maxFocalLength = range.GetMaxFocalLength();
        }
    }
    data.model = in.RawText(6);
    std::vector<std::string> const candidates = Candidates(store, code, shown);
    if (candidates.empty() && !UnknownLensText(shown)) return {};
    std::string name = detail::PrintLensID(candidates, data);
    if (name.empty()) return {};
    return Value(std::move(name));
}

Value LensIdFromModel(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    if (in.Has(2)) return {};
    for (std::size_t i : {std::size_t{0}, std::size_t{1}}) {
        std::string const text = in.RawText(i);
        if (NamesALens(text)) return Value(detail::NormaliseLensName(text));
    }
    return {};
}

Value NikonLensId(Value const& refs, ReadStore& store) {
    if (!MakeMatches(store, "Nikon")) return {};
    Inputs const in(refs);
    std::vector<unsigned> bytes;
    for (std::size_t i = 0; i < 8; ++i) {
        if (!in.Has(i)) continue;
        std::optional<double> const b = NumberOf(in.GetRaw(i));
        if (!b || *b < 0 || *b > 255) return {};
        bytes.push_back(static_cast<unsigned>(*b));
    }
    std::string const code = HexBytes(bytes);
    detail::LensData data;
    data.minFocalLength = in.Number(2);
    data.maxFocalLength = in.Number(3);
    std::vector<std::string> candidates;
    if (detail::LensTable const table = detail::FindLensTable(store.make)) candidates = table(code);
    if (candidates.empty()) {
        return Value(UnknownCode(code, detail::FocalRangeText(data.minFocalLength, data.maxFocalLength)));
    }
    return Value(detail::PrintLensID(candidates, data));
}

Value RicohLensId(Value const& refs, ReadStore& store) {
    if (!MakeMatches(store, "Ricoh")) return {};
    Inputs const in(refs);
    // The firmware text starts with the lens code ("RL5 ...").
    std::string const firmware = in.RawText(0);
    std::string code;
    for (char c : firmware) {
        bool const alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alnum) break;
        code += c;
    }
    if (code.empty()) return {};
    if (detail::LensTable const table = detail::FindLensTable(store.make)) {
        std::vector<std::string> const names = table(code);
        if (!names.empty()) return Value(detail::PrintLensID(names, {}));
    }
    return Value(UnknownCode(code, {}));
}

Value XmpLensId(Value const& refs, ReadStore&) {
    Inputs const in(refs);
    std::string const id = in.RawText(0);
    std::string const make = in.RawText(1);
    // Only a number is a maker's lens code.
    char* end = nullptr;
    errno = 0;
    long long const number = std::strtoll(id.c_str(), &end, 10);
    if (id.empty() || end == nullptr || *end != '\0' || errno != 0) return {};
    detail::LensData data;
    LensProperties const info(Text(in.GetDisplay(2)));
    if (info.HasFocalLength()) {
        data.minFocalLength = info.GetMinFocalLength();
        data.maxFocalLength = info.GetMaxFocalLength();
    }
    data.focalLength = in.Number(3);
    data.model = in.RawText(4);
    if (data.model.empty()) data.model = in.RawText(6);
    data.maxAperture = in.Number(5);
    std::string code = id;
    bool const nikonBytes = StartsWithIgnoringCase(make, "Nikon") && (number > 0xffff || number < 0);
    if (nikonBytes) {
        // Nikon writes its eight lens data bytes as one signed 64-bit number.
        auto const bits = static_cast<std::uint64_t>(number);
        std::vector<unsigned> bytes;
        for (int shift = 56; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<unsigned>((bits >> shift) & 0xff));
        code = HexBytes(bytes);
    }
    std::vector<std::string> candidates;
    if (detail::LensTable const table = detail::FindLensTable(make)) candidates = table(code);
    if (candidates.empty()) {
        if (!nikonBytes) return {};
        return Value(UnknownCode(code, detail::FocalRangeText(data.minFocalLength, data.maxFocalLength)));
    }
    return Value(detail::PrintLensID(candidates, data));
}

Value CanonLens(Value const& refs, ReadStore& store) {
    if (!MakeMatches(store, "Canon")) return {};
    Inputs const in(refs);
    std::optional<double> const shortest = in.Number(0);
    std::optional<double> const longest = in.Number(1);
    if (!IsPositive(shortest) || !IsPositive(longest)) return {};
    return Value(std::vector<double>{*shortest, *longest});
}

Value NikonLensSpec(Value const& refs, ReadStore& store) {
    if (!MakeMatches(store, "Nikon")) return {};
    Inputs const in(refs);
    // Nikon's Lens item holds four rationals; an XMP Lens text is not it.
    if (in.GetRaw(0).GetType() != Value::Type::FractionArray) return {};
    std::string lens = Text(in.GetDisplay(0));
    if (lens.empty()) return {};
    if (std::string const type = Text(in.GetDisplay(1)); !type.empty()) lens += " " + type;
    return Value(std::move(lens));
}

Value CanonLensDisplay(Value const& value, ReadStore&) {
    try {
        std::vector<double> const lengths = value.Convert<std::vector<double>>();
        if (lengths.size() != 2) return {};
        if (lengths[0] == lengths[1]) return Value(FormatNumber("%.1f mm", lengths[0]));
        return Value(FormatNumber("%.1f", lengths[0]) + " - " + FormatNumber("%.1f mm", lengths[1]));
    } catch (std::exception const&) {
        return {};
    }
}

}  // namespace meta::composites
