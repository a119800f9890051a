#include "varrow/values/conversions/rational_list.h"

namespace meta::detail {

std::string ToRationalList(const std::vector<Fraction>& fractions) {
    std::string out;
    for (const Fraction& f : fractions) {
        if (!out.empty()) out += ' ';
        out += ToString(f, true);
    }
    return out;
}

std::vector<Fraction> FromRationalList(std::string_view text) {
    std::vector<Fraction> out;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        if (i == text.size()) break;
        std::size_t end = text.find(' ', i);
        if (end == std::string_view::npos) end = text.size();
        out.push_back(Fraction::FromString(text.substr(i, end - i)));
        i = end;
    }
    return out;
}

}  // namespace meta::detail
