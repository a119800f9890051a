#include "varrow/blocks/xmp/xmp_value.h"

#include <ostream>
#include <sstream>

#include "varrow/blocks/xmp/xmp_value_compound.h"
#include "varrow/blocks/xmp/xmp_value_scalars.h"

namespace meta {

Value XmpValue::ToMetaValue() && {
    return static_cast<XmpValue const&>(*this).ToMetaValue();
}

std::string XmpValue::ToString() const {
    std::ostringstream out;
    Write(out);
    return out.str();
}

Value XmpValue::Qualified(Value value) const& {
    if (!qualifiers_.empty()) value.SetQualifiers(Clone(qualifiers_));
    return value;
}

Value XmpValue::Qualified(Value value) && {
    if (!qualifiers_.empty()) value.SetQualifiers(std::move(qualifiers_));
    return value;
}

bool SimpleXmpValue::Read(XmpNode node, XmpValueGenerator const& /*generator*/, Options const& /*options*/) {
    if (node.GetForm() != XmpGroupForm::Simple) return false;
    data_ = std::move(node.GetSimpleValue());
    TakeQualifiers(node);
    return true;
}

std::ostream& SimpleXmpValue::Write(std::ostream& out) const {
    return out << data_;
}

Value SimpleXmpValue::ToMetaValue() const& {
    return Qualified(Value(data_));
}

Value SimpleXmpValue::ToMetaValue() && {
    return std::move(*this).Qualified(Value(std::move(data_)));
}

namespace {

// A date when the text is one, else the text; the text is sanitised first,
// as a String value's would be.
Value DateOrText(Value text) {
    DateTime const date = DateTime::FromString(text.Get<std::string>());
    if (!date) return text;
    return Value(date);
}

}  // namespace

Value DateXmpValue::ToMetaValue() const& {
    return Qualified(DateOrText(Value(GetData())));
}

Value DateXmpValue::ToMetaValue() && {
    Value text{GetData()};
    return std::move(*this).Qualified(DateOrText(std::move(text)));
}

std::unique_ptr<XmpValue> CreateXmpValue(XmpType type) {
    switch (type) {
        case XmpType::Simple: return std::make_unique<SimpleXmpValue>();
        case XmpType::OrderedArray: return std::make_unique<OrderedArrayXmpValue>();
        case XmpType::UnorderedArray: return std::make_unique<UnorderedArrayXmpValue>();
        case XmpType::AlternativeArray: return std::make_unique<AlternativeArrayXmpValue>();
        case XmpType::Structure: return std::make_unique<StructureXmpValue>();
        case XmpType::Boolean: return std::make_unique<BooleanXmpValue>();
        case XmpType::Date: return std::make_unique<DateXmpValue>();
        case XmpType::Integer: return std::make_unique<IntegerXmpValue>();
        case XmpType::Real: return std::make_unique<RealXmpValue>();
        case XmpType::Text: return std::make_unique<TextXmpValue>();
        case XmpType::AgentName: return std::make_unique<AgentNameXmpValue>();
        case XmpType::Guid: return std::make_unique<GuidXmpValue>();
        case XmpType::LanguageAlternative: return std::make_unique<LanguageAlternativeXmpValue>();
        case XmpType::Locale: return std::make_unique<LocaleXmpValue>();
        case XmpType::MimeType: return std::make_unique<MimeTypeXmpValue>();
        case XmpType::ProperName: return std::make_unique<ProperNameXmpValue>();
        case XmpType::RenditionClass: return std::make_unique<RenditionClassXmpValue>();
        case XmpType::Uri: return std::make_unique<UriXmpValue>();
        case XmpType::Url: return std::make_unique<UrlXmpValue>();
        case XmpType::Rational: return std::make_unique<RationalXmpValue>();
        default: return nullptr;
    }
}

}  // namespace meta
