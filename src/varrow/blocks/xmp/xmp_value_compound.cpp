#include "varrow/blocks/xmp/xmp_value_compound.h"

#include <ostream>
#include <utility>

#include "varrow/blocks/xmp/xmp_value_generator.h"
#include "varrow/util/strings_basic.h"

namespace meta {

namespace {

// A text where a list was expected: "a, b,c" holds three items.
XmpNode::Array SplitList(std::string const& text) {
    XmpNode::Array items;
    for (std::string_view const piece : strings::basic::Split(text, ',')) {
        std::string item(piece);
        strings::basic::Trim(item);
        items.push_back(XmpNode::Synthesise(std::move(item)));
    }
    return items;
}

// The items of an array node, or of a text taken as a list; false for a
// structure.
bool TakeItems(XmpNode& node, XmpNode::Array& items) {
    if (node.IsArray()) {
        items = std::move(node.GetArrayValue());
        return true;
    }
    if (node.GetForm() == XmpGroupForm::Simple) {
        items = SplitList(node.GetSimpleValue());
        return true;
    }
    return false;
}

}  // namespace

bool BaseArrayXmpValue::Read(XmpNode node, XmpValueGenerator const& generator, Options const& options) {
    XmpNode::Array nodes;
    if (!TakeItems(node, nodes)) return false;
    TakeQualifiers(node);
    items_.clear();
    items_.reserve(nodes.size());
    for (XmpNode& itemNode : nodes) {
        XmpValueGenerator::ResultType item = generator.GenerateItem(itemNode, options);
        if (!item.value) continue;
        if (item.value->Read(std::move(itemNode), generator.ForResult(item), options)) {
            items_.push_back(std::move(item.value));
        }
    }
    return true;
}

std::ostream& BaseArrayXmpValue::Write(std::ostream& out) const {
    return out << "[array]";
}

ValueSequence BaseArrayXmpValue::ItemValues() const& {
    ValueSequence values;
    values.reserve(items_.size());
    for (auto const& item : items_) values.push_back(item->ToMetaValue());
    return values;
}

ValueSequence BaseArrayXmpValue::ItemValues() && {
    ValueSequence values;
    values.reserve(items_.size());
    for (auto& item : items_) values.push_back(std::move(*item).ToMetaValue());
    return values;
}

Value OrderedArrayXmpValue::ToMetaValue() const& {
    return Qualified(Value(ItemValues()));
}

Value OrderedArrayXmpValue::ToMetaValue() && {
    Value items(std::move(*this).ItemValues());
    return std::move(*this).Qualified(std::move(items));
}

Value UnorderedArrayXmpValue::ToMetaValue() const& {
    ValueSequence items = ItemValues();
    return Qualified(Value(ValueSet(std::move(items))));
}

Value UnorderedArrayXmpValue::ToMetaValue() && {
    ValueSequence items = std::move(*this).ItemValues();
    return std::move(*this).Qualified(Value(ValueSet(std::move(items))));
}

Value AlternativeArrayXmpValue::ToMetaValue() const& {
    Value value = Qualified(Value(ItemValues()));
    value.AddQualifier(kArrayIsAltQualifier, std::string());
    return value;
}

Value AlternativeArrayXmpValue::ToMetaValue() && {
    Value items(std::move(*this).ItemValues());
    Value value = std::move(*this).Qualified(std::move(items));
    value.AddQualifier(kArrayIsAltQualifier, std::string());
    return value;
}

bool LanguageAlternativeXmpValue::Read(XmpNode node, XmpValueGenerator const& /*generator*/,
                                       Options const& /*options*/) {
    Items items;
    if (node.GetForm() == XmpGroupForm::Simple) {
        // Splitting at commas would tear a title apart: one item it is,
        // keeping the node's xml:lang.
        auto text = std::make_unique<TextXmpValue>(std::move(node.GetSimpleValue()));
        text->SetQualifiers(std::move(node.GetQualifiers()));
        items.push_back(std::move(text));
        SetData(std::move(items));
        return true;
    }
    if (node.GetForm() != XmpGroupForm::Alternative) return false;
    TakeQualifiers(node);
    XmpNode::Array& nodes = node.GetArrayValue();
    items.reserve(nodes.size());
    for (XmpNode& itemNode : nodes) {
        if (itemNode.GetForm() != XmpGroupForm::Simple) continue;
        auto text = std::make_unique<TextXmpValue>(std::move(itemNode.GetSimpleValue()));
        text->SetQualifiers(std::move(itemNode.GetQualifiers()));
        items.push_back(std::move(text));
    }
    SetData(std::move(items));
    return true;
}

LocaleIdentifier LanguageAlternativeXmpValue::IdentFromQualifier(Qualifiers const& qualifiers) {
    auto const it = qualifiers.find("xml:lang");
    if (it == qualifiers.end() || it->second == nullptr) return LocaleIdentifier();
    return LocaleIdentifier(it->second->GetText());
}

namespace {

LocalisedString ToLocalisedString(BaseArrayXmpValue::Items const& items) {
    LocalisedString text;
    bool first = true;
    for (auto const& item : items) {
        auto const* simple = dynamic_cast<SimpleXmpValue const*>(item.get());
        if (simple == nullptr) continue;
        LocaleIdentifier locale = LanguageAlternativeXmpValue::IdentFromQualifier(simple->GetQualifiers());
        if (first) {
            text = LocalisedString(std::move(locale), simple->GetData());
            first = false;
        } else {
            text.AddValue(std::move(locale), simple->GetData());
        }
    }
    return text;
}

}  // namespace

Value LanguageAlternativeXmpValue::ToMetaValue() const& {
    if (GetData().empty()) return Value();
    return Qualified(Value(ToLocalisedString(GetData())));
}

Value LanguageAlternativeXmpValue::ToMetaValue() && {
    if (GetData().empty()) return Value();
    Value text(ToLocalisedString(GetData()));
    return std::move(*this).Qualified(std::move(text));
}

bool StructureXmpValue::Read(XmpNode node, XmpValueGenerator const& generator, Options const& options) {
    if (node.GetForm() != XmpGroupForm::Structure) return false;
    TakeQualifiers(node);
    fields_.clear();
    for (auto& [name, member] : node.GetStructureValue()) {
        XmpValueGenerator::ResultType field = generator.GenerateMember(name, member, options);
        if (!field.value) continue;
        if (!field.value->Read(std::move(member), generator.ForResult(field), options)) continue;
        std::string_view const local = XmpNode::DecomposePath(name);
        std::size_t const colon = local.find(':');
        fields_.emplace(std::string(colon == std::string_view::npos ? local : local.substr(colon + 1)),
                        std::move(field.value));
    }
    return true;
}

std::ostream& StructureXmpValue::Write(std::ostream& out) const {
    return out << "[structure]";
}

Value StructureXmpValue::ToMetaValue() const& {
    ValueStore store;
    for (auto const& [name, field] : fields_) store.Set(name, field->ToMetaValue());
    return Qualified(Value(std::move(store)));
}

Value StructureXmpValue::ToMetaValue() && {
    ValueStore store;
    for (auto& [name, field] : fields_) store.Set(name, std::move(*field).ToMetaValue());
    return std::move(*this).Qualified(Value(std::move(store)));
}

}  // namespace meta
