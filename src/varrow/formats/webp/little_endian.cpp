#include "varrow/formats/webp/little_endian.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace meta::detail {

std::string FormatPlayTime(double seconds) {
    if (!std::isfinite(seconds)) return {};
    if (seconds == 0) return "0 s";
    char const* sign = seconds < 0 ? "-" : "";
    double const magnitude = std::fabs(seconds);
    char text[64];
    if (magnitude < 30) {
        std::snprintf(text, sizeof text, "%s%.2f s", sign, magnitude);
        return text;
    }
    // Whole seconds, rounded; long runs cannot overflow a 64-bit count.
    auto total = static_cast<unsigned long long>(std::min(magnitude + 0.5, 1e18));
    unsigned long long const s = total % 60;
    total /= 60;
    unsigned long long const m = total % 60;
    unsigned long long h = total / 60;
    if (h > 24) {
        unsigned long long const days = h / 24;
        h %= 24;
        std::snprintf(text, sizeof text, "%s%llu days %llu:%02llu:%02llu", sign, days, h, m, s);
    } else {
        std::snprintf(text, sizeof text, "%s%llu:%02llu:%02llu", sign, h, m, s);
    }
    return text;
}

}  // namespace meta::detail
