#include "varrow/formats/bmp/bmp_processor.h"

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string_view>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

ProcessorRegistration<BmpProcessor> const kRegistration("BMP document");

constexpr std::size_t kHeadSize = 18;   // through the info-header size
constexpr std::size_t kSizeFields = 8;  // width and height

std::uint32_t LittleEndian32(std::array<char, kSizeFields> const& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 4; i-- > 0;) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

}  // namespace

ReadResult BmpProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& /*store*/,
                              Metadata& metadata, FieldGroup group) {
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);

    std::istream& in = source.Yield();
    std::array<char, kHeadSize> head{};
    if (!in.read(head.data(), static_cast<std::streamsize>(head.size())) || head[0] != 'B' || head[1] != 'M')
        return ReadResult::Error;
    std::array<char, kSizeFields> sizes{};
    if (!in.read(sizes.data(), static_cast<std::streamsize>(sizes.size()))) return ReadResult::Error;

    auto const width = static_cast<std::int32_t>(LittleEndian32(sizes, 0));
    auto const height = static_cast<std::int32_t>(LittleEndian32(sizes, 4));
    // A top-down bitmap stores a negative height. Negating in unsigned
    // arithmetic keeps |INT32_MIN| exact.
    auto const absHeight =
        height < 0 ? 0u - static_cast<std::uint32_t>(height) : static_cast<std::uint32_t>(height);
    bool ok = metadata.Add(FieldGroup::Bmp, "ImageWidth", static_cast<std::uint32_t>(width),
                           ValueAffinity::Display);
    ok = metadata.Add(FieldGroup::Bmp, "ImageHeight", absHeight, ValueAffinity::Display) && ok;
    return ok ? ReadResult::Success : ReadResult::Error;
}

}  // namespace meta
