#include "varrow/fields/lookups/lookup_builder.h"

#include <utility>
#include <variant>

#include "varrow/fields/lookups/code_reader_impl.h"

namespace meta::detail {
namespace {

template <typename T>
T ToCode(typename LookupCodeOf<T>::Type code) {
    if constexpr (std::is_same_v<T, std::vector<long long>>) {
        std::vector<long long> codes;
        ParseIntegerList(code, codes);
        return codes;
    } else {
        return T(code);
    }
}

template <typename T>
std::multimap<T, const char*> ToDictionary(std::span<const LookupRow<T>> rows) {
    std::multimap<T, const char*> dictionary;
    // Rows come sorted, so every insertion at the end is constant time; equal
    // codes keep their row order.
    for (const LookupRow<T>& row : rows)
        dictionary.emplace_hint(dictionary.end(), ToCode<T>(row.code), row.text);
    return dictionary;
}

template <typename T>
typename EnumValuesImpl<T>::Default ToDefault(LookupDefault kind, const char* text) {
    using Default = typename EnumValuesImpl<T>::Default;
    switch (kind) {
        case LookupDefault::Empty: return Default::empty();
        case LookupDefault::Unknown: return Default::unknown();
        case LookupDefault::None: return Default::none();
        case LookupDefault::Text: return Default(std::string(text != nullptr ? text : ""));
        case LookupDefault::Implicit:
        case LookupDefault::Identity: break;
    }
    return Default::identity();
}

}  // namespace

template <typename T>
void InsertLookups(DisplayLookupMap& lookups, std::span<const LookupDef<T>> entries) {
    for (const LookupDef<T>& entry : entries) {
        if (lookups.find(entry.name) != lookups.end()) continue;
        if (entry.defaultKind == LookupDefault::Implicit) {
            lookups.try_emplace(entry.name, std::in_place_type<EnumValuesImpl<T>>, ToDictionary<T>(entry.rows),
                                entry.strategy);
        } else {
            lookups.try_emplace(entry.name, std::in_place_type<EnumValuesImpl<T>>, ToDictionary<T>(entry.rows),
                                entry.strategy, ToDefault<T>(entry.defaultKind, entry.defaultText));
        }
    }
}

void InsertLookups(DisplayLookupMap& lookups, std::span<const ArrayLookupDef> entries) {
    for (const ArrayLookupDef& entry : entries) {
        if (lookups.find(entry.name) != lookups.end()) continue;
        std::vector<EnumValuesArrayImpl<long long>::ElementType> elements;
        elements.reserve(entry.elements.size());
        for (const ArrayElementDef& element : entry.elements) {
            elements.emplace_back(ToDictionary<long long>(element.rows), element.strategy);
        }
        lookups.try_emplace(entry.name, std::in_place_type<EnumValuesArrayImpl<long long>>,
                            std::move(elements));
    }
}

template void InsertLookups<long long>(DisplayLookupMap&, std::span<const LookupDef<long long>>);
template void InsertLookups<unsigned long long>(DisplayLookupMap&,
                                                std::span<const LookupDef<unsigned long long>>);
template void InsertLookups<std::string>(DisplayLookupMap&, std::span<const LookupDef<std::string>>);
template void InsertLookups<std::vector<long long>>(DisplayLookupMap&,
                                                    std::span<const LookupDef<std::vector<long long>>>);

}  // namespace meta::detail
