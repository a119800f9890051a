#include "varrow/formats/bmp/bmp_processor.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <istream>
#include <optional>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

ProcessorRegistration<BmpProcessor> const kRegistration("BMP document");

constexpr std::size_t kHeaderSize = 26;  // through the height field

std::int32_t SignedLittleEndian32(std::array<char, kHeaderSize> const& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return static_cast<std::int32_t>(v);
}

}  // namespace

ReadResult BmpProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& /*store*/,
                              Metadata& metadata, FieldGroup group) {
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);

    std::istream& in = source.Yield();
    std::array<char, kHeaderSize> header{};
    if (!in.read(header.data(), static_cast<std::streamsize>(header.size()))) return ReadResult::Error;
    if (header[0] != 'B' || header[1] != 'M') return ReadResult::Error;

    std::int32_t const width = SignedLittleEndian32(header, 18);
    std::int32_t const height = SignedLittleEndian32(header, 22);
    // |INT32_MIN| does not fit an int32_t, but does fit the unsigned item.
    auto const absHeight = static_cast<std::uint32_t>(std::llabs(static_cast<long long>(height)));

    bool ok = metadata.Add(FieldGroup::Bmp, "ImageWidth", Value(static_cast<std::uint32_t>(width)),
                           ValueAffinity::Display);
    ok = metadata.Add(FieldGroup::Bmp, "ImageHeight", Value(absHeight), ValueAffinity::Display) && ok;
    return ok ? ReadResult::Success : ReadResult::Error;
}

}  // namespace meta
