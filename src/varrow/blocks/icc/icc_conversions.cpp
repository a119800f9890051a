#include "varrow/blocks/icc/icc_conversions.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "varrow/values/date_time.h"

namespace meta {

namespace {

constexpr std::size_t kSignatureSize = 4;

}  // namespace

Value IccSignatureText(Value const& value, ReadStore& /*store*/) {
    std::string text = value.Get<std::string>();
    if (!text.empty() && text.size() < kSignatureSize) text.resize(kSignatureSize, ' ');
    return Value(std::move(text));
}

Value IccProfileVersionText(Value const& value, ReadStore& /*store*/) {
    auto const v = value.Convert<std::uint16_t>();
    std::string text = std::to_string(v >> 8);
    text += '.';
    text += std::to_string((v >> 4) & 0x0F);
    text += '.';
    text += std::to_string(v & 0x0F);
    return Value(std::move(text));
}

Value IccProfileDateTime(Value const& value, ReadStore& /*store*/) {
    auto const parts = value.Convert<std::vector<std::uint16_t>>();
    if (parts.size() != 6) throw ValueException();
    DateTime dt;
    dt.year = parts[0];
    dt.month = parts[1];
    dt.day = parts[2];
    dt.hour = parts[3];
    dt.minute = parts[4];
    dt.second = parts[5];
    dt.hasYear = dt.hasMonth = dt.hasDay = dt.hasTime = true;
    return Value(dt);
}

Value IccCmmFlagsText(Value const& value, ReadStore& /*store*/) {
    auto const flags = value.Convert<std::uint32_t>();
    std::string text = (flags & 0x01) != 0 ? "Embedded, " : "Not Embedded, ";
    text += (flags & 0x02) != 0 ? "Not Independent" : "Independent";
    return Value(std::move(text));
}

Value IccDeviceAttributesText(Value const& value, ReadStore& /*store*/) {
    auto const words = value.Convert<std::vector<std::uint32_t>>();
    if (words.empty()) throw ValueException();
    std::uint32_t const bits = words.back();
    std::string text = (bits & 0x01) != 0 ? "Transparency" : "Reflective";
    text += (bits & 0x02) != 0 ? ", Matte" : ", Glossy";
    text += (bits & 0x04) != 0 ? ", Negative" : ", Positive";
    text += (bits & 0x08) != 0 ? ", B&W" : ", Color";
    return Value(std::move(text));
}

Value IccProfileIdText(Value const& value, ReadStore& /*store*/) {
    auto const bytes = value.Convert<std::vector<std::uint8_t>>();
    if (bytes.empty()) throw ValueException();
    bool zero = true;
    for (std::uint8_t const b : bytes) zero = zero && b == 0;
    if (zero) return Value(std::string("0"));
    static constexpr char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (std::uint8_t const b : bytes) {
        text += kHex[b >> 4];
        text += kHex[b & 0x0F];
    }
    return Value(std::move(text));
}

Value IccRoundedFixed(Value const& value, ReadStore& /*store*/) {
    std::vector<double> numbers = value.Convert<std::vector<double>>();
    for (double& n : numbers) n = std::round(n * 1e5) / 1e5;
    return Value(std::move(numbers));
}

}  // namespace meta
