#include "varrow/formats/png/png_processor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/fields/key.h"
#include "varrow/formats/png/png_processor_impl.h"
#include "varrow/io/data_source.h"
#include "varrow/io/provision_window.h"
#include "varrow/items/simple_metadatums.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

ProcessorRegistration<PngProcessor> const kRegistration("PNG document");

using PngKey = GenericStringKey<FieldNamespace::Png>;

struct Format {
    std::string_view signature;
    FieldGroup group;
    std::string_view header;
    std::string_view end;
};

constexpr std::array<Format, 3> kFormats{{
    {std::string_view("\x89PNG\r\n\x1a\n", 8), FieldGroup::Png, "IHDR", "IEND"},
    {std::string_view("\x8aMNG\r\n\x1a\n", 8), FieldGroup::Mng, "MHDR", "MEND"},
    {std::string_view("\x8bJNG\r\n\x1a\n", 8), FieldGroup::Jng, "JHDR", "IEND"},
}};

constexpr std::size_t kSignatureSize = 8;
constexpr std::size_t kChunkHeadSize = 8;  // length and type
constexpr std::size_t kCrcSize = 4;
constexpr std::size_t kImageHeaderSize = 13;

Format const* MatchSignature(std::string_view bytes) {
    for (Format const& format : kFormats) {
        if (bytes == format.signature) return &format;
    }
    return nullptr;
}

std::uint32_t BigEndian32(std::string_view b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3]));
}

// Makes the window the chunk's bytes from `offset` on, fenced; the cursor
// is at their start. Offsets at or past the end leave no window.
void ReleaseTo(DataSource& source, std::size_t offset, std::size_t length) {
    if (offset >= length) {
        source.UnprovisionData();
        return;
    }
    source.UnprovisionData(offset);
    source.MarkAsUsable(length - offset);
}

// Reads NUL-terminated fields front to back; a field without its NUL is a
// failed read.
class FieldCursor {
  public:
    explicit FieldCursor(std::string_view data) : data_(data) {}

    bool Text(std::string_view& field) {
        std::size_t const end = data_.find('\0', at_);
        if (end == std::string_view::npos) return false;
        field = data_.substr(at_, end - at_);
        at_ = end + 1;
        return true;
    }
    bool Byte(unsigned char& value) {
        if (at_ >= data_.size()) return false;
        value = static_cast<unsigned char>(data_[at_++]);
        return true;
    }
    std::size_t Offset() const { return at_; }

  private:
    std::string_view data_;
    std::size_t at_ = 0;
};

enum class ChunkKind { Ignored, ImageHeader, IccProfile, InternationalText, CompressedText, Exif };

ChunkKind Classify(std::string_view type) {
    if (type == "IHDR") return ChunkKind::ImageHeader;
    if (type == "iCCP") return ChunkKind::IccProfile;
    if (type == "iTXt") return ChunkKind::InternationalText;
    if (type == "zTXt") return ChunkKind::CompressedText;
    if (type == "eXIf") return ChunkKind::Exif;
    return ChunkKind::Ignored;
}

}  // namespace

bool PngProcessor::ReadHeader(std::istream& in, FieldGroup& group, std::string& headerChunk,
                              std::string& endChunk) {
    std::array<char, kSignatureSize> bytes{};
    if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()))) return false;
    Format const* format = MatchSignature(std::string_view(bytes.data(), bytes.size()));
    if (format == nullptr) return false;
    group = format->group;
    headerChunk = format->header;
    endChunk = format->end;
    return true;
}

ReadResult PngProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                              FieldGroup group) {
    // A PNG inside another block is read through a source of its own.
    if (source.GetBytesProvisioned() != 0) return SafeRead(this, source, store, metadata, group, 0);
    if (!store) return ReadResult::Error;

    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);

    if (!source.GetInputStream().good()) return ReadResult::Error;
    std::streamoff position = std::streamoff(source.GetInputStreamPos());
    if (position < 0 || !source.AutoProvision(std::streampos(position), kSignatureSize))
        return ReadResult::Error;
    std::string_view const signature = source.AsStringView();
    Format const* format =
        signature.size() < kSignatureSize ? nullptr : MatchSignature(signature.substr(0, kSignatureSize));
    if (format == nullptr) return ReadResult::Error;

    ScopedStoreSetter<&ReadStore::byteOrder> const order(*store, ByteOrder::BigEndian);
    bool headerSeen = false;
    position += static_cast<std::streamoff>(kSignatureSize);
    // Every pass moves at least one chunk head and CRC forward, and a chunk
    // head beyond the input fails: the walk always ends.
    for (;;) {
        if (!source.AutoProvision(std::streampos(position), kChunkHeadSize)) return ReadResult::Error;
        std::string_view const head = source.AsStringView();
        if (head.size() < kChunkHeadSize) return ReadResult::Error;
        std::uint32_t const length = BigEndian32(head, 0);
        if ((length & 0x80000000u) != 0) return ReadResult::Error;
        std::array<char, 4> typeBytes{};
        std::copy_n(head.data() + 4, 4, typeBytes.data());
        std::string_view const type(typeBytes.data(), typeBytes.size());

        if (type == format->end) return ReadResult::Success;
        if (!headerSeen) {
            if (type == format->header) {
                headerSeen = true;
            } else if (format->group != FieldGroup::Png || type != "CgBI") {
                return ReadResult::Error;
            }
        }
        std::streamoff const dataAt = position + static_cast<std::streamoff>(kChunkHeadSize);
        if (ReadChunk(type, std::streampos(dataAt), length, source, store, metadata, group) ==
            ReadResult::Fatal) {
            return ReadResult::Success;
        }
        position = dataAt + static_cast<std::streamoff>(length) + static_cast<std::streamoff>(kCrcSize);
    }
}

ReadResult PngProcessor::ReadChunk(std::string_view type, std::streampos at, long long length,
                                   DataSource& source, std::shared_ptr<ReadStore> const& store,
                                   Metadata& metadata, FieldGroup group) {
    if (type.size() != 4) return ReadResult::Success;
    ChunkKind const kind = Classify(type);
    if (kind == ChunkKind::Ignored) return ReadResult::Success;
    if (length < 0 || !store) return ReadResult::Error;
    auto const n = static_cast<std::size_t>(length);
    if (!ProvisionWindowAt(source, at, n)) return ReadResult::Error;
    std::string_view const data = n == 0 ? std::string_view() : source.AsStringView().substr(0, n);
    FieldCursor fields(data);

    switch (kind) {
        case ChunkKind::ImageHeader: {
            // Width, height, bit depth, colour type, compression, filter and
            // interlace; only the size becomes items.
            if (n < kImageHeaderSize) return ReadResult::Error;
            bool added = metadata.Add<GenericMetadatum<PngKey>>(PngKey{FieldGroup::Png, "ImageWidth"}, store,
                                                                Value(BigEndian32(data, 0)));
            added = metadata.Add<GenericMetadatum<PngKey>>(PngKey{FieldGroup::Png, "ImageHeight"}, store,
                                                           Value(BigEndian32(data, 4))) &&
                    added;
            return added ? ReadResult::Success : ReadResult::Error;
        }
        case ChunkKind::IccProfile: {
            std::string_view name;
            unsigned char method = 0;
            if (!fields.Text(name) || !fields.Byte(method) || method != 0) return ReadResult::Error;
            // The window is about to move: keep the name.
            std::string const profileName(name);
            ReleaseTo(source, fields.Offset(), n);
            return ReadCompressedTextChunk(
                profileName, source, store, metadata, FieldGroup::IccProfile,
                [this](std::string_view p, DataSource& inflated, std::shared_ptr<ReadStore> const& s,
                       Metadata& m, FieldGroup g) { return ReadIccProfileChunk(p, inflated, s, m, g); });
        }
        case ChunkKind::InternationalText: {
            std::string_view keyword;
            std::string_view language;
            std::string_view translated;
            unsigned char compressed = 0;
            unsigned char method = 0;
            if (!fields.Text(keyword) || !fields.Byte(compressed) || !fields.Byte(method) ||
                !fields.Text(language) || !fields.Text(translated)) {
                return ReadResult::Error;
            }
            if (compressed != 0 && method != 0) return ReadResult::Error;
            std::string const key(keyword);
            ReleaseTo(source, fields.Offset(), n);
            if (compressed == 0) return ReadTextChunk(key, source, store, metadata);
            return ReadCompressedTextChunk(
                key, source, store, metadata, group,
                [this](std::string_view k, DataSource& inflated, std::shared_ptr<ReadStore> const& s,
                       Metadata& m, FieldGroup) { return ReadTextChunk(k, inflated, s, m); });
        }
        case ChunkKind::CompressedText: {
            std::string_view keyword;
            unsigned char method = 0;
            if (!fields.Text(keyword) || !fields.Byte(method) || method != 0) return ReadResult::Error;
            std::string const key(keyword);
            ReleaseTo(source, fields.Offset(), n);
            return ReadCompressedTextChunk(
                key, source, store, metadata, group,
                [this](std::string_view k, DataSource& inflated, std::shared_ptr<ReadStore> const& s,
                       Metadata& m, FieldGroup) { return ReadTextChunk(k, inflated, s, m); });
        }
        case ChunkKind::Exif:
            // The chunk data starts with the TIFF header. The reader works on
            // a view fenced to the chunk, so no offset can lead it outside.
            return Hand(detail::kPngTiffReader, source, store, metadata, group, true);
        case ChunkKind::Ignored: break;
    }
    return ReadResult::Success;
}

}  // namespace meta
