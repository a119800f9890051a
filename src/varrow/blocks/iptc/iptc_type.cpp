#include "varrow/blocks/iptc/iptc_type.h"

#include <array>
#include <ostream>

namespace meta {

std::string_view ToString(IptcType type) {
    static constexpr std::array<std::string_view, 7> kNames{"",       "BYTE",   "SHORT",    "LONG",
                                                            "DIGITS", "STRING", "UNDEFINED"};
    auto const n = static_cast<std::uint32_t>(type);
    return n < kNames.size() ? kNames[n] : std::string_view();
}

std::ostream& operator<<(std::ostream& os, IptcType type) {
    return os << ToString(type);
}

}  // namespace meta
