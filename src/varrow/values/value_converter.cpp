#include "varrow/values/value_converter.h"

#include <cfloat>
#include <cmath>
#include <stdexcept>

namespace meta {

namespace {

using Type = Value::Type;

bool IsSpace(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsPlainIntegerType(Type t) noexcept {
    return t >= Type::S8 && t <= Type::U64;
}

// An integer alternative as two's complement bits, sign-extended from signed
// types.
std::uint64_t IntegerBits(const Value& value) {
    switch (value.GetType()) {
        case Type::Bool: return value.Get<bool>() ? 1 : 0;
        case Type::S8: return static_cast<std::uint64_t>(std::int64_t{value.Get<std::int8_t>()});
        case Type::U8: return value.Get<std::uint8_t>();
        case Type::S16: return static_cast<std::uint64_t>(std::int64_t{value.Get<std::int16_t>()});
        case Type::U16: return value.Get<std::uint16_t>();
        case Type::S32: return static_cast<std::uint64_t>(std::int64_t{value.Get<std::int32_t>()});
        case Type::U32: return value.Get<std::uint32_t>();
        case Type::S64: return static_cast<std::uint64_t>(value.Get<std::int64_t>());
        case Type::U64: return value.Get<std::uint64_t>();
        default: throw ValueException();
    }
}

bool IsSignedIntegerType(Type t) noexcept {
    return t == Type::S8 || t == Type::S16 || t == Type::S32 || t == Type::S64;
}

double RealValue(const Value& value) {
    return value.GetType() == Type::Float ? static_cast<double>(value.Get<float>()) : value.Get<double>();
}

// Truncation toward zero into a signed or unsigned integer of `bits` bits;
// NaN and results outside the target throw instead of being undefined.
std::uint64_t TruncateReal(double x, bool isSigned, unsigned bits) {
    if (std::isnan(x)) throw ValueException();
    const double t = std::trunc(x);
    if (isSigned) {
        const double limit = std::ldexp(1.0, static_cast<int>(bits) - 1);
        if (t < -limit || t >= limit) throw ValueException();
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(t));
    }
    const double limit = std::ldexp(1.0, static_cast<int>(bits));
    if (t < 0 || t >= limit) throw ValueException();
    return static_cast<std::uint64_t>(t);
}

// Stream extraction of an integer in the classic locale, required to use
// up the whole text: leading white space, an optional sign, decimal digits.
// A signed target rejects values outside its range; an unsigned one takes
// any magnitude it can hold and wraps a negative sign, as extraction does.
bool ParseInteger(std::string_view s, bool isSigned, unsigned bits, std::uint64_t& out) noexcept {
    std::size_t pos = 0;
    while (pos < s.size() && IsSpace(s[pos])) ++pos;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos] == '-';
        ++pos;
    }
    if (pos == s.size()) return false;
    std::uint64_t magnitude = 0;
    for (; pos < s.size(); ++pos) {
        const char c = s[pos];
        if (c < '0' || c > '9') return false;
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (magnitude > (UINT64_MAX - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    const std::uint64_t unsignedMax = bits >= 64 ? UINT64_MAX : (std::uint64_t{1} << bits) - 1;
    if (isSigned) {
        const std::uint64_t positiveMax = unsignedMax >> 1;
        if (magnitude > positiveMax + (negative ? 1 : 0)) return false;
    } else if (magnitude > unsignedMax) {
        return false;
    }
    out = negative ? ~magnitude + 1 : magnitude;
    return true;
}

const std::string& StringValue(const Value& value) {
    return value.Get<std::string>();
}

template <typename List>
List ToList(const Value& value) {
    const Type t = value.GetType();
    if (t >= Type::String && t <= Type::DateTime) return List{value};
    if (!value.IsArray()) throw ValueException();
    return value.Visit([](const auto& held) -> List {
        using H = std::remove_cvref_t<decltype(held)>;
        if constexpr (detail::kIsTypedArray<H>) {
            using E = typename detail::VectorTraits<H>::Element;
            List out;
            out.reserve(held.size());
            for (const auto& x : held) out.emplace_back(static_cast<E>(x));
            return out;
        } else {
            throw ValueException();
        }
    });
}

}  // namespace

std::uint64_t detail::ConvertToInteger(const Value& value, bool isSigned, unsigned bits) {
    const Type t = value.GetType();
    if (t == Type::Bool || IsPlainIntegerType(t)) return IntegerBits(value);
    if (t == Type::Float || t == Type::Double) return TruncateReal(RealValue(value), isSigned, bits);
    if (t == Type::String) {
        std::uint64_t out = 0;
        if (!ParseInteger(StringValue(value), isSigned, bits, out)) throw ValueException();
        return out;
    }
    throw ValueException();
}

bool detail::ConvertToBool(const Value& value) {
    const Type t = value.GetType();
    if (t == Type::Bool || IsPlainIntegerType(t)) return IntegerBits(value) != 0;
    if (t == Type::Float || t == Type::Double) {
        const double x = RealValue(value);
        if (std::isnan(x)) throw ValueException();
        return std::trunc(x) != 0;
    }
    if (t == Type::String) {
        // Extraction of a bool without boolalpha reads a number that must be
        // 0 or 1.
        std::uint64_t out = 0;
        if (!ParseInteger(StringValue(value), true, 64, out) || out > 1) throw ValueException();
        return out == 1;
    }
    throw ValueException();
}

double detail::ConvertToDouble(const Value& value) {
    const Type t = value.GetType();
    if (t == Type::Bool || IsPlainIntegerType(t)) {
        const std::uint64_t bits = IntegerBits(value);
        return IsSignedIntegerType(t) ? static_cast<double>(static_cast<std::int64_t>(bits))
                                      : static_cast<double>(bits);
    }
    switch (t) {
        case Type::Float: return static_cast<double>(value.Get<float>());
        case Type::Double: return value.Get<double>();
        case Type::Fraction: return value.Get<Fraction>().AsDouble();
        case Type::String: try { return std::stod(StringValue(value));
            } catch (const std::invalid_argument&) {
                throw ValueException();
            } catch (const std::out_of_range&) {
                throw ValueException();
            }
        default: throw ValueException();
    }
}

float detail::NarrowToFloat(double value) noexcept {
    if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
    if (value > static_cast<double>(FLT_MAX)) return std::numeric_limits<float>::infinity();
    if (value < -static_cast<double>(FLT_MAX)) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

Fraction detail::IntegerToFraction(std::uint64_t value, bool isSigned) {
    if (!isSigned && value > static_cast<std::uint64_t>(INT64_MAX)) throw ValueException();
    return Fraction(static_cast<std::int64_t>(value), 1);
}

Fraction detail::RealToFraction(double value) {
    try {
        return CheckedRationalise(value, 8);
    } catch (const std::out_of_range&) {
        throw ValueException();
    } catch (const std::underflow_error&) {
        throw ValueException();
    }
}

std::string ValueConverter<std::string>::Convert(const Value& value) {
    switch (value.GetType()) {
        case Type::String: return value.Get<std::string>();
        case Type::LString: return value.Get<LocalisedString>().GetValue();
        case Type::Binary: {
            const auto& bytes = value.Get<std::vector<meta::byte>>();
            return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        }
        default: throw ValueException();
    }
}

Fraction ValueConverter<Fraction>::Convert(const Value& value) {
    const Type t = value.GetType();
    if (IsPlainIntegerType(t)) return detail::IntegerToFraction(IntegerBits(value), IsSignedIntegerType(t));
    switch (t) {
        case Type::Fraction: return value.Get<Fraction>();
        case Type::Float:
        case Type::Double: return detail::RealToFraction(RealValue(value));
        case Type::String: {
            Fraction f;
            if (detail::ParseFraction(StringValue(value), f) != 0) return f;
            return detail::RealToFraction(detail::ConvertToDouble(value));
        }
        default: throw ValueException();
    }
}

DateTime ValueConverter<DateTime>::Convert(const Value& value) {
    switch (value.GetType()) {
        case Type::DateTime: return value.Get<DateTime>();
        case Type::String: {
            const DateTime dt = DateTime::FromString(StringValue(value));
            if (!dt) throw ValueException();
            return dt;
        }
        default: throw ValueException();
    }
}

LocalisedString ValueConverter<LocalisedString>::Convert(const Value& value) {
    switch (value.GetType()) {
        case Type::LString: return value.Get<LocalisedString>();
        case Type::String: return LocalisedString(LocaleIdentifier(), StringValue(value));
        default: throw ValueException();
    }
}

ValueSequence ValueConverter<ValueSequence>::Convert(const Value& value) {
    if (value.GetType() == Type::Sequence) return value.Get<ValueSequence>();
    return ToList<ValueSequence>(value);
}

ValueSet ValueConverter<ValueSet>::Convert(const Value& value) {
    if (value.GetType() == Type::Set) return value.Get<ValueSet>();
    return ToList<ValueSet>(value);
}

}  // namespace meta
