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
// to its ExifTool-style string; collections nest (AppendJsonValue). A
// language alternative also gives one key per translation, the full key with
// "-" and the language tag appended ("Xmp:XmpDc.Title-de"). XMP text keeps
// its line breaks and trailing blanks.
void PrintJson(std::ostream& out, std::string_view sourceFile, meta::Metadata const& metadata,
               ValueLevel level);

// Appends `value` as JSON: structures as objects (members in name order),
// sequences and sets as arrays, language alternatives with translations as
// an object of language tag to text led by "x-default", anything else as its
// ExifTool-style string. `xmp` keeps text as stored (see PrintJson).
void AppendJsonValue(std::string& out, meta::Value const& value, bool xmp);

// JSON string literal of UTF-8 text (quotes included).
std::string JsonQuote(std::string_view text);

}  // namespace varrow_info
