#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "varrow/api/export.h"

namespace meta {

// A rational number exactly as a file stored it. Nothing is normalised on
// construction, so 2/4 stays 2/4 (files use the denominator to carry
// precision); call Simplify() explicitly. A zero denominator means infinite
// (non-zero numerator) or empty (0/0).
struct VARROW_API Fraction {
    std::int64_t numerator = 0;
    std::int64_t denominator = 0;

    constexpr Fraction() noexcept = default;
    constexpr Fraction(std::int64_t n, std::int64_t d) noexcept : numerator(n), denominator(d) {}

    // n / d in double arithmetic: x/0 is +-infinity, 0/0 is NaN.
    double AsDouble() const noexcept {
        return static_cast<double>(numerator) / static_cast<double>(denominator);
    }
    constexpr bool IsEmpty() const noexcept { return numerator == 0 && denominator == 0; }
    constexpr bool IsInfinite() const noexcept { return denominator == 0; }

    // Divides both terms by their greatest common divisor; each sign stays on
    // the term that carried it ({6, -4} becomes {3, -2}). n/0 becomes +-1/0,
    // 0/d becomes 0/+-1, 0/0 is left alone.
    Fraction& Simplify() noexcept;

    // Reads 'N/D' (optional leading white space before each part). Anything
    // else gives 0/0; never throws.
    static Fraction FromString(std::string_view text) noexcept;

    // The closest fraction to x by continued fractions, stopping when the
    // relative error is below 10^-digits or stops improving:
    // CheckedRationalise(0.333333, 3) is 1/3. Throws std::out_of_range when
    // a partial quotient does not fit 64 bits and std::underflow_error when
    // the expansion does not converge.
    static Fraction CheckedRationalise(double x, std::size_t digits);
    // As CheckedRationalise, but 0/0 where that would throw.
    static Fraction Rationalise(double x, std::size_t digits) noexcept;

    friend constexpr bool operator==(const Fraction&, const Fraction&) noexcept = default;
};

// The same as the static members, for unqualified calls.
inline Fraction CheckedRationalise(double x, std::size_t digits) {
    return Fraction::CheckedRationalise(x, digits);
}
inline Fraction Rationalise(double x, std::size_t digits) noexcept {
    return Fraction::Rationalise(x, digits);
}

// 'N/D', or 'N' when D is 1 and omitUnitDenominator is set.
VARROW_API std::string ToString(const Fraction& f, bool omitUnitDenominator = true);

VARROW_API std::ostream& operator<<(std::ostream& os, const Fraction& f);
// Sets failbit and stores 0/0 when the text is not 'N/D'.
VARROW_API std::istream& operator>>(std::istream& is, Fraction& f);

namespace detail {
// Parses 'N/D' with the rules of stream extraction: white space may precede
// each number and the separator, the separator must be '/', and each number
// must fit 64 bits. Returns the number of characters consumed, 0 on failure.
VARROW_API std::size_t ParseFraction(std::string_view text, Fraction& out) noexcept;
}  // namespace detail

}  // namespace meta
