#pragma once

#include <iosfwd>

#include "varrow/api/metadata.h"

namespace varrow_info {

// One line per item, in order of adding: the full key, padded, then the
// display value.
void PrintItems(std::ostream& out, meta::Metadata const& metadata);

}  // namespace varrow_info
