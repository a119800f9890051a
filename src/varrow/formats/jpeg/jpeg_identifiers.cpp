#include "varrow/formats/jpeg/jpeg_identifiers.h"

namespace meta::detail {

bool StartsWithSignature(std::string_view bytes, std::string_view signature) noexcept {
    if (bytes.size() < signature.size()) return false;
    for (std::size_t i = 0; i < signature.size(); ++i) {
        if (signature[i] != '.' && signature[i] != bytes[i]) return false;
    }
    return true;
}

bool ContainsSignature(std::string_view bytes, std::string_view signature) noexcept {
    for (std::size_t at = 0; at + signature.size() <= bytes.size(); ++at) {
        if (StartsWithSignature(bytes.substr(at), signature)) return true;
    }
    return false;
}

bool IsXmpPacketStart(std::string_view first9) noexcept {
    if (first9.size() < 9) return false;
    std::string_view const four = first9.substr(0, 4);
    return four == "http" || four == std::string_view("XMP\0", 4) || first9.substr(0, 6) == "<exif:" ||
           first9.substr(0, 9) == "<?xpacket";
}

}  // namespace meta::detail
