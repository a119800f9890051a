#pragma once

#include <cstdint>
#include <string_view>

#include "varrow/api/export.h"

namespace meta::detail {

// The EXIF code (0 normal, 1 low/soft, 2 high/hard) of a contrast,
// saturation or sharpness text as XMP writers put it: a word starting with
// n, s or l, or h (checked in that order, any case), else a number whose
// sign picks the code. 4294967295 when nothing fits.
VARROW_API std::uint32_t ConvertExifParameter(std::string_view text);

}  // namespace meta::detail
