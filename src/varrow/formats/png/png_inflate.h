#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "varrow/api/export.h"

namespace meta::detail {

enum class InflateStatus {
    Complete,   // the stream ended; bytes after its end are ignored
    Damaged,    // zlib rejected the data (header, block or checksum)
    Truncated,  // the input ended inside the stream
    TooLarge,   // the output would exceed the limit
};

// Largest inflated chunk the PNG reader accepts. Text and profiles stay far
// below it; it bounds what a compression bomb can make us allocate.
inline constexpr std::size_t kMaxInflatedSize = std::size_t{64} << 20;

// Inflates the zlib stream `input` into `output` (replacing its contents).
// The output never grows beyond `maxOutput` bytes; on any status but Complete
// it holds what was inflated so far.
VARROW_API InflateStatus InflateZlib(std::string_view input, std::size_t maxOutput, std::string& output);

}  // namespace meta::detail
