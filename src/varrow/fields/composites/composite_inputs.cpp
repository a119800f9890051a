#include "varrow/fields/composites/composite_inputs.h"

#include <vector>

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
