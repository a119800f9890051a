#include "varrow/values/string_format.h"

#include <ostream>

namespace meta {

std::string sprintf_wrapper::proxy::Resolve(double x) const {
    std::string text;
    if (!strprintf(text, format_, x)) text.clear();
    return text;
}

std::ostream& sprintf_wrapper::proxy::operator<<(double x) const {
    return os_ << Resolve(x);
}

sprintf_wrapper sprintf_f(std::size_t digits, bool plusSign) {
    std::string format = plusSign ? "%+." : "%.";
    format += std::to_string(digits);
    format += 'f';
    return sprintf_wrapper(std::move(format));
}

}  // namespace meta
