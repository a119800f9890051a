#include "varrow/processors/trailer_detection.h"

#include <string_view>

#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

constexpr std::string_view kPhotoMechanicEnd = "cbipcbbl";
constexpr std::string_view kCanonVrdStart{"CANON OPTIONAL DATA\0", 20};

std::pair<FieldGroup, std::unique_ptr<Processor>> Found(FieldGroup group, char const* processorName,
                                                        Options const& options) {
    std::type_info const* type = ProcessorRegistry::FindByName(processorName);
    return {group, type ? ProcessorRegistry::CreateProcessor(type, options) : nullptr};
}

}  // namespace

std::pair<FieldGroup, std::unique_ptr<Processor>> CreateTrailerProcessor(char const* data,
                                                                         std::size_t length,
                                                                         Options const& options) {
    std::string_view const bytes = data ? std::string_view(data, length) : std::string_view();
    if (bytes.ends_with(kPhotoMechanicEnd)) return Found(FieldGroup::Photomechanic, "PhotoMechanic", options);
    if (bytes.starts_with(kCanonVrdStart)) return Found(FieldGroup::CanonVrd, "Canon VRD", options);
    return {FieldGroup::Unknown, nullptr};
}

}  // namespace meta
