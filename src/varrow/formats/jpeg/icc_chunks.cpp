#include "varrow/formats/jpeg/icc_chunks.h"

namespace meta {

bool IccChunkAssembler::Add(std::uint8_t sequence, std::uint8_t count, std::string_view bytes) {
    if (count_ != 0 && count != count_) return false;
    chunks_[sequence].append(bytes);
    count_ = count;
    return true;
}

std::optional<std::string> IccChunkAssembler::Assemble() const {
    std::size_t total = 0;
    unsigned previous = 0;
    bool first = true;
    for (auto const& [sequence, bytes] : chunks_) {
        if (!first && previous != 0 && sequence != previous + 1) return std::nullopt;
        first = false;
        previous = sequence;
        total += bytes.size();
    }
    std::string profile;
    profile.reserve(total);
    for (auto const& entry : chunks_) profile += entry.second;
    return profile;
}

}  // namespace meta
