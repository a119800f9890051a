#include "varrow/fields/composites/lens_properties.h"

#include <charconv>
#include <cstddef>
#include <utility>

namespace meta {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsAlnum(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

double ToNumber(std::string_view text) {
    double x = 0;
    auto const result = std::from_chars(text.data(), text.data() + text.size(), x);
    return result.ec == std::errc() ? x : 0;
}

// A number made of digits and a point that ends just before `end`; returns
// its first index, or npos.
std::size_t NumberBefore(std::string_view text, std::size_t end, double& value) {
    std::size_t start = end;
    bool digit = false;
    while (start > 0 && (IsDigit(text[start - 1]) || text[start - 1] == '.')) {
        digit = digit || IsDigit(text[start - 1]);
        --start;
    }
    if (!digit) return std::string_view::npos;
    while (start < end && text[start] == '.') ++start;
    value = ToNumber(text.substr(start, end - start));
    return start;
}

// A number that starts at `begin`; returns the index after it, or npos.
std::size_t NumberAfter(std::string_view text, std::size_t begin, double& value) {
    std::size_t end = begin;
    while (end < text.size() && (IsDigit(text[end]) || text[end] == '.')) ++end;
    if (end == begin || !IsDigit(text[begin])) return std::string_view::npos;
    while (end > begin && text[end - 1] == '.') --end;
    value = ToNumber(text.substr(begin, end - begin));
    return end;
}

std::size_t SkipSpacesBack(std::string_view text, std::size_t i) {
    while (i > 0 && text[i - 1] == ' ') --i;
    return i;
}

std::size_t SkipSpaces(std::string_view text, std::size_t i) {
    while (i < text.size() && text[i] == ' ') ++i;
    return i;
}

// "A-B" or "A" starting at `begin`; returns the index after it, or npos.
std::size_t RangeAfter(std::string_view text, std::size_t begin, double& low, double& high) {
    std::size_t end = NumberAfter(text, begin, low);
    if (end == std::string_view::npos) return end;
    high = low;
    std::size_t const dash = SkipSpaces(text, end);
    if (dash < text.size() && text[dash] == '-') {
        double second = 0;
        std::size_t const after = NumberAfter(text, SkipSpaces(text, dash + 1), second);
        if (after != std::string_view::npos) {
            high = second;
            end = after;
        }
    }
    return end;
}

struct Found {
    double low = 0;
    double high = 0;
    std::size_t end = std::string_view::npos;
};

Found FocalWithUnit(std::string_view text) {
    for (std::size_t p = text.find("mm"); p != std::string_view::npos; p = text.find("mm", p + 2)) {
        double high = 0;
        std::size_t const start = NumberBefore(text, SkipSpacesBack(text, p), high);
        if (start == std::string_view::npos) continue;
        double low = high;
        std::size_t const dash = SkipSpacesBack(text, start);
        if (dash > 0 && text[dash - 1] == '-') {
            double first = 0;
            if (NumberBefore(text, SkipSpacesBack(text, dash - 1), first) != std::string_view::npos)
                low = first;
        }
        return {low, high, p + 2};
    }
    return {};
}

Found BareFocal(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!IsDigit(text[i]) || (i > 0 && text[i - 1] != ' ')) continue;
        Found found;
        std::size_t const end = RangeAfter(text, i, found.low, found.high);
        if (end == std::string_view::npos) continue;
        if (end < text.size() && text[end] != ' ') continue;
        found.end = end;
        return found;
    }
    return {};
}

Found Aperture(std::string_view text, std::size_t from, bool bare) {
    Found found;
    if (bare) {
        std::size_t const end = RangeAfter(text, SkipSpaces(text, from), found.low, found.high);
        if (end != std::string_view::npos) {
            found.end = end;
            return found;
        }
    }
    for (std::size_t i = from; i < text.size(); ++i) {
        char const c = text[i];
        bool const freeStanding =
            i == 0 || !IsAlnum(text[i - 1]) || (i >= 2 && text.substr(i - 2, 2) == "mm");
        if (!freeStanding) continue;
        std::size_t number = std::string_view::npos;
        if (c == 'f' || c == 'F') {
            number = i + 1;
            if (number < text.size() && text[number] == '/') ++number;
        } else if (c == '1' && i + 1 < text.size() && text[i + 1] == ':') {
            number = i + 2;
        }
        if (number == std::string_view::npos || number >= text.size() || !IsDigit(text[number])) continue;
        std::size_t const end = RangeAfter(text, number, found.low, found.high);
        if (end == std::string_view::npos) continue;
        found.end = end;
        return found;
    }
    return {};
}

}  // namespace

LensProperties::LensProperties(std::string_view name, bool bareFocalLength, bool bareAperture) {
    Found focal = FocalWithUnit(name);
    if (focal.end == std::string_view::npos && bareFocalLength) focal = BareFocal(name);
    std::size_t apertureFrom = 0;
    if (focal.end != std::string_view::npos && focal.low > 0 && focal.high > 0) {
        if (focal.low > focal.high) std::swap(focal.low, focal.high);
        minFocal_ = focal.low;
        maxFocal_ = focal.high;
        apertureFrom = focal.end;
    }
    // "f/0" and "f/?" stand for an unknown aperture; no lens is faster than
    // f/0.3 or as slow as f/100 at full aperture.
    Found const aperture = Aperture(name, apertureFrom, bareAperture && HasFocalLength());
    if (aperture.end != std::string_view::npos && aperture.low >= 0.3 && aperture.high >= 0.3 &&
        aperture.low < 100 && aperture.high < 100) {
        apertureWide_ = aperture.low;
        apertureTele_ = aperture.high;
    }
}

}  // namespace meta
