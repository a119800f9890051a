#include "varrow/formats/gif/gif_processor.h"

#include <array>
#include <istream>
#include <optional>
#include <string>
#include <utility>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/fields/display_lookups.h"
#include "varrow/fields/key.h"
#include "varrow/fields/lookups/typed_enum_values.h"
#include "varrow/formats/webp/little_endian.h"
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

constexpr std::string_view kXmpApplication{"XMP DataXMP"};
constexpr std::string_view kIccApplication{"ICCRGBG1012"};
constexpr std::string_view kNetscapeApplication{"NETSCAPE2.0"};
constexpr std::string_view kAnimExtsApplication{"ANIMEXTS1.0"};

bool AddItem(Metadata& metadata, std::shared_ptr<ReadStore> const& store, char const* name, Value value) {
    return metadata.Add<GifItem>(GifKey{FieldGroup::Gif, name}, store, std::move(value), 1);
}

bool Skip(std::istream& in, std::streamoff n) {
    if (n == 0) return true;
    // Image data comes in sub-blocks of at most 255 bytes: stepping over
    // them inside the stream's buffer avoids a file seek (and a refill) for
    // each one. Only long runs are worth a seek.
    constexpr std::streamoff kSeekAbove = 4096;
    if (n > 0 && n <= kSeekAbove) {
        in.ignore(n);
        return in.gcount() == n;
    }
    // A memory stream refuses a seek past its end; a file stream fails on
    // the next read instead.
    return static_cast<bool>(in.seekg(n, std::ios::cur));
}

// Size in bytes of the colour table that the packed byte announces, or 0.
std::streamoff ColourTableSize(unsigned packed) {
    return (packed & 0x80u) != 0 ? std::streamoff{3} << ((packed & 7u) + 1) : 0;
}

// Appends the data of a sub-block run to `out` (without the length bytes).
bool CollectSubBlocks(std::istream& in, std::string& out) {
    std::array<char, 255> chunk{};
    for (;;) {
        int const length = in.get();
        if (length == std::char_traits<char>::eof()) return false;
        if (length == 0) return true;
        if (!in.read(chunk.data(), length)) return false;
        out.append(chunk.data(), static_cast<std::size_t>(length));
    }
}

// The packed screen byte stores both numbers minus one.
std::uint8_t ColourResolution(unsigned packed) {
    return static_cast<std::uint8_t>(((packed >> 4) & 7u) + 1);
}
std::uint8_t PixelDepth(unsigned packed) {
    return static_cast<std::uint8_t>((packed & 7u) + 1);
}

struct Screen {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    unsigned packed = 0;
    std::uint8_t background = 0;
    std::uint8_t aspect = 0;
};

bool ReadScreen(std::istream& in, Screen& screen) {
    std::array<char, 7> bytes{};
    if (!in.read(bytes.data(), bytes.size())) return false;
    std::string_view const view(bytes.data(), bytes.size());
    screen.width = detail::LittleEndian16(view, 0);
    screen.height = detail::LittleEndian16(view, 2);
    screen.packed = static_cast<unsigned char>(view[4]);
    screen.background = static_cast<std::uint8_t>(view[5]);
    screen.aspect = static_cast<std::uint8_t>(view[6]);
    return Skip(in, ColourTableSize(screen.packed));
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
            rest.substr(3, 2) == "?>") {
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
    Screen screen;
    if (!ReadScreen(in, screen)) return false;
    width = screen.width;
    height = screen.height;
    colorResolution = ColourResolution(screen.packed);
    bitsPerPixel = PixelDepth(screen.packed);
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
    frames_ = 0;
    centiseconds_ = 0;
    pendingDelay_ = 0;
    transparentSeen_ = false;
    fatal_ = false;

    std::istream& in = source.Yield();
    GifVersion version = GifVersion::Unknown;
    if (!ReadHeader(in, version)) return ReadResult::Error;
    Screen screen;
    if (!ReadScreen(in, screen)) return ReadResult::Error;

    AddItem(metadata, store, "GIFVersion", std::string(ToString(version)));
    AddItem(metadata, store, "ImageWidth", screen.width);
    AddItem(metadata, store, "ImageHeight", screen.height);
    AddItem(metadata, store, "HasColorMap",
            DisplayLookups::SafeGetImpl<detail::EnumValuesImpl<long long>>("GifHasColorMap")
                .DirectLookup((screen.packed & 0x80u) != 0 ? 1 : 0));
    AddItem(metadata, store, "ColorResolutionDepth", ColourResolution(screen.packed));
    AddItem(metadata, store, "BitsPerPixel", PixelDepth(screen.packed));
    AddItem(metadata, store, "BackgroundColor", screen.background);
    // Zero means no aspect ratio is given.
    if (screen.aspect != 0) AddItem(metadata, store, "PixelAspectRatio", (screen.aspect + 15) / 64.0);

    ReadResult const result = Walk(in, store, metadata);
    AddSummary(store, metadata);
    return result;
}

ReadResult GifProcessor::Walk(std::istream& in, std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    for (;;) {
        int const introducer = in.get();
        bool ok = false;
        switch (introducer) {
            case kExtensionIntroducer: ok = ReadExtensionBlock(in, store, metadata, FieldGroup::Gif); break;
            case kImageSeparator: ok = ReadImageBlock(in); break;
            case kTrailer: return ReadResult::Success;
            default: break;  // the end of the input before the trailer, or a stray byte
        }
        if (fatal_) return ReadResult::Fatal;
        if (!ok) return ReadResult::Error;
        if (!in.good()) return ReadResult::Success;
    }
}

void GifProcessor::AddSummary(std::shared_ptr<ReadStore> const& store, Metadata& metadata) const {
    // A still picture has no frame count or play time to speak of.
    if (frames_ > 1) AddItem(metadata, store, "FrameCount", frames_);
    if (centiseconds_ > 0) {
        AddItem(metadata, store, "Duration",
                detail::FormatPlayTime(static_cast<double>(centiseconds_) / 100.0));
    }
}

bool GifProcessor::ReadImageBlock(std::istream& in) {
    // Left, top, width, height (2 bytes each), then the packed byte.
    if (!Skip(in, 8)) return false;
    int const packed = in.get();
    if (packed == std::char_traits<char>::eof()) return false;
    ++frames_;
    centiseconds_ += pendingDelay_;
    pendingDelay_ = 0;
    // The local colour table and the LZW minimum code size precede the data.
    if (!Skip(in, ColourTableSize(static_cast<unsigned>(packed)) + 1)) return false;
    return SkipSubBlocks(in);
}

bool GifProcessor::ReadExtensionBlock(std::istream& in, std::shared_ptr<ReadStore> const& store,
                                      Metadata& metadata, FieldGroup group) {
    switch (in.get()) {
        case kGraphicControlLabel: return ReadGraphicControlExtensionBlock(in, store, metadata);
        case kCommentLabel: return ReadCommentsExtensionBlock(in, store, metadata);
        case kPlainTextLabel: return ReadPlainTextExtensionBlock(in);
        case kApplicationLabel: return ReadApplicationExtensionBlock(in, store, metadata, group);
        default: return false;
    }
}

bool GifProcessor::ReadGraphicControlExtensionBlock(std::istream& in, std::shared_ptr<ReadStore> const& store,
                                                    Metadata& metadata) {
    // Block size (always 4), packed flags, delay in 1/100 s, transparent
    // colour index, terminator. Some writers put a wrong block size; the
    // layout is fixed, so it is not followed.
    std::array<char, 6> block{};
    if (!in.read(block.data(), block.size())) return false;
    std::string_view const view(block.data(), block.size());
    pendingDelay_ = detail::LittleEndian16(view, 2);
    if ((static_cast<unsigned char>(view[1]) & 1u) != 0 && !transparentSeen_) {
        transparentSeen_ = true;
        AddItem(metadata, store, "TransparentColor", static_cast<std::uint8_t>(view[4]));
    }
    return true;
}

bool GifProcessor::ReadCommentsExtensionBlock(std::istream& in, std::shared_ptr<ReadStore> const& store,
                                              Metadata& metadata) {
    std::string text;
    if (!CollectSubBlocks(in, text)) return false;
    if (!text.empty()) AddItem(metadata, store, "Comment", std::move(text));
    return true;
}

bool GifProcessor::ReadPlainTextExtensionBlock(std::istream& in) {
    // The text grid header is itself the first sub-block.
    return SkipSubBlocks(in);
}

bool GifProcessor::ReadApplicationExtensionBlock(std::istream& in, std::shared_ptr<ReadStore> const& store,
                                                 Metadata& metadata, FieldGroup group) {
    // Identifier (8 bytes) and authentication code (3), announced as one
    // 11-byte block.
    int const size = in.get();
    if (size == std::char_traits<char>::eof()) return false;
    std::array<char, 255> bytes{};
    if (!in.read(bytes.data(), size)) return false;
    std::string_view const identifier(bytes.data(), static_cast<std::size_t>(size));
    if (identifier == kXmpApplication) return ReadXmp(in, store, metadata, group);
    if (identifier == kIccApplication) return ReadIcc(in, store, metadata);
    if (identifier == kNetscapeApplication || identifier == kAnimExtsApplication)
        return ReadLoopCount(in, store, metadata);
    return SkipSubBlocks(in);
}

bool GifProcessor::Judge(ReadResult result) {
    if (result == ReadResult::Fatal) fatal_ = true;
    return !(result == ReadResult::Fatal || (result == ReadResult::Error && GetOptions().stopOnError));
}

bool GifProcessor::ReadXmp(std::istream& in, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                           FieldGroup group) {
    // The packet is stored raw: what a decoder takes for sub-block lengths
    // are bytes of the text, so they are kept. The run ends in a "magic
    // trailer" that makes any decoder land on the terminator; it follows the
    // packet's end and is cut off.
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
    return Judge(xmp->Read(packet, store, metadata, group));
}

bool GifProcessor::ReadIcc(std::istream& in, std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    std::string profile;
    if (!CollectSubBlocks(in, profile)) return false;
    std::unique_ptr<Processor> const icc =
        ProcessorRegistry::CreateProcessor(ProcessorRegistry::FindByName("ICC Profile"), GetOptions());
    if (!icc || profile.empty()) return true;
    InMemoryStream stream(profile.data(), profile.size());
    DataSource source(stream, 0);
    if (!source.ProvisionRemainingData()) return Judge(ReadResult::Error);
    return Judge(icc->Read(source, store, metadata, FieldGroup::IccProfile));
}

bool GifProcessor::ReadLoopCount(std::istream& in, std::shared_ptr<ReadStore> const& store,
                                 Metadata& metadata) {
    // Sub-block 1 holds the number of repetitions; 0 loops for ever.
    std::string data;
    if (!CollectSubBlocks(in, data)) return false;
    if (data.size() >= 3 && data[0] == 1) {
        std::uint16_t const loops = detail::LittleEndian16(data, 1);
        AddItem(metadata, store, "AnimationIterations", loops == 0 ? Value("Infinite") : Value(loops));
    }
    return true;
}

}  // namespace meta
