#include "varrow/blocks/iptc/iptc_text_encoding.h"

#include <array>
#include <cstdint>

#include "varrow/util/encoding.h"

namespace meta::detail {

namespace {

// Code points of bytes 0x80 to 0x9F; the rest of the upper half is Latin-1.
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (char c : text) {
        auto const b = static_cast<unsigned char>(c);
        std::uint32_t const cp = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80U] : b;
        AppendUtf8(out, cp);
    }
    return out;
}

std::string IptcTextToUtf8(std::string text) {
    if (strings::IsValidUtf8(text)) return text;
    return Windows1252ToUtf8(text);
}

}  // namespace meta::detail
