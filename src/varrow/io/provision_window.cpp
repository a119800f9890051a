#include "varrow/io/provision_window.h"

#include <algorithm>

#include "varrow/io/data_source.h"

namespace meta {

bool ProvisionWindowAt(DataSource& source, std::streampos at, std::size_t length) {
    if (length == 0) {
        source.UnprovisionData();
        return source.SeekInputTo(at);
    }
    std::size_t const first = std::min(length, DataSource::MaxProvisionStep);
    if (!source.AutoProvision(at, static_cast<long long>(first))) return false;
    if (source.GetBytesProvisioned() > length) {
        source.UnprovisionData();
        if (!source.SeekInputTo(at) || !source.ProvisionData(first)) return false;
    }
    while (source.GetBytesProvisioned() < length) {
        std::size_t const step =
            std::min(length - source.GetBytesProvisioned(), DataSource::MaxProvisionStep);
        if (!source.ProvisionData(step)) return false;
    }
    source.MarkAsUsable(length);
    return source.SeekBufferTo(std::streampos(0));
}

}  // namespace meta
