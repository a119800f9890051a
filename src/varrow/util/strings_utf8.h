#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "varrow/api/export.h"

// Unicode-aware counterparts of meta::strings::basic for UTF-8 text. The text
// is interpreted as UTF-16 after conversion from UTF-8: every ill-formed
// sequence of an input reads as U+FFFD and, in the functions that return
// text, comes back as U+FFFD. Case mapping is the full mapping of the root
// locale; case-insensitive comparisons compare default case foldings; white
// space is the Unicode White_Space property.
//
// Argument order: the pattern (prefix, suffix, needle) comes first, the
// subject second; the trailing flag means "case sensitive".
namespace meta::strings::utf8 {

VARROW_API void TrimStart(std::string& s);
VARROW_API void TrimEnd(std::string& s);
VARROW_API void Trim(std::string& s);

VARROW_API std::string ToLower(std::string s);
VARROW_API std::string ToUpper(std::string s);
// Simple upper-case mapping of the first UTF-16 unit (a character outside the
// Basic Multilingual Plane is left as it is).
VARROW_API std::string UcFirst(std::string s);

// Replace every occurrence, scanning left to right; inserted text is never
// searched again. An empty `from` leaves the text unchanged. A `from` unit that
// is a surrogate never matches half of a surrogate pair.
VARROW_API std::string Replace(std::string s, std::string_view from, std::string_view to);
VARROW_API std::string Replace(std::string s, char16_t from, std::string_view to);
VARROW_API std::string Replace(std::string s, char16_t from, char16_t to);

VARROW_API bool StartsWith(std::string_view prefix, std::string_view subject, bool caseSensitive = true);
// Tests the subject from byte `pos` of its UTF-8 form on; a `pos` beyond the
// end yields false.
VARROW_API bool StartsWith(std::string_view prefix, std::size_t pos, std::string_view subject,
                           bool caseSensitive = true);
VARROW_API bool EndsWith(std::string_view suffix, std::string_view subject, bool caseSensitive = true);
// An empty needle is contained in every haystack.
VARROW_API bool Contains(std::string_view needle, std::string_view haystack, bool caseSensitive = true);
VARROW_API bool Equivalent(std::string_view a, std::string_view b, bool caseSensitive = true);

// As basic::Split, but separating at a UTF-16 unit; the pieces are UTF-8. A
// surrogate separator never splits a surrogate pair.
VARROW_API std::vector<std::string> Split(std::string_view s, char16_t sep);

}  // namespace meta::strings::utf8
