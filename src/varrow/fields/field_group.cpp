#include "varrow/fields/field_group.h"

#include <array>
#include <ostream>

namespace meta {
namespace detail {
extern const std::array<const char*, kFieldNamespaceCount + 1> kNamespaceNames;
extern const std::array<const char*, kFieldGroupCount + 1> kGroupNames;
extern const std::array<FieldNamespace, kFieldGroupCount> kGroupNamespaces;
}  // namespace detail

const char* ToString(FieldGroup group) {
    auto const n = static_cast<std::int32_t>(group);
    if (n < -1 || n >= kFieldGroupCount) return nullptr;
    return detail::kGroupNames[static_cast<std::size_t>(n + 1)];
}

const char* ToString(FieldNamespace ns) {
    auto const n = static_cast<std::int32_t>(ns);
    if (n < -1 || n >= kFieldNamespaceCount) return nullptr;
    return detail::kNamespaceNames[static_cast<std::size_t>(n + 1)];
}

FieldNamespace GetGroupNamespace(FieldGroup group) {
    auto const n = static_cast<std::int32_t>(group);
    if (n < 0 || n >= kFieldGroupCount) return FieldNamespace::Unknown;
    return detail::kGroupNamespaces[static_cast<std::size_t>(n)];
}

FieldGroup GetIptcFieldGroup(std::uint8_t record) {
    switch (record) {
        case 1: return FieldGroup::IptcEnvelope;
        case 2: return FieldGroup::IptcApplication;
        case 3: return FieldGroup::IptcNewsPhoto;
        case 7: return FieldGroup::IptcPreObjectData;
        case 8: return FieldGroup::IptcObjectData;
        case 9: return FieldGroup::IptcPostObjectData;
        case 240: return FieldGroup::IptcFotoStation;
        default: return FieldGroup::Unknown;
    }
}

std::ostream& operator<<(std::ostream& out, FieldGroup group) {
    if (const char* name = ToString(group)) return out << name;
    return out << static_cast<std::int32_t>(group);
}

std::ostream& operator<<(std::ostream& out, FieldNamespace ns) {
    if (const char* name = ToString(ns)) return out << name;
    return out << static_cast<std::int32_t>(ns);
}

}  // namespace meta
