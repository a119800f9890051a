#include "varrow/fields/canon_vrd_conversions.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>

namespace meta::detail {

std::string ToCanonVrdVersionString(std::uint64_t version) {
    std::string const digits = std::to_string(version);
    if (digits.size() < 3) return digits;
    std::string out;
    out.reserve(digits.size() + 2);
    out += digits.front();
    out += '.';
    out.append(digits, 1, digits.size() - 2);
    out += '.';
    out += digits.back();
    return out;
}

std::string ToCanonVrdCurvePointsString(const std::vector<std::uint64_t>& values) {
    if (values.empty()) return {};
    std::size_t const stored = (values.size() - 1) / 2;
    std::size_t const points = static_cast<std::size_t>(std::min<std::uint64_t>(values[0], stored));
    std::string out;
    out.reserve(points * 10);
    for (std::size_t i = 0; i < points; ++i) {
        if (i != 0) out += ' ';
        out += '(';
        out += std::to_string(values[1 + 2 * i]);
        out += ',';
        out += std::to_string(values[2 + 2 * i]);
        out += ')';
    }
    return out;
}

std::string ToCanonVrdPercentString(double ratio) {
    std::array<char, 48> buffer{};
    // Out-of-range ratios (garbage records) must not overflow the buffer or
    // turn into undefined integer conversions, so print the double directly.
    int const n = std::snprintf(buffer.data(), buffer.size(), "%.0f%%", ratio * 100.0);
    if (n < 0 || static_cast<std::size_t>(n) >= buffer.size()) return std::to_string(ratio * 100.0) + "%";
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

std::string ToCanonVrdSignedThousandthsString(double value) {
    std::array<char, 48> buffer{};
    int const n = std::snprintf(buffer.data(), buffer.size(), "%+.3f", value);
    if (n < 0 || static_cast<std::size_t>(n) >= buffer.size()) return std::to_string(value);
    return std::string(buffer.data(), static_cast<std::size_t>(n));
}

}  // namespace meta::detail
