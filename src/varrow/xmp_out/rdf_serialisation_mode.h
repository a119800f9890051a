#pragma once

#include <cstdint>

namespace meta::xmp {

// How RDF/XML text of an XMP tree is wrapped.
enum class RdfSerialisationMode : std::int32_t {
    NoPacketWrapper = 0,  // the x:xmpmeta element alone
    ReadOnlyPacket = 1,   // in an xpacket wrapper marked read-only
    FullPacket = 2,       // in a writable xpacket wrapper
};

}  // namespace meta::xmp
