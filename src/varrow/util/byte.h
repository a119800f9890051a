#pragma once

#include <cstddef>

namespace meta {

// Binary data is std::vector<meta::byte>: a byte type distinct from the
// character and small-integer types, so binary payloads never pass for text
// or for arrays of 8-bit numbers.
using byte = std::byte;

}  // namespace meta
