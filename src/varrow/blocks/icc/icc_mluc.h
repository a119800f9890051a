#pragma once

// Records of an ICC "mluc" tag (multi-localised Unicode text):
//
//   offset  size  field (integers big-endian)
//        0     4  "mluc", then 4 reserved bytes
//        8     4  record count
//       12     4  record size (12 or more)
//       16        records: language (2), country (2), string length in
//                 bytes (4), string offset from the tag start (4)
//
// The strings are big-endian UTF-16.

#include <string_view>
#include <vector>

namespace meta::detail {

struct IccMlucRecord {
    std::string_view language;  // ISO 639, e.g. "en"
    std::string_view country;   // ISO 3166, e.g. "US"
    std::string_view text;      // UTF-16BE bytes inside the tag
};

// The records of `tag` in stored order. Records stop at the first one that
// does not lie inside the tag or whose string runs past it; a tag shorter
// than 28 bytes, a record size under 12 or a count of 0 gives none.
std::vector<IccMlucRecord> ReadIccMlucRecords(std::string_view tag);

}  // namespace meta::detail
