#pragma once

#include <cstdint>
#include <iosfwd>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/fields/field.h"

namespace meta {

// How an IPTC IIM dataset's bytes are read; the numbers are the ones the
// field tables store. 0 in a definition means "guess from the data".
enum class IptcType : std::uint32_t {
    Byte = 1,       // unsigned 8-bit, big-endian
    Short = 2,      // unsigned 16-bit
    Long = 3,       // unsigned 32-bit
    Digits = 4,     // text of decimal digits
    String = 5,     // text
    Undefined = 6,  // opaque bytes
};

// "BYTE", "SHORT", "LONG", "DIGITS", "STRING", "UNDEFINED"; empty for any
// other number.
VARROW_API std::string_view ToString(IptcType type);
VARROW_API std::ostream& operator<<(std::ostream& os, IptcType type);

}  // namespace meta
