#include "varrow/blocks/xmp/xmp_conversions.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "varrow/fields/display_lookups.h"
#include "varrow/fields/field_database.h"
#include "varrow/util/byte.h"
#include "varrow/values/conversions/gps.h"
#include "varrow/values/date_time.h"
#include "varrow/values/fraction.h"
#include "varrow/values/value_qualifier.h"

namespace meta::xmp {

namespace {

// One element through its definition; the element itself when nothing
// applies or a conversion fails, so one odd member never hides the others.
Value ShowElement(XmpField const* field, Value const& element, ReadStore& store) {
    if (field == nullptr || !element.Exists()) return element;
    try {
        Value value = field->valueConversion ? field->valueConversion(element, store) : element;
        if (!value.Exists()) return element;
        if (!field->displayConversion) return value;
        Value shown = field->displayConversion(value, store);
        return shown.Exists() ? shown : value;
    } catch (std::exception const&) {
        return element;
    }
}

template <class List>
Value ShowItems(List const& items, XmpField const* item, ReadStore& store) {
    List shown;
    shown.reserve(items.size());
    for (Value const& element : items) shown.push_back(ShowElement(item, element, store));
    return Value(std::move(shown));
}

std::string TextOf(Value const& value) {
    if (value.GetType() == Value::Type::String) return value.Get<std::string>();
    return value.ToString();
}

double DegreesOf(Value const& value) {
    if (value.GetType() == Value::Type::String) return detail::ToDegrees(value.Get<std::string>());
    return value.Convert<double>();
}

Value StoredCoordinate(Value const& value, detail::DmsStringDirection direction) {
    if (!value.Exists()) return value;
    try {
        double const degrees = DegreesOf(value);
        if (!std::isfinite(degrees)) return Value();
        return Value(detail::ToDMSString(degrees, detail::DmsStringFormat::DegMinSecXmp, direction));
    } catch (std::exception const&) {
        return Value();
    }
}

}  // namespace

Conversion BindStructureDisplay(FieldGroup memberGroup) {
    return [memberGroup](Value const& value, ReadStore& store) -> Value {
        if (value.GetType() != Value::Type::Structure) return value;
        ValueStore shown;
        for (auto const& [name, member] : value.Get<ValueStore>()) {
            if (member == nullptr) continue;
            XmpField const* field = FieldDatabase<XmpField>::UnconditionalFind(name, memberGroup);
            shown.Set(name, ShowElement(field, *member, store));
        }
        Value out(std::move(shown));
        if (value.HasQualifiers()) out.SetQualifiers(Clone(value.GetQualifiers()));
        return out;
    };
}

Conversion BindItemDisplay(FieldGroup group, std::string id) {
    return [group, id = std::move(id)](Value const& value, ReadStore& store) -> Value {
        XmpField const* item = nullptr;
        if (XmpField const* array = FieldDatabase<XmpField>::UnconditionalFind(id, group, true)) {
            if (auto const it = array->children.find(std::string_view()); it != array->children.end()) {
                item = &it->second;
            }
        }
        Value out;
        switch (value.GetType()) {
            case Value::Type::Sequence: out = ShowItems(value.Get<ValueSequence>(), item, store); break;
            case Value::Type::Set: out = ShowItems(value.Get<ValueSet>(), item, store); break;
            // A single item where a list was declared.
            default: return ShowElement(item, value, store);
        }
        if (value.HasQualifiers()) out.SetQualifiers(Clone(value.GetQualifiers()));
        return out;
    };
}

Conversion BindBooleanLookup(std::string_view name) {
    return [lookup = detail::BindDisplayLookup(name)](Value const& value, ReadStore& store) -> Value {
        if (value.GetType() != Value::Type::Bool) return lookup(value, store);
        return lookup(Value(std::string(value.Get<bool>() ? "True" : "False")), store);
    };
}

Value CoordinateToDegrees(Value const& value, ReadStore&) {
    if (value.GetType() != Value::Type::String) return Value();
    double const degrees = detail::ToDegrees(value.Get<std::string>());
    return std::isnan(degrees) ? Value() : Value(degrees);
}

Value DegreesToLatitude(Value const& value) {
    return StoredCoordinate(value, detail::DmsStringDirection::Latitude);
}

Value DegreesToLongitude(Value const& value) {
    return StoredCoordinate(value, detail::DmsStringDirection::Longitude);
}

Value DegreesFromText(Value const& value) {
    if (!value.Exists()) return value;
    try {
        double const degrees = DegreesOf(value);
        return std::isnan(degrees) ? Value() : Value(degrees);
    } catch (std::exception const&) {
        return Value();
    }
}

Value ExposureTimeToApex(Value const& value) {
    try {
        double const t = value.Convert<double>();
        if (!(t > 0) || !std::isfinite(t)) return Value();
        return Value(-std::log2(t));
    } catch (std::exception const&) {
        return Value();
    }
}

Value FNumberToApex(Value const& value) {
    try {
        double const f = value.Convert<double>();
        if (!(f > 0) || !std::isfinite(f)) return Value();
        return Value(2 * std::log2(f));
    } catch (std::exception const&) {
        return Value();
    }
}

Value TextToFractions(Value const& value, ReadStore&) {
    if (value.GetType() != Value::Type::String) return Value();
    std::string_view text = value.Get<std::string>();
    std::vector<Fraction> parts;
    // Each part is at least "N/D": the text bounds the count.
    parts.reserve(text.size() / 3 + 1);
    while (true) {
        std::size_t const start = text.find_first_not_of(" \t\r\n");
        if (start == std::string_view::npos) break;
        text.remove_prefix(start);
        Fraction part;
        std::size_t const used = detail::ParseFraction(text, part);
        if (used == 0) return Value();
        if (used < text.size() && text[used] != ' ' && text[used] != '\t' && text[used] != '\r' &&
            text[used] != '\n')
            return Value();
        parts.push_back(part);
        text.remove_prefix(used);
    }
    if (parts.empty()) return Value();
    return Value(std::move(parts));
}

Value FractionsToText(Value const& value) {
    if (value.GetType() != Value::Type::FractionArray) return Value();
    std::string text;
    for (Fraction const& part : value.Get<std::vector<Fraction>>()) {
        if (!text.empty()) text += ' ';
        text += ToString(part, false);
    }
    return Value(std::move(text));
}

Value ToDecimalText(Value const& value, ReadStore&) {
    if (!value.IsArithmetic()) return Value();
    if (value.GetType() == Value::Type::Fraction && value.Get<Fraction>().IsInfinite()) return Value();
    double const x = value.Convert<double>();
    if (!std::isfinite(x)) return Value();
    char buffer[32];
    int const n = std::snprintf(buffer, sizeof buffer, "%.15g", x);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) return Value();
    return Value(std::string(buffer, static_cast<std::size_t>(n)));
}

Value DecimalTextToFraction(Value const& value) {
    try {
        double const x =
            value.GetType() == Value::Type::String ? std::stod(TextOf(value)) : value.Convert<double>();
        if (!std::isfinite(x)) return Value();
        Fraction f = Fraction::Rationalise(x, 15);
        if (f.IsEmpty() && x != 0) return Value();
        return Value(f);
    } catch (std::exception const&) {
        return Value();
    }
}

Value ShowDate(Value const& value, ReadStore&) {
    if (value.GetType() != Value::Type::DateTime) return value;
    DateTime const& dt = value.Get<DateTime>();
    if (dt.hasTime || !dt.hasYear || (dt.hasMonth && dt.hasDay)) return Value(ToString(dt, ':', ' ', -1));
    // A partial date: the printer fills the missing parts with zeros.
    std::string text = ToString(dt, ':', ' ', 0);
    std::size_t const yearEnd = text.find(':');
    if (yearEnd != std::string::npos) text.resize(dt.hasMonth ? yearEnd + 3 : yearEnd);
    return Value(std::move(text));
}

Value DateFromText(Value const& value) {
    if (value.GetType() != Value::Type::String) return value;
    DateTime const dt = DateTime::FromString(value.Get<std::string>());
    return dt ? Value(dt) : value;
}

Value FoldSignExtendedShort(Value const& value, ReadStore&) {
    if (!value.IsIntegral() || value.GetType() == Value::Type::Bool) return value;
    std::int64_t code = 0;
    try {
        code = value.Convert<std::int64_t>();
    } catch (std::exception const&) {
        return value;  // a U64 beyond the signed range: nothing to fold
    }
    // Only the unsigned spelling: a written -1 is a code of its own.
    if (code < 0xFFFF8000LL || code > 0xFFFFFFFFLL) return value;
    return Value(static_cast<std::int64_t>(code & 0xFFFF));
}

namespace {

constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The 6-bit value of a base64 digit, -1 for anything else.
int Base64Digit(char c) noexcept {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

Value Base64ToBinary(Value const& value, ReadStore&) {
    if (value.GetType() != Value::Type::String) return Value();
    std::string_view const text = value.Get<std::string>();
    std::vector<meta::byte> bytes;
    bytes.reserve(text.size() / 4 * 3 + 3);
    std::uint32_t bits = 0;
    int held = 0;
    std::size_t digits = 0;
    std::size_t padding = 0;
    for (char const c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        int const digit = Base64Digit(c);
        // Digits after padding, or anything outside the alphabet: not base64.
        if (digit < 0 || padding != 0) return Value();
        ++digits;
        bits = (bits << 6) | static_cast<std::uint32_t>(digit);
        held += 6;
        if (held >= 8) {
            held -= 8;
            bytes.push_back(static_cast<meta::byte>((bits >> held) & 0xFF));
        }
    }
    // A lone digit in the last group cannot make a byte.
    if (digits == 0 || digits % 4 == 1 || padding > 2) return Value();
    return Value(std::move(bytes));
}

Value BinaryToBase64(Value const& value) {
    if (value.GetType() != Value::Type::Binary) return value;
    auto const& bytes = value.Get<std::vector<meta::byte>>();
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        std::uint32_t const group = std::to_integer<std::uint32_t>(bytes[i]) << 16 |
                                    std::to_integer<std::uint32_t>(bytes[i + 1]) << 8 |
                                    std::to_integer<std::uint32_t>(bytes[i + 2]);
        for (int shift = 18; shift >= 0; shift -= 6) text += kBase64Alphabet[(group >> shift) & 0x3F];
    }
    std::size_t const rest = bytes.size() - i;
    if (rest != 0) {
        std::uint32_t group = std::to_integer<std::uint32_t>(bytes[i]) << 16;
        if (rest == 2) group |= std::to_integer<std::uint32_t>(bytes[i + 1]) << 8;
        text += kBase64Alphabet[(group >> 18) & 0x3F];
        text += kBase64Alphabet[(group >> 12) & 0x3F];
        text += rest == 2 ? kBase64Alphabet[(group >> 6) & 0x3F] : '=';
        text += '=';
    }
    return Value(std::move(text));
}

}  // namespace meta::xmp
