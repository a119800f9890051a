#include "varrow/values/conversions/canonicalise.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace meta::detail {

namespace {

template <typename T>
std::string Shortest(std::string text) {
    std::size_t start = 0;
    while (start < text.size() && text[start] == ' ') ++start;
    std::size_t end = text.size();
    while (end > start && text[end - 1] == ' ') --end;
    if (start == end) return text;
    const std::string trimmed = text.substr(start, end - start);
    char* stop = nullptr;
    // strtod accepts a leading '+', from_chars does not.
    const double parsed = std::strtod(trimmed.c_str(), &stop);
    if (stop != trimmed.c_str() + trimmed.size() || !std::isfinite(parsed)) return text;
    T x = static_cast<T>(parsed);
    if (x == 0) x = 0;  // no "-0"
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x);
    if (result.ec != std::errc()) return text;
    return std::string(buffer, result.ptr);
}

}  // namespace

std::string CanonicaliseDouble(std::string text) {
    return Shortest<double>(std::move(text));
}

std::string CanonicaliseFloat(std::string text) {
    return Shortest<float>(std::move(text));
}

}  // namespace meta::detail
