#include "varrow/fields/display_lookups.h"

#include <stdexcept>

#include "varrow/fields/table_builders.h"

namespace meta {
namespace {

// Names are compared as C strings: whatever follows a NUL is not part of them.
std::string_view AsCString(std::string_view name) noexcept {
    const std::size_t end = name.find('\0');
    return end == std::string_view::npos ? name : name.substr(0, end);
}

const TableBuilderRegistration kRegistration(TableStage::DisplayLookups, &DisplayLookups::WarmUp);

}  // namespace

namespace detail {

const DisplayLookupMap& GetLookups() {
    static const DisplayLookupMap lookups = BuildLookups();
    return lookups;
}

void ThrowNoDisplayLookup(std::string_view name) {
    throw std::out_of_range("No compatible display lookup '" + std::string(name) + "' found");
}

std::function<Value(const Value&, ReadStore&)> BindDisplayLookup(std::string_view name) {
    return std::visit(
        [](const auto& lookup) -> std::function<Value(const Value&, ReadStore&)> { return lookup.Bind(); },
        DisplayLookups::SafeGet(name));
}

std::function<Value(const Value&)> BindReverseDisplayLookup(std::string_view name) {
    return std::visit(
        [](const auto& lookup) -> std::function<Value(const Value&)> { return lookup.BindReverse(); },
        DisplayLookups::SafeGet(name));
}

}  // namespace detail

const DisplayLookups::variant* DisplayLookups::Get(std::string_view name) {
    const auto& lookups = detail::GetLookups();
    const auto it = lookups.find(AsCString(name));
    return it == lookups.end() ? nullptr : &it->second;
}

const DisplayLookups::variant& DisplayLookups::SafeGet(std::string_view name) {
    if (const variant* lookup = Get(name)) return *lookup;
    detail::ThrowNoDisplayLookup(name);
}

void DisplayLookups::WarmUp() {
    static_cast<void>(detail::GetLookups());
}

std::size_t DisplayLookups::Count() {
    return detail::GetLookups().size();
}

}  // namespace meta
