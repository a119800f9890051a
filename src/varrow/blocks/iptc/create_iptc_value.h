#pragma once

#include <memory>

#include "varrow/api/export.h"
#include "varrow/blocks/iptc/iptc_type.h"
#include "varrow/blocks/iptc/iptc_value.h"

namespace meta {

// An empty value of the class for `type`; null for a number outside 1 to 6.
VARROW_API std::unique_ptr<IptcValue> CreateIptcValue(IptcType type);

}  // namespace meta
