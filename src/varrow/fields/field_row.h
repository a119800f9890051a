#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "varrow/fields/field.h"

// What the generated table files are made of: one constant row per
// definition, turned into a Field when the table is built. Rows are plain
// constants so that a table of hundreds of definitions costs no start-up
// code; only what cannot be a constant (conditions, conversions,
// sub-directories, children, variants) goes through a row's customise
// function.
namespace meta::detail {

template <class T>
struct FieldRow {
    // String ids are held as views of literals.
    using RowId = std::conditional_t<std::is_same_v<typename T::IdType, std::string>, std::string_view,
                                     typename T::IdType>;

    RowId id;
    const char* name;
    const char* title;        // null: none
    const char* description;  // null: none
    std::uint32_t fixedCount;
    std::uint32_t overrideFormat;
    std::uint32_t visibility;
    std::int32_t priority;
    bool delayed;
    const char* lookupName;  // null: no display lookup
    // Members of the definition type's extras: packing (ExifTag), minimum
    // and maximum length (IptcTag); ignored by other types.
    std::array<std::uint32_t, 2> extras;
    void (*customise)(T&);  // null: nothing row-specific
};

// The definition a row describes, customised by the row's function.
template <class T>
T MakeField(FieldRow<T> const& row);

// Adds rows to a table (or a definition's children). Rows come in the
// table's id order, so each insertion lands at the end; a row out of order or
// a repeated id is a broken table and fails its build (std::logic_error), and
// so does a lookup name the registry does not know (std::out_of_range).
template <class T>
void AddRowRange(FieldTable<T>& table, FieldRow<T> const* rows, std::size_t count);
template <class T>
void AddVariantRange(std::vector<T>& variants, FieldRow<T> const* rows, std::size_t count);

template <class T>
using RowSpan = std::span<FieldRow<T> const>;

// A table of the rows of every part, parts in id order.
template <class T>
FieldTable<T> BuildTable(std::initializer_list<RowSpan<T>> parts);

template <class T, std::size_t N>
void AddRows(FieldTable<T>& table, FieldRow<T> const (&rows)[N]) {
    AddRowRange(table, rows, N);
}
template <class T, std::size_t N>
void AddVariants(std::vector<T>& variants, FieldRow<T> const (&rows)[N]) {
    AddVariantRange(variants, rows, N);
}

// Built once per definition type in field_row.cpp rather than in every table
// file, which keeps the generated files quick to compile.
#define VARROW_FIELD_ROW_FUNCTIONS(T)                                                     \
    extern template T MakeField<T>(FieldRow<T> const&);                                   \
    extern template FieldTable<T> BuildTable<T>(std::initializer_list<RowSpan<T>>);       \
    extern template void AddRowRange<T>(FieldTable<T>&, FieldRow<T> const*, std::size_t); \
    extern template void AddVariantRange<T>(std::vector<T>&, FieldRow<T> const*, std::size_t);
VARROW_FIELD_ROW_FUNCTIONS(ExifTag)
VARROW_FIELD_ROW_FUNCTIONS(RecordField)
VARROW_FIELD_ROW_FUNCTIONS(UnsignedRecordField)
VARROW_FIELD_ROW_FUNCTIONS(IccProfileTag)
VARROW_FIELD_ROW_FUNCTIONS(OpenExrAttribute)
VARROW_FIELD_ROW_FUNCTIONS(LytroProperty)
VARROW_FIELD_ROW_FUNCTIONS(SigmaRawProperty)
VARROW_FIELD_ROW_FUNCTIONS(IptcTag)
VARROW_FIELD_ROW_FUNCTIONS(XmpField)
VARROW_FIELD_ROW_FUNCTIONS(CompositeField)
VARROW_FIELD_ROW_FUNCTIONS(CanonVrdBlock)
VARROW_FIELD_ROW_FUNCTIONS(CanonVrdEditTag)
VARROW_FIELD_ROW_FUNCTIONS(CanonVrdIhlTag)
VARROW_FIELD_ROW_FUNCTIONS(CanonVrdDr4Tag)
VARROW_FIELD_ROW_FUNCTIONS(AdobeDngBlock)
#undef VARROW_FIELD_ROW_FUNCTIONS

}  // namespace meta::detail
