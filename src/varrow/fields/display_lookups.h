#pragma once

#include <cstddef>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/fields/lookups/enum_values.h"
#include "varrow/fields/lookups/enum_values_array.h"
#include "varrow/fields/lookups/typed_enum_values.h"
#include "varrow/values/value.h"

namespace meta {

struct ReadStore;

namespace detail {

// Orders lookup names by their bytes; names are NUL-terminated static strings.
// Transparent, so a std::string_view finds a name without a copy.
struct CStringLessThan {
    using is_transparent = void;
    bool operator()(const char* a, const char* b) const noexcept { return std::strcmp(a, b) < 0; }
    bool operator()(std::string_view a, const char* b) const noexcept { return a < std::string_view(b); }
    bool operator()(const char* a, std::string_view b) const noexcept { return std::string_view(a) < b; }
};

using DisplayLookupVariant =
    std::variant<EnumValuesImpl<long long>, EnumValuesImpl<unsigned long long>, EnumValuesImpl<std::string>,
                 EnumValuesImpl<std::vector<long long>>, EnumValuesArrayImpl<long long>>;
using DisplayLookupMap = std::map<const char*, DisplayLookupVariant, CStringLessThan>;

// The registry, built on first use.
VARROW_API const DisplayLookupMap& GetLookups();
// Builds a fresh registry by running every generated builder in order.
VARROW_API DisplayLookupMap BuildLookups();

[[noreturn]] VARROW_API void ThrowNoDisplayLookup(std::string_view name);

// The Lookup (display) or ReverseLookup (inverse) binding of the registry
// lookup `name`, whatever its kind; throws std::out_of_range when there is none.
VARROW_API std::function<Value(const Value&, ReadStore&)> BindDisplayLookup(std::string_view name);
VARROW_API std::function<Value(const Value&)> BindReverseDisplayLookup(std::string_view name);

}  // namespace detail

// The process-wide registry of named display lookups ("ExifOrientation",
// "GpsGPSLatitudeRef", ...). Built once, on first use or by WarmUp(), and
// immutable afterwards: references and bindings to its lookups stay valid for
// the life of the process.
class VARROW_API DisplayLookups {
  public:
    using variant = detail::DisplayLookupVariant;

    // Qualifier under which a display value records the lookup that made it.
    static constexpr const char* ValueQualifierKey = "LookupName";

    // The lookup named `name` (up to its first NUL, if any), or null.
    static const variant* Get(std::string_view name);
    // As Get; a missing name throws std::out_of_range with
    // "No compatible display lookup '<name>' found".
    static const variant& SafeGet(std::string_view name);
    // The lookup of kind Impl; a missing name or a lookup of another kind
    // throws the same std::out_of_range.
    template <class Impl>
    static const Impl& SafeGetImpl(std::string_view name) {
        if (const variant* lookup = Get(name)) {
            if (const Impl* impl = std::get_if<Impl>(lookup)) return *impl;
        }
        detail::ThrowNoDisplayLookup(name);
    }

    // Builds the registry now rather than on first use.
    static void WarmUp();
    // Number of lookups in the registry.
    static std::size_t Count();
};

}  // namespace meta
