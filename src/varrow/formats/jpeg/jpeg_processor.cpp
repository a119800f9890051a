#include "varrow/formats/jpeg/jpeg_processor.h"

#include <array>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/fields/key.h"
#include "varrow/formats/jpeg/extended_xmp.h"
#include "varrow/formats/jpeg/icc_chunks.h"
#include "varrow/formats/jpeg/jpeg_identifiers.h"
#include "varrow/formats/jpeg/jpeg_segments.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/items/simple_metadatums.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

ProcessorRegistration<JpegProcessor> const kRegistration("JPEG document");

// Markers (the byte after 0xFF).
constexpr std::uint8_t kSoi = 0xD8;
constexpr std::uint8_t kSoc = 0x4F;  // JPEG 2000 codestream
constexpr std::uint8_t kTem = 0x01;
constexpr std::uint8_t kEoi = 0xD9;
constexpr std::uint8_t kSos = 0xDA;
constexpr std::uint8_t kSod = 0x93;  // JPEG 2000 data
constexpr std::uint8_t kApp0 = 0xE0;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint8_t kApp2 = 0xE2;
constexpr std::uint8_t kApp13 = 0xED;
constexpr std::uint8_t kCom = 0xFE;

constexpr bool IsStartOfFrame(std::uint8_t marker) {
    // C4 (DHT), C8 (JPG) and CC (DAC) share the range without being frames.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

constexpr bool IsStartMarker(std::uint8_t marker) {
    return marker == kSoi || marker == kSoc || marker == kTem;
}

std::uint8_t ByteAt(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint8_t>(bytes[at]);
}

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(ByteAt(bytes, at)) << 24 |
           static_cast<std::uint32_t>(ByteAt(bytes, at + 1)) << 16 |
           static_cast<std::uint32_t>(ByteAt(bytes, at + 2)) << 8 | ByteAt(bytes, at + 3);
}

bool ReadIdentifier(DataSource& source, std::string_view identifier) {
    if (!source.EnsureProvisionLocal(identifier.size())) return false;
    if (!detail::StartsWithSignature(source.AsStringView(true), identifier)) return false;
    return source.SeekBufferBy(static_cast<long long>(identifier.size()));
}

// The state of one walk: lives on the stack of one Read call.
class JpegWalk {
  public:
    JpegWalk(JpegProcessor const& processor, DataSource& source, std::shared_ptr<ReadStore> const& store,
             Metadata& metadata)
        : names_(processor.GetSubProcessorNames()),
          options_(processor.GetOptions()),
          source_(source),
          store_(store),
          metadata_(metadata) {}

    ReadResult Run();

  private:
    // A segment branch either lets the walk go on (nothing) or ends the read
    // with a result.
    using Outcome = std::optional<ReadResult>;

    bool NextByte(std::uint8_t& byte);
    bool NextMarker(std::uint8_t& marker, bool& damaged);
    Outcome Dispatch(std::uint8_t marker);
    Outcome Jfif();
    Outcome App1();
    Outcome XmpPacket();
    Outcome ExtendedXmpChunk();
    Outcome IccChunk();
    Outcome Photoshop();
    Outcome Frame(std::uint8_t marker);
    Outcome Comment();
    ReadResult Finish();

    // The window always starts at the payload's first byte.
    bool Provide(std::size_t n) { return source_.EnsureProvision(n); }
    std::string_view Payload() const { return source_.AsStringView().substr(0, payloadLength_); }
    // Makes the window the payload after its first `skip` bytes, fenced, for
    // a processor that reads the same source. False when the payload cannot
    // be provisioned.
    bool HandOverPayload(std::size_t skip);
    std::unique_ptr<Processor> Create(char const* name) const {
        return ProcessorRegistry::CreateProcessor(ProcessorRegistry::FindByName(name), options_);
    }
    // The sub-read rule: an Error counts only under stopOnError.
    Outcome Judge(ReadResult result) const {
        if (result == ReadResult::Error && !options_.stopOnError) result = ReadResult::NotHandled;
        if (result == ReadResult::Error || result == ReadResult::Fatal) return result;
        return std::nullopt;
    }
    void Add(FieldGroup group, char const* name, Value value) {
        metadata_.Add<GenericMetadatum<JpegKey>>(JpegKey{group, name}, store_, std::move(value));
    }
    void AddJfifFields(std::string_view record);

    JpegProcessor::SubProcessorNames const& names_;
    Options const& options_;
    DataSource& source_;
    std::shared_ptr<ReadStore> const& store_;
    Metadata& metadata_;

    std::streamoff payloadStart_ = 0;
    std::size_t payloadLength_ = 0;
    IccChunkAssembler icc_;
    ExtendedXmpAssembler extendedXmp_;
};

bool JpegWalk::NextByte(std::uint8_t& byte) {
    // One byte at a time, dropping the last: a long run of fill bytes never
    // grows the window.
    source_.UnprovisionData();
    if (!source_.ProvisionData(1)) return false;
    byte = ByteAt(source_.AsStringView(), 0);
    return true;
}

bool JpegWalk::NextMarker(std::uint8_t& marker, bool& damaged) {
    damaged = false;
    std::uint8_t byte = 0;
    if (!NextByte(byte)) return false;
    if (byte != 0xFF) {
        damaged = true;
        return false;
    }
    do {
        if (!NextByte(byte)) return false;
    } while (byte == 0xFF);
    marker = byte;
    return true;
}

ReadResult JpegWalk::Run() {
    source_.UnprovisionData();
    if (!source_.ProvisionData(2)) return ReadResult::Error;
    std::string_view const start = source_.AsStringView();
    if (ByteAt(start, 0) != 0xFF || !IsStartMarker(ByteAt(start, 1))) return ReadResult::Error;

    for (;;) {
        std::uint8_t marker = 0;
        bool damaged = false;
        if (!NextMarker(marker, damaged)) {
            if (damaged) return ReadResult::Error;
            break;
        }
        if (marker == kEoi || marker == kSos || marker == kSod) break;

        // Everything else has a length, RSTn and a repeated SOI included. A
        // length under 2 wraps around in 16 bits, as the field is meant to.
        source_.UnprovisionData();
        if (!source_.ProvisionData(2)) return ReadResult::Error;
        std::string_view const length = source_.AsStringView();
        auto const field = static_cast<std::uint16_t>(ByteAt(length, 0) << 8 | ByteAt(length, 1));
        payloadLength_ = static_cast<std::uint16_t>(field - 2u);
        source_.UnprovisionData();
        payloadStart_ = std::streamoff(source_.GetInputStreamPos());
        if (payloadStart_ < 0) return ReadResult::Error;

        if (Outcome const outcome = Dispatch(marker)) return *outcome;

        // Whatever the branch consumed, the next segment starts here. A seek
        // that is refused means the input ended inside the segment.
        if (!source_.SeekInputTo(
                std::streampos(payloadStart_ + static_cast<std::streamoff>(payloadLength_)))) {
            break;
        }
    }
    return Finish();
}

JpegWalk::Outcome JpegWalk::Dispatch(std::uint8_t marker) {
    switch (marker) {
        case kApp0: return Jfif();
        case kApp1: return App1();
        case kApp2: return IccChunk();
        case kApp13: return Photoshop();
        case kCom: return Comment();
        default: break;
    }
    if (IsStartOfFrame(marker)) return Frame(marker);
    return std::nullopt;
}

bool JpegWalk::HandOverPayload(std::size_t skip) {
    // An identifier test may have provisioned past a short payload: start
    // the window again so that it ends where the payload does.
    if (source_.GetBytesProvisioned() > payloadLength_ &&
        !source_.SeekInputTo(std::streampos(payloadStart_))) {
        return false;
    }
    if (!Provide(payloadLength_)) return false;
    source_.UnprovisionData(skip);
    source_.MarkAsUsable(payloadLength_ - skip);
    return true;
}

JpegWalk::Outcome JpegWalk::Jfif() {
    if (!ReadJfifHeader(source_)) return std::nullopt;
    std::size_t const skip = detail::kJfifId.size();
    if (payloadLength_ < skip) return Judge(ReadResult::Error);
    if (payloadLength_ == skip) return std::nullopt;
    if (!HandOverPayload(skip)) return ReadResult::Error;

    std::unique_ptr<Processor> const binary = Create(names_.binary);
    if (!binary) {
        // Without the record reader the few JFIF fields are read here.
        AddJfifFields(source_.AsStringView());
        return std::nullopt;
    }
    ScopedStoreSetter<&ReadStore::byteOrder> const order(*store_, ByteOrder::BigEndian);
    ScopedStoreSetter<&ReadStore::valueCount> const count(*store_,
                                                          static_cast<std::uint32_t>(payloadLength_));
    ScopedStoreSetter<&ReadStore::currentGroup> const current(*store_, FieldGroup::Jfif);
    ScopedStoreSetter<&ReadStore::valueFormat> const format(*store_, ExifType::Undefined);
    return Judge(binary->Read(source_, store_, metadata_, FieldGroup::Jfif));
}

void JpegWalk::AddJfifFields(std::string_view record) {
    JfifRecord const jfif = ParseJfifRecord(record);
    if (jfif.version)
        Add(FieldGroup::Jfif, "JFIFVersion", FormatJfifVersion((*jfif.version)[0], (*jfif.version)[1]));
    if (jfif.resolutionUnit) Add(FieldGroup::Jfif, "ResolutionUnit", *jfif.resolutionUnit);
    if (jfif.xResolution) Add(FieldGroup::Jfif, "XResolution", *jfif.xResolution);
    if (jfif.yResolution) Add(FieldGroup::Jfif, "YResolution", *jfif.yResolution);
    // A zero thumbnail size means there is no thumbnail, not a size.
    if (jfif.thumbnailWidth.value_or(0) != 0) Add(FieldGroup::Jfif, "ThumbnailWidth", *jfif.thumbnailWidth);
    if (jfif.thumbnailHeight.value_or(0) != 0)
        Add(FieldGroup::Jfif, "ThumbnailHeight", *jfif.thumbnailHeight);
}

JpegWalk::Outcome JpegWalk::App1() {
    if (ReadExifHeader(source_)) {
        std::size_t const skip = detail::kExifId.size();
        if (payloadLength_ < skip) return Judge(ReadResult::Error);
        if (!HandOverPayload(skip)) return ReadResult::Error;
        std::unique_ptr<Processor> tiff = Create(names_.tiff);
        if (!tiff) return std::nullopt;
        return Judge(Processor::SafeRead(tiff.get(), source_, store_, metadata_, FieldGroup::Unknown, 0));
    }
    if (Provide(36) &&
        detail::ContainsSignature(source_.AsStringView().substr(0, 36), detail::kExtendedXmpSignature)) {
        return ExtendedXmpChunk();
    }
    if (Provide(9) && detail::IsXmpPacketStart(source_.AsStringView().substr(0, 9))) return XmpPacket();
    return std::nullopt;
}

JpegWalk::Outcome JpegWalk::XmpPacket() {
    if (!Provide(payloadLength_)) return ReadResult::Error;
    std::size_t skip = 0;
    if (Provide(detail::kXmpSignature.size()) &&
        detail::StartsWithSignature(source_.AsStringView(), detail::kXmpSignature)) {
        skip = detail::kXmpSignature.size();
    }
    if (payloadLength_ < skip) return Judge(ReadResult::Error);
    if (payloadLength_ == skip) return std::nullopt;
    if (!HandOverPayload(skip)) return ReadResult::Error;
    std::unique_ptr<Processor> const xmp = Create(names_.xmp);
    if (!xmp) return std::nullopt;
    return Judge(xmp->Read(source_, store_, metadata_, FieldGroup::Xmp));
}

JpegWalk::Outcome JpegWalk::ExtendedXmpChunk() {
    // Signature 35, GUID 32, full length 4, offset 4, then the data.
    constexpr std::size_t kGuidAt = 35, kFullLengthAt = 67, kOffsetAt = 71, kHeaderSize = 75;
    if (payloadLength_ <= kHeaderSize || !options_.readExtendedXmp) return std::nullopt;
    if (!Provide(kHeaderSize)) return ReadResult::Error;
    std::string_view const header = source_.AsStringView();
    ExtendedXmpDocument* const document =
        extendedXmp_.Document(header.substr(kGuidAt, 32), BigEndian32(header, kFullLengthAt));
    if (document == nullptr) return std::nullopt;
    std::uint32_t const offset = BigEndian32(header, kOffsetAt);
    // A chunk cut short by the end of the input is dropped.
    if (!Provide(payloadLength_)) return std::nullopt;
    document->chunks.push_back({offset, std::string(Payload().substr(kHeaderSize))});
    return std::nullopt;
}

JpegWalk::Outcome JpegWalk::IccChunk() {
    constexpr std::size_t kHeaderSize = 14;  // identifier, sequence number, count
    if (!Provide(detail::kIccId.size()) ||
        !detail::StartsWithSignature(source_.AsStringView(), detail::kIccId)) {
        return std::nullopt;
    }
    if (payloadLength_ < kHeaderSize) return std::nullopt;
    if (!Provide(kHeaderSize)) return ReadResult::Error;
    std::string_view const header = source_.AsStringView();
    std::uint8_t const sequence = ByteAt(header, 12);
    std::uint8_t const count = ByteAt(header, 13);
    if (icc_.AcceptedCount() != 0 && count != icc_.AcceptedCount()) return std::nullopt;
    if (!Provide(payloadLength_)) return ReadResult::Error;
    icc_.Add(sequence, count, Payload().substr(kHeaderSize));
    return std::nullopt;
}

JpegWalk::Outcome JpegWalk::Photoshop() {
    std::size_t const skip = detail::kPhotoshopId.size();
    if (!Provide(skip) || !detail::StartsWithSignature(source_.AsStringView(), detail::kPhotoshopId)) {
        return std::nullopt;
    }
    if (payloadLength_ < skip) return Judge(ReadResult::Error);
    if (payloadLength_ == skip) return std::nullopt;
    if (!HandOverPayload(skip)) return ReadResult::Error;
    std::unique_ptr<Processor> const resources = Create(names_.photoshop);
    if (!resources) return std::nullopt;
    return Judge(resources->Read(source_, store_, metadata_, FieldGroup::Unknown));
}

JpegWalk::Outcome JpegWalk::Frame(std::uint8_t marker) {
    if (!Provide(payloadLength_)) return ReadResult::Error;
    std::optional<JpegFrameHeader> const frame = ParseJpegFrameHeader(Payload());
    if (!frame) return std::nullopt;
    Add(FieldGroup::JpegSof, "ImageWidth", frame->samplesPerLine);
    Add(FieldGroup::JpegSof, "ImageHeight", frame->lines);
    Add(FieldGroup::JpegSof, "EncodingProcess", static_cast<std::int32_t>(marker) - 0xC0);
    Add(FieldGroup::JpegSof, "BitsPerSample", frame->precision);
    Add(FieldGroup::JpegSof, "ColorComponents", frame->components);
    if (frame->subSampling) {
        Add(FieldGroup::JpegSof, "YCbCrSubSampling",
            std::vector<std::uint32_t>(frame->subSampling->begin(), frame->subSampling->end()));
    }
    return std::nullopt;
}

JpegWalk::Outcome JpegWalk::Comment() {
    if (payloadLength_ == 0) return std::nullopt;
    if (!Provide(payloadLength_)) return ReadResult::Error;
    std::string_view const text = TrimJpegComment(Payload());
    if (!text.empty()) Add(FieldGroup::JpegCom, "Comment", std::string(text));
    return std::nullopt;
}

ReadResult JpegWalk::Finish() {
    source_.UnprovisionData();
    if (!icc_.Empty()) {
        std::optional<std::string> const profile = icc_.Assemble();
        std::unique_ptr<Processor> const reader = profile ? Create(names_.icc) : nullptr;
        if (reader) {
            InMemoryStream stream(profile->data(), profile->size());
            DataSource source(stream, 0);
            source.ProvisionRemainingData();
            if (Outcome const outcome =
                    Judge(reader->Read(source, store_, metadata_, FieldGroup::IccProfile))) {
                return *outcome;
            }
        }
    }
    for (auto const& entry : extendedXmp_.Documents()) {
        std::optional<std::string> const text = ExtendedXmpAssembler::Assemble(entry.second);
        if (!text) continue;
        std::unique_ptr<Processor> const reader = Create(names_.xmp);
        if (!reader) break;
        InMemoryStream stream(text->data(), text->size());
        DataSource source(stream, 0);
        if (Outcome const outcome = Judge(reader->Read(source, store_, metadata_, FieldGroup::Xmp))) {
            return *outcome;
        }
    }
    return ReadResult::Success;
}

}  // namespace

bool ReadJfifHeader(DataSource& source) {
    return ReadIdentifier(source, detail::kJfifId);
}

bool ReadExifHeader(DataSource& source) {
    return ReadIdentifier(source, detail::kExifId);
}

bool JpegProcessor::ReadHeader(std::istream& in) {
    std::array<char, 2> bytes{};
    if (!in.read(bytes.data(), 2)) return false;
    return ByteAt(std::string_view(bytes.data(), 2), 0) == 0xFF &&
           IsStartMarker(ByteAt(std::string_view(bytes.data(), 2), 1));
}

ReadResult JpegProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store,
                               Metadata& metadata, FieldGroup group) {
    // A window of an outer source (a preview inside a raw file) is read
    // through a source of its own, exactly like a file.
    if (source.GetBytesProvisioned() != 0) return SafeRead(this, source, store, metadata, group, 0);
    if (!store) return ReadResult::Error;

    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);
    return JpegWalk(*this, source, store, metadata).Run();
}

}  // namespace meta
