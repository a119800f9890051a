#include "varrow/api/image.h"

namespace meta {

ImageFactories::Map& ImageFactories::GetImageFactories() {
    static Map factories = [] {
        Map m;
        m.max_load_factor(1.0f);
        return m;
    }();
    return factories;
}

std::unique_ptr<Image> ImageFactories::CreateImage(ReadSource type) {
    auto const& factories = GetImageFactories();
    auto const found = factories.find(type);
    if (found == factories.end() || found->second == nullptr) return nullptr;
    return found->second();
}

}  // namespace meta
