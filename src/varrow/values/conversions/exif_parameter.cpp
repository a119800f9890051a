#include "varrow/values/conversions/exif_parameter.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace meta::detail {

namespace {

bool IsWordChar(char c) noexcept {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// A word (start of text or after a non-word character) beginning with one of
// `letters`, compared without case.
bool HasWordStarting(std::string_view text, std::string_view letters) noexcept {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && IsWordChar(text[i - 1])) continue;
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        if (letters.find(c) != std::string_view::npos) return true;
    }
    return false;
}

}  // namespace

std::uint32_t ConvertExifParameter(std::string_view text) {
    if (HasWordStarting(text, "n")) return 0;
    if (HasWordStarting(text, "sl")) return 1;
    if (HasWordStarting(text, "h")) return 2;
    const std::string copy(text);
    char* end = nullptr;
    const double x = std::strtod(copy.c_str(), &end);
    if (end == copy.c_str()) return 4294967295U;
    if (x == 0) return 0;
    return x < 0 ? 1 : 2;
}

}  // namespace meta::detail
