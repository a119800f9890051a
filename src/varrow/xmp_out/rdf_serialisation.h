#pragma once

#include <string>

#include "varrow/api/export.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/xmp_out/rdf_serialisation_mode.h"

namespace meta::xmp {

// RDF/XML text of a tree, without padding, newlines or indentation. A mode
// outside the enumeration gives the empty string; a toolkit failure is
// thrown as XMP_Error.
VARROW_API std::string SerialiseToRdf(TXMPMeta<std::string> const& meta, RdfSerialisationMode mode);

}  // namespace meta::xmp
