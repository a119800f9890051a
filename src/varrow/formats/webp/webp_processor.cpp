#include "varrow/formats/webp/webp_processor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string_view>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/fields/display_lookups.h"
#include "varrow/fields/lookups/typed_enum_values.h"
#include "varrow/io/data_source.h"
#include "varrow/io/provision_window.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

ProcessorRegistration<WebpProcessor> const kRegistration("WebP document");

constexpr std::size_t kFileHeaderSize = 12;  // "RIFF", length, "WEBP"
constexpr std::size_t kVp8HeaderSize = 10;
constexpr std::size_t kVp8LHeaderSize = 6;
constexpr std::size_t kVp8XHeaderSize = 10;

std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint32_t v = 0;
    for (std::size_t i = width; i-- > 0;) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

bool AddItem(Metadata& metadata, char const* name, Value value) {
    return metadata.Add(FieldGroup::Webp, name, std::move(value), ValueAffinity::Display);
}

ReadResult Judged(bool added) {
    return added ? ReadResult::Success : ReadResult::Error;
}

// The first `n` bytes of the chunk, from the input position, as the window.
std::optional<std::string_view> Take(DataSource& source, std::size_t n) {
    std::streampos const at = source.GetInputStreamPos();
    if (std::streamoff(at) < 0 || !source.AutoProvision(at, static_cast<long long>(n))) return std::nullopt;
    std::string_view const window = source.AsStringView();
    if (window.size() < n) return std::nullopt;
    return window.substr(0, n);
}

// Reads a 32-bit little-endian field; false at the end of the input.
bool ReadWord(std::istream& in, std::array<char, 4>& word) {
    return static_cast<bool>(in.read(word.data(), static_cast<std::streamsize>(word.size())));
}

}  // namespace

ReadResult WebpProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store,
                               Metadata& metadata, FieldGroup group) {
    // A window of an outer source is read through a source of its own, like a file.
    if (source.GetBytesProvisioned() != 0) return SafeRead(this, source, store, metadata, group, 0);
    if (!store) return ReadResult::Error;

    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);

    std::istream* in = &source.Yield();
    std::array<char, kFileHeaderSize> header{};
    if (!in->read(header.data(), static_cast<std::streamsize>(header.size()))) return ReadResult::Error;
    std::string_view const head(header.data(), header.size());
    // The RIFF length is not used: the walk goes by the chunks.
    if (head.substr(0, 4) != "RIFF" || head.substr(8, 4) != "WEBP") return ReadResult::Error;

    while (in->good()) {
        std::array<char, 4> id{};
        std::array<char, 4> sizeBytes{};
        if (!ReadWord(*in, id) || !ReadWord(*in, sizeBytes))
            return in->eof() ? ReadResult::Success : ReadResult::Error;
        std::uint32_t const size = LittleEndian(std::string_view(sizeBytes.data(), sizeBytes.size()), 0, 4);
        std::streamoff const p = in->tellg();
        if (p < 0) return ReadResult::Error;
        std::string_view const chunk(id.data(), id.size());

        // The chunk readers position the source again by themselves.
        ReadResult r = ReadResult::NotHandled;
        if (chunk == "VP8 ") {
            r = ReadVp8Chunk(source, metadata);
        } else if (chunk == "VP8L") {
            r = ReadVp8LChunk(source, metadata);
        } else if (chunk == "VP8X") {
            r = ReadVp8XChunk(source, metadata);
        } else if (chunk == "EXIF" || chunk == "XMP ") {
            std::unique_ptr<Processor> const processor = ProcessorRegistry::CreateProcessor(
                ProcessorRegistry::FindByName(chunk == "EXIF" ? "TIFF document" : "XMP document"),
                GetOptions());
            // Fenced to the chunk: nothing it holds can lead outside it.
            if (!processor || size == 0 || !ProvisionWindowAt(source, std::streampos(p), size)) {
                r = ReadResult::Error;
            } else {
                r = SafeRead(processor.get(), source, store, metadata, FieldGroup::Unknown, 0);
            }
        }
        if (r == ReadResult::Fatal || (r == ReadResult::Error && GetOptions().stopOnError)) return r;

        // Chunks are padded to an even size. A seek the input refuses ends
        // the walk like the end of the data does.
        in = &source.Yield();
        in->clear();
        in->seekg(p + static_cast<std::streamoff>(size) + static_cast<std::streamoff>(size & 1u));
    }
    return ReadResult::Success;
}

ReadResult WebpProcessor::ReadVp8Chunk(DataSource& source, Metadata& metadata) {
    // Frame tag (3 bytes), start code 9D 01 2A, then the two 16-bit sizes
    // whose top two bits are the upscaling factors.
    std::optional<std::string_view> const frame = Take(source, kVp8HeaderSize);
    if (!frame || frame->substr(3, 3) != "\x9d\x01\x2a") return ReadResult::Error;
    auto const version = static_cast<long long>((static_cast<unsigned char>((*frame)[0]) >> 1) & 7u);
    auto const w = static_cast<std::uint16_t>(LittleEndian(*frame, 6, 2));
    auto const h = static_cast<std::uint16_t>(LittleEndian(*frame, 8, 2));
    std::string text = DisplayLookups::SafeGetImpl<detail::EnumValuesImpl<long long>>("WebpVP8Version")
                           .DirectLookup(version);
    bool ok = AddItem(metadata, "VP8Version", std::move(text));
    ok = AddItem(metadata, "ImageWidth", static_cast<std::uint16_t>(w & 0x3FFFu)) && ok;
    ok = AddItem(metadata, "ImageHeight", static_cast<std::uint16_t>(h & 0x3FFFu)) && ok;
    ok = AddItem(metadata, "HorizontalScale", static_cast<std::uint16_t>(w >> 14)) && ok;
    ok = AddItem(metadata, "VerticalScale", static_cast<std::uint16_t>(h >> 14)) && ok;
    return Judged(ok);
}

ReadResult WebpProcessor::ReadVp8LChunk(DataSource& source, Metadata& metadata) {
    // Signature byte, then 14 bits each of width - 1 and height - 1.
    std::optional<std::string_view> const header = Take(source, kVp8LHeaderSize);
    if (!header) return ReadResult::Error;
    std::uint32_t const a = LittleEndian(*header, 1, 2);
    std::uint32_t const b = LittleEndian(*header, 2, 4);
    bool ok = AddItem(metadata, "ImageWidth", static_cast<std::uint16_t>((a & 0x3FFFu) + 1));
    ok = AddItem(metadata, "ImageHeight", static_cast<std::uint16_t>(((b >> 6) & 0x3FFFu) + 1)) && ok;
    return Judged(ok);
}

ReadResult WebpProcessor::ReadVp8XChunk(DataSource& source, Metadata& metadata) {
    // Feature flags (1 byte), 3 reserved, then 24 bits each of canvas
    // width - 1 and height - 1, kept as 16-bit numbers.
    std::optional<std::string_view> const header = Take(source, kVp8XHeaderSize);
    if (!header) return ReadResult::Error;
    std::uint32_t const a = LittleEndian(*header, 4, 4);
    std::uint32_t const b = LittleEndian(*header, 6, 4);
    bool ok = AddItem(metadata, "ImageWidth", static_cast<std::uint16_t>((a & 0xFFFFFFu) + 1));
    ok = AddItem(metadata, "ImageHeight", static_cast<std::uint16_t>((b >> 8) + 1)) && ok;
    return Judged(ok);
}

}  // namespace meta
