#include "varrow/formats/jpeg/jpeg_segments.h"

#include <algorithm>
#include <cmath>

namespace meta {
namespace {

std::uint8_t U8(std::string_view bytes, std::size_t at) noexcept {
    return static_cast<std::uint8_t>(bytes[at]);
}

std::uint16_t U16(std::string_view bytes, std::size_t at) noexcept {
    return static_cast<std::uint16_t>(U8(bytes, at) << 8 | U8(bytes, at + 1));
}

std::uint32_t RoundedRatio(unsigned largest, unsigned smallest) {
    return static_cast<std::uint32_t>(
        std::round(static_cast<double>(largest) / static_cast<double>(smallest)));
}

}  // namespace

std::optional<JpegFrameHeader> ParseJpegFrameHeader(std::string_view payload) {
    if (payload.size() < 6) return std::nullopt;
    JpegFrameHeader frame;
    frame.precision = U8(payload, 0);
    frame.lines = U16(payload, 1);
    frame.samplesPerLine = U16(payload, 3);
    frame.components = U8(payload, 5);
    if (frame.components != 3 || payload.size() < 15) return frame;

    unsigned hMin = 15, hMax = 0, vMin = 15, vMax = 0;
    for (std::size_t c = 0; c < 3; ++c) {
        std::uint8_t const factors = U8(payload, 6 + 3 * c + 1);
        unsigned const h = factors >> 4u, v = factors & 0x0Fu;
        hMin = std::min(hMin, h);
        hMax = std::max(hMax, h);
        vMin = std::min(vMin, v);
        vMax = std::max(vMax, v);
    }
    if (hMin != 0 && vMin != 0) frame.subSampling = {{RoundedRatio(hMax, hMin), RoundedRatio(vMax, vMin)}};
    return frame;
}

std::string_view TrimJpegComment(std::string_view payload) noexcept {
    std::size_t const last = payload.find_last_not_of(std::string_view("\0\n\r", 3));
    return last == std::string_view::npos ? std::string_view() : payload.substr(0, last + 1);
}

JfifRecord ParseJfifRecord(std::string_view record) noexcept {
    JfifRecord jfif;
    std::size_t const size = record.size();
    if (size >= 2) jfif.version = {{U8(record, 0), U8(record, 1)}};
    if (size >= 3) jfif.resolutionUnit = U8(record, 2);
    if (size >= 5) jfif.xResolution = U16(record, 3);
    if (size >= 7) jfif.yResolution = U16(record, 5);
    if (size >= 8) jfif.thumbnailWidth = U8(record, 7);
    if (size >= 9) jfif.thumbnailHeight = U8(record, 8);
    return jfif;
}

std::string FormatJfifVersion(std::uint8_t major, std::uint8_t minor) {
    std::string text = std::to_string(major);
    text += '.';
    if (minor < 10) text += '0';
    text += std::to_string(minor);
    return text;
}

}  // namespace meta
