#pragma once

#include <cstddef>
#include <optional>
#include <typeinfo>

#include "varrow/fields/field_group.h"
#include "varrow/values/byte_order.h"

namespace meta {

// One directory that a tag's value leads to. The reader hands it to the
// processor named here (created through the processor registry), or reads it
// itself when `processor` is null; a TIFF reader treats a null processor as
// "this value is the offset of a sub-IFD".
struct SubDirectorySpecifier {
    // Group in which the sub-directory's tags are looked up.
    FieldGroup group = FieldGroup::Unknown;
    // Processor type, as `&typeid(SomeProcessor)`; null = the running reader.
    std::type_info const* processor = nullptr;
    // Byte order inside the sub-directory; empty = keep the current one.
    std::optional<ByteOrder> byteOrder;
    // Distance of the sub-directory from the buffer cursor.
    std::size_t offset = 0;

    constexpr SubDirectorySpecifier() = default;
    constexpr explicit SubDirectorySpecifier(FieldGroup g) : group(g) {}
    constexpr SubDirectorySpecifier(FieldGroup g, std::type_info const* type) : group(g), processor(type) {}
    constexpr SubDirectorySpecifier(FieldGroup g, std::type_info const* type, std::optional<ByteOrder> order,
                                    std::size_t off)
        : group(g), processor(type), byteOrder(order), offset(off) {}

    friend constexpr bool operator==(SubDirectorySpecifier const& a, SubDirectorySpecifier const& b) {
        // type_info objects compare by identity here, as the registry does.
        return a.group == b.group && a.processor == b.processor && a.byteOrder == b.byteOrder &&
               a.offset == b.offset;
    }
};

}  // namespace meta
