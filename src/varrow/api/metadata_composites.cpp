#include "varrow/api/metadata.h"

namespace meta {

// Composite items are computed from the table of composite definitions; this
// build defines none yet, so a read gains no derived items.
void Metadata::GenerateCompositeTags() {}

}  // namespace meta
