#include "varrow/blocks/trailers/photomechanic_processor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <istream>
#include <limits>
#include <optional>
#include <string_view>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/blocks/iptc/iptc_processor.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

ProcessorRegistration<PhotoMechanicProcessor> const kRegistration("PhotoMechanic");

constexpr std::string_view kSignature = "cbipcbbl";
constexpr std::size_t kFooterSize = 12;  // length and signature

// Makes the window exactly the next n input bytes, in steps the source allows.
bool ProvisionExactly(DataSource& source, std::size_t n) {
    while (source.GetBytesProvisioned() < n) {
        std::size_t const step = std::min(n - source.GetBytesProvisioned(), DataSource::MaxProvisionStep);
        std::size_t const before = source.GetBytesProvisioned();
        if (!source.ProvisionData(step) || source.GetBytesProvisioned() == before) return false;
    }
    return true;
}

}  // namespace

ReadResult PhotoMechanicProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store,
                                        Metadata& metadata, FieldGroup group) {
    processedSize_ = 0;
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);

    std::istream& in = source.Yield();
    // A refused seek or a short read must not leave the stream failed for
    // whatever reads the file next.
    auto const failed = [&in] {
        in.clear();
        return ReadResult::Error;
    };
    std::array<char, kFooterSize> footer{};
    if (!in.seekg(-static_cast<std::streamoff>(kFooterSize), std::ios_base::cur)) return failed();
    if (!in.read(footer.data(), static_cast<std::streamsize>(footer.size()))) return failed();
    if (!std::string_view(footer.data(), footer.size()).ends_with(kSignature)) return ReadResult::Error;

    std::uint32_t n = 0;
    for (std::size_t i = 0; i < 4; ++i) n = (n << 8) | static_cast<unsigned char>(footer[i]);
    std::uint64_t const size = std::uint64_t{n} + kFooterSize;
    if (size > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return ReadResult::Error;
    if (!in.seekg(-static_cast<std::streamoff>(size), std::ios_base::cur)) return failed();

    // A trailer of no datasets provisions nothing, which the final check
    // below reports.
    if (!ProvisionExactly(source, n)) return ReadResult::Error;
    std::unique_ptr<Processor> iptc =
        ProcessorRegistry::CreateProcessor(&typeid(IptcProcessor), GetOptions());
    if (!iptc) return ReadResult::Error;

    ReadResult r = ReadResult::Success;
    {
        auto const limit = source.HoldUsableBytes();
        source.MarkAsUsable(static_cast<std::size_t>(std::streamoff(source.GetBufferPos())) + n);
        r = iptc->Read(source, store, metadata, group);
    }
    if (r == ReadResult::Fatal || (r == ReadResult::Error && GetOptions().stopOnError)) return r;
    processedSize_ = static_cast<std::size_t>(size);
    return source ? ReadResult::Success : ReadResult::Error;
}

}  // namespace meta
