#include "varrow/values/exif_type_info.h"

#include <ostream>
#include <string_view>

namespace meta {

namespace {

constexpr std::array<std::string_view, 25> kExifTypeNames = {
    "Unknown type", "BYTE",       "ASCII",      "SHORT",       "LONG",   "RATIONAL", "SBYTE",
    "UNDEFINED",    "SSHORT",     "SLONG",      "SRATIONAL",   "FLOAT",  "DOUBLE",   "IFD",
    "SSHORTFIXED",  "SLONGFIXED", "SHORTFIXED", "LONGFIXED",   "RSHORT", "CHAR",     "UTF16",
    "REL_OFFSET",   "ABS_OFFSET", "RATIONAL16", "SRATIONAL16",
};

std::string_view Name(ExifType type) noexcept {
    const auto code = static_cast<std::size_t>(type);
    return code < kExifTypeNames.size() ? kExifTypeNames[code] : std::string_view();
}

}  // namespace

std::string ToString(ExifType type) {
    return std::string(Name(type));
}

std::ostream& operator<<(std::ostream& os, ExifType type) {
    return os << Name(type);
}

}  // namespace meta
