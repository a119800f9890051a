#pragma once

// Typed conversion of a Value, reached through Value::Convert<T>(). Every
// conversion either succeeds or throws ValueException.
//
// - integers and bool: from Bool and every integer alternative by ordinary
//   integer conversion (wrapping to the width of T, bool means non-zero);
//   from Float and Double by truncation toward zero (NaN or a result outside
//   T throws); from a String that holds exactly one decimal number, with
//   optional leading white space and nothing after it.
// - float, double: as above, plus Fraction by its decimal value; a String
//   through std::stod.
// - std::string: String, LString (its current text) and Binary (its bytes).
// - Fraction: Fraction; integers as n/1; Float and Double rationalised to 8
//   digits; a String as 'N/D', or else as a decimal number rationalised.
// - DateTime: DateTime; a String that DateTime::FromString understands.
// - LocalisedString: LString; a String as the default text of an unknown
//   locale.
// - ValueSequence, ValueSet: the same alternative; a scalar (String ..
//   DateTime) as a one-element list; a typed array element by element.
// - std::vector<E>: the identical array; a single scalar of a fitting kind;
//   the elements of a Sequence or Set each converted to E. Integer vectors
//   take integer scalars and integer arrays (not Bool); floating vectors also
//   take Float, Double and Fraction scalars and arrays; Fraction vectors take
//   integer, floating and Fraction scalars and arrays; byte vectors take
//   Binary, U8Array, S8Array and lists of U8 or S8 values; a vector of
//   vectors takes a list of arrays or a single array.

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace meta {

namespace detail {

template <typename T>
concept ConvertibleInteger = std::is_integral_v<T> && !kIsCharType<T>;

template <typename T>
inline constexpr bool kIsPlainInteger = ConvertibleInteger<T> && !std::is_same_v<T, bool>;

template <typename T>
inline constexpr bool kIsList = std::is_same_v<T, ValueSequence> || std::is_same_v<T, ValueSet>;

template <typename T>
struct VectorTraits {
    static constexpr bool kIsVector = false;
};
template <typename E>
struct VectorTraits<std::vector<E>> {
    static constexpr bool kIsVector = true;
    using Element = E;
};

// The converted integer as two's complement bits; the caller narrows them to
// `bits` wide.
VARROW_API std::uint64_t ConvertToInteger(const Value& value, bool isSigned, unsigned bits);
VARROW_API bool ConvertToBool(const Value& value);
VARROW_API double ConvertToDouble(const Value& value);
// A double outside the float range becomes +-infinity instead of undefined
// behaviour.
VARROW_API float NarrowToFloat(double value) noexcept;
// n/1; throws ValueException for an unsigned value beyond the signed range.
VARROW_API Fraction IntegerToFraction(std::uint64_t value, bool isSigned);
// CheckedRationalise to 8 digits; failure throws ValueException.
VARROW_API Fraction RealToFraction(double value);

// One element of a typed array converted to E, for the vector conversions.
template <typename E, typename H>
E ConvertElement(const H& x) {
    if constexpr (std::is_same_v<E, H>) {
        return x;
    } else if constexpr (kIsPlainInteger<E> && kIsPlainInteger<H>) {
        return static_cast<E>(x);
    } else if constexpr (std::is_same_v<E, float> && (kIsPlainInteger<H> || std::is_floating_point_v<H>)) {
        return NarrowToFloat(static_cast<double>(x));
    } else if constexpr (std::is_same_v<E, double> && (kIsPlainInteger<H> || std::is_floating_point_v<H>)) {
        return static_cast<double>(x);
    } else if constexpr (std::is_same_v<E, float> && std::is_same_v<H, Fraction>) {
        return NarrowToFloat(x.AsDouble());
    } else if constexpr (std::is_same_v<E, double> && std::is_same_v<H, Fraction>) {
        return x.AsDouble();
    } else if constexpr (std::is_same_v<E, Fraction> && kIsPlainInteger<H>) {
        return IntegerToFraction(static_cast<std::uint64_t>(x), std::is_signed_v<H>);
    } else if constexpr (std::is_same_v<E, Fraction> && std::is_floating_point_v<H>) {
        return RealToFraction(static_cast<double>(x));
    } else if constexpr (std::is_same_v<E, meta::byte> &&
                         (std::is_same_v<H, std::uint8_t> || std::is_same_v<H, std::int8_t>)) {
        return static_cast<meta::byte>(x);
    } else {
        static_assert(!sizeof(H), "no element conversion");
    }
}

// Whether an array or scalar of H is accepted by a vector of E.
template <typename E, typename H>
inline constexpr bool kElementConverts =
    std::is_same_v<E, H> || (kIsPlainInteger<E> && kIsPlainInteger<H>) ||
    ((std::is_same_v<E, float> || std::is_same_v<E, double>)&&(kIsPlainInteger<H> ||
                                                               std::is_floating_point_v<H> ||
                                                               std::is_same_v<H, Fraction>)) ||
    (std::is_same_v<E, Fraction> && (kIsPlainInteger<H> || std::is_floating_point_v<H>)) ||
    (std::is_same_v<E, meta::byte> && (std::is_same_v<H, std::uint8_t> || std::is_same_v<H, std::int8_t>));

}  // namespace detail

template <typename T>
requires detail::ConvertibleInteger<T>
struct ValueConverter<T> {
    static T Convert(const Value& value) {
        if constexpr (std::is_same_v<T, bool>) {
            return detail::ConvertToBool(value);
        } else {
            return static_cast<T>(detail::ConvertToInteger(value, std::is_signed_v<T>, sizeof(T) * 8));
        }
    }
};

template <>
struct ValueConverter<double> {
    static double Convert(const Value& value) { return detail::ConvertToDouble(value); }
};

template <>
struct ValueConverter<float> {
    static float Convert(const Value& value) { return detail::NarrowToFloat(detail::ConvertToDouble(value)); }
};

template <>
struct VARROW_API ValueConverter<std::string> {
    static std::string Convert(const Value& value);
};

template <>
struct VARROW_API ValueConverter<Fraction> {
    static Fraction Convert(const Value& value);
};

template <>
struct VARROW_API ValueConverter<DateTime> {
    static DateTime Convert(const Value& value);
};

template <>
struct VARROW_API ValueConverter<LocalisedString> {
    static LocalisedString Convert(const Value& value);
};

template <>
struct VARROW_API ValueConverter<ValueSequence> {
    static ValueSequence Convert(const Value& value);
};

template <>
struct VARROW_API ValueConverter<ValueSet> {
    static ValueSet Convert(const Value& value);
};

// A list element for a byte vector: only 8-bit numbers are bytes.
template <>
struct ValueConverter<meta::byte> {
    static meta::byte Convert(const Value& value) {
        if (value.Exists(Value::Type::U8)) return static_cast<meta::byte>(value.Get<std::uint8_t>());
        if (value.Exists(Value::Type::S8)) return static_cast<meta::byte>(value.Get<std::int8_t>());
        throw ValueException();
    }
};

template <>
struct ValueConverter<Value> {
    static Value Convert(const Value& value) { return value; }
};

template <typename E>
struct ValueConverter<std::vector<E>> {
    static std::vector<E> Convert(const Value& value) {
        return value.Visit([&](const auto& held) -> std::vector<E> {
            using H = std::remove_cvref_t<decltype(held)>;
            if constexpr (std::is_same_v<H, std::vector<E>>) {
                return held;
            } else if constexpr (detail::kIsList<H>) {
                std::vector<E> out;
                out.reserve(held.size());
                for (const Value& element : held) out.push_back(ValueConverter<E>::Convert(element));
                return out;
            } else if constexpr (detail::VectorTraits<E>::kIsVector) {
                // A vector of vectors from a single array or scalar.
                return {ValueConverter<E>::Convert(value)};
            } else if constexpr (detail::VectorTraits<H>::kIsVector) {
                using Element = typename detail::VectorTraits<H>::Element;
                if constexpr (!std::is_same_v<Element, bool> && detail::kElementConverts<E, Element>) {
                    std::vector<E> out;
                    out.reserve(held.size());
                    for (const Element& element : held) out.push_back(detail::ConvertElement<E>(element));
                    return out;
                } else {
                    throw ValueException();
                }
            } else if constexpr (std::is_same_v<H, E> ||
                                 (!std::is_same_v<H, bool> && !std::is_same_v<E, meta::byte> &&
                                  detail::kElementConverts<E, H>)) {
                return {detail::ConvertElement<E>(held)};
            } else {
                throw ValueException();
            }
        });
    }
};

}  // namespace meta
