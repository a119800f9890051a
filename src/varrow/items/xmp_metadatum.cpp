#include "varrow/items/xmp_metadatum.h"

#include <array>
#include <utility>

#include "varrow/blocks/xmp/xmp_value.h"

namespace meta {

std::string_view GetXmpTypeName(XmpType type) {
    static constexpr std::array<std::string_view, 23> kNames = {
        "",          "Simple",    "OrderedArray", "UnorderedArray", "AlternativeArray",
        "Structure", "Boolean",   "Date",         "Integer",        "Real",
        "Text",      "AgentName", "Choice",       "GUID",           "LanguageAlternative",
        "Locale",    "MIMEType",  "ProperName",   "RenditionClass", "ResourceRef",
        "URI",       "URL",       "Rational"};
    auto const index = static_cast<std::size_t>(type);
    return index < kNames.size() ? kNames[index] : std::string_view();
}

XmpMetadatum XmpMetadatum::Create(XmpKey key, std::shared_ptr<ReadStore> const& store) {
    return XmpMetadatum(std::move(key), store);
}

XmpMetadatum XmpMetadatum::Create(XmpKey key, std::shared_ptr<ReadStore> const& store, XmpValue&& value,
                                  int priority, std::string nsPrefix) {
    XmpMetadatum item(std::move(key), store);
    item.nsPrefix_ = std::move(nsPrefix);
    item.type_ = value.GetType();
    item.priority_ = priority;
    item.SetValue(std::move(value).ToMetaValue());
    return item;
}

}  // namespace meta
