#include "varrow/formats/isobmff/isobmff_processor.h"

#include <optional>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/formats/isobmff/parse_context.h"
#include "varrow/formats/isobmff/root_box.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

ProcessorRegistration<IsobmffProcessor> const kRegistration("ISO Base Media File Format");

}  // namespace

ReadResult IsobmffProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store,
                                  Metadata& metadata, FieldGroup group) {
    // A window of an outer source is read through a source of its own.
    if (source.GetBytesProvisioned() != 0) return SafeRead(this, source, store, metadata, group, 0);
    if (!store) return ReadResult::Error;

    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);

    std::streamoff const length = source.GetInputStreamLen();
    std::streamoff const start = source.GetInputStreamPos();
    if (length < 0 || start < 0 || start > length) return ReadResult::Error;

    ScopedStoreSetter<&ReadStore::byteOrder> const order(*store, ByteOrder::BigEndian);
    isobmff::ParseContext context{source, *this, metadata, store, static_cast<std::uint64_t>(length),
                                  {},     {},    {}};
    isobmff::RootBox root(context);
    ReadResult result = root.Read();
    if (result == ReadResult::Success) result = root.PostRead();
    source.UnprovisionData();
    return result;
}

}  // namespace meta
