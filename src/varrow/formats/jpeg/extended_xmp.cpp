#include "varrow/formats/jpeg/extended_xmp.h"

#include <algorithm>

namespace meta {

ExtendedXmpDocument* ExtendedXmpAssembler::Document(std::string_view guid, std::uint32_t fullLength) {
    if (fullLength > kMaxFullLength) return nullptr;
    if (auto it = documents_.find(guid); it != documents_.end()) {
        return it->second.fullLength == fullLength ? &it->second : nullptr;
    }
    if (documents_.size() >= kMaxDocuments) return nullptr;
    ExtendedXmpDocument& document = documents_[std::string(guid)];
    document.fullLength = fullLength;
    return &document;
}

std::optional<std::string> ExtendedXmpAssembler::Assemble(ExtendedXmpDocument const& document) {
    // Check before allocating: a bad chunk discards the whole document.
    for (auto const& chunk : document.chunks) {
        if (chunk.data.size() > document.fullLength ||
            chunk.offset > document.fullLength - chunk.data.size()) {
            return std::nullopt;
        }
    }
    std::string text(document.fullLength, ' ');
    for (auto const& chunk : document.chunks) {
        std::copy(chunk.data.begin(), chunk.data.end(), text.begin() + chunk.offset);
    }
    return text;
}

}  // namespace meta
