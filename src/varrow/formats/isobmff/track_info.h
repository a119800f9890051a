#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "varrow/formats/isobmff/identifier.h"

namespace meta::isobmff {

// What the boxes of one "trak" tell about it, gathered while it is read.
struct TrackInfo {
    FourCc handler;
    FourCc sampleEntry;  // type of the first sample description ("CRAW", "CTMD", ...)

    // CR3 raw description.
    struct RawFrame {
        std::uint32_t frameWidth = 0;
        std::uint32_t frameHeight = 0;
        std::uint32_t tileWidth = 0;
        std::uint32_t tileHeight = 0;
        std::uint8_t bitDepth = 0;
        std::uint8_t planes = 0;
    };
    std::optional<RawFrame> rawFrame;                        // "CMP1"
    std::optional<std::uint16_t> sensorWidth, sensorHeight;  // "IAD1"
    std::uint32_t timedMetadataRecords = 0;                  // "CTMD"

    // Sample tables.
    std::uint32_t uniformSampleSize = 0;
    std::uint32_t sampleCount = 0;
    std::vector<std::uint32_t> sampleSizes;  // when sizes differ
    struct ChunkRun {
        std::uint32_t firstChunk = 0;
        std::uint32_t samplesPerChunk = 0;
    };
    std::vector<ChunkRun> chunkRuns;
    std::vector<std::uint64_t> chunkOffsets;
};

}  // namespace meta::isobmff
