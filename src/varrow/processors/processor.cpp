#include "varrow/processors/processor.h"

#include <string_view>

#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"

namespace meta {

ReadResult Processor::SafeRead(Processor* processor, DataSource& parent,
                               std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                               FieldGroup group, std::size_t offset) {
    if (processor == nullptr) return ReadResult::Error;
    std::string_view const window = parent.AsStringView(false);
    auto const cursor = static_cast<std::size_t>(static_cast<std::streamoff>(parent.GetBufferPos()));
    std::size_t const usable = parent.GetBytesUsable(true);
    std::size_t const end = usable < window.size() ? usable : window.size();
    // Refuse a start beyond the fence rather than hand out bytes outside it
    // (also guards cursor + offset against wrapping).
    if (cursor > end || offset > end - cursor) return ReadResult::Error;
    std::size_t const start = cursor + offset;

    InMemoryStream stream(window.data() + start, end - start);
    std::streamoff const docPos =
        static_cast<std::streamoff>(parent.GetBufferPosInDoc()) + static_cast<std::streamoff>(offset);
    DataSource sub(stream, std::streampos(docPos));
    return processor->Read(sub, store, metadata, group);
}

}  // namespace meta
