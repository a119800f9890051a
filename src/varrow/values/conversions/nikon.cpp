#include "varrow/values/conversions/nikon.h"

#include <cmath>

#include "varrow/values/conversions/arithmetic_string.h"
#include "varrow/values/string_format.h"
#include "varrow/values/value_converter.h"

namespace meta::detail {

double NikonApertureValue(std::uint8_t v) {
    return std::exp2(static_cast<double>(v) / 24);
}

double NikonFocalValue(std::uint8_t v) {
    return 5 * std::exp2(static_cast<double>(v) / 24);
}

std::string NikonAperturePrint(double f) {
    return ToArithmeticString<double, UnitSuffix::None, PrecisionMethod::Printf, 1>(f);
}

std::string NikonFocalPrint(double mm) {
    return ToArithmeticString<double, UnitSuffix::Mm, PrecisionMethod::Printf, 1>(mm);
}

std::string ToPCString(std::int8_t v, const char* normal, const char* format, int divisor) {
    if (v == -128) return "Auto";
    if (v == -127) return "User";
    if (v == 127) return "n/a";
    if (v == 0) return normal != nullptr ? normal : "Normal";
    std::string out;
    const double scaled = static_cast<double>(v) / (divisor != 0 ? divisor : 1);
    if (format == nullptr || !strprintf(out, format, scaled)) strprintf(out, "%+g", scaled);
    return out;
}

std::string FormatNikonString(const Value& v) {
    const std::string text = v.Convert<std::string>();
    std::string out;
    out.reserve(text.size());
    bool pendingSpace = false;
    for (char c : text) {
        if (c == '\0' || c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace) out += ' ';
        pendingSpace = false;
        out += c;
    }
    return out;
}

std::string ToNikonFlashFirmwareString(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 2) throw ValueException();
    if (bytes[0] == 0 && bytes[1] == 0) return "n/a";
    std::string out;
    strprintf(out, "%d.%.2d", bytes[0], bytes[1]);
    return out;
}

}  // namespace meta::detail
