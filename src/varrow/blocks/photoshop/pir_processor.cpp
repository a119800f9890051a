#include "varrow/blocks/photoshop/pir_processor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <typeinfo>

#include "varrow/api/structural_map.h"
#include "varrow/blocks/icc/icc_profile_processor.h"
#include "varrow/blocks/photoshop/image_resource.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"
#include "varrow/processors/record_processors.h"

namespace meta {

namespace {

ProcessorRegistration<PirProcessor> const kRegistration("Photoshop Image Resources");

constexpr std::uint16_t kResolutionInfo = 1005;

// A resource handed to another reader. Readers that live in other folders
// are found by their registered names, so this walk does not depend on
// their headers and simply skips what is not linked in.
struct ResourceReader {
    std::uint16_t id;
    std::type_info const* type;  // null: found by `name`
    char const* name;
    FieldGroup group;
};

std::array<ResourceReader, 5> const kReaders = {{
    {kResolutionInfo, &typeid(BinaryProcessor), nullptr, FieldGroup::PhotoshopResolution},
    {1028, nullptr, "IPTC", FieldGroup::Unknown},
    {1039, &typeid(IccProfileProcessor), nullptr, FieldGroup::Unknown},
    {1058, nullptr, "TIFF document", FieldGroup::Unknown},
    {1060, nullptr, "XMP document", FieldGroup::Unknown},
}};

ResourceReader const* FindReader(std::uint16_t id) {
    auto const it = std::find_if(kReaders.begin(), kReaders.end(),
                                 [id](ResourceReader const& reader) { return reader.id == id; });
    return it != kReaders.end() ? &*it : nullptr;
}

std::type_info const* ReaderType(ResourceReader const& reader) {
    return reader.type != nullptr ? reader.type : ProcessorRegistry::FindByName(reader.name);
}

// Runs `processor` on window bytes [start, start + size) of `parent` through
// a DataSource of its own over the same memory, provisioned when the
// processor expects it. Document positions inside stay true.
ReadResult ReadRegion(Processor& processor, DataSource& parent, std::size_t start, std::size_t size,
                      std::shared_ptr<ReadStore> const& store, Metadata& metadata, FieldGroup group) {
    if (!parent.SeekBufferTo(std::streampos(static_cast<std::streamoff>(start)), false))
        return ReadResult::Error;
    std::string_view const window = parent.AsStringView(false);
    InMemoryStream stream(window.data() + start, size);
    DataSource sub(stream, parent.GetBufferPosInDoc());
    if (processor.RequiresProvisionedData() && size != 0) sub.ProvisionRemainingData();
    return processor.Read(sub, store, metadata, group);
}

}  // namespace

ReadResult PirProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                              FieldGroup group) {
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);
    if (source.GetBytesProvisioned() == 0) source.ProvisionRemainingData();
    ScopedStoreSetter<&ReadStore::byteOrder> const order(*store, ByteOrder::BigEndian);

    std::streamoff const cursor = source.GetBufferPos();
    std::string_view const window = source.AsStringView(false);
    std::size_t const end = std::min(source.GetBytesUsable(true), window.size());
    if (cursor < 0) return ReadResult::Error;
    std::string_view const block = window.substr(0, end);

    for (auto position = static_cast<std::size_t>(cursor);;) {
        if (position >= end || end - position <= 8) return ReadResult::Success;
        detail::ImageResourceHeader header;
        switch (detail::ParseImageResourceHeader(block, position, header)) {
            case detail::ImageResourceParse::Ok: break;
            case detail::ImageResourceParse::NotAResource: return ReadResult::Success;
            case detail::ImageResourceParse::Truncated: return ReadResult::Error;
        }
        // A last resource cut short is trailing data, not damage.
        if (header.dataSize > end - header.dataStart) return ReadResult::Success;
        std::size_t const dataEnd = header.dataStart + header.dataSize;

        ResourceReader const* reader = header.photoshop ? FindReader(header.id) : nullptr;
        if (reader != nullptr) {
            std::unique_ptr<Processor> const processor =
                ProcessorRegistry::CreateProcessor(ReaderType(*reader), GetOptions());
            if (processor) {
                // The resolution record is laid out in 16-bit units.
                bool const record = header.id == kResolutionInfo;
                ScopedStoreSetter<&ReadStore::valueFormat> const format(
                    *store, record ? ExifType::Short : store->valueFormat);
                ScopedStoreSetter<&ReadStore::valueCount> const count(
                    *store, record ? header.dataSize / 2 : store->valueCount);
                ReadResult const result = ReadRegion(*processor, source, header.dataStart, header.dataSize,
                                                     store, metadata, reader->group);
                if (result == ReadResult::Fatal || (result == ReadResult::Error && GetOptions().stopOnError))
                    return result;
            }
        }
        position = dataEnd + (header.dataSize % 2);
        source.SeekBufferTo(std::streampos(static_cast<std::streamoff>(std::min(position, end))), false);
    }
}

}  // namespace meta
