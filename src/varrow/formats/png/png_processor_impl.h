#pragma once

// Helpers shared by the PNG processor's chunk walk and its text readers.

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "varrow/io/data_source.h"

namespace meta::detail {

// Display names of the processors PNG chunks are handed to.
inline constexpr char const* kPngTiffReader = "TIFF document";
inline constexpr char const* kPngXmpReader = "XMP document";
inline constexpr char const* kPngIccReader = "ICC Profile";
inline constexpr char const* kPngIptcReader = "IPTC";
inline constexpr char const* kPngPhotoshopReader = "Photoshop Image Resources";

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

}  // namespace meta::detail
