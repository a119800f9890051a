#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/fields/field_group.h"
#include "varrow/values/value.h"

namespace meta {

struct ReadStore;

namespace xmp {

using Conversion = std::function<Value(const Value&, ReadStore&)>;
using InverseConversion = std::function<Value(const Value&)>;

// Display value of a structure: every member shown through its definition in
// `memberGroup` (value, then display conversion); members without one, or
// whose conversion fails, keep their value. Nested structures and arrays
// recurse through the members' own display conversions.
VARROW_API Conversion BindStructureDisplay(FieldGroup memberGroup);

// Display value of an array: every item shown through the item definition of
// the property `id` of `group` (its child under the empty id). Items keep
// their value when there is no such definition or a conversion fails.
VARROW_API Conversion BindItemDisplay(FieldGroup group, std::string id);

// The display lookup `name` of a boolean property, whose codes are the texts
// "True" and "False": a Bool is looked up by that text.
VARROW_API Conversion BindBooleanLookup(std::string_view name);

// A GPS coordinate as XMP stores it ("52,1.2N", "48,9,0.19N", also a signed
// decimal) in signed degrees (Double); text that holds no number gives None.
VARROW_API Value CoordinateToDegrees(const Value& value, ReadStore&);
// The inverse: degrees (or a "52 deg 1' 12.00\" N" text) to the stored
// "DDD,MM.mmmmmmK" form. Latitude and longitude need their own letter.
VARROW_API Value DegreesToLatitude(const Value& value);
VARROW_API Value DegreesToLongitude(const Value& value);
// Signed degrees from a shown coordinate ("52 deg 1' 12.00\" N"), inverse
// of the coordinates' display.
VARROW_API Value DegreesFromText(const Value& value);

// Inverses of the APEX conversions of the exposure fields: an exposure time
// in seconds to its shutter speed value, an f-number to its aperture value.
VARROW_API Value ExposureTimeToApex(const Value& value);
VARROW_API Value FNumberToApex(const Value& value);

// A list of rationals written as text ("18/1 55/1 0/0 0/0", as lens
// specifications are) as a FractionArray; None unless every part is N/D.
VARROW_API Value TextToFractions(const Value& value, ReadStore&);
// The inverse: fractions to their "N/D N/D ..." text.
VARROW_API Value FractionsToText(const Value& value);

// A number as a decimal with up to 15 significant digits ("10142.8571428571"),
// how rationals of XMP properties are shown.
VARROW_API Value ToDecimalText(const Value& value, ReadStore&);
// The inverse: such a text (or any number) back to a Fraction, exact for
// terminating decimals of up to 15 digits.
VARROW_API Value DecimalTextToFraction(const Value& value);

// A date as the EXIF tags show theirs ("2011:01:09 21:31:56.078-01:00"),
// with every sub-second digit the packet gave and only the date parts it
// gave ("2024", "2024:03"). Text that is not a date is shown as it is.
VARROW_API Value ShowDate(const Value& value, ReadStore&);
// The inverse: a date text in either layout to a DateTime; other values
// unchanged.
VARROW_API Value DateFromText(const Value& value);

// A 16-bit code that a writer sign-extended to 32 bits (4294967295 for
// 0xFFFF) back to its 16-bit value; other numbers, -1 included, are
// unchanged.
VARROW_API Value FoldSignExtendedShort(const Value& value, ReadStore&);

// Base64 text (line breaks and blanks allowed, as packets wrap it) as
// Binary, how thumbnails are stored; None when the text is not base64.
VARROW_API Value Base64ToBinary(const Value& value, ReadStore&);
// The inverse: Binary as base64 text without line breaks.
VARROW_API Value BinaryToBase64(const Value& value);

}  // namespace xmp
}  // namespace meta
