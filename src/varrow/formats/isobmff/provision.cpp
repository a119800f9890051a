#include "varrow/formats/isobmff/provision.h"

#include <algorithm>
#include <ios>

#include "varrow/io/data_source.h"

namespace meta::isobmff {

bool ProvideRegion(ParseContext& context, std::uint64_t at, std::uint64_t length) {
    DataSource& source = context.source;
    if (at > context.inputLength || length > context.inputLength - at) return false;
    std::uint64_t const first = std::min<std::uint64_t>(length, DataSource::MaxProvisionStep);
    if (!source.AutoProvision(std::streampos(static_cast<std::streamoff>(at)),
                              static_cast<long long>(first))) {
        return false;
    }
    // The window may already hold more than asked for when it was reused.
    while (source.GetBytesProvisioned() < length) {
        std::uint64_t const missing = length - source.GetBytesProvisioned();
        if (!source.ProvisionData(
                static_cast<std::size_t>(std::min<std::uint64_t>(missing, DataSource::MaxProvisionStep)))) {
            return false;
        }
    }
    source.SeekBufferTo(0, false);
    source.MarkAsUsable(static_cast<std::size_t>(length));
    return true;
}

}  // namespace meta::isobmff
