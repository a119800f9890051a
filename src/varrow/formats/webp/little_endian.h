#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "varrow/api/export.h"

namespace meta::detail {

// Little-endian integers of RIFF, GIF and BMP headers. The caller has checked
// that the bytes exist.
inline std::uint32_t LittleEndian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint32_t v = 0;
    for (std::size_t i = width; i-- > 0;) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
}
inline std::uint16_t LittleEndian16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(LittleEndian(bytes, at, 2));
}
inline std::uint32_t LittleEndian24(std::string_view bytes, std::size_t at) {
    return LittleEndian(bytes, at, 3);
}
inline std::uint32_t LittleEndian32(std::string_view bytes, std::size_t at) {
    return LittleEndian(bytes, at, 4);
}

// A play time as the tag reference shows it: "0 s", "4.50 s" below half a
// minute, "1:02:03" above, "2 days 1:02:03" beyond a day.
VARROW_API std::string FormatPlayTime(double seconds);

}  // namespace meta::detail
