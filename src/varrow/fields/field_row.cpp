#include "varrow/fields/field_row.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "varrow/fields/display_lookups.h"

namespace meta::detail {
namespace {

void ApplyRowExtras(NoFieldExtras&, std::array<std::uint32_t, 2> const&) {}
void ApplyRowExtras(ExifTagExtras& extras, std::array<std::uint32_t, 2> const& values) {
    extras.packing = values[0];
}
void ApplyRowExtras(IptcTagExtras& extras, std::array<std::uint32_t, 2> const& values) {
    extras.minLength = values[0];
    extras.maxLength = values[1];
}
// Composite inputs are lists; rows set them in their customise function.
void ApplyRowExtras(CompositeFieldExtras&, std::array<std::uint32_t, 2> const&) {}

}  // namespace

template <class T>
T MakeField(FieldRow<T> const& row) {
    T field;
    field.name = row.name;
    if (row.title != nullptr) field.title = row.title;
    if (row.description != nullptr) field.description = row.description;
    field.fixedCount = row.fixedCount;
    field.overrideFormat = static_cast<typename T::FormatType>(row.overrideFormat);
    field.visibility = row.visibility;
    field.delayed = row.delayed;
    field.priority = row.priority;
    if (row.lookupName != nullptr) {
        field.lookupName = row.lookupName;
        field.displayConversion = BindDisplayLookup(row.lookupName);
    }
    ApplyRowExtras(static_cast<typename T::ExtrasType&>(field), row.extras);
    if (row.customise != nullptr) row.customise(field);
    return field;
}

template <class T>
void AddRowRange(FieldTable<T>& table, FieldRow<T> const* rows, std::size_t count) {
    for (FieldRow<T> const& row : std::span(rows, count)) {
        std::size_t const before = table.size();
        auto const it = table.emplace_hint(table.end(), typename T::IdType(row.id), MakeField(row));
        if (table.size() == before || std::next(it) != table.end()) {
            throw std::logic_error(std::string("field table row out of order or repeated: ") + row.name);
        }
    }
}

template <class T>
FieldTable<T> BuildTable(std::initializer_list<RowSpan<T>> parts) {
    FieldTable<T> table;
    for (RowSpan<T> part : parts) AddRowRange(table, part.data(), part.size());
    return table;
}

template <class T>
void AddVariantRange(std::vector<T>& variants, FieldRow<T> const* rows, std::size_t count) {
    variants.reserve(variants.size() + count);
    for (FieldRow<T> const& row : std::span(rows, count)) variants.push_back(MakeField(row));
}

#define VARROW_FIELD_ROW_FUNCTIONS(T)                                              \
    template T MakeField<T>(FieldRow<T> const&);                                   \
    template FieldTable<T> BuildTable<T>(std::initializer_list<RowSpan<T>>);       \
    template void AddRowRange<T>(FieldTable<T>&, FieldRow<T> const*, std::size_t); \
    template void AddVariantRange<T>(std::vector<T>&, FieldRow<T> const*, std::size_t);
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
