#include "varrow/util/to_string.h"

#include <version>

namespace meta::strings {

std::string ToString(bool value) {
    return value ? "true" : "false";
}

std::string ToString(double value) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    // Same text as a stream with precision 15 in the classic locale, without
    // the stream.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
#else
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.precision(15);
    out << value;
    return out.str();
#endif
}

}  // namespace meta::strings
