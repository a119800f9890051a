#include "varrow/blocks/xmp/xmp_value_generator.h"

#include <algorithm>
#include <utility>

#include "varrow/fields/field_database.h"
#include "varrow/xmp_out/xmp_namespaces.h"

namespace meta {

namespace {

bool IsRealGroup(FieldGroup group) {
    return group != FieldGroup::Unknown && group != FieldGroup::XmpPassthrough;
}

XmpValueGenerator::ResultType Result(std::string prefix, std::string name, FieldGroup group,
                                     std::unique_ptr<XmpValue> value, XmpField const* field) {
    XmpValueGenerator::ResultType result;
    result.prefix = std::move(prefix);
    result.name = std::move(name);
    result.group = group;
    result.value = std::move(value);
    result.field = field;
    return result;
}

// An alternative array of texts that all name their language is a language
// alternative, whether or not a definition says so.
bool IsLanguageAlternative(XmpNode const& node) {
    XmpNode::Array const& items = node.GetArrayValue();
    return !items.empty() && std::all_of(items.begin(), items.end(), [](XmpNode const& item) {
        return item.GetForm() == XmpGroupForm::Simple && item.GetQualifiers().contains("xml:lang");
    });
}

}  // namespace

FieldGroup GetMemberGroup(XmpField const* field) {
    if (field == nullptr || field->subDirectories.empty()) return FieldGroup::Unknown;
    return field->subDirectories.front().group;
}

XmpValueGenerator::ResultType XmpValueGenerator::Generate(std::string prefix, std::string name,
                                                          FieldGroup group, XmpNode const& node,
                                                          Options const& options) const {
    if (IsRealGroup(group)) {
        if (XmpField const* field = FieldDatabase<XmpField>::UnconditionalFind(name, group)) {
            std::unique_ptr<XmpValue> value;
            if (field->overrideFormat != XmpType::Unknown) value = CreateXmpValue(field->overrideFormat);
            return Result(std::move(prefix), std::move(name), group, std::move(value), field);
        }
    }
    if (!name.empty() && options.dropUnknownXmp)
        return Result(std::move(prefix), std::move(name), group, {}, nullptr);
    return GenerateUnknown(std::move(prefix), std::move(name), group, node);
}

XmpValueGenerator::ResultType XmpValueGenerator::operator()(std::string_view qualifiedName,
                                                            XmpNode const& node,
                                                            Options const& options) const {
    std::size_t const colon = qualifiedName.find(':');
    std::string_view prefix, name = qualifiedName;
    if (colon != std::string_view::npos) {
        prefix = qualifiedName.substr(0, colon);
        name = qualifiedName.substr(colon + 1);
    }
    FieldGroup group = FieldGroup::Unknown;
    if (auto const it = namespaces_.find(prefix); it != namespaces_.end()) {
        group = xmp::GetFieldGroupFromNsUri(it->second);
    }
    return Generate(std::string(prefix), std::string(name), group, node, options);
}

XmpValueGenerator::ResultType XmpValueGenerator::operator()(XmpNode const& node,
                                                            Options const& options) const {
    return Generate(std::string(), std::string(), FieldGroup::Unknown, node, options);
}

XmpValueGenerator::ResultType XmpValueGenerator::GenerateUnknown(std::string prefix, std::string name,
                                                                 FieldGroup group, XmpNode const& node) {
    XmpType type = XmpType::Unknown;
    switch (node.GetForm()) {
        case XmpGroupForm::Simple: type = XmpType::Simple; break;
        case XmpGroupForm::Structure: type = XmpType::Structure; break;
        case XmpGroupForm::Bag: type = XmpType::UnorderedArray; break;
        case XmpGroupForm::Sequence: type = XmpType::OrderedArray; break;
        case XmpGroupForm::Alternative:
            type = IsLanguageAlternative(node) ? XmpType::LanguageAlternative : XmpType::AlternativeArray;
            break;
        default: break;
    }
    return Result(std::move(prefix), std::move(name), group, CreateXmpValue(type), nullptr);
}

XmpValueGenerator::ResultType XmpValueGenerator::GenerateItem(XmpNode const& node,
                                                              Options const& options) const {
    XmpField const* item = nullptr;
    if (parent_ != nullptr) {
        if (auto const it = parent_->children.find(std::string_view()); it != parent_->children.end()) {
            item = &it->second;
        }
    }
    ResultType result = item != nullptr && item->overrideFormat != XmpType::Unknown
                            ? Result({}, {}, FieldGroup::Unknown, CreateXmpValue(item->overrideFormat), item)
                            : (*this)(node, options);
    result.field = item;
    return result;
}

XmpValueGenerator::ResultType XmpValueGenerator::GenerateMember(std::string_view qualifiedName,
                                                                XmpNode const& node,
                                                                Options const& options) const {
    if (IsRealGroup(group_)) {
        std::size_t const colon = qualifiedName.find(':');
        std::string_view const local =
            colon == std::string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
        if (FieldDatabase<XmpField>::UnconditionalFind(local, group_) != nullptr) {
            std::string_view const prefix =
                colon == std::string_view::npos ? std::string_view() : qualifiedName.substr(0, colon);
            return Generate(std::string(prefix), std::string(local), group_, node, options);
        }
    }
    return (*this)(qualifiedName, node, options);
}

XmpValueGenerator XmpValueGenerator::ForResult(ResultType const& result) const {
    return XmpValueGenerator(namespaces_, GetMemberGroup(result.field), result.field);
}

}  // namespace meta
