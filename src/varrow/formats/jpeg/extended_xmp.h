#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "varrow/api/export.h"

namespace meta {

// One XMP document that JPEG splits over APP1 extended-XMP segments.
struct ExtendedXmpDocument {
    struct Chunk {
        std::uint32_t offset = 0;
        std::string data;
    };

    std::uint32_t fullLength = 0;
    std::vector<Chunk> chunks;  // in arrival order
};

// Collects extended-XMP chunks by the GUID of their document and rebuilds
// each document once the walk is over.
class VARROW_API ExtendedXmpAssembler {
  public:
    // Larger documents are not taken: every document costs a buffer of its
    // declared length, whatever its chunks hold.
    static constexpr std::uint32_t kMaxFullLength = std::uint32_t{1} << 20;
    // Real files carry one or two documents; the cap bounds the work a file
    // of many tiny chunks with fresh GUIDs can cause.
    static constexpr std::size_t kMaxDocuments = 64;

    // The document of `guid`, created with `fullLength` when new; null when
    // the chunk must be skipped (length over the limit, a length differing
    // from the one first recorded, or too many documents).
    ExtendedXmpDocument* Document(std::string_view guid, std::uint32_t fullLength);

    // Documents by GUID, in ascending GUID order.
    std::map<std::string, ExtendedXmpDocument, std::less<>> const& Documents() const noexcept {
        return documents_;
    }

    // The document text: `fullLength` bytes, spaces where no chunk wrote.
    // Chunks are copied in arrival order, so a later one overwrites an
    // earlier one where they overlap. Nothing when any chunk runs past the
    // full length.
    static std::optional<std::string> Assemble(ExtendedXmpDocument const& document);

  private:
    std::map<std::string, ExtendedXmpDocument, std::less<>> documents_;
};

}  // namespace meta
