#include "varrow/fields/composites/composite_inputs.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

#include "varrow/processors/read_store.h"
#include "varrow/values/value_converter.h"

namespace meta::composites {

Inputs::Inputs(Value const& refs) {
    if (refs.GetType() != Value::Type::RefSequence) return;
    refs_ = &refs.Get<ValueRefSequence>();
    count_ = refs_->size() / 3;
}

Value const& Inputs::At(std::size_t index) const {
    if (refs_ == nullptr || index >= refs_->size() || (*refs_)[index] == nullptr) return Value::None;
    return *(*refs_)[index];
}

std::optional<double> NumberOf(Value const& value) {
    if (!value.Exists()) return std::nullopt;
    try {
        if (value.IsArray() || value.IsCollection()) {
            std::vector<double> const numbers = value.Convert<std::vector<double>>();
            if (numbers.empty()) return std::nullopt;
            return numbers.front();
        }
        return value.Convert<double>();
    } catch (std::exception const&) {  // ValueException and the parse errors of text
        return std::nullopt;
    }
}

std::optional<Fraction> FractionOf(Value const& value) {
    switch (value.GetType()) {
        case Value::Type::Fraction: return value.Get<Fraction>();
        case Value::Type::FractionArray: {
            auto const& list = value.Get<std::vector<Fraction>>();
            if (list.empty()) return std::nullopt;
            return list.front();
        }
        case Value::Type::String: {
            Fraction f;
            std::string const& text = value.Get<std::string>();
            if (detail::ParseFraction(text, f) != text.size()) return std::nullopt;
            return f;
        }
        default: return std::nullopt;
    }
}

bool IsPositive(std::optional<double> x) {
    return x && std::isfinite(*x) && *x > 0;
}

std::string FormatNumber(char const* format, double x) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, x);
    return buffer;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i]))) {
            return false;
        }
    }
    return true;
}

bool MakeMatches(ReadStore const& store, std::string_view prefix) {
    return store.make.empty() || StartsWithIgnoringCase(store.make, prefix);
}

std::optional<double> Inputs::Number(std::size_t i) const {
    if (auto n = NumberOf(GetValue(i))) return n;
    return NumberOf(GetRaw(i));
}

std::string Inputs::RawText(std::size_t i) const {
    Value const& raw = GetRaw(i);
    if (!raw.Exists()) return {};
    std::string text = raw.GetType() == Value::Type::String ? raw.Get<std::string>() : raw.ToString();
    while (!text.empty() && (text.back() == '\0' || text.back() == ' ' || text.back() == '\n' ||
                             text.back() == '\r' || text.back() == '\t')) {
        text.pop_back();
    }
    return text;
}

}  // namespace meta::composites
