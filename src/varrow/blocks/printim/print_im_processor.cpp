#include "varrow/blocks/printim/print_im_processor.h"

#include <algorithm>
#include <array>
#include <optional>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/blocks/printim/print_im_metadatum.h"
#include "varrow/fields/table_keys.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

ProcessorRegistration<PrintImProcessor> const registration("PrintIM");

constexpr std::string_view kSignature{"PrintIM\0", 8};
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kEntrySize = 6;

std::uint32_t Unsigned(std::string_view data, std::size_t at, std::size_t size, ByteOrder order) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        std::size_t const index = order == ByteOrder::BigEndian ? at + i : at + size - 1 - i;
        value = (value << 8) | static_cast<unsigned char>(data[index]);
    }
    return value;
}

ByteOrder Other(ByteOrder order) {
    return order == ByteOrder::BigEndian ? ByteOrder::LittleEndian : ByteOrder::BigEndian;
}

}  // namespace

std::optional<PrintImBlock> ParsePrintIm(std::string_view data, ByteOrder order) {
    if (data.size() < kHeaderSize || data.substr(0, kSignature.size()) != kSignature) return std::nullopt;
    std::size_t const room = (data.size() - kHeaderSize) / kEntrySize;
    std::size_t count = Unsigned(data, 14, 2, order);
    if (count > room) {
        order = Other(order);
        count = Unsigned(data, 14, 2, order);
        if (count > room) return std::nullopt;
    }
    PrintImBlock block;
    block.version.assign(data.substr(8, 4));
    block.entries.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t const at = kHeaderSize + i * kEntrySize;
        block.entries.push_back(
            {static_cast<std::uint16_t>(Unsigned(data, at, 2, order)), Unsigned(data, at + 2, 4, order)});
    }
    return block;
}

std::string PrintImEntryName(std::uint16_t id) {
    return "PrintIM_" + detail::FormatTagId(id);
}

ReadResult PrintImProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store,
                                  Metadata& metadata, FieldGroup group) {
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);
    // A block handed over on its own stream arrives unprovisioned.
    if (source.GetBytesProvisioned() == 0 && !source.ProvisionRemainingData()) return ReadResult::Error;
    if (!source) return ReadResult::Error;

    std::string_view data = source.AsStringView(true);
    std::size_t const usable = source.GetBytesUsable(true);
    std::size_t const cursor = static_cast<std::size_t>(std::max<std::streamoff>(source.GetBufferPos(), 0));
    if (usable >= cursor) data = data.substr(0, usable - cursor);

    std::optional<PrintImBlock> const block = ParsePrintIm(data, store->byteOrder);
    if (!block) return ReadResult::Error;
    metadata.Add(FieldGroup::PrintIm, "PrintIMVersion", Value(block->version), ValueAffinity::Display);
    FieldNamespace const ns = GetGroupNamespace(FieldGroup::PrintIm);
    for (PrintImEntry const& entry : block->entries) {
        metadata.Add<PrintImMetadatum>(UserKey{ns, FieldGroup::PrintIm, PrintImEntryName(entry.id)},
                                       entry.value);
    }
    return ReadResult::Success;
}

}  // namespace meta
