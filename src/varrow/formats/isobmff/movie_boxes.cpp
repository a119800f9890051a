#include "varrow/formats/isobmff/movie_boxes.h"

#include <algorithm>

#include "varrow/formats/isobmff/box_data.h"
#include "varrow/formats/isobmff/canon_boxes.h"
#include "varrow/formats/isobmff/meta_boxes.h"
#include "varrow/formats/isobmff/provision.h"
#include "varrow/io/data_source.h"

namespace meta::isobmff {
namespace {

// Bounds on the timed-metadata blocks taken from one track: the sample
// tables may claim far more than a file could hold.
constexpr std::size_t kMaxTimedMetadataBlocks = 4096;
constexpr std::uint32_t kMaxSamplesPerChunk = 65536;

}  // namespace

ReadResult MoovBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    BoxType const& type = child.GetTypeBytes();
    if (type == Type("mvhd")) {
        // The record's 32-bit layout is that of version 0; later versions
        // widen its times and move everything after them.
        if (child.GetPayloadSize() == 0 || !ProvideRegion(GetContext(), child.GetPayloadOffset(), 1) ||
            GetContext().source.AsStringView().front() != '\0')
            return ReadResult::NotHandled;
        return DelegateBinary(child, FieldGroup::IsoBaseMediaMovieHeader, ExifType::Long);
    }
    if (type == Type("trak")) return DelegateBox<TrakBox>(child);
    if (type == kCanonUuid) return DelegateBox<CanonBox>(child);
    return SkipChild(child);
}

ReadResult TrakBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    BoxType const& type = child.GetTypeBytes();
    if (type == Type("tkhd")) return DelegateBox<TkhdBox>(child);
    if (type == Type("mdia")) return DelegateBox<MdiaBox>(child, track_);
    return SkipChild(child);
}

ReadResult TrakBox::PostRead() {
    if (track_.sampleEntry == FourCc::FromString("CRAW")) AddRawDescription();
    if (track_.sampleEntry == FourCc::FromString("CTMD")) AddTimedMetadataInstructions();
    return ReadResult::Success;
}

void TrakBox::AddRawDescription() {
    if (!track_.rawFrame) return;
    TrackInfo::RawFrame const& frame = *track_.rawFrame;
    // A CR3 file has a small raw frame too: the largest one describes the image.
    std::uint64_t const area = std::uint64_t{frame.frameWidth} * frame.frameHeight;
    ParseContext& context = GetContext();
    if (context.largestRawArea && area < *context.largestRawArea) return;
    context.largestRawArea = area;

    AddItem(FieldGroup::CanonCr3, "FrameWidth", frame.frameWidth);
    AddItem(FieldGroup::CanonCr3, "FrameHeight", frame.frameHeight);
    AddItem(FieldGroup::CanonCr3, "TileWidth", frame.tileWidth);
    AddItem(FieldGroup::CanonCr3, "TileHeight", frame.tileHeight);
    AddItem(FieldGroup::CanonCr3, "BitDepth", std::uint32_t{frame.bitDepth});
    AddItem(FieldGroup::CanonCr3, "NumberOfPlanes", std::uint32_t{frame.planes});
    if (track_.sensorWidth) AddItem(FieldGroup::CanonCr3, "SensorWidth", std::uint32_t{*track_.sensorWidth});
    if (track_.sensorHeight)
        AddItem(FieldGroup::CanonCr3, "SensorHeight", std::uint32_t{*track_.sensorHeight});

    if (!track_.chunkOffsets.empty()) {
        std::uint32_t const size =
            track_.sampleSizes.empty() ? track_.uniformSampleSize : track_.sampleSizes.front();
        AddItem(FieldGroup::Composite, "MainImageDataOffset", track_.chunkOffsets.front());
        AddItem(FieldGroup::Composite, "MainImageDataLength", size);
    }
}

void TrakBox::AddTimedMetadataInstructions() {
    std::vector<items::DataExtractionInstruction>& instructions = GetContext().model.instructions;
    std::size_t added = 0;
    std::uint64_t sample = 0;
    std::size_t run = 0;
    for (std::size_t chunk = 0; chunk < track_.chunkOffsets.size() && added < kMaxTimedMetadataBlocks;
         ++chunk) {
        auto const chunkNumber = static_cast<std::uint64_t>(chunk) + 1;
        while (run + 1 < track_.chunkRuns.size() && track_.chunkRuns[run + 1].firstChunk <= chunkNumber)
            ++run;
        if (track_.chunkRuns.empty()) break;
        std::uint32_t const samples = std::min(track_.chunkRuns[run].samplesPerChunk, kMaxSamplesPerChunk);
        std::uint64_t length = 0;
        for (std::uint32_t s = 0; s < samples && sample < track_.sampleCount; ++s, ++sample) {
            if (track_.sampleSizes.empty()) {
                length += track_.uniformSampleSize;
            } else if (sample < track_.sampleSizes.size()) {
                length += track_.sampleSizes[static_cast<std::size_t>(sample)];
            }
        }
        if (length == 0) continue;
        items::DataExtractionInstruction instruction;
        instruction.kind = items::ExtractionKind::CanonTimedMetadata;
        instruction.constructionMethod = 0;
        instruction.extentCount = 1;
        instruction.firstExtent = items::Extent{0, track_.chunkOffsets[chunk], length};
        instruction.recordCount = track_.timedMetadataRecords;
        instructions.push_back(instruction);
        ++added;
    }
}

ReadResult MdiaBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    if (child.GetTypeBytes() == Type("hdlr")) return DelegateBox<HdlrBox>(child, Track().handler);
    if (child.GetTypeBytes() == Type("minf")) return DelegateBox<MinfBox>(child, Track());
    return SkipChild(child);
}

ReadResult MinfBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    if (child.GetTypeBytes() == Type("stbl")) return DelegateBox<StblBox>(child, Track());
    return SkipChild(child);
}

ReadResult StblBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    BoxType const& type = child.GetTypeBytes();
    if (type == Type("stsd")) return DelegateBox<StsdBox>(child, Track());
    if (type == Type("stsz")) return DelegateBox<StszBox>(child, Track());
    if (type == Type("stsc")) return DelegateBox<StscBox>(child, Track());
    if (type == Type("stco")) return DelegateBox<StcoBox>(child, Track());
    if (type == Type("co64")) return DelegateBox<Co64Box>(child, Track());
    return SkipChild(child);
}

ReadResult StsdBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    BoxType const& type = child.GetTypeBytes();
    if (Track().sampleEntry == FourCc()) Track().sampleEntry = type.Narrow();
    if (type == Type("CRAW")) return DelegateBox<CRAWBox>(child, Track());
    if (type == Type("CTMD")) return DelegateBox<CTMDBox>(child, Track());
    return SkipChild(child);
}

ReadResult StszBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    TrackInfo& track = Track();
    if (!data.Read(track.uniformSampleSize) || !data.Read(track.sampleCount)) return ReadResult::Error;
    if (track.uniformSampleSize != 0) return ReadResult::Success;
    if (std::uint64_t{track.sampleCount} * 4 > data.Remaining()) return ReadResult::Error;
    track.sampleSizes.resize(track.sampleCount);
    for (std::uint32_t& size : track.sampleSizes) data.Read(size);
    return ReadResult::Success;
}

ReadResult StscBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::uint32_t count = 0;
    if (!data.Read(count)) return ReadResult::Error;
    if (std::uint64_t{count} * 12 > data.Remaining()) return ReadResult::Error;
    TrackInfo& track = Track();
    track.chunkRuns.resize(count);
    for (TrackInfo::ChunkRun& run : track.chunkRuns) {
        data.Read(run.firstChunk);
        data.Read(run.samplesPerChunk);
        data.Skip(4);  // sample description index
    }
    return ReadResult::Success;
}

namespace {

template <class Offset>
ReadResult ReadChunkOffsets(std::optional<std::string_view> const& bytes, TrackInfo& track) {
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::uint32_t count = 0;
    if (!data.Read(count)) return ReadResult::Error;
    if (std::uint64_t{count} * sizeof(Offset) > data.Remaining()) return ReadResult::Error;
    track.chunkOffsets.resize(count);
    for (std::uint64_t& offset : track.chunkOffsets) {
        Offset v = 0;
        data.Read(v);
        offset = v;
    }
    return ReadResult::Success;
}

}  // namespace

ReadResult StcoBox::Open() {
    return ReadChunkOffsets<std::uint32_t>(LoadData(), Track());
}

ReadResult Co64Box::Open() {
    return ReadChunkOffsets<std::uint64_t>(LoadData(), Track());
}

}  // namespace meta::isobmff
