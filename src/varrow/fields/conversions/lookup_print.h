#pragma once

// Display conversions built on the display lookups.

#include <functional>
#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/fields/lookups/enum_values.h"
#include "varrow/values/value.h"

namespace meta {

struct ReadStore;

namespace detail {

// The Lookup of the registry lookup `name`, showing a code it does not know
// as "Unknown (<code>)" instead of the bare code. Throws std::out_of_range
// when there is no such lookup, so a misspelt name fails the table build.
VARROW_API std::function<Value(const Value&, ReadStore&)> BindLookupShowingUnknown(std::string_view name);
// The same with any failure mode: bit-mask lookups show a zero value as
// "(none)" with EnumValuesOnFail::None.
VARROW_API std::function<Value(const Value&, ReadStore&)> BindLookupOnFail(std::string_view name,
                                                                           EnumValuesOnFail onFail);
// Lookup texts of a multi-element value joined by `separator` instead of
// ", " (SampleFormat is shown as "Unsigned; Unsigned; Unsigned").
VARROW_API std::function<Value(const Value&, ReadStore&)> BindLookupJoined(std::string_view name,
                                                                           std::string separator);

// EXIF Flash: an unknown combination is shown as "Unknown (0x<hex>)".
VARROW_API Value PrintExifFlash(const Value& v, ReadStore& store);

// EXIF FileSource: the one-byte code through its lookup, and the four-byte
// record 3 0 0 0 that Sigma cameras write.
VARROW_API Value PrintExifFileSource(const Value& v, ReadStore& store);

}  // namespace detail
}  // namespace meta
