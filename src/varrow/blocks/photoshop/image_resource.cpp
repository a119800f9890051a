#include "varrow/blocks/photoshop/image_resource.h"

#include <array>

namespace meta::detail {

namespace {

constexpr std::string_view kPhotoshopSignature = "8BIM";
constexpr std::array<std::string_view, 5> kSignatures = {kPhotoshopSignature, "PHUT", "DCSR", "AgHg", "MeSa"};

std::uint32_t Byte(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

}  // namespace

bool IsImageResourceSignature(std::string_view four) noexcept {
    for (std::string_view const signature : kSignatures) {
        if (four == signature) return true;
    }
    return false;
}

ImageResourceParse ParseImageResourceHeader(std::string_view block, std::size_t at,
                                            ImageResourceHeader& header) noexcept {
    // Signature, id and name length.
    if (at > block.size() || block.size() - at < 7) return ImageResourceParse::Truncated;
    std::string_view const signature = block.substr(at, 4);
    if (!IsImageResourceSignature(signature)) return ImageResourceParse::NotAResource;
    header.photoshop = signature == kPhotoshopSignature;
    header.id = static_cast<std::uint16_t>(Byte(block, at + 4) << 8 | Byte(block, at + 5));
    std::size_t const nameLength = Byte(block, at + 6);
    // Length byte and name take an even number of bytes.
    std::size_t const sizeAt = at + 7 + nameLength + (nameLength % 2 == 0 ? 1 : 0);
    if (sizeAt > block.size() || block.size() - sizeAt < 4) return ImageResourceParse::Truncated;
    header.dataSize = Byte(block, sizeAt) << 24 | Byte(block, sizeAt + 1) << 16 |
                      Byte(block, sizeAt + 2) << 8 | Byte(block, sizeAt + 3);
    header.dataStart = sizeAt + 4;
    return ImageResourceParse::Ok;
}

}  // namespace meta::detail
