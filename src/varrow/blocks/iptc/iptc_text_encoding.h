#pragma once

#include <string>
#include <string_view>

#include "varrow/api/export.h"

namespace meta::detail {

// Windows-1252 text as UTF-8. The five bytes the code page leaves unassigned
// become the C1 controls of the same number.
VARROW_API std::string Windows1252ToUtf8(std::string_view text);

// IPTC text as a UTF-8 string: kept as it is when it is well-formed UTF-8,
// otherwise read as Windows-1252, the encoding IIM writers use when they
// declare none (and often when they declare UTF-8 but were not).
VARROW_API std::string IptcTextToUtf8(std::string text);

}  // namespace meta::detail
