#pragma once

#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/value.h"

namespace meta {

// Display conversions of IPTC datasets, in the form field definitions bind
// (Value(const Value&, ReadStore&)). Text that does not have the expected
// shape is shown as it is; a ValueSet (a repeated dataset) is converted
// element by element; other values pass through unchanged.

// CCYYMMDD as "CCYY:MM:DD" (DateCreated "20230115" shows as "2023:01:15").
VARROW_API Value IptcDateToDisplay(Value const& value, ReadStore& store);

// HHMMSS±HHMM as "HH:MM:SS±HH:MM", HHMMSS alone as "HH:MM:SS"
// (TimeCreated "101530+0200" shows as "10:15:30+02:00").
VARROW_API Value IptcTimeToDisplay(Value const& value, ReadStore& store);

// The ISO 2022 escape of CodedCharacterSet: ESC % G (UTF-8) shows as
// "UTF8"; other text is spelt out with a space before each character and ESC
// for the escape character ("\x1b-A" shows as "ESC - A", "?" as " ?"). NULs
// are left out and a character beyond ASCII shows as "?". A repeated
// declaration shows as its last one, not as a list.
VARROW_API Value IptcCharacterSetToDisplay(Value const& value, ReadStore& store);

// Photo Mechanic's preferences, "tagged:colour class:rating:frame", as
// "Tagged:0, ColorClass:0, Rating:0, FrameNum:-00001".
VARROW_API Value IptcPrefsToDisplay(Value const& value, ReadStore& store);

namespace detail {
// The text forms behind the conversions above; unchanged text when the shape
// does not match.
VARROW_API std::string FormatIptcDate(std::string_view text);
VARROW_API std::string FormatIptcTime(std::string_view text);
VARROW_API std::string FormatIptcCharacterSet(std::string_view text);
VARROW_API std::string FormatIptcPrefs(std::string_view text);
}  // namespace detail

}  // namespace meta
