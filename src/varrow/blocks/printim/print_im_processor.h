#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"
#include "varrow/values/byte_order.h"

namespace meta {

// One setting of a Print Image Matching block: a 16-bit id and its 32-bit
// value. The ids are the printer makers' own; none is documented publicly.
struct PrintImEntry {
    std::uint16_t id = 0;
    std::uint32_t value = 0;
};

struct PrintImBlock {
    std::string version;
    std::vector<PrintImEntry> entries;
};

// Parses a block: "PrintIM\0", a 4-character version, two reserved bytes, a
// 16-bit entry count and 6-byte entries, in the byte order of the directory
// that holds the block. Writers disagree on that order now and then, so a
// count that does not fit the block is tried in the other order. Empty for
// anything that is not such a block.
VARROW_API std::optional<PrintImBlock> ParsePrintIm(std::string_view data, ByteOrder order);

// "PrintIM_0x0101": the name of an entry, as photo tools show unnamed ones.
VARROW_API std::string PrintImEntryName(std::uint16_t id);

// Reads the Print Image Matching block that the PrintIM tag (0xc4a5) of a
// TIFF directory holds, adding "PrintIMVersion" and one item per entry to
// group PrintIm.
class VARROW_API PrintImProcessor : public Processor {
  public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;
};

}  // namespace meta
