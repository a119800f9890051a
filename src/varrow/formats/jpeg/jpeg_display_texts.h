#pragma once

#include <cstdint>
#include <string>

#include "varrow/api/export.h"

namespace meta {

// Display texts of the values the JPEG processor records as plain numbers,
// for display lookups and ExifTool-style output.

// "Baseline DCT, Huffman coding" and the other SOFn processes; an unknown
// process is "Unknown (<n>)".
VARROW_API std::string JpegEncodingProcessText(std::int32_t process);

// "YCbCr4:2:0 (2 2)" for the usual factor pairs, else "<h> <v>".
VARROW_API std::string JpegSubSamplingText(std::uint32_t horizontal, std::uint32_t vertical);

// "None", "inches", "cm", else "Unknown (<n>)".
VARROW_API std::string JfifResolutionUnitText(std::uint32_t unit);

}  // namespace meta
