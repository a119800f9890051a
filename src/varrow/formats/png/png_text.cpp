#include "varrow/formats/png/png_text.h"

#include <algorithm>

namespace meta::detail {
namespace {

// The characters \s stands for in the pattern.
constexpr bool IsPatternSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<RawProfileHeader> SplitRawProfile(std::string_view text) {
    // (?:.|\s) takes any character, so the lazy name is the shortest run
    // that a length line follows. For a given line feed the rest matches in
    // one way only: \s* must stop where the white space stops (a digit
    // cannot be white space) and \d+ where the digits stop (a digit is not
    // a line feed).
    if (text.empty() || text.front() != '\n') return std::nullopt;
    std::size_t i = 1;
    while ((i = text.find('\n', i)) != std::string_view::npos) {
        std::size_t j = i + 1;
        while (j < text.size() && IsPatternSpace(text[j])) ++j;
        std::size_t k = j;
        while (k < text.size() && IsDigit(text[k])) ++k;
        if (k > j && k < text.size() && text[k] == '\n') {
            return RawProfileHeader{text.substr(1, i - 1), text.substr(j, k - j), k + 1};
        }
        // Every line feed inside the white space just crossed leads to the
        // same failed length line: go on after it.
        i = std::max(i + 1, j);
    }
    return std::nullopt;
}

bool DecodeRawProfileHex(std::string_view hex, std::string& bytes) {
    bytes.clear();
    bytes.reserve(hex.size() / 2);
    int high = -1;
    for (char c : hex) {
        if (c == '\0' || c == '\n' || c == '\r') continue;
        int const v = HexValue(c);
        if (v < 0) return false;
        if (high < 0) {
            high = v;
        } else {
            bytes.push_back(static_cast<char>(high << 4 | v));
            high = -1;
        }
    }
    return true;
}

}  // namespace meta::detail
