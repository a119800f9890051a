#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "varrow/api/export.h"

namespace meta {

// Collects the pieces of an ICC profile that JPEG spreads over APP2
// segments ("ICC_PROFILE\0", sequence number, chunk count, bytes) and joins
// them once the walk is over.
class VARROW_API IccChunkAssembler {
  public:
    // False, and nothing kept, when an earlier chunk announced a different
    // count. A count of 0 counts as no announcement.
    bool Add(std::uint8_t sequence, std::uint8_t count, std::string_view bytes);

    bool Empty() const noexcept { return chunks_.empty(); }
    std::uint8_t AcceptedCount() const noexcept { return count_; }

    // The chunks in ascending sequence order, or nothing when the numbering
    // has a gap. Chunks sharing a number were already joined in arrival
    // order; the first number is free, a chunk after number 0 is not
    // checked, and the announced count is not compared with the number of
    // chunks (writers get it wrong often enough).
    std::optional<std::string> Assemble() const;

  private:
    std::map<unsigned, std::string> chunks_;
    std::uint8_t count_ = 0;
};

}  // namespace meta
