#include "varrow/fields/table_keys.h"

#include <array>

namespace meta::detail {

std::string FormatTagId(std::uint64_t id) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::array<char, 16> reversed{};
    std::size_t n = 0;
    do {
        reversed[n++] = kDigits[id & 0xf];
        id >>= 4;
    } while (id != 0);
    while (n < 4) reversed[n++] = '0';
    std::string text = "0x";
    text.reserve(2 + n);
    while (n > 0) text += reversed[--n];
    return text;
}

}  // namespace meta::detail
