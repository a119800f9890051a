#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "varrow/api/export.h"

namespace meta {

// Id of a Canon DR4 record, or of one element of a record's array value.
//
// A DR4 block is a directory of records keyed by 32-bit tag numbers
// (0x10002, 0x20400, 0xf0512; files carry unlisted ones above 0xfffff, so
// the full width is kept). A few records hold an array whose elements are
// items of their own: the tag documentation numbers them "<tag>.<element>"
// (0x20310.0 is element 0 of 0x20310). Both kinds live in one table, so the
// id is the pair (tag, element) with element -1 for the record as a whole.
// The default ordering then puts a record right before its elements and
// both before the next tag, which lets a reader visit a record's element
// definitions as one range. Two 32-bit members keep the id trivially
// copyable, eight bytes, and usable as a constant in generated tables.
struct CanonVrdDr4TagId {
    // The element number of an id that names a whole record.
    static constexpr std::int32_t kWholeRecord = -1;

    std::uint32_t tag = 0;
    std::int32_t element = kWholeRecord;

    constexpr CanonVrdDr4TagId() = default;
    // A whole record.
    constexpr explicit CanonVrdDr4TagId(std::uint32_t recordTag) : tag(recordTag) {}
    // One element of a record's value; kWholeRecord names the record itself.
    constexpr CanonVrdDr4TagId(std::uint32_t recordTag, std::int32_t elementIndex)
        : tag(recordTag), element(elementIndex < 0 ? kWholeRecord : elementIndex) {}

    constexpr bool IsWholeRecord() const { return element < 0; }
    // The record that this id or its element belongs to.
    constexpr CanonVrdDr4TagId Record() const { return CanonVrdDr4TagId(tag); }

    friend constexpr bool operator==(CanonVrdDr4TagId const&, CanonVrdDr4TagId const&) = default;
    // By tag, then whole record before its elements, elements in order.
    friend constexpr std::strong_ordering operator<=>(CanonVrdDr4TagId const&,
                                                      CanonVrdDr4TagId const&) = default;
};

// "0x" and at least four lower-case hex digits of the tag, then "." and the
// element number for an element: "0x10002", "0x20310.0". This is the name of
// an item whose id has no definition.
VARROW_API std::string ToString(CanonVrdDr4TagId id);

// The inverse of ToString; also takes upper-case digits and a decimal tag
// ("131856.0"). Null for anything else, including ids out of range.
VARROW_API std::optional<CanonVrdDr4TagId> ParseCanonVrdDr4TagId(std::string_view text);

VARROW_API std::ostream& operator<<(std::ostream& out, CanonVrdDr4TagId id);

}  // namespace meta

template <>
struct std::hash<meta::CanonVrdDr4TagId> {
    std::size_t operator()(meta::CanonVrdDr4TagId id) const noexcept {
        // Both halves in one 64-bit value, so distinct ids hash apart on
        // 64-bit platforms and std::hash<uint64_t> mixes them on the others.
        auto const element = static_cast<std::uint32_t>(id.element);
        return std::hash<std::uint64_t>{}((std::uint64_t{id.tag} << 32) | element);
    }
};
