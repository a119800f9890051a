#include "varrow/formats/gif/gif_processor.h"

#include <array>
#include <istream>
#include <optional>
#include <string>
#include <utility>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/fields/key.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/items/simple_metadatums.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

ProcessorRegistration<GifProcessor> const kRegistration("GIF document");

using GifKey = GenericStringKey<FieldNamespace::Gif>;
using GifItem = GenericMetadatum<GifKey>;

constexpr int kExtensionIntroducer = 0x21;
constexpr int kImageSeparator = 0x2C;
constexpr int kTrailer = 0x3B;
constexpr int kGraphicControlLabel = 0xF9;
constexpr int kCommentLabel = 0xFE;
constexpr int kPlainTextLabel = 0x01;
constexpr int kApplicationLabel = 0xFF;

constexpr std::size_t kApplicationIdSize = 11;
constexpr std::string_view kXmpApplication{"XMP DataXMP"};

bool Skip(std::istream& in, std::streamoff n) {
    if (n == 0) return true;
    // Image data comes in sub-blocks of at most 255 bytes: stepping over
    // them inside the stream's buffer avoids a file seek (and a refill) for
    // each one. Only long runs are worth a seek.
    constexpr std::streamoff kSeekAbove = 4096;
    if (n <= kSeekAbove) {
        in.ignore(n);
        return in.gcount() == n;
    }
    return static_cast<bool>(in.seekg(n, std::ios::cur));
}

// Size in bytes of the colour table that the packed byte announces, or 0.
std::streamoff ColourTableSize(unsigned packed) {
    return (packed & 0x80u) != 0 ? std::streamoff{3} << ((packed & 7u) + 1) : 0;
}

std::uint16_t LittleEndian16(std::array<char, 7> const& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      static_cast<unsigned>(static_cast<unsigned char>(bytes[at + 1])) << 8);
}

}  // namespace

std::string_view ToString(GifProcessor::GifVersion version) {
    switch (version) {
        case GifProcessor::GifVersion::Gif87a: return "87a";
        case GifProcessor::GifVersion::Gif89a: return "89a";
        default: return "Unknown";
    }
}

namespace detail {

std::size_t FindXmpPacketEnd(std::string_view text) {
    constexpr std::string_view kStart{"<?xpacket end="};
    auto const isQuote = [](char c) { return c == '\'' || c == '"'; };
    for (std::size_t at = text.find(kStart); at != std::string_view::npos; at = text.find(kStart, at + 1)) {
        std::string_view const rest = text.substr(at + kStart.size());
        if (rest.size() >= 5 && isQuote(rest[0]) && (rest[1] == 'w' || rest[1] == 'r') && isQuote(rest[2]) &&
            rest[3] == '?' && rest[4] == '>') {
            return at + kStart.size() + 5;
        }
    }
    return std::string_view::npos;
}

}  // namespace detail

bool GifProcessor::ReadHeader(std::istream& in, GifVersion& version) {
    std::array<char, 6> bytes{};
    version = GifVersion::Unknown;
    if (!in.read(bytes.data(), bytes.size())) return false;
    std::string_view const signature(bytes.data(), bytes.size());
    if (signature == "GIF87a") version = GifVersion::Gif87a;
    if (signature == "GIF89a") version = GifVersion::Gif89a;
    return version != GifVersion::Unknown;
}

bool GifProcessor::ReadLogicalScreenDescriptor(std::istream& in, std::uint16_t& width, std::uint16_t& height,
                                               std::uint8_t& colorResolution, std::uint8_t& bitsPerPixel) {
    // Width, height, the packed byte, then background index and aspect
    // ratio, which are skipped.
    std::array<char, 7> bytes{};
    if (!in.read(bytes.data(), bytes.size())) return false;
    auto const packed = static_cast<unsigned>(static_cast<unsigned char>(bytes[4]));
    if (!Skip(in, ColourTableSize(packed))) return false;
    width = LittleEndian16(bytes, 0);
    height = LittleEndian16(bytes, 2);
    // The packed byte stores both numbers minus one.
    colorResolution = static_cast<std::uint8_t>(((packed >> 4) & 7u) + 1);
    bitsPerPixel = static_cast<std::uint8_t>((packed & 7u) + 1);
    return true;
}

bool GifProcessor::SkipSubBlocks(std::istream& in) {
    for (;;) {
        int const length = in.get();
        if (length == std::char_traits<char>::eof()) return false;
        if (length == 0) return true;
        if (!Skip(in, length)) return false;
    }
}

ReadResult GifProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                              FieldGroup group) {
    // A window of an outer source is read through a source of its own, like a file.
    if (source.GetBytesProvisioned() != 0) return SafeRead(this, source, store, metadata, group, 0);
    if (!store) return ReadResult::Error;

    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);
    fatal_ = false;

    std::istream& in = source.Yield();
    GifVersion version = GifVersion::Unknown;
    if (!ReadHeader(in, version)) return ReadResult::Error;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t colourResolution = 0;
    std::uint8_t bitsPerPixel = 0;
    if (!ReadLogicalScreenDescriptor(in, width, height, colourResolution, bitsPerPixel))
        return ReadResult::Error;
    metadata.Add<GifItem>(GifKey{FieldGroup::Gif, "ImageWidth"}, store, width, 1);
    metadata.Add<GifItem>(GifKey{FieldGroup::Gif, "ImageHeight"}, store, height, 1);
    metadata.Add<GifItem>(GifKey{FieldGroup::Gif, "ColorResolutionDepth"}, store, colourResolution, 1);
    metadata.Add<GifItem>(GifKey{FieldGroup::Gif, "BitsPerPixel"}, store, bitsPerPixel, 1);

    for (;;) {
        // The input may not end before the trailer.
        int const introducer = in.get();
        bool ok = false;
        switch (introducer) {
            case kExtensionIntroducer: ok = ReadExtensionBlock(in, store, metadata, FieldGroup::Gif); break;
            case kImageSeparator: ok = ReadImageBlock(in); break;
            case kTrailer: return ReadResult::Success;
            default: return ReadResult::Error;
        }
        if (fatal_) return ReadResult::Fatal;
        if (!ok) return ReadResult::Error;
        if (!in.good()) return ReadResult::Success;
    }
}

bool GifProcessor::ReadImageBlock(std::istream& in) {
    // Left, top, width, height (2 bytes each), then the packed byte.
    if (!Skip(in, 8)) return false;
    int const packed = in.get();
    if (packed == std::char_traits<char>::eof()) return false;
    // The local colour table and the LZW minimum code size precede the data.
    if (!Skip(in, ColourTableSize(static_cast<unsigned>(packed)) + 1)) return false;
    return SkipSubBlocks(in);
}

bool GifProcessor::ReadExtensionBlock(std::istream& in, std::shared_ptr<ReadStore> const& store,
                                      Metadata& metadata, FieldGroup group) {
    switch (in.get()) {
        case kGraphicControlLabel: return ReadGraphicControlExtensionBlock(in);
        case kCommentLabel: return ReadCommentsExtensionBlock(in);
        case kPlainTextLabel: return ReadPlainTextExtensionBlock(in);
        case kApplicationLabel: return ReadApplicationExtensionBlock(in, store, metadata, group);
        default: return false;
    }
}

bool GifProcessor::ReadGraphicControlExtensionBlock(std::istream& in) {
    // Block size, packed flags, delay, transparent index and terminator: a
    // fixed layout, whatever the block size says. A cut-off block leaves
    // the stream at its end, which ends the walk.
    Skip(in, 6);
    return true;
}

bool GifProcessor::ReadCommentsExtensionBlock(std::istream& in) {
    return SkipSubBlocks(in);
}

bool GifProcessor::ReadPlainTextExtensionBlock(std::istream& in) {
    // The text grid header is itself the first sub-block.
    return SkipSubBlocks(in);
}

bool GifProcessor::ReadApplicationExtensionBlock(std::istream& in, std::shared_ptr<ReadStore> const& store,
                                                 Metadata& metadata, FieldGroup group) {
    // The block size (always 11), then the identifier (8 bytes) and the
    // authentication code (3).
    std::array<char, kApplicationIdSize> identifier{};
    if (in.get() == std::char_traits<char>::eof() || !in.read(identifier.data(), identifier.size()))
        return false;
    if (std::string_view(identifier.data(), identifier.size()) != kXmpApplication) return SkipSubBlocks(in);

    // The packet is stored raw: what a decoder takes for sub-block lengths
    // are bytes of the text, so they are kept. The run ends in a "magic
    // trailer" that makes any decoder land on the terminator; it follows the
    // packet's end and is cut off. The text grows only with bytes read.
    std::string text;
    std::array<char, 255> chunk{};
    for (;;) {
        int const length = in.get();
        if (length == std::char_traits<char>::eof()) return false;
        text.push_back(static_cast<char>(length));
        if (length == 0) break;
        if (!in.read(chunk.data(), length)) return false;
        text.append(chunk.data(), static_cast<std::size_t>(length));
    }
    if (std::size_t const end = detail::FindXmpPacketEnd(text); end != std::string_view::npos)
        text.resize(end);

    std::unique_ptr<Processor> const xmp =
        ProcessorRegistry::CreateProcessor(ProcessorRegistry::FindByName("XMP document"), GetOptions());
    if (!xmp) return true;
    InMemoryStream stream(text.data(), text.size());
    DataSource packet(stream, 0);
    ReadResult const result = xmp->Read(packet, store, metadata, group);
    if (result == ReadResult::Fatal) fatal_ = true;
    return !(result == ReadResult::Fatal || (result == ReadResult::Error && GetOptions().stopOnError));
}

}  // namespace meta
