#pragma once

// What the generated lookup builders are made of: constant tables of
// (code, text) rows, one descriptor per lookup, and one insertion loop per
// descriptor list, so a builder is data rather than thousands of statements.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "varrow/fields/display_lookups.h"
#include "varrow/fields/lookups/enum_values.h"

namespace meta::detail {

// How a code of a lookup keyed by T is written in a table: integers as
// themselves; text codes, and array codes as their decimal elements
// separated by spaces ("1 2"), as strings.
template <typename T>
struct LookupCodeOf {
    using Type = T;
};
template <>
struct LookupCodeOf<std::string> {
    using Type = const char*;
};
template <>
struct LookupCodeOf<std::vector<long long>> {
    using Type = const char*;
};

template <typename T>
struct LookupRow {
    typename LookupCodeOf<T>::Type code;
    const char* text;
};

// The default handler a generated lookup is built with.
enum class LookupDefault : std::uint8_t { Implicit, Empty, Identity, Unknown, None, Text };

// One lookup keyed by T. Rows are sorted by code (rows of equal codes in
// the order their texts are preferred); a bit-mask lookup's codes are bit
// numbers.
template <typename T>
struct LookupDef {
    const char* name;
    std::span<const LookupRow<T>> rows;
    EnumValuesStrategy strategy = EnumValuesStrategy::Whole;
    LookupDefault defaultKind = LookupDefault::Implicit;
    const char* defaultText = nullptr;  // for LookupDefault::Text
};

// One element position of an array lookup.
struct ArrayElementDef {
    std::span<const LookupRow<long long>> rows;
    EnumValuesStrategy strategy = EnumValuesStrategy::Whole;
};

struct ArrayLookupDef {
    const char* name;
    std::span<const ArrayElementDef> elements;
};

// Build each lookup and add it under its name; a name already present keeps
// its first lookup.
template <typename T>
void InsertLookups(DisplayLookupMap& lookups, std::span<const LookupDef<T>> entries);
void InsertLookups(DisplayLookupMap& lookups, std::span<const ArrayLookupDef> entries);

extern template void InsertLookups<long long>(DisplayLookupMap&, std::span<const LookupDef<long long>>);
extern template void InsertLookups<unsigned long long>(DisplayLookupMap&,
                                                       std::span<const LookupDef<unsigned long long>>);
extern template void InsertLookups<std::string>(DisplayLookupMap&, std::span<const LookupDef<std::string>>);
extern template void InsertLookups<std::vector<long long>>(
    DisplayLookupMap&, std::span<const LookupDef<std::vector<long long>>>);

}  // namespace meta::detail
