#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_processor.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace meta {

std::string Metadata::ToXmp(Options const& options, xmp::RdfSerialisationMode mode) const {
    if (!initialiser_ || !initialiser_->XmpOkay()) return std::string();
    try {
        return XmpProcessor(options).Write(*this, mode);
    } catch (xmp::XMP_Error const&) {
        return std::string();
    }
}

xmp::TXMPMeta<std::string> Metadata::ToLibXmpTree(Options const& options) const {
    if (!initialiser_ || !initialiser_->XmpOkay()) return xmp::TXMPMeta<std::string>();
    try {
        return XmpProcessor(options).WriteTree(*this);
    } catch (xmp::XMP_Error const&) {
        return xmp::TXMPMeta<std::string>();
    }
}

}  // namespace meta
