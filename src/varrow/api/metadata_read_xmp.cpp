#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_processor.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace meta {

bool Metadata::Read(xmp::TXMPMeta<std::string> const& xmp, Options const& options) {
    XmpProcessor processor(options);
    return processor.Read(xmp, GetReadStore(), *this, FieldGroup::Unknown) == ReadResult::Success;
}

}  // namespace meta
