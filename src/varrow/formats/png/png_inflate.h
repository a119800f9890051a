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
    TooLarge,   // the output grew beyond the limit
};

// Largest inflated chunk the PNG reader accepts. Text and profiles stay far
// below it; it bounds what a compression bomb can make us allocate.
inline constexpr std::size_t kMaxInflatedSize = std::size_t{64} << 20;

// Bytes one inflate step produces: every step that does not end the stream
// must fill them all.
inline constexpr std::size_t kInflateStep = 1024;

// Inflates the zlib stream `input` into `output` (replacing its contents) in
// steps of kInflateStep output bytes. The output grows with what is actually
// inflated and never beyond `maxOutput` + kInflateStep bytes; on any status
// but Complete it holds what was inflated so far. Inputs longer than zlib's
// 32-bit counters can take are Damaged.
VARROW_API InflateStatus InflateZlib(std::string_view input, std::size_t maxOutput, std::string& output);

}  // namespace meta::detail
