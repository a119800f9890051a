#include "varrow/api/metadata.h"

namespace meta {

std::string Metadata::Finder::GetSelectedValueAsString(Metadatum const& item) const {
    Value const* value = nullptr;
    switch (affinity) {
        case ValueAffinity::Display: value = &item.GetDisplayValue(); break;
        case ValueAffinity::Value: value = &item.GetValue(); break;
        case ValueAffinity::Raw: value = &item.GetRawValue(); break;
        default: return {};
    }
    return exifTool ? value->ToExifToolString(false, '\0') : value->ToString();
}

std::string Metadata::Finder::operator()(Metadata const& metadata, FieldNamespace ns,
                                         std::string_view name) const {
    return GetSelectedValueAsString(metadata.Find(ns, name));
}

std::string Metadata::Finder::operator()(Metadata const& metadata, FieldGroup group,
                                         std::string_view name) const {
    return GetSelectedValueAsString(metadata.Find(group, name));
}

std::string Metadata::Finder::operator()(Metadata const& metadata, std::string_view name) const {
    return GetSelectedValueAsString(metadata[name]);
}

}  // namespace meta
