#include "varrow/processors/processor_registry.h"

#include <cstring>

namespace meta {

ProcessorRegistry::Map& ProcessorRegistry::Get() {
    static Map registry;
    return registry;
}

std::unique_ptr<Processor> ProcessorRegistry::CreateProcessor(std::type_info const* type,
                                                              Options const& options) {
    auto const& registry = Get();
    auto const found = registry.find(type);
    if (found == registry.end() || !found->second.first) return nullptr;
    return found->second.first(options);
}

char const* ProcessorRegistry::GetName(std::type_info const* type) {
    auto const& registry = Get();
    auto const found = registry.find(type);
    return found == registry.end() ? nullptr : found->second.second;
}

std::type_info const* ProcessorRegistry::FindByName(std::string_view name) {
    for (auto const& [type, entry] : Get()) {
        if (entry.second != nullptr && name == entry.second) return type;
    }
    return nullptr;
}

}  // namespace meta
