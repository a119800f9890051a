#include "varrow/values/conversions/arithmetic_string.h"

namespace meta::detail {

const char* ToString(UnitSuffix suffix) noexcept {
    switch (suffix) {
        case UnitSuffix::M: return " m";
        case UnitSuffix::Mm: return " mm";
        case UnitSuffix::Hz: return " Hz";
        case UnitSuffix::S: return " s";
        case UnitSuffix::C: return " C";
        case UnitSuffix::K: return " K";
        case UnitSuffix::V: return " V";
        case UnitSuffix::KPa: return " kPa";
        case UnitSuffix::X: return "x";
        case UnitSuffix::Percent: return "%";
        case UnitSuffix::None: break;
    }
    return "";
}

}  // namespace meta::detail
