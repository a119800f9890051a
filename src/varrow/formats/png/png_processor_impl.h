#pragma once

// Helpers shared by the PNG processor's chunk walk and its text readers.

#include <algorithm>
#include <string_view>
#include <vector>

#include "varrow/io/data_source.h"
#include "varrow/util/byte.h"

namespace meta::detail {

// Display names of the processors PNG chunks are handed to.
inline constexpr char const* kPngTiffReader = "TIFF document";
inline constexpr char const* kPngXmpReader = "XMP document";
inline constexpr char const* kPngIccReader = "ICC Profile";
inline constexpr char const* kPngIptcReader = "IPTC";
inline constexpr char const* kPngPhotoshopReader = "Photoshop Image Resources";
inline constexpr char const* kPngRecordReader = "Binary directory";

inline constexpr std::string_view kPngExifId("Exif\0\0", 6);

inline bool StartsWithBytes(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// The bytes from the cursor to the usable end; empty without a window.
inline std::string_view RestOfWindow(DataSource& source) {
    if (source.GetBytesProvisioned() == 0) return {};
    std::string_view const window = source.AsStringView(false);
    auto const cursor = static_cast<std::size_t>(std::streamoff(source.GetBufferPos()));
    std::size_t const end = std::min(source.GetBytesUsable(true), window.size());
    if (cursor >= end) return {};
    return window.substr(cursor, end - cursor);
}

inline std::vector<meta::byte> ToByteVector(std::string_view text) {
    std::vector<meta::byte> bytes(text.size());
    std::transform(text.begin(), text.end(), bytes.begin(),
                   [](char c) { return static_cast<meta::byte>(c); });
    return bytes;
}

}  // namespace meta::detail
