#pragma once

// Tone curves stored as flat lists of input/output pairs.

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace meta::detail {

// "(0,0) (64,80) (255,255)"; an odd last number is written alone.
template <typename T>
std::string ToneCurvePrint(const std::vector<T>& points) {
    static_assert(std::is_same_v<T, std::uint16_t> || std::is_same_v<T, std::uint32_t>);
    std::string out;
    out.reserve(points.size() * 6);
    for (std::size_t i = 0; i < points.size(); i += 2) {
        if (!out.empty()) out += ' ';
        if (i + 1 < points.size()) {
            out += '(';
            out += std::to_string(points[i]);
            out += ',';
            out += std::to_string(points[i + 1]);
            out += ')';
        } else {
            out += std::to_string(points[i]);
        }
    }
    return out;
}

}  // namespace meta::detail
