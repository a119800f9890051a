#pragma once

#include <cstdint>

namespace meta {

// Byte order of multi-byte numbers in a block: TIFF's "II" and "MM".
enum class ByteOrder : std::uint8_t {
    LittleEndian = 0,
    BigEndian = 1,
};

}  // namespace meta
