#pragma once

// The colour-filter-array pattern of EXIF CFAPattern: two 16-bit repeat
// dimensions (columns, rows) followed by one colour code per cell.

#include "varrow/api/export.h"
#include "varrow/values/byte_order.h"
#include "varrow/values/value.h"

namespace meta::detail {

// The record (Binary or a byte array) as a U16Array {columns, rows, colours...}.
// The dimensions are read in `order`; writers that used the other order are
// recognised by dimensions that do not fit the data. None when neither fits.
VARROW_API Value DecodeCFAPattern(const Value& record, ByteOrder order);

// "[Red,Green][Green,Blue]": one bracket per row. Takes the decoded form or
// the record itself (then read as big-endian, falling back as above).
VARROW_API std::string PrintCFAPattern(const Value& pattern);

}  // namespace meta::detail
