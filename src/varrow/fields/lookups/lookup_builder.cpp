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
void InsertLookups(DisplayLookupMap& lookups, std::span<const LookupSpec<T>> specs) {
    for (const LookupSpec<T>& spec : specs) {
        if (lookups.find(spec.name) != lookups.end()) continue;
        if (spec.defaultKind == LookupDefault::Implicit) {
            lookups.try_emplace(spec.name, std::in_place_type<EnumValuesImpl<T>>, ToDictionary<T>(spec.rows),
                                spec.strategy);
        } else {
            lookups.try_emplace(spec.name, std::in_place_type<EnumValuesImpl<T>>, ToDictionary<T>(spec.rows),
                                spec.strategy, ToDefault<T>(spec.defaultKind, spec.defaultText));
        }
    }
}

void InsertLookups(DisplayLookupMap& lookups, std::span<const ArrayLookupSpec> specs) {
    for (const ArrayLookupSpec& spec : specs) {
        if (lookups.find(spec.name) != lookups.end()) continue;
        std::vector<EnumValuesArrayImpl<long long>::ElementType> elements;
        elements.reserve(spec.elements.size());
        for (const ArrayElementSpec& element : spec.elements) {
            elements.emplace_back(ToDictionary<long long>(element.rows), element.strategy);
        }
        lookups.try_emplace(spec.name, std::in_place_type<EnumValuesArrayImpl<long long>>,
                            std::move(elements));
    }
}

template void InsertLookups<long long>(DisplayLookupMap&, std::span<const LookupSpec<long long>>);
template void InsertLookups<unsigned long long>(DisplayLookupMap&,
                                                std::span<const LookupSpec<unsigned long long>>);
template void InsertLookups<std::string>(DisplayLookupMap&, std::span<const LookupSpec<std::string>>);
template void InsertLookups<std::vector<long long>>(DisplayLookupMap&,
                                                    std::span<const LookupSpec<std::vector<long long>>>);

}  // namespace meta::detail
