#pragma once

// Numbers formatted for display with a unit suffix:
//   ToArithmeticString<double, UnitSuffix::Mm, PrecisionMethod::Printf, 1>(50.0) == "50.0 mm"

#include <cstdint>
#include <ios>
#include <sstream>
#include <string>
#include <type_traits>

#include "varrow/api/export.h"
#include "varrow/values/string_format.h"
#include "varrow/values/value.h"

namespace meta::detail {

enum class UnitSuffix : std::uint32_t {
    None = 0,
    M = 1,
    Mm = 2,
    Hz = 3,
    S = 4,
    C = 5,
    K = 6,
    V = 7,
    KPa = 8,
    X = 9,
    Percent = 10,
};

// " m", " mm", ...; empty for None and for numbers outside the enumeration.
VARROW_API const char* ToString(UnitSuffix suffix) noexcept;

enum class PrecisionMethod : std::uint32_t {
    Plain = 0,    // default stream format, precision 6
    Fixed = 1,    // std::fixed with N decimals
    General = 2,  // N significant digits
    Printf = 3,   // '%.Nf'
};

template <typename T, UnitSuffix S, PrecisionMethod P, unsigned N>
std::string ToArithmeticString(const T& x) {
    if constexpr (P == PrecisionMethod::Printf && !std::is_same_v<T, Value>) {
        // snprintf straight into the result: no stream needed.
        std::string out;
        strprintf(out, "%.*f", static_cast<int>(N), static_cast<double>(x));
        out += ToString(S);
        return out;
    } else {
        std::ostringstream os;
        if constexpr (P == PrecisionMethod::Fixed) {
            os << std::fixed;
            os.precision(N);
        } else if constexpr (P == PrecisionMethod::General) {
            os.precision(N);
        }
        if constexpr (std::is_same_v<T, Value>) {
            if constexpr (P == PrecisionMethod::Printf) {
                os << sprintf_f(N, false) << x.template Convert<double>();
            } else {
                x.ToStream(os);
            }
        } else if constexpr (std::is_integral_v<T> && P != PrecisionMethod::Plain) {
            // Precision only applies to floating output.
            os << static_cast<double>(x);
        } else if constexpr (std::is_integral_v<T> && sizeof(T) == 1) {
            os << static_cast<int>(x);
        } else {
            os << x;
        }
        os << ToString(S);
        return std::move(os).str();
    }
}

}  // namespace meta::detail
