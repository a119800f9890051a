#pragma once

// GPS coordinates and time stamps.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "varrow/api/export.h"

namespace meta::detail {

// d + m/60 + s/3600 of exactly three numbers; 0 for any other count.
VARROW_API double DMSToDegrees(const std::vector<double>& dms);

enum class DmsStringFormat : std::uint32_t {
    DegMinSec = 0,       // 51 deg 30' 12.34"
    DegMinSecXmp = 1,    // 51,30.205667N (degrees and decimal minutes, as XMP stores them)
    DecimalDegrees = 2,  // 51.503428
};

enum class DmsStringDirection : std::uint32_t {
    None = 0,       // a signed number, no letter
    Latitude = 1,   // N / S
    Longitude = 2,  // E / W
};

// A coordinate in degrees as text. Seconds are rounded to hundredths and
// carried into minutes and degrees; with a direction the sign becomes the
// hemisphere letter. NaN (an unset position) gives the empty text.
VARROW_API std::string ToDMSString(double degrees, DmsStringFormat format = DmsStringFormat::DegMinSec,
                                   DmsStringDirection direction = DmsStringDirection::None);

// Degrees from a coordinate text: "51 deg 30' 12.34\" N", "51,30.2N",
// "-51.5", "51 30 12.34 S". A trailing S or W (or, with `westOrSouth`, any
// text) makes the result negative. Unparseable text gives NaN.
VARROW_API double ToDegrees(std::string_view text, bool westOrSouth = false);

// Hours, minutes and seconds to "hh:mm:ss" with up to nine fractional
// digits (trailing zeros dropped).
VARROW_API std::string ConvertGpsTimeStamp(double h, double m, double s);
// The same from the three-element value of the GPSTimeStamp tag, NaN parts
// taken as 0; throws ValueException for another count.
VARROW_API std::string ConvertGpsTimeStampList(const std::vector<double>& hms);
// A time stamp text with its fractional seconds rounded to hundredths.
VARROW_API std::string PrintGpsTimeStamp(std::string text);

}  // namespace meta::detail
