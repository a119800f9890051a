#include "varrow/values/conversions/cfa.h"

#include <cstdint>
#include <string>
#include <vector>

#include "varrow/values/value_converter.h"

namespace meta::detail {

namespace {

std::uint16_t Read16(const std::vector<meta::byte>& b, std::size_t at, ByteOrder order) {
    const auto hi = static_cast<unsigned>(b[order == ByteOrder::BigEndian ? at : at + 1]);
    const auto lo = static_cast<unsigned>(b[order == ByteOrder::BigEndian ? at + 1 : at]);
    return static_cast<std::uint16_t>(hi << 8 | lo);
}

const char* ColourName(unsigned code) {
    static constexpr const char* kNames[] = {"Red", "Green", "Blue", "Cyan", "Magenta", "Yellow", "White"};
    return code < std::size(kNames) ? kNames[code] : nullptr;
}

}  // namespace

Value DecodeCFAPattern(const Value& record, ByteOrder order) {
    std::vector<meta::byte> bytes;
    try {
        bytes = record.Convert<std::vector<meta::byte>>();
    } catch (const ValueException&) {
        return Value::None;
    }
    if (bytes.size() < 4) return Value::None;
    const std::size_t cells = bytes.size() - 4;
    const ByteOrder other = order == ByteOrder::BigEndian ? ByteOrder::LittleEndian : ByteOrder::BigEndian;
    for (ByteOrder o : {order, other}) {
        const std::uint16_t columns = Read16(bytes, 0, o);
        const std::uint16_t rows = Read16(bytes, 2, o);
        if (columns == 0 || rows == 0 || static_cast<std::size_t>(columns) * rows != cells) continue;
        std::vector<std::uint16_t> out;
        out.reserve(bytes.size() - 2);
        out.push_back(columns);
        out.push_back(rows);
        for (std::size_t i = 4; i < bytes.size(); ++i) out.push_back(static_cast<std::uint16_t>(bytes[i]));
        return Value(std::move(out));
    }
    return Value::None;
}

std::string PrintCFAPattern(const Value& pattern) {
    const Value decoded =
        pattern.Exists(Value::Type::U16Array) ? pattern : DecodeCFAPattern(pattern, ByteOrder::BigEndian);
    if (!decoded.Exists()) throw ValueException();
    const auto& cells = decoded.Get<std::vector<std::uint16_t>>();
    if (cells.size() < 2 || cells[0] == 0 ||
        static_cast<std::size_t>(cells[0]) * cells[1] != cells.size() - 2)
        throw ValueException();
    const std::size_t columns = cells[0];
    std::string out;
    for (std::size_t i = 2; i < cells.size(); ++i) {
        const std::size_t cell = i - 2;
        out += cell % columns == 0 ? "[" : ",";
        const char* name = ColourName(cells[i]);
        out += name != nullptr ? std::string(name) : "Unknown(" + std::to_string(cells[i]) + ")";
        if (cell % columns == columns - 1) out += ']';
    }
    return out;
}

}  // namespace meta::detail
