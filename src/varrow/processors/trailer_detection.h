#pragma once

#include <cstddef>
#include <memory>
#include <utility>

#include "varrow/api/export.h"
#include "varrow/api/options.h"
#include "varrow/fields/field_group.h"
#include "varrow/processors/processor.h"

namespace meta {

// Recognises a trailer from the last bytes of a file (the TIFF trailer scan
// passes 64-byte pieces): a PhotoMechanic block ends with "cbipcbbl"; a Canon
// VRD block starts with "CANON OPTIONAL DATA" and a NUL. Returns the group
// and a processor for it, or (Unknown, null) when nothing matches. When the
// trailer is recognised but its reader is not part of this build, the group
// is returned with a null processor.
VARROW_API std::pair<FieldGroup, std::unique_ptr<Processor>> CreateTrailerProcessor(char const* data,
                                                                                   std::size_t length,
                                                                                   Options const& options);

}  // namespace meta
