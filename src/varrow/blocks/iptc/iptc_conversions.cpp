#include "varrow/blocks/iptc/iptc_conversions.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <utility>

namespace meta {

namespace {

bool AllDigits(std::string_view text) noexcept {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Bytes taken by the character at `i` (at least 1): a well-formed multi-byte
// UTF-8 sequence counts as one character, any other byte as one of its own.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) noexcept {
    auto const lead = static_cast<unsigned char>(text[i]);
    std::size_t n = 1;
    if (lead >= 0xC2 && lead < 0xE0) {
        n = 2;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        n = 3;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        n = 4;
    }
    if (n == 1 || text.size() - i < n) return 1;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
    }
    return n;
}

// Applies `format` to a String, or to every String of a Set.
template <class Format>
Value MapText(Value const& value, Format format) {
    if (value.Exists(Value::Type::String)) {
        return Value(format(value.Get<std::string>()));
    }
    if (value.Exists(Value::Type::Set)) {
        ValueSet set;
        set.reserve(value.Length());
        for (Value const& element : value.Get<ValueSet>()) set.push_back(MapText(element, format));
        return Value(std::move(set));
    }
    return value;
}

}  // namespace

namespace detail {

std::string FormatIptcDate(std::string_view text) {
    if (text.size() != 8 || !AllDigits(text)) return std::string(text);
    std::string out;
    out.reserve(10);
    out.append(text.substr(0, 4))
        .append(1, ':')
        .append(text.substr(4, 2))
        .append(1, ':')
        .append(text.substr(6, 2));
    return out;
}

std::string FormatIptcTime(std::string_view text) {
    bool const plain = text.size() == 6;
    bool const zoned = text.size() == 11 && (text[6] == '+' || text[6] == '-');
    if (!plain && !zoned) return std::string(text);
    if (!AllDigits(text.substr(0, 6)) || (zoned && !AllDigits(text.substr(7)))) return std::string(text);
    std::string out;
    out.reserve(14);
    out.append(text.substr(0, 2))
        .append(1, ':')
        .append(text.substr(2, 2))
        .append(1, ':')
        .append(text.substr(4, 2));
    if (zoned) out.append(text.substr(6, 3)).append(1, ':').append(text.substr(9, 2));
    return out;
}

std::string FormatIptcCharacterSet(std::string_view text) {
    // NULs are padding, never part of an escape sequence.
    if (text.find('\0') != std::string_view::npos) {
        std::string compact(text);
        compact.erase(std::remove(compact.begin(), compact.end(), '\0'), compact.end());
        return FormatIptcCharacterSet(compact);
    }
    if (text == "\x1b%G") return "UTF8";
    // Anything else spelt out character by character, so that the control
    // characters of a damaged or exotic escape stay visible: "ESC - A".
    // ISO 2022 escapes are 7-bit: anything beyond ASCII has no name here and
    // shows as "?".
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size();) {
        char const c = text[i];
        if (c == '\x1b') {
            out.append("ESC");
            ++i;
        } else if (static_cast<unsigned char>(c) < 0x80) {
            out.append(1, ' ').append(1, c);
            ++i;
        } else {
            out.append(" ?");
            i += Utf8SequenceLength(text, i);
        }
    }
    return out;
}

std::string FormatIptcPrefs(std::string_view text) {
    static constexpr std::array<std::string_view, 4> kLabels{
        "Tagged:", ", ColorClass:", ", Rating:", ", FrameNum:"};
    std::array<std::string_view, 4> fields;
    std::string_view rest = text;
    for (std::size_t i = 0; i < 3; ++i) {
        std::size_t const colon = rest.find(':');
        if (colon == std::string_view::npos || colon == 0 || !AllDigits(rest.substr(0, colon)))
            return std::string(text);
        fields[i] = rest.substr(0, colon);
        rest.remove_prefix(colon + 1);
    }
    if (rest.empty() || rest.find(':') != std::string_view::npos) return std::string(text);
    fields[3] = rest;
    std::string out;
    out.reserve(text.size() + 40);
    for (std::size_t i = 0; i < 4; ++i) out.append(kLabels[i]).append(fields[i]);
    return out;
}

}  // namespace detail

Value IptcDateToDisplay(Value const& value, ReadStore&) {
    return MapText(value, detail::FormatIptcDate);
}

Value IptcTimeToDisplay(Value const& value, ReadStore&) {
    return MapText(value, detail::FormatIptcTime);
}

Value IptcPrefsToDisplay(Value const& value, ReadStore&) {
    return MapText(value, detail::FormatIptcPrefs);
}

Value IptcCharacterSetToDisplay(Value const& value, ReadStore&) {
    // The declaration holds for the whole block, so a repeated one is not a
    // list: as with any repeated declaration, the last one stands.
    if (value.Exists(Value::Type::Set) && value.Length() != 0) {
        return MapText(value.Get<ValueSet>().back(), detail::FormatIptcCharacterSet);
    }
    return MapText(value, detail::FormatIptcCharacterSet);
}

}  // namespace meta
