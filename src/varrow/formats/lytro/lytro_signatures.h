#pragma once

#include <string_view>

#include "varrow/api/export.h"

namespace meta::detail {

// Whether `bytes` is exactly the signature of a file header (kind 'P') or,
// with `section`, of a metadata ('M') or content ('C') section header:
// 0x89 "LF" kind CR LF 0x1A LF.
VARROW_API bool IsLytroSignature(std::string_view bytes, bool section);

// Whether the head of a section's data opens a JSON object the way Lytro
// cameras write one, a brace, white space, then the first member's quote
// (the pattern ^\{\s+" with \s as the C locale classifies white space).
// Compact JSON such as {"a":1} does not count.
VARROW_API bool StartsLytroJsonObject(std::string_view head);

}  // namespace meta::detail
