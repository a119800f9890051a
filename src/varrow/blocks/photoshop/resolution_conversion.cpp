#include "varrow/blocks/photoshop/resolution_conversion.h"

#include <cmath>
#include <cstdint>

namespace meta {

Value PhotoshopFixedResolution(Value const& value, ReadStore& /*store*/) {
    auto const fixed = value.Convert<std::uint32_t>();
    return Value(std::trunc(static_cast<double>(fixed) * 100.0 / 65536.0 + 0.5) / 100.0);
}

}  // namespace meta
