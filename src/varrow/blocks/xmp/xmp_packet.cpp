#include "varrow/blocks/xmp/xmp_packet.h"

#include <array>

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

}  // namespace

std::string_view FindPacket(std::string_view text) {
    if (text.starts_with(kPacketStart)) return text;
    std::size_t const at = text.substr(0, kPacketSearchSpan).find(kPacketStart);
    return at == std::string_view::npos ? text : text.substr(at);
}

std::string_view DropTrailer(std::string_view packet) {
    // XML holds no NUL. Writers pad packets with them, and damaged files
    // carry kilobytes of them, which the toolkit's parser crawls through.
    packet = packet.substr(0, packet.find('\0'));
    for (std::string_view const end : {std::string_view("</x:xmpmeta>"), std::string_view("</x:xapmeta>")}) {
        std::size_t const at = packet.rfind(end);
        if (at != std::string_view::npos) return packet.substr(0, at + end.size());
    }
    return packet;
}

std::optional<std::string> FindToolkitName(std::string_view packet) {
    // The attribute belongs to the x:xmpmeta start tag, which ends before
    // the RDF content starts.
    std::size_t meta = packet.find("xmpmeta");
    if (meta == std::string_view::npos) meta = packet.find("xapmeta");  // before XMP was named so
    if (meta == std::string_view::npos) return std::nullopt;
    std::size_t const tagEnd = packet.find('>', meta);
    std::string_view const tag =
        packet.substr(meta, tagEnd == std::string_view::npos ? std::string_view::npos : tagEnd - meta);
    for (std::string_view const name : {std::string_view(":xmptk"), std::string_view(":xaptk")}) {
        std::size_t at = tag.find(name);
        if (at == std::string_view::npos) continue;
        at += name.size();
        while (at < tag.size() && (tag[at] == ' ' || tag[at] == '\t' || tag[at] == '\r' || tag[at] == '\n'))
            ++at;
        if (at >= tag.size() || tag[at] != '=') continue;
        ++at;
        while (at < tag.size() && (tag[at] == ' ' || tag[at] == '\t' || tag[at] == '\r' || tag[at] == '\n'))
            ++at;
        if (at >= tag.size() || (tag[at] != '"' && tag[at] != '\'')) continue;
        char const quote = tag[at++];
        std::size_t const close = tag.find(quote, at);
        if (close == std::string_view::npos) continue;
        return ResolveEntities(tag.substr(at, close - at));
    }
    return std::nullopt;
}

}  // namespace meta::xmp
