#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <typeinfo>
#include <utility>

#include "varrow/api/export.h"
#include "varrow/api/options.h"
#include "varrow/processors/processor.h"

namespace meta {

// Creates processors by type so that field tables can name the processor of
// a sub-directory as `&typeid(SomeProcessor)`. Filled at library load by one
// ProcessorRegistration object per processor class; read-only afterwards.
class VARROW_API ProcessorRegistry {
public:
    using Factory = std::function<std::unique_ptr<Processor>(Options const&)>;
    using Entry = std::pair<Factory, char const*>;  // factory and display name
    using Map = std::map<std::type_info const*, Entry>;

    static Map& Get();

    // Null for a type that was never registered. Identity is the address of
    // the type_info object, so only this library's own types are found.
    static std::unique_ptr<Processor> CreateProcessor(std::type_info const* type, Options const& options);

    // The registered display name ("JPEG document"), or null.
    static char const* GetName(std::type_info const* type);

    // The type registered under a display name, or null. Lets code that
    // must not depend on a reader's header (image readers, trailer
    // detection) find it when it is linked in.
    static std::type_info const* FindByName(std::string_view name);
};

template <class T>
std::unique_ptr<Processor> CreateProcessor(Options const& options) {
    return std::make_unique<T>(options);
}

// One static object per processor class:
//   static ProcessorRegistration<JpegProcessor> const reg("JPEG document");
// The first registration of a type wins.
template <class T>
class ProcessorRegistration {
public:
    explicit ProcessorRegistration(char const* name) {
        ProcessorRegistry::Get().emplace(&typeid(T), ProcessorRegistry::Entry(&CreateProcessor<T>, name));
    }
};

}  // namespace meta
