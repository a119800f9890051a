#pragma once

// Bit fields listed as bit numbers or names.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/util/byte.h"

namespace meta::detail {

// The numbers of the set bits of consecutive words of `bitsPerWord` bits
// (word i, bit b is number i * bitsPerWord + b), joined by ", "; "(none)"
// when no bit is set.
VARROW_API std::string DecodeBits(const std::vector<int>& words, std::uint8_t bitsPerWord);
// The same with each number replaced by its name ("[n]" for a number without
// one), joined by `separator`.
VARROW_API std::string DecodeBitsAsStr(const std::vector<int>& words, const std::map<int, std::string>& names,
                                       std::uint8_t bitsPerWord, const char* separator = ", ");

// The bytes as lower-case hexadecimal digits, most significant nibble first.
VARROW_API std::string UnpackHexBits(const meta::byte* data, std::size_t size);

}  // namespace meta::detail
