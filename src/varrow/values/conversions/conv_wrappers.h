#pragma once

// Adapters that turn plain typed functions into field conversions
// (Value(const Value&, ReadStore&)) and inverse conversions
// (Value(const Value&)). Conversions bound into field definitions never throw:
// a value of the wrong shape yields Value::None.

#include <cstdint>
#include <exception>
#include <type_traits>

#include "varrow/api/export.h"
#include "varrow/values/value.h"
#include "varrow/values/value_converter.h"

namespace meta {

struct ReadStore;

namespace detail {

// F applied to `v` taken as T: None stays None, a value already holding T is
// passed as it is, anything else goes through Convert<T>(); a conversion that
// fails gives Value::None.
template <typename T, auto F, bool Unused = false>
Value InvConvWrapper(const Value& v) {
    if (!v.Exists()) return v;
    try {
        if constexpr (std::is_same_v<T, Value>) {
            return Value(F(v));
        } else if constexpr (detail::kIsHeldType<T>) {
            if (v.GetType() == static_cast<Value::Type>(detail::kHeldIndex<T>)) return Value(F(v.Get<T>()));
            return Value(F(v.Convert<T>()));
        } else {
            return Value(F(v.Convert<T>()));
        }
    } catch (const std::exception&) {
        return Value::None;
    }
}

template <typename T, auto F, bool Unused = false>
Value ConvWrapper(const Value& v, ReadStore&) {
    return InvConvWrapper<T, F, Unused>(v);
}

// F taking the whole value (ValToExposureTimeString and its kin).
template <auto F>
Value ConvWrapper(const Value& v, ReadStore&) {
    try {
        return Value(F(v));
    } catch (const std::exception&) {
        return Value::None;
    }
}

// An arithmetic scalar divided by N (a Double); anything else is None.
template <typename V, long long N, typename D>
V ArithmeticDivide(V v) {
    static_assert(std::is_same_v<V, Value> && std::is_floating_point_v<D> && N != 0);
    if (!v.IsArithmetic()) return Value::None;
    try {
        v /= static_cast<D>(N);
    } catch (const std::exception&) {
        return Value::None;
    }
    return v;
}

// The value with every integral element masked by M.
template <typename T, T M>
Value ValueMask(const Value& v, ReadStore&) {
    static_assert(std::is_unsigned_v<T> && sizeof(T) <= sizeof(unsigned int));
    Value out = v;
    try {
        out &= M;
    } catch (const std::exception&) {
        return Value::None;
    }
    return out;
}

// Filters that keep the raw value when the test holds and drop it otherwise.
VARROW_API Value RawConv_S16NotMinusOne(const Value& v, ReadStore&);
VARROW_API Value RawConv_S16NotZero(const Value& v, ReadStore&);
VARROW_API Value RawConv_S16GTZero(const Value& v, ReadStore&);
VARROW_API Value RawConv_S16GTEZero(const Value& v, ReadStore&);
VARROW_API Value RawConv_U8NotZero(const Value& v, ReadStore&);
VARROW_API Value RawConv_U16NotZero(const Value& v, ReadStore&);
VARROW_API Value RawConv_U32NotZero(const Value& v, ReadStore&);

// 32-bit words with their 16-bit halves exchanged, as a U32Array.
VARROW_API Value SwapWords(const Value& v, ReadStore&);

}  // namespace detail
}  // namespace meta
