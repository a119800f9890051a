#include "varrow/blocks/xmp/xmp_packet.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <utility>

namespace meta::xmp {

namespace {

constexpr std::string_view kPacketStart = "<?xpacket";

// The five predefined entities; anything else stays as written.
std::string ResolveEntities(std::string_view text) {
    static constexpr std::array<std::pair<std::string_view, char>, 5> kEntities = {
        {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}}};
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        bool replaced = false;
        if (text[i] == '&') {
            for (auto const& [entity, c] : kEntities) {
                if (text.substr(i, entity.size()) == entity) {
                    out += c;
                    i += entity.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) out += text[i++];
    }
    return out;
}

// The ASCII characters of XML names; a prefix made of others is not looked for.
bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The quoted value of the attribute whose name ends at `at` + `nameSize` in
// `text`, entities resolved; nothing when `at` is npos or no value follows.
std::optional<std::string> AttributeValue(std::string_view text, std::size_t at, std::size_t nameSize) {
    if (at == std::string_view::npos) return std::nullopt;
    at += nameSize;
    while (at < text.size() && IsXmlSpace(text[at])) ++at;
    if (at >= text.size() || text[at] != '=') return std::nullopt;
    ++at;
    while (at < text.size() && IsXmlSpace(text[at])) ++at;
    if (at >= text.size() || (text[at] != '"' && text[at] != '\'')) return std::nullopt;
    char const quote = text[at++];
    std::size_t const close = text.find(quote, at);
    if (close == std::string_view::npos) return std::nullopt;
    return ResolveEntities(text.substr(at, close - at));
}

enum class Wide { Utf16BE, Utf16LE, Utf32BE, Utf32LE };

std::size_t UnitSize(Wide encoding) {
    return encoding == Wide::Utf16BE || encoding == Wide::Utf16LE ? 2 : 4;
}

std::uint32_t ReadUnit(std::string_view text, std::size_t at, Wide encoding) {
    auto byte = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(text[at + i]));
    };
    switch (encoding) {
        case Wide::Utf16BE: return byte(0) << 8 | byte(1);
        case Wide::Utf16LE: return byte(1) << 8 | byte(0);
        case Wide::Utf32BE: return byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
        case Wide::Utf32LE: break;
    }
    return byte(3) << 24 | byte(2) << 16 | byte(1) << 8 | byte(0);
}

// ASCII text in a wide encoding, for searching.
std::string Widen(std::string_view ascii, Wide encoding) {
    std::size_t const size = UnitSize(encoding);
    bool const bigEndian = encoding == Wide::Utf16BE || encoding == Wide::Utf32BE;
    std::string out(ascii.size() * size, '\0');
    for (std::size_t i = 0; i < ascii.size(); ++i) out[i * size + (bigEndian ? size - 1 : 0)] = ascii[i];
    return out;
}

void AppendUtf8(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string ToUtf8(std::string_view text, Wide encoding) {
    constexpr std::uint32_t kReplacement = 0xFFFD;
    std::size_t const size = UnitSize(encoding);
    std::string out;
    out.reserve(text.size() / size + text.size() / 4);
    for (std::size_t at = 0; at + size <= text.size(); at += size) {
        std::uint32_t c = ReadUnit(text, at, encoding);
        if (c == 0) break;
        if (size == 2 && c >= 0xD800 && c <= 0xDFFF) {
            std::uint32_t const low = at + 2 * size <= text.size() ? ReadUnit(text, at + size, encoding) : 0;
            if (c <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                at += size;
            } else {
                c = kReplacement;
            }
        } else if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

}  // namespace

std::optional<std::string> TranscodeWidePacket(std::string_view text) {
    static constexpr std::pair<std::string_view, Wide> kMarks[] = {
        {std::string_view("\0\0\xFE\xFF", 4), Wide::Utf32BE},
        {std::string_view("\xFF\xFE\0\0", 4), Wide::Utf32LE},
        {std::string_view("\xFE\xFF", 2), Wide::Utf16BE},
        {std::string_view("\xFF\xFE", 2), Wide::Utf16LE}};
    // Every wide encoding of '<' holds a NUL byte, and 8-bit packets start
    // without one (or their byte order mark); that settles the usual case.
    std::string_view const head = text.substr(0, 4);
    bool const marked = std::any_of(std::begin(kMarks), std::end(kMarks),
                                    [&](auto const& mark) { return text.starts_with(mark.first); });
    if (!marked && head.find('\0') == std::string_view::npos) return std::nullopt;
    // Binary bytes before an 8-bit packet are not a wide text.
    if (text.substr(0, kPacketSearchSpan).find(kPacketStart) != std::string_view::npos) return std::nullopt;
    for (auto const& [mark, encoding] : kMarks) {
        if (text.starts_with(mark)) return ToUtf8(text.substr(mark.size()), encoding);
    }
    for (Wide const encoding : {Wide::Utf32BE, Wide::Utf32LE, Wide::Utf16BE, Wide::Utf16LE}) {
        std::string_view const span = text.substr(0, kPacketSearchSpan * UnitSize(encoding));
        for (std::string_view const marker :
             {kPacketStart, std::string_view("<x:xmpmeta"), std::string_view("<rdf:RDF")}) {
            std::size_t const at = span.find(Widen(marker, encoding));
            // A match off the unit grid belongs to another encoding.
            if (at != std::string_view::npos && at % UnitSize(encoding) == 0) {
                return ToUtf8(text.substr(at), encoding);
            }
        }
    }
    return std::nullopt;
}

std::string_view FindPacket(std::string_view text) {
    if (text.starts_with(kPacketStart)) return text;
    std::size_t const at = text.substr(0, kPacketSearchSpan).find(kPacketStart);
    return at == std::string_view::npos ? text : text.substr(at);
}

std::size_t FindLastTag(std::string_view text, std::string_view tag) {
    // The same answer as text.rfind(tag) for a tag starting with '<', but
    // the kilobytes of padding behind a packet's closing tag are stepped
    // over a character at a time instead of compared at every position.
    if (tag.empty() || tag.size() > text.size()) return std::string_view::npos;
    for (std::size_t at = text.size() - tag.size() + 1; at-- > 0;) {
        if (text[at] == tag.front() && text.compare(at, tag.size(), tag) == 0) return at;
    }
    return std::string_view::npos;
}

std::string_view DropTrailer(std::string_view packet) {
    // XML holds no NUL. Writers pad packets with them, and damaged files
    // carry kilobytes of them, which the toolkit's parser crawls through.
    packet = packet.substr(0, packet.find('\0'));
    for (std::string_view const end : {std::string_view("</x:xmpmeta>"), std::string_view("</x:xapmeta>")}) {
        std::size_t const at = FindLastTag(packet, end);
        if (at != std::string_view::npos) return packet.substr(0, at + end.size());
    }
    return packet;
}

std::optional<std::string> FindToolkitName(std::string_view packet) {
    // The attribute belongs to the x:xmpmeta start tag, which ends before
    // the RDF content starts. Mentions of the element elsewhere (comments)
    // are passed over: only "<prefix:xmpmeta" starts it.
    for (std::string_view const element : {std::string_view(":xmpmeta"), std::string_view(":xapmeta")}) {
        for (std::size_t at = packet.find(element); at != std::string_view::npos;
             at = packet.find(element, at + 1)) {
            std::size_t start = at;
            while (start > 0 && IsNameChar(packet[start - 1])) --start;
            if (start == 0 || start == at || packet[start - 1] != '<') continue;
            std::size_t const tagEnd = packet.find('>', at);
            std::string_view const tag =
                packet.substr(at, tagEnd == std::string_view::npos ? std::string_view::npos : tagEnd - at);
            for (std::string_view const name : {std::string_view(":xmptk"), std::string_view(":xaptk")}) {
                if (std::optional<std::string> value = AttributeValue(tag, tag.find(name), name.size()))
                    return value;
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::string> FindAboutName(std::string_view packet) {
    // Early writers left the attribute unqualified (about='...').
    static constexpr std::string_view kAbout = "about";
    for (std::size_t at = packet.find(kAbout); at != std::string_view::npos;
         at = packet.find(kAbout, at + 1)) {
        bool const qualified = at >= 4 && packet.substr(at - 4, 4) == "rdf:";
        if (!qualified && (at == 0 || !IsXmlSpace(packet[at - 1]))) continue;
        std::optional<std::string> value = AttributeValue(packet, at, kAbout.size());
        if (value && !value->empty()) return value;
    }
    return std::nullopt;
}

}  // namespace meta::xmp
