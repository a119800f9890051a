#include "varrow/formats/png/png_conversions.h"

namespace meta {

Value PngChromaticity(Value const& value, ReadStore& /*store*/) {
    Value scaled = value;
    scaled /= 100000.0;
    return scaled;
}

}  // namespace meta
