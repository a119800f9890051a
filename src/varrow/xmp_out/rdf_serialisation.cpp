#include "varrow/xmp_out/rdf_serialisation.h"

#include <cstdint>

namespace meta::xmp {

std::string SerialiseToRdf(TXMPMeta<std::string> const& meta, RdfSerialisationMode mode) {
    std::uint32_t serialOptions = 0;
    switch (mode) {
        case RdfSerialisationMode::NoPacketWrapper: serialOptions = options::kOmitPacketWrapper; break;
        case RdfSerialisationMode::ReadOnlyPacket: serialOptions = options::kReadOnlyPacket; break;
        case RdfSerialisationMode::FullPacket: serialOptions = 0; break;
        default: return std::string();
    }
    std::string text;
    meta.SerializeToBuffer(&text, serialOptions, 0, "", "", 0);
    return text;
}

}  // namespace meta::xmp
