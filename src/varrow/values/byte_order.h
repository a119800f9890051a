#pragma once

#include <bit>
#include <cstdint>

namespace meta {

// Byte order of multi-byte numbers in a block: TIFF's "II" and "MM".
enum class ByteOrder : std::uint8_t {
    LittleEndian = 0,
    BigEndian = 1,
};

// The order of the machine the library runs on.
inline constexpr ByteOrder kHostByteOrder =
    std::endian::native == std::endian::big ? ByteOrder::BigEndian : ByteOrder::LittleEndian;

}  // namespace meta
