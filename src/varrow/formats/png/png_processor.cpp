#include "varrow/formats/png/png_processor.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/fields/defs/field_defs.h"
#include "varrow/formats/png/png_chunks.h"
#include "varrow/formats/png/png_item.h"
#include "varrow/formats/png/png_processor_impl.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/directory_reader.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

ProcessorRegistration<PngProcessor> const kRegistration("PNG document");

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

// Makes the window exactly the chunk's `length` data bytes at input
// position `at`. The window grows in bounded steps, so a length the input
// cannot back costs no more memory than the input holds.
bool ProvideChunk(DataSource& source, std::streampos at, std::size_t length) {
    if (length == 0) {
        source.UnprovisionData();
        return source.SeekInputTo(at);
    }
    std::size_t const first = std::min(length, DataSource::MaxProvisionStep);
    if (!source.AutoProvision(at, static_cast<long long>(first))) return false;
    if (source.GetBytesProvisioned() > length) {
        // The target lay inside a longer window: start one of our own.
        source.UnprovisionData();
        if (!source.SeekInputTo(at) || !source.ProvisionData(first)) return false;
    }
    while (source.GetBytesProvisioned() < length) {
        std::size_t const step =
            std::min(length - source.GetBytesProvisioned(), DataSource::MaxProvisionStep);
        if (!source.ProvisionData(step)) return false;
    }
    source.MarkAsUsable(length);
    return source.SeekBufferTo(std::streampos(0));
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

// Position of the NUL that ends a field starting at `from`, or npos.
std::size_t FieldEnd(std::string_view data, std::size_t from) {
    return from > data.size() ? std::string_view::npos : data.find('\0', from);
}

enum class ChunkKind { Ignored, Header, Icc, InternationalText, CompressedText, Text, Exif, Record, Packed };

ChunkKind Classify(std::string_view type) {
    if (type == "IHDR" || type == "MHDR" || type == "JHDR") return ChunkKind::Header;
    if (type == "iCCP") return ChunkKind::Icc;
    if (type == "iTXt") return ChunkKind::InternationalText;
    if (type == "zTXt") return ChunkKind::CompressedText;
    if (type == "tEXt") return ChunkKind::Text;
    if (type == "eXIf") return ChunkKind::Exif;
    if (type == "pHYs" || type == "cHRM" || type == "vpAg") return ChunkKind::Record;
    if (IsPackedPngChunk(type)) return ChunkKind::Packed;
    return ChunkKind::Ignored;
}

// The field table and element size of a fixed-layout chunk read field by
// field.
struct RecordLayout {
    FieldTable<RecordField> const* table;
    std::size_t elementSize;
};

RecordLayout LayoutOf(std::string_view type) {
    static FieldTable<RecordField> const physical = field_defs::PngPhysicalPixelFields();
    static FieldTable<RecordField> const chromaticities = field_defs::PngPrimaryChromaticitiesFields();
    static FieldTable<RecordField> const virtualPage = field_defs::PngVirtualPageFields();
    if (type == "pHYs") return {&physical, 1};
    if (type == "cHRM") return {&chromaticities, 4};
    return {&virtualPage, 4};
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
    colourType_ = -1;
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
    if (!ProvideChunk(source, at, n)) return ReadResult::Error;
    std::string_view const data = n == 0 ? std::string_view() : source.AsStringView().substr(0, n);

    switch (kind) {
        case ChunkKind::Header: {
            FieldGroup const headerGroup = type == "IHDR"   ? FieldGroup::Png
                                           : type == "MHDR" ? FieldGroup::Mng
                                                            : FieldGroup::Jng;
            return ReadHeaderChunk(source, store, metadata, headerGroup, n);
        }
        case ChunkKind::Icc: {
            std::size_t const nameEnd = FieldEnd(data, 0);
            if (nameEnd == std::string_view::npos || nameEnd + 1 >= n || data[nameEnd + 1] != '\0') {
                return ReadResult::Error;
            }
            std::string const name(data.substr(0, nameEnd));
            ReleaseTo(source, nameEnd + 2, n);
            return ReadCompressed(
                name, source, store, metadata, FieldGroup::IccProfile,
                [this](std::string_view profileName, DataSource& inflated,
                       std::shared_ptr<ReadStore> const& s, Metadata& m,
                       FieldGroup g) { return ReadIccProfileChunk(profileName, inflated, s, m, g); },
                Undecoded::ProfileName);
        }
        case ChunkKind::InternationalText: {
            std::size_t const keywordEnd = FieldEnd(data, 0);
            if (keywordEnd == std::string_view::npos || keywordEnd + 2 >= n) return ReadResult::Error;
            bool const compressed = data[keywordEnd + 1] != '\0';
            char const method = data[keywordEnd + 2];
            std::size_t const languageEnd = FieldEnd(data, keywordEnd + 3);
            std::size_t const translatedEnd =
                languageEnd == std::string_view::npos ? languageEnd : FieldEnd(data, languageEnd + 1);
            if (translatedEnd == std::string_view::npos) return ReadResult::Error;
            std::string const keyword(data.substr(0, keywordEnd));
            std::string const language(data.substr(keywordEnd + 3, languageEnd - keywordEnd - 3));
            TextAttributes const attributes{false, language};
            ReleaseTo(source, translatedEnd + 1, n);
            if (!compressed) return ReadTextChunk(keyword, source, store, metadata, attributes);
            if (method != '\0') return ReadResult::Error;
            return ReadCompressed(
                keyword, source, store, metadata, group,
                [this, attributes](std::string_view k, DataSource& inflated,
                                   std::shared_ptr<ReadStore> const& s, Metadata& m,
                                   FieldGroup) { return ReadTextChunk(k, inflated, s, m, attributes); },
                Undecoded::TextItem);
        }
        case ChunkKind::CompressedText: {
            std::size_t const keywordEnd = FieldEnd(data, 0);
            if (keywordEnd == std::string_view::npos || keywordEnd + 1 >= n || data[keywordEnd + 1] != '\0') {
                return ReadResult::Error;
            }
            std::string const keyword(data.substr(0, keywordEnd));
            ReleaseTo(source, keywordEnd + 2, n);
            return ReadCompressed(
                keyword, source, store, metadata, group,
                [this](std::string_view k, DataSource& inflated, std::shared_ptr<ReadStore> const& s,
                       Metadata& m, FieldGroup) {
                    return ReadTextChunk(k, inflated, s, m, TextAttributes{true, {}});
                },
                Undecoded::TextItem);
        }
        case ChunkKind::Text: {
            std::size_t const keywordEnd = FieldEnd(data, 0);
            if (keywordEnd == std::string_view::npos) return ReadResult::Error;
            std::string const keyword(data.substr(0, keywordEnd));
            ReleaseTo(source, keywordEnd + 1, n);
            return ReadTextChunk(keyword, source, store, metadata, TextAttributes{true, {}});
        }
        case ChunkKind::Exif: {
            // Some writers keep the JPEG APP1 identifier in front of the TIFF header.
            if (detail::StartsWithBytes(data, detail::kPngExifId))
                ReleaseTo(source, detail::kPngExifId.size(), n);
            return Judge(Hand(detail::kPngTiffReader, source, store, metadata, group, true));
        }
        case ChunkKind::Record: return ReadFields(type, source, store, metadata);
        case ChunkKind::Packed: ReadPackedChunk(type, data, store, metadata); return ReadResult::Success;
        case ChunkKind::Ignored: break;
    }
    return ReadResult::Success;
}

ReadResult PngProcessor::ReadHeaderChunk(DataSource& source, std::shared_ptr<ReadStore> const& store,
                                         Metadata& metadata, FieldGroup group, std::size_t length) {
    // MNG's header is seven 32-bit words; IHDR (13) and JHDR (16) are read
    // byte-addressed with 32-bit width and height.
    bool const words = group == FieldGroup::Mng;
    std::size_t const needed = group == FieldGroup::Png ? 13 : group == FieldGroup::Jng ? 16 : 28;
    if (length < needed) return ReadResult::Error;
    if (group == FieldGroup::Png) colourType_ = static_cast<unsigned char>(source.AsStringView()[9]);

    std::unique_ptr<Processor> const record = ProcessorRegistry::CreateProcessor(
        ProcessorRegistry::FindByName(detail::kPngRecordReader), GetOptions());
    if (!record) return ReadResult::NotHandled;
    ScopedStoreSetter<&ReadStore::valueFormat> const format(*store, words ? ExifType::Long : ExifType::Byte);
    ScopedStoreSetter<&ReadStore::valueCount> const count(
        *store, static_cast<std::uint32_t>(words ? needed / 4 : needed));
    ScopedStoreSetter<&ReadStore::currentGroup> const current(*store, group);
    source.MarkAsUsable(needed);
    return record->Read(source, store, metadata, group);
}

ReadResult PngProcessor::ReadFields(std::string_view type, DataSource& source,
                                    std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    RecordLayout const layout = LayoutOf(type);
    std::size_t const size = detail::RestOfWindow(source).size();
    ScopedStoreSetter<&ReadStore::dataSource> const data(*store, &source);
    ScopedStoreSetter<&ReadStore::currentGroup> const current(*store, FieldGroup::Png);
    bool any = false;
    for (auto const& [id, field] : *layout.table) {
        if (id < 0) continue;
        std::size_t const offset = static_cast<std::size_t>(id) * layout.elementSize;
        std::uint32_t const count = field.fixedCount != 0 ? field.fixedCount : 1;
        std::size_t const bytes = GetExifTypeSize(field.overrideFormat) * count;
        if (bytes == 0 || offset + bytes > size) continue;
        if (!source.SeekBufferTo(std::streampos(static_cast<std::streamoff>(offset)), true)) continue;
        ReadResult const r = GenerateMetadatum<RecordField>(
            *this, source, store, metadata, std::optional<int>(id), &field, FieldGroup::Png,
            field.overrideFormat, count, DataFencingStrategy::Passthrough, 1);
        if (r == ReadResult::Fatal) return r;
        any = any || r == ReadResult::Success;
    }
    return any ? ReadResult::Success : ReadResult::NotHandled;
}

void PngProcessor::ReadPackedChunk(std::string_view type, std::string_view data,
                                   std::shared_ptr<ReadStore> const& store, Metadata& metadata) const {
    for (PackedChunkItem& item : DecodePackedChunk(type, data, colourType_, *store)) {
        metadata.Add<PngMetadatum>(PngKey{FieldGroup::Png, std::string(item.name)}, store,
                                   std::move(item.raw), std::move(item.display));
    }
}

}  // namespace meta
