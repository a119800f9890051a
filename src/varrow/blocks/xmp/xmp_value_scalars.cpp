#include "varrow/blocks/xmp/xmp_value_scalars.h"

#include <cctype>
#include <charconv>
#include <ostream>
#include <sstream>

namespace meta {

namespace {

// The text of a simple node; null for any other form.
std::string const* SimpleText(XmpNode const& node) {
    return node.GetForm() == XmpGroupForm::Simple ? &node.GetSimpleValue() : nullptr;
}

bool IsStreamSpace(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

bool BooleanXmpValue::Read(XmpNode node, XmpValueGenerator const& /*generator*/, Options const& /*options*/) {
    std::string const* text = SimpleText(node);
    if (text == nullptr) return false;
    if (*text == "True" || *text == "true") {
        data_ = true;
    } else if (*text == "False" || *text == "false") {
        data_ = false;
    } else {
        return false;
    }
    TakeQualifiers(node);
    return true;
}

std::ostream& BooleanXmpValue::Write(std::ostream& out) const {
    return out << (data_ ? "True" : "False");
}

Value BooleanXmpValue::ToMetaValue() const& {
    return Qualified(Value(data_));
}

// Stream extraction of an integer skips leading white space, takes one
// optional sign and then digits, and fails on overflow; from_chars does the
// same for the digits without building a stream.
bool IntegerXmpValue::Parse(std::string_view text, std::int64_t& result) {
    std::size_t start = 0;
    while (start < text.size() && IsStreamSpace(text[start])) ++start;
    std::string_view digits = text.substr(start);
    bool const plus = !digits.empty() && digits.front() == '+';
    if (plus) digits.remove_prefix(1);
    if (digits.empty() || (plus && digits.front() == '-')) return false;
    std::int64_t value = 0;
    auto const [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size()) return false;
    result = value;
    return true;
}

bool IntegerXmpValue::Read(XmpNode node, XmpValueGenerator const& /*generator*/, Options const& /*options*/) {
    std::string const* text = SimpleText(node);
    if (text == nullptr || !Parse(*text, data_)) return false;
    TakeQualifiers(node);
    return true;
}

std::ostream& IntegerXmpValue::Write(std::ostream& out) const {
    return out << data_;
}

Value IntegerXmpValue::ToMetaValue() const& {
    return Qualified(Value(data_));
}

bool RealXmpValue::Read(XmpNode node, XmpValueGenerator const& /*generator*/, Options const& /*options*/) {
    std::string const* text = SimpleText(node);
    if (text == nullptr) return false;
    std::istringstream in(*text);
    in.imbue(std::locale::classic());
    double value = 0.0;
    if (!(in >> value) || in.peek() != std::char_traits<char>::eof()) return false;
    data_ = value;
    TakeQualifiers(node);
    return true;
}

std::ostream& RealXmpValue::Write(std::ostream& out) const {
    return out << data_;
}

Value RealXmpValue::ToMetaValue() const& {
    return Qualified(Value(data_));
}

bool RationalXmpValue::Read(XmpNode node, XmpValueGenerator const& /*generator*/,
                            Options const& /*options*/) {
    std::string const* text = SimpleText(node);
    if (text == nullptr) return false;
    std::istringstream in(*text);
    in.imbue(std::locale::classic());
    Fraction value;
    if (!(in >> value) || in.peek() != std::char_traits<char>::eof()) return false;
    fraction_ = value;
    SetData(std::move(node.GetSimpleValue()));
    TakeQualifiers(node);
    return true;
}

std::ostream& RationalXmpValue::Write(std::ostream& out) const {
    return out << fraction_;
}

Value RationalXmpValue::ToMetaValue() const& {
    return Qualified(Value(fraction_));
}

Value RationalXmpValue::ToMetaValue() && {
    return std::move(*this).Qualified(Value(fraction_));
}

}  // namespace meta
