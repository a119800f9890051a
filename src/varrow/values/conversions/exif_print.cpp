#include "varrow/values/conversions/exif_print.h"

#include <array>
#include <cstring>
#include <string_view>

#include "varrow/util/encoding.h"

namespace meta::detail {

std::string ToDottedVersionString(const std::vector<std::uint64_t>& parts) {
    std::string out;
    for (std::uint64_t p : parts) {
        if (!out.empty()) out += '.';
        out += std::to_string(p);
    }
    return out;
}

std::string ToMajorMinorVersionString(const std::vector<std::uint64_t>& parts) {
    if (parts.size() != 2) return ToDottedVersionString(parts);
    std::string out = std::to_string(parts[0]);
    out += parts[1] < 10 ? ".0" : ".";
    out += std::to_string(parts[1]);
    return out;
}

namespace {

std::string Utf16Text(const meta::byte* data, std::size_t size) {
    std::size_t start = 0;
    // A byte-order mark decides; otherwise the side that holds the zero high
    // bytes of Latin text does.
    bool bigEndian = true;
    if (size >= 2 && data[0] == meta::byte{0xfe} && data[1] == meta::byte{0xff}) {
        start = 2;
    } else if (size >= 2 && data[0] == meta::byte{0xff} && data[1] == meta::byte{0xfe}) {
        start = 2;
        bigEndian = false;
    } else {
        std::size_t evenZeros = 0;
        std::size_t oddZeros = 0;
        for (std::size_t i = 0; i + 1 < size; i += 2) {
            evenZeros += data[i] == meta::byte{0} ? 1 : 0;
            oddZeros += data[i + 1] == meta::byte{0} ? 1 : 0;
        }
        bigEndian = evenZeros >= oddZeros;
    }
    std::u16string units;
    units.reserve((size - start) / 2);
    for (std::size_t i = start; i + 1 < size; i += 2) {
        const auto a = static_cast<unsigned>(data[i]);
        const auto b = static_cast<unsigned>(data[i + 1]);
        const auto unit = static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
        if (unit == 0) break;
        units.push_back(unit);
    }
    return strings::Utf16ToUtf8(units);
}

std::string TextToNul(const meta::byte* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const void* nul = std::memchr(text, 0, size);
    const std::size_t length =
        nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - text) : size;
    return std::string(text, length);
}

}  // namespace

std::string DecodeCharsetText(const std::vector<meta::byte>& record) {
    if (record.empty()) return {};
    const meta::byte* data = record.data();
    if (record.size() < 8) return TextToNul(data, record.size());
    const std::string_view code(reinterpret_cast<const char*>(data), 8);
    const meta::byte* text = data + 8;
    const std::size_t size = record.size() - 8;
    if (code == std::string_view("UNICODE\0", 8)) return Utf16Text(text, size);
    if (code == std::string_view("ASCII\0\0\0", 8) || code == std::string_view("JIS\0\0\0\0\0", 8) ||
        code == std::string_view("\0\0\0\0\0\0\0\0", 8))
        return TextToNul(text, size);
    return TextToNul(data, record.size());
}

std::string ToUnitString(const Value& v, UnitSuffix suffix) {
    std::string text = v.ToString(Value::SerialisationPolicies::Exiftool);
    if (text == "inf" || text == "undef" || text.empty()) return text;
    return text + ToString(suffix);
}

std::string BinaryDataNotice(std::size_t size) {
    return "(Binary data " + std::to_string(size) + " bytes, use -b option to extract)";
}

std::string ToShortListOrNotice(const Value& v) {
    std::string text = v.ToString(Value::SerialisationPolicies::Exiftool);
    // Beyond this length the list is treated as a block of data.
    constexpr std::size_t kLongestList = 32;
    return text.size() > kLongestList ? BinaryDataNotice(text.size()) : text;
}

std::string ToU16TableNotice(const Value& v) {
    return BinaryDataNotice(v.Length() * 2);
}

std::string ToCommaList(const Value& v) {
    if (!v.IsArray()) return v.ToString(Value::SerialisationPolicies::Exiftool);
    std::string out;
    for (std::size_t i = 0; i < v.Length(); ++i) {
        if (i > 0) out += ", ";
        out += v.ElementToString(i, Value::SerialisationPolicies::Exiftool);
    }
    return out;
}

namespace {

// The bytes of a byte-sized value: Binary, a byte array or a single byte.
// Other alternatives throw ValueException, so the wrapper shows nothing.
std::vector<std::uint8_t> BytesOf(const Value& v) {
    switch (v.GetType()) {
        case Value::Type::Binary: {
            const auto& bytes = v.Get<std::vector<meta::byte>>();
            std::vector<std::uint8_t> out(bytes.size());
            for (std::size_t i = 0; i < bytes.size(); ++i) out[i] = static_cast<std::uint8_t>(bytes[i]);
            return out;
        }
        case Value::Type::U8Array: return v.Get<std::vector<std::uint8_t>>();
        case Value::Type::U8: return {v.Get<std::uint8_t>()};
        default: throw ValueException();
    }
}

std::size_t ElementWidth(Value::Type type) {
    switch (type) {
        case Value::Type::S16:
        case Value::Type::U16:
        case Value::Type::S16Array:
        case Value::Type::U16Array: return 2;
        case Value::Type::S32:
        case Value::Type::U32:
        case Value::Type::Float:
        case Value::Type::S32Array:
        case Value::Type::U32Array:
        case Value::Type::FloatArray: return 4;
        case Value::Type::S64:
        case Value::Type::U64:
        case Value::Type::Double:
        case Value::Type::Fraction:
        case Value::Type::S64Array:
        case Value::Type::U64Array:
        case Value::Type::DoubleArray:
        case Value::Type::FractionArray: return 8;
        default: return 1;
    }
}

std::string ToHexString(const Value& v, const char* digits) {
    const std::vector<std::uint8_t> bytes = BytesOf(v);
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 0x0f];
    }
    return out;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string ToBinaryNotice(const Value& v) {
    return BinaryDataNotice(v.Length() * ElementWidth(v.GetType()));
}

std::string VersionBytesToText(const Value& v) {
    const std::vector<std::uint8_t> bytes = BytesOf(v);
    std::string out;
    out.reserve(bytes.size());
    for (std::uint8_t b : bytes)
        if (b != 0) out += static_cast<char>(b);
    return out;
}

std::string ToUpperHexString(const Value& v) {
    return ToHexString(v, "0123456789ABCDEF");
}

std::string ToLowerHexString(const Value& v) {
    return ToHexString(v, "0123456789abcdef");
}

std::string IsoDateToExif(const std::string& text) {
    // "YYYY-MM-DD", optionally followed by "T" and the time.
    const bool date = text.size() >= 10 && IsDigit(text[0]) && IsDigit(text[1]) && IsDigit(text[2]) &&
                      IsDigit(text[3]) && text[4] == '-' && IsDigit(text[5]) && IsDigit(text[6]) &&
                      text[7] == '-' && IsDigit(text[8]) && IsDigit(text[9]);
    if (!date) return text;
    std::string out = text;
    out[4] = ':';
    out[7] = ':';
    if (out.size() > 10 && out[10] == 'T') out[10] = ' ';
    return out;
}

std::string PrintCFAPlaneColor(const Value& v) {
    static constexpr std::array<const char*, 7> kNames{"Red",     "Green",  "Blue", "Cyan",
                                                       "Magenta", "Yellow", "White"};
    std::string out;
    for (std::uint8_t code : BytesOf(v)) {
        if (!out.empty()) out += ',';
        out += code < kNames.size() ? kNames[code] : std::to_string(code);
    }
    return out;
}

}  // namespace meta::detail
