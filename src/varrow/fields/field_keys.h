#pragma once

#include <cstdint>
#include <optional>

#include "varrow/fields/field.h"
#include "varrow/fields/table_keys.h"

namespace meta {

// Key of an IPTC IIM dataset: its number in a record's group, named after
// its definition or as "0x00nn".
class IptcKey : public detail::TableKey<IptcTag> {
public:
    IptcKey(std::optional<std::uint8_t> id, FieldGroup group, IptcTag const* field)
        : TableKey(id, group, field) {}
};

inline std::ostream& operator<<(std::ostream& out, IptcKey const& key) {
    return detail::WriteFullName(out, key.GetNamespace(), key.GetGroup(), key.GetName());
}

// Key of a composite item; see BasicCompositeKey.
using CompositeKey = BasicCompositeKey<CompositeField>;

// The XMP property key, named after its definition when it has a name.
using XmpKey = GenericStringKeyWithField<FieldNamespace::Xmp, XmpField, false>;

}  // namespace meta
