#include "varrow/formats/webp/webp_processor.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/fields/display_lookups.h"
#include "varrow/fields/lookups/typed_enum_values.h"
#include "varrow/formats/webp/little_endian.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

ProcessorRegistration<WebpProcessor> const kRegistration("WebP document");

constexpr std::size_t kFileHeaderSize = 12;  // "RIFF", length, "WEBP"
constexpr std::size_t kChunkHeaderSize = 8;  // identifier, size
// One provisioning call takes at most this much; larger chunks take several.
constexpr std::size_t kProvisionStep = 1u << 20;
constexpr std::string_view kExifPrefix{"Exif\0\0", 6};

using IntLookup = detail::EnumValuesImpl<long long>;

std::string LookUp(char const* lookup, long long code) {
    return DisplayLookups::SafeGetImpl<IntLookup>(lookup).DirectLookup(code);
}

bool AddItem(Metadata& metadata, char const* name, Value value) {
    return metadata.Add(FieldGroup::Webp, name, std::move(value), ValueAffinity::Display);
}

ReadResult Judged(bool added) {
    return added ? ReadResult::Success : ReadResult::Error;
}

// The first `n` bytes from the input position, as the whole window.
std::optional<std::string_view> Take(DataSource& source, std::size_t n) {
    source.UnprovisionData();
    if (!source.ProvisionData(n)) return std::nullopt;
    return source.AsStringView().substr(0, n);
}

// One walk over a file's chunks; lives on the stack of one Read call.
class WebpWalk {
  public:
    WebpWalk(Options const& options, DataSource& source, std::shared_ptr<ReadStore> const& store,
             Metadata& metadata)
        : options_(options), source_(source), store_(store), metadata_(metadata) {}

    ReadResult Run();

  private:
    ReadResult Dispatch(std::string_view id, std::uint32_t size);
    ReadResult Hand(char const* processorName, std::uint32_t size, std::size_t skip, FieldGroup group);
    ReadResult Exif(std::uint32_t size);
    ReadResult Frame(std::uint32_t size);
    bool ProvideChunk(std::size_t size);
    void Finish();

    Options const& options_;
    DataSource& source_;
    std::shared_ptr<ReadStore> const& store_;
    Metadata& metadata_;

    std::streamoff dataStart_ = 0;  // of the chunk being read
    std::uint64_t animationMilliseconds_ = 0;
    bool animated_ = false;
    bool canvas_ = false;  // a VP8X chunk gave the image size
};

ReadResult WebpWalk::Run() {
    std::optional<std::string_view> const header = Take(source_, kFileHeaderSize);
    if (!header || header->substr(0, 4) != "RIFF" || header->substr(8, 4) != "WEBP") return ReadResult::Error;

    ReadResult result = ReadResult::Success;
    for (;;) {
        // A file that ends between or inside chunk headers has been read.
        std::optional<std::string_view> const chunk = Take(source_, kChunkHeaderSize);
        if (!chunk) break;
        std::string const id(chunk->substr(0, 4));
        std::uint32_t const size = detail::LittleEndian32(*chunk, 4);
        source_.UnprovisionData();
        dataStart_ = source_.GetInputStreamPos();
        if (dataStart_ < 0) {
            result = ReadResult::Error;
            break;
        }

        ReadResult const chunkResult = Dispatch(id, size);
        if (chunkResult == ReadResult::Fatal || (chunkResult == ReadResult::Error && options_.stopOnError)) {
            result = chunkResult;
            break;
        }
        // Chunks are padded to an even size. A seek past the input's end is
        // refused, which ends the walk like the end of the data does.
        std::streamoff const next = dataStart_ + static_cast<std::streamoff>(size) + (size & 1u);
        if (!source_.SeekInputTo(std::streampos(next))) break;
    }
    Finish();
    return result;
}

ReadResult WebpWalk::Dispatch(std::string_view id, std::uint32_t size) {
    if (id == "VP8 ")
        return size < 10 ? ReadResult::Error : WebpProcessor::ReadVp8Chunk(source_, metadata_, !canvas_);
    if (id == "VP8L")
        return size < 6 ? ReadResult::Error : WebpProcessor::ReadVp8LChunk(source_, metadata_, !canvas_);
    if (id == "VP8X") {
        if (size < 10) return ReadResult::Error;
        canvas_ = true;
        return WebpProcessor::ReadVp8XChunk(source_, metadata_);
    }
    if (id == "ALPH") return size < 1 ? ReadResult::Error : WebpProcessor::ReadAlphChunk(source_, metadata_);
    if (id == "ANIM") return size < 6 ? ReadResult::Error : WebpProcessor::ReadAnimChunk(source_, metadata_);
    if (id == "ANMF") return Frame(size);
    if (id == "EXIF") return Exif(size);
    if (id == "XMP ") return Hand("XMP document", size, 0, FieldGroup::Unknown);
    if (id == "ICCP") return Hand("ICC Profile", size, 0, FieldGroup::IccProfile);
    return ReadResult::NotHandled;
}

bool WebpWalk::ProvideChunk(std::size_t size) {
    // An identifier test may have moved the input into the chunk.
    if (!source_.SeekInputTo(std::streampos(dataStart_))) return false;
    while (source_.GetBytesProvisioned() < size) {
        std::size_t const step = std::min(size - source_.GetBytesProvisioned(), kProvisionStep);
        if (!source_.ProvisionData(step)) return false;
    }
    return true;
}

ReadResult WebpWalk::Hand(char const* processorName, std::uint32_t size, std::size_t skip, FieldGroup group) {
    std::unique_ptr<Processor> processor =
        ProcessorRegistry::CreateProcessor(ProcessorRegistry::FindByName(processorName), options_);
    if (!processor) return ReadResult::NotHandled;
    if (size <= skip || !ProvideChunk(size)) return ReadResult::Error;
    source_.MarkAsUsable(size);
    return Processor::SafeRead(processor.get(), source_, store_, metadata_, group, skip);
}

ReadResult WebpWalk::Exif(std::uint32_t size) {
    // Some writers keep the JPEG APP1 identifier in front of the TIFF header.
    std::size_t skip = 0;
    if (size >= kExifPrefix.size()) {
        std::optional<std::string_view> const start = Take(source_, kExifPrefix.size());
        if (start && *start == kExifPrefix) skip = kExifPrefix.size();
    }
    return Hand("TIFF document", size, skip, FieldGroup::Unknown);
}

ReadResult WebpWalk::Frame(std::uint32_t size) {
    // X, Y, width and height (three bytes each), then the duration in ms.
    constexpr std::size_t kDurationAt = 12;
    if (size < kDurationAt + 3) return ReadResult::Error;
    std::optional<std::string_view> const frame = Take(source_, kDurationAt + 3);
    if (!frame) return ReadResult::Error;
    animated_ = true;
    animationMilliseconds_ += detail::LittleEndian24(*frame, kDurationAt);
    return ReadResult::Success;
}

void WebpWalk::Finish() {
    source_.UnprovisionData();
    if (animated_) {
        AddItem(metadata_, "Duration",
                detail::FormatPlayTime(static_cast<double>(animationMilliseconds_) / 1000.0));
    }
}

}  // namespace

ReadResult WebpProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store,
                               Metadata& metadata, FieldGroup group) {
    // A window of an outer source is read through a source of its own, like a file.
    if (source.GetBytesProvisioned() != 0) return SafeRead(this, source, store, metadata, group, 0);
    if (!store) return ReadResult::Error;

    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);
    return WebpWalk(GetOptions(), source, store, metadata).Run();
}

ReadResult WebpProcessor::ReadVp8Chunk(DataSource& source, Metadata& metadata, bool sizes) {
    // Frame tag (3 bytes), start code 9D 01 2A, then the two 16-bit sizes
    // whose top two bits are the upscaling factors.
    std::optional<std::string_view> const frame = Take(source, 10);
    if (!frame || frame->substr(3, 3) != "\x9d\x01\x2a") return ReadResult::Error;
    auto const version = static_cast<long long>((static_cast<unsigned char>((*frame)[0]) >> 1) & 7u);
    std::uint16_t const w = detail::LittleEndian16(*frame, 6);
    std::uint16_t const h = detail::LittleEndian16(*frame, 8);
    bool ok = AddItem(metadata, "VP8Version", LookUp("WebpVP8Version", version));
    if (sizes) {
        ok = AddItem(metadata, "ImageWidth", static_cast<std::uint16_t>(w & 0x3FFFu)) && ok;
        ok = AddItem(metadata, "ImageHeight", static_cast<std::uint16_t>(h & 0x3FFFu)) && ok;
    }
    ok = AddItem(metadata, "HorizontalScale", static_cast<std::uint16_t>(w >> 14)) && ok;
    ok = AddItem(metadata, "VerticalScale", static_cast<std::uint16_t>(h >> 14)) && ok;
    return Judged(ok);
}

ReadResult WebpProcessor::ReadVp8LChunk(DataSource& source, Metadata& metadata, bool sizes) {
    // Signature byte, then 14 bits each of width - 1 and height - 1.
    std::optional<std::string_view> const header = Take(source, 6);
    if (!header) return ReadResult::Error;
    if (!sizes) return ReadResult::Success;
    std::uint16_t const a = detail::LittleEndian16(*header, 1);
    std::uint32_t const b = detail::LittleEndian32(*header, 2);
    bool ok = AddItem(metadata, "ImageWidth", static_cast<std::uint16_t>((a & 0x3FFFu) + 1));
    ok = AddItem(metadata, "ImageHeight", static_cast<std::uint16_t>(((b >> 6) & 0x3FFFu) + 1)) && ok;
    return Judged(ok);
}

ReadResult WebpProcessor::ReadVp8XChunk(DataSource& source, Metadata& metadata) {
    // Feature flags (1 byte), 3 reserved, then 24 bits each of canvas
    // width - 1 and height - 1. A canvas may exceed 16 bits.
    std::optional<std::string_view> const header = Take(source, 10);
    if (!header) return ReadResult::Error;
    auto const flags = static_cast<long long>(static_cast<unsigned char>((*header)[0]));
    bool ok = AddItem(metadata, "WebP_Flags", LookUp("WebpWebP_Flags", flags));
    ok = AddItem(metadata, "ImageWidth", detail::LittleEndian24(*header, 4) + 1) && ok;
    ok = AddItem(metadata, "ImageHeight", detail::LittleEndian24(*header, 7) + 1) && ok;
    return Judged(ok);
}

ReadResult WebpProcessor::ReadAlphChunk(DataSource& source, Metadata& metadata) {
    // One byte: reserved (2 bits), preprocessing, filtering, compression.
    std::optional<std::string_view> const header = Take(source, 1);
    if (!header) return ReadResult::Error;
    auto const bits = static_cast<unsigned>(static_cast<unsigned char>((*header)[0]));
    bool ok = AddItem(metadata, "AlphaPreprocessing", LookUp("WebpAlphaPreprocessing", (bits >> 4) & 3u));
    ok = AddItem(metadata, "AlphaFiltering", LookUp("WebpAlphaFiltering", (bits >> 2) & 3u)) && ok;
    ok = AddItem(metadata, "AlphaCompression", LookUp("WebpAlphaCompression", bits & 3u)) && ok;
    return Judged(ok);
}

ReadResult WebpProcessor::ReadAnimChunk(DataSource& source, Metadata& metadata) {
    // Background colour (four bytes in stored order), then the loop count.
    std::optional<std::string_view> const header = Take(source, 6);
    if (!header) return ReadResult::Error;
    std::vector<std::uint8_t> colour(4);
    for (std::size_t i = 0; i < colour.size(); ++i) colour[i] = static_cast<std::uint8_t>((*header)[i]);
    std::uint16_t const loops = detail::LittleEndian16(*header, 4);
    bool ok = AddItem(metadata, "BackgroundColor", std::move(colour));
    ok = AddItem(metadata, "AnimationLoopCount", loops == 0 ? Value("inf") : Value(loops)) && ok;
    return Judged(ok);
}

}  // namespace meta
