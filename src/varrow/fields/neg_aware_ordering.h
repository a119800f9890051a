#pragma once

#include <type_traits>

namespace meta {

// Orders signed ids so that every non-negative id comes before every negative
// one: 0, 1, 2, ..., then the most negative id up to -1. Binary-record tables
// use negative ids for fields counted back from the record's end, and readers
// walk a table in this order so those come last. Equal to comparing the ids
// reinterpreted as unsigned numbers of the same width.
template <class T>
struct NegAwareOrdering {
    static_assert(std::is_integral_v<T> && std::is_signed_v<T>, "NegAwareOrdering orders signed ids");

    constexpr bool operator()(T a, T b) const noexcept {
        using U = std::make_unsigned_t<T>;
        return static_cast<U>(a) < static_cast<U>(b);
    }
};

}  // namespace meta
