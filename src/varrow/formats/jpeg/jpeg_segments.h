#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "varrow/api/export.h"

namespace meta {

// Fields of a JPEG frame header (SOFn payload, big-endian):
//   precision u8, lines u16, samples per line u16, components u8,
//   then per component: id u8, sampling factors u8 (H << 4 | V), table u8.
struct JpegFrameHeader {
    std::uint8_t precision = 0;
    std::uint16_t lines = 0;
    std::uint16_t samplesPerLine = 0;
    std::uint8_t components = 0;
    // Largest over smallest horizontal and vertical factor, rounded, for a
    // three-component frame whose factors are all non-zero.
    std::optional<std::array<std::uint32_t, 2>> subSampling;
};

// Nothing for a payload shorter than the 6 fixed bytes. The component table
// is read only for exactly three components and a payload of at least 15.
VARROW_API std::optional<JpegFrameHeader> ParseJpegFrameHeader(std::string_view payload);

// A COM payload without its trailing NUL, LF and CR bytes.
VARROW_API std::string_view TrimJpegComment(std::string_view payload) noexcept;

// The JFIF APP0 record after its "JFIF\0" identifier:
//   version major u8, minor u8, units u8, X density u16, Y density u16,
//   thumbnail width u8, thumbnail height u8, thumbnail pixels.
// A field that the record is too short to hold stays empty.
struct JfifRecord {
    std::optional<std::array<std::uint8_t, 2>> version;
    std::optional<std::uint8_t> resolutionUnit;
    std::optional<std::uint16_t> xResolution;
    std::optional<std::uint16_t> yResolution;
    std::optional<std::uint8_t> thumbnailWidth;
    std::optional<std::uint8_t> thumbnailHeight;
};

VARROW_API JfifRecord ParseJfifRecord(std::string_view record) noexcept;

// "1.02": the major number, a dot and the minor number in two digits.
VARROW_API std::string FormatJfifVersion(std::uint8_t major, std::uint8_t minor);

}  // namespace meta
