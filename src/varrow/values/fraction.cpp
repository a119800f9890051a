#include "varrow/values/fraction.h"

#include <charconv>
#include <cmath>
#include <istream>
#include <limits>
#include <ostream>
#include <stdexcept>

namespace meta {

namespace {

std::uint64_t Magnitude(std::int64_t v) noexcept {
    // Two's complement negation in unsigned arithmetic; exact for INT64_MIN.
    return v < 0 ? ~static_cast<std::uint64_t>(v) + 1 : static_cast<std::uint64_t>(v);
}

std::uint64_t Gcd(std::uint64_t a, std::uint64_t b) noexcept {
    while (b != 0) {
        const std::uint64_t t = a % b;
        a = b;
        b = t;
    }
    return a;
}

// Divides v by g (> 1) keeping its sign; the quotient's magnitude is at most
// 2^62, so it always fits.
std::int64_t DivideKeepingSign(std::int64_t v, std::uint64_t g) noexcept {
    const auto q = static_cast<std::int64_t>(Magnitude(v) / g);
    return v < 0 ? -q : q;
}

bool IsSpace(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Stream extraction of a signed 64-bit number in the classic locale: optional
// sign, at least one decimal digit, failure on overflow.
std::size_t ParseInt64(std::string_view text, std::size_t pos, std::int64_t& out) noexcept {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t digitsStart = pos;
    std::uint64_t magnitude = 0;
    bool overflow = false;
    const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        const auto digit = static_cast<std::uint64_t>(text[pos] - '0');
        if (magnitude > (limit - digit) / 10) overflow = true;
        if (!overflow) magnitude = magnitude * 10 + digit;
        ++pos;
    }
    if (pos == digitsStart || overflow) return 0;
    out = negative ? static_cast<std::int64_t>(~magnitude + 1) : static_cast<std::int64_t>(magnitude);
    return pos;
}

}  // namespace

Fraction& Fraction::Simplify() noexcept {
    if (denominator == 0) {
        if (numerator != 0) numerator = numerator < 0 ? -1 : 1;
        return *this;
    }
    if (numerator == 0) {
        denominator = denominator < 0 ? -1 : 1;
        return *this;
    }
    const std::uint64_t g = Gcd(Magnitude(numerator), Magnitude(denominator));
    if (g > 1) {
        numerator = DivideKeepingSign(numerator, g);
        denominator = DivideKeepingSign(denominator, g);
    }
    return *this;
}

std::size_t detail::ParseFraction(std::string_view text, Fraction& out) noexcept {
    std::int64_t n = 0;
    std::int64_t d = 0;
    std::size_t pos = ParseInt64(text, 0, n);
    if (pos == 0) return 0;
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    if (pos >= text.size() || text[pos] != '/') return 0;
    pos = ParseInt64(text, pos + 1, d);
    if (pos == 0) return 0;
    out = Fraction(n, d);
    return pos;
}

Fraction Fraction::FromString(std::string_view text) noexcept {
    Fraction f;
    if (detail::ParseFraction(text, f) == 0) return Fraction();
    return f;
}

Fraction Fraction::CheckedRationalise(double x, std::size_t digits) {
    const double sign = x >= 0 ? 1.0 : -1.0;
    const double a = std::fabs(x);
    if (std::isinf(a)) return Fraction(static_cast<std::int64_t>(sign), 0);
    if (std::isnan(a)) return Fraction(0, 0);
    if (a == 0) return Fraction(0, 1);

    const double tolerance = std::pow(10.0, -static_cast<double>(digits));
    // The quotient must be below 2^63 to convert exactly; doubles at or above
    // that bound are integers that no longer fit.
    constexpr double kLimit = 9223372036854775808.0;
    std::int64_t h1 = 1, h2 = 0, k1 = 0, k2 = 1;
    double y = a;
    double previousError = -1;
    while (true) {
        const double qd = std::floor(y);
        if (!(qd < kLimit && qd >= -kLimit)) {
            throw std::out_of_range("Input to Fraction::Rationalise is too large");
        }
        const auto q = static_cast<std::int64_t>(qd);
        std::int64_t h = 0, k = 0;
        if (__builtin_mul_overflow(q, h1, &h) || __builtin_add_overflow(h, h2, &h) ||
            __builtin_mul_overflow(q, k1, &k) || __builtin_add_overflow(k, k2, &k)) {
            // The convergents left the representable range before reaching
            // the tolerance.
            throw std::underflow_error("Fraction::Rationalise failed to converge");
        }
        const double approx = static_cast<double>(h) / static_cast<double>(k);
        if (!std::isfinite(approx)) throw std::underflow_error("Fraction::Rationalise failed to converge");
        const double error = std::fabs(approx - a) / a;
        y = 1.0 / (y - qd);
        if (!std::isfinite(error)) throw std::underflow_error("Fraction::Rationalise failed to converge");
        if (error < tolerance || error == previousError) {
            return Fraction(sign < 0 ? -h : h, k);
        }
        previousError = error;
        h2 = h1;
        h1 = h;
        k2 = k1;
        k1 = k;
    }
}

Fraction Fraction::Rationalise(double x, std::size_t digits) noexcept {
    try {
        return CheckedRationalise(x, digits);
    } catch (const std::out_of_range&) {
        return Fraction();
    } catch (const std::underflow_error&) {
        return Fraction();
    }
}

std::string ToString(const Fraction& f, bool omitUnitDenominator) {
    char buffer[24];
    std::string text(buffer, std::to_chars(buffer, buffer + sizeof(buffer), f.numerator).ptr);
    if (!omitUnitDenominator || f.denominator != 1) {
        text += '/';
        text.append(buffer, std::to_chars(buffer, buffer + sizeof(buffer), f.denominator).ptr);
    }
    return text;
}

std::ostream& operator<<(std::ostream& os, const Fraction& f) {
    os << f.numerator;
    if (f.denominator != 1) os << '/' << f.denominator;
    return os;
}

std::istream& operator>>(std::istream& is, Fraction& f) {
    std::int64_t n = 0;
    std::int64_t d = 0;
    char separator = '\0';
    if (is >> n >> separator && separator == '/' && is >> d) {
        f = Fraction(n, d);
    } else {
        f = Fraction();
        is.setstate(std::ios_base::failbit);
    }
    return is;
}

}  // namespace meta
