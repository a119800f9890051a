#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "info_options.h"
#include "varrow/api/metadata.h"

namespace varrow_info {

// One line per item, in order of adding: the full key, padded, then the
// value at the chosen level.
void PrintItems(std::ostream& out, meta::Metadata const& metadata, ValueLevel level);

// One JSON object on one line: "SourceFile" and every item's full key mapped
// to its ExifTool-style string (collections as arrays of element strings).
void PrintJson(std::ostream& out, std::string_view sourceFile, meta::Metadata const& metadata,
               ValueLevel level);

// JSON string literal of UTF-8 text (quotes included).
std::string JsonQuote(std::string_view text);

}  // namespace varrow_info
