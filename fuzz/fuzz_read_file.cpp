// libFuzzer entry point that reads the input as a whole file of one type,
// the way an application opens a file from disk, and renders every item.
// VARROW_FUZZ_SOURCES lists the file types; with several, the first input
// byte chooses one, so one target covers a family of readers.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>

#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace {

constexpr meta::ReadSource kSources[] = {VARROW_FUZZ_SOURCES};

std::shared_ptr<meta::Initialiser> const& SharedInitialiser() {
    static auto const init = meta::Initialiser::Create(meta::Initialiser::Mode::InitialiseXmp);
    return init;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    constexpr std::size_t kCount = std::size(kSources);
    meta::ReadSource source = kSources[0];
    if constexpr (kCount > 1) {
        if (size == 0) return 0;
        source = kSources[data[0] % kCount];
        ++data;
        --size;
    }
    meta::Metadata metadata(SharedInitialiser());
    meta::Options options;
    options.readUnknownTags = true;
    try {
        metadata.Read(reinterpret_cast<char const*>(data), size, source, options);
    } catch (meta::xmp::XMP_Error const&) {
        // Malformed XMP reaches the caller by design.
    }
    for (meta::Metadatum const& item : metadata.GetOrderedView()) {
        (void)item.GetDisplayValueAsString();
        (void)meta::Metadata::MakeExifToolDisplayStringFinder().GetSelectedValueAsString(item);
    }
    return 0;
}
