#pragma once

// Every pure value conversion, for the generated field tables.

#include "varrow/values/conversions/arithmetic_string.h"
#include "varrow/values/conversions/bits.h"
#include "varrow/values/conversions/canon.h"
#include "varrow/values/conversions/canonicalise.h"
#include "varrow/values/conversions/cfa.h"
#include "varrow/values/conversions/conv_wrappers.h"
#include "varrow/values/conversions/dates.h"
#include "varrow/values/conversions/exif_parameter.h"
#include "varrow/values/conversions/exif_print.h"
#include "varrow/values/conversions/exposure.h"
#include "varrow/values/conversions/gps.h"
#include "varrow/values/conversions/gps_print.h"
#include "varrow/values/conversions/lens_info.h"
#include "varrow/values/conversions/nikon.h"
#include "varrow/values/conversions/rational_list.h"
#include "varrow/values/conversions/sony_minolta.h"
#include "varrow/values/conversions/tone_curve.h"
