#pragma once

// The EXIF value classes and their factory.

#include <memory>

#include "varrow/api/export.h"
#include "varrow/values/exif_type.h"
#include "varrow/values/exif_type_info.h"
#include "varrow/values/exif_value.h"
#include "varrow/values/exif_value_numeric.h"
#include "varrow/values/exif_value_text.h"

namespace meta {

// An empty value of the class for `type`; IFD (13) and the offset codes (21,
// 22) give a LONG. Null for 0 and for codes above 24.
VARROW_API std::unique_ptr<ExifValue> CreateExifValue(ExifType type);

}  // namespace meta
