// libFuzzer entry point that hands the input to one block processor (IPTC,
// ICC, Photoshop resources, XMP packets) as a container would: a window
// holding exactly the block.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"

namespace {

std::shared_ptr<meta::Initialiser> const& SharedInitialiser() {
    static auto const init = meta::Initialiser::Create(meta::Initialiser::Mode::InitialiseXmp);
    return init;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    meta::Options options;
    options.readUnknownTags = true;
    std::type_info const* type = meta::ProcessorRegistry::FindByName(VARROW_FUZZ_PROCESSOR);
    std::unique_ptr<meta::Processor> processor = meta::ProcessorRegistry::CreateProcessor(type, options);
    if (!processor) return 0;

    meta::Metadata metadata(SharedInitialiser());
    meta::InMemoryStream stream(reinterpret_cast<char const*>(data), size);
    meta::DataSource source(stream, 0);
    if (size > 0 && !source.ProvisionRemainingData()) return 0;
    auto store = std::make_shared<meta::ReadStore>();
    try {
        processor->Read(source, store, metadata, meta::FieldGroup::Unknown);
    } catch (meta::xmp::XMP_Error const&) {
        // Malformed XMP reaches the caller by design.
    }
    for (meta::Metadatum const& item : metadata.GetOrderedView()) (void)item.GetDisplayValueAsString();
    return 0;
}
