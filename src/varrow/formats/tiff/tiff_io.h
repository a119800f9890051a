#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>

#include "varrow/values/byte_order.h"

namespace meta {

class DataSource;

namespace detail {

bool ReadTiffU16(std::istream& in, ByteOrder order, std::uint16_t& value);
bool ReadTiffU32(std::istream& in, ByteOrder order, std::uint32_t& value);

// Makes the window at least n bytes long, in steps the source accepts.
bool ProvisionWindow(DataSource& source, std::size_t n);

}  // namespace detail
}  // namespace meta
