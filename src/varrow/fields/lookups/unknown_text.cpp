#include "varrow/fields/lookups/unknown_text.h"

#include <charconv>
#include <system_error>

namespace meta::detail {
namespace {

constexpr std::string_view kOpening = "Unknown (";

bool IsDecimal(char c) noexcept {
    return c >= '0' && c <= '9';
}
bool IsHex(char c) noexcept {
    return IsDecimal(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

template <typename Predicate>
bool AllOf(std::string_view s, Predicate predicate) noexcept {
    if (s.empty()) return false;
    for (char c : s) {
        if (!predicate(c)) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string_view> MatchUnknownText(std::string_view text) noexcept {
    if (text.size() < kOpening.size() + 2 || text.substr(0, kOpening.size()) != kOpening ||
        text.back() != ')') {
        return std::nullopt;
    }
    const std::string_view inner = text.substr(kOpening.size(), text.size() - kOpening.size() - 1);
    if (inner.size() > 2 && inner[0] == '0' && inner[1] == 'x' && AllOf(inner.substr(2), IsHex)) return inner;
    if (AllOf(inner, IsDecimal)) return inner;
    return std::nullopt;
}

std::optional<std::uint64_t> ParseUnknownText(std::string_view text) noexcept {
    const auto inner = MatchUnknownText(text);
    if (!inner) return std::nullopt;
    const bool hex = inner->size() > 2 && (*inner)[1] == 'x';
    const std::string_view digits = hex ? inner->substr(2) : *inner;
    std::uint64_t number = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), number, hex ? 16 : 10);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return number;
}

}  // namespace meta::detail
