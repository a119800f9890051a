#include "varrow/formats/png/png_text.h"

#include <algorithm>
#include <array>
#include <utility>

namespace meta::detail {
namespace {

// The keywords with names of their own (the others are made from the text).
constexpr std::array<std::pair<std::string_view, std::string_view>, 28> kNamedKeywords{{
    {"Artist", "Artist"},
    {"Author", "Author"},
    {"Collection", "Collection"},
    {"Comment", "Comment"},
    {"Copyright", "Copyright"},
    {"Creation Time", "CreationTime"},
    {"Description", "Description"},
    {"Disclaimer", "Disclaimer"},
    {"Document", "Document"},
    {"Label", "Label"},
    {"Make", "Make"},
    {"Model", "Model"},
    {"Software", "Software"},
    {"Source", "Source"},
    {"TimeStamp", "TimeStamp"},
    {"Title", "Title"},
    {"URL", "URL"},
    {"Warning", "PNGWarning"},
    {"create-date", "CreateDate"},
    {"modify-date", "ModDate"},
    {"Raw profile type 8bim", "Photoshop_Profile"},
    {"Raw profile type APP1", "APP1_Profile"},
    {"Raw profile type exif", "EXIF_Profile"},
    {"Raw profile type icc", "ICC_Profile"},
    {"Raw profile type icm", "ICC_Profile"},
    {"Raw profile type iptc", "IPTC_Profile"},
    {"Raw profile type xmp", "XMP_Profile"},
    {"XML:com.adobe.xmp", "XMP"},
}};

constexpr bool IsAsciiLower(char c) {
    return c >= 'a' && c <= 'z';
}
constexpr bool IsNameCharacter(char c) {
    return IsAsciiLower(c) || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}
constexpr bool IsRegexSpace(char c) {
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

std::string PngTextItemName(std::string_view keyword) {
    for (auto const& [text, name] : kNamedKeywords) {
        if (text == keyword) return std::string(name);
    }
    std::string name;
    name.reserve(keyword.size());
    bool wordStart = true;
    for (char c : keyword) {
        if (c == ' ') {
            wordStart = true;
            continue;
        }
        if (!IsNameCharacter(c)) continue;
        if (wordStart && IsAsciiLower(c)) c = static_cast<char>(c - 'a' + 'A');
        wordStart = false;
        name.push_back(c);
    }
    if (!name.empty() && IsAsciiLower(name.front()))
        name.front() = static_cast<char>(name.front() - 'a' + 'A');
    return name;
}

std::string XmpDateAsExif(std::string_view text) {
    std::string out(text);
    // YYYY-MM-DD, optionally followed by Thh:mm...
    auto digitsAt = [&](std::size_t from, std::size_t count) {
        if (from + count > out.size()) return false;
        for (std::size_t i = from; i < from + count; ++i) {
            if (!IsDigit(out[i])) return false;
        }
        return true;
    };
    if (!digitsAt(0, 4) || out.size() < 10 || out[4] != '-' || !digitsAt(5, 2) || out[7] != '-' ||
        !digitsAt(8, 2)) {
        return out;
    }
    out[4] = ':';
    out[7] = ':';
    if (out.size() > 10 && out[10] == 'T') out[10] = ' ';
    return out;
}

std::string Latin1ToUtf8(std::string_view text) {
    auto const high = static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }));
    if (high == 0) return std::string(text);
    std::string out;
    out.reserve(text.size() + high);
    for (char c : text) {
        auto const u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
    return out;
}

std::optional<RawProfileHeader> SplitRawProfile(std::string_view text) {
    if (text.empty() || text.front() != '\n') return std::nullopt;
    std::size_t i = 1;
    while ((i = text.find('\n', i)) != std::string_view::npos) {
        // The length line: white space, digits, a line feed. White space and
        // digits never overlap, so the first digit ends the white space.
        std::size_t j = i + 1;
        while (j < text.size() && IsRegexSpace(text[j])) ++j;
        std::size_t k = j;
        while (k < text.size() && IsDigit(text[k])) ++k;
        if (k > j && k < text.size() && text[k] == '\n') {
            return RawProfileHeader{text.substr(1, i - 1), text.substr(j, k - j), k + 1};
        }
        // Every line feed in the white space just crossed leads to the same
        // failed length line: go on after it.
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
