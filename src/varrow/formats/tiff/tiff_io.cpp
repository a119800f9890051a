#include "varrow/formats/tiff/tiff_io.h"

#include <algorithm>

#include "varrow/io/data_source.h"

namespace meta::detail {

bool ReadTiffU16(std::istream& in, ByteOrder order, std::uint16_t& value) {
    unsigned char b[2];
    if (!in.read(reinterpret_cast<char*>(b), 2)) return false;
    value = order == ByteOrder::LittleEndian ? static_cast<std::uint16_t>(b[0] | (b[1] << 8))
                                             : static_cast<std::uint16_t>((b[0] << 8) | b[1]);
    return true;
}

bool ReadTiffU32(std::istream& in, ByteOrder order, std::uint32_t& value) {
    unsigned char b[4];
    if (!in.read(reinterpret_cast<char*>(b), 4)) return false;
    if (order == ByteOrder::LittleEndian) {
        value = std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) |
                (std::uint32_t{b[3]} << 24);
    } else {
        value = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
                std::uint32_t{b[3]};
    }
    return true;
}

bool ProvisionWindow(DataSource& source, std::size_t n) {
    while (source.GetBytesProvisioned() < n) {
        std::size_t const step = std::min(n - source.GetBytesProvisioned(), DataSource::MaxProvisionStep);
        std::size_t const before = source.GetBytesProvisioned();
        if (!source.ProvisionData(step) || source.GetBytesProvisioned() == before) return false;
    }
    return true;
}

}  // namespace meta::detail
