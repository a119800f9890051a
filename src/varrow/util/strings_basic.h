#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "varrow/api/export.h"

// Byte-wise string helpers for ASCII text such as camera makes, signatures and
// tag names. Case mapping and white space follow the rules of the C library in
// the "C" locale, whatever locale the host application has installed, so that
// bytes of multi-byte UTF-8 sequences are never altered.
//
// Argument order: the pattern (prefix, suffix, needle) comes first, the
// subject second; the trailing flag means "case sensitive".
namespace meta::strings::basic {

// Remove leading, trailing or both runs of white space (space, \t, \n, \v, \f, \r).
VARROW_API void TrimStart(std::string& s);
VARROW_API void TrimEnd(std::string& s);
VARROW_API void Trim(std::string& s);

VARROW_API std::string ToLower(std::string s);
VARROW_API std::string ToUpper(std::string s);
// Upper-cases the first byte only.
VARROW_API std::string UcFirst(std::string s);

// Replace every occurrence, scanning left to right; inserted text is never
// searched again. An empty `from` leaves the string unchanged.
VARROW_API std::string Replace(std::string s, std::string_view from, std::string_view to);
VARROW_API std::string Replace(std::string s, char from, std::string_view to);
VARROW_API std::string Replace(std::string s, char from, char to);

// For each character of `set` in turn, put a backslash before every occurrence
// of it in `s`. A backslash listed after other characters therefore also
// escapes the backslashes inserted for them.
VARROW_API std::string EscapeChars(const char* set, std::string s);
// Escapes the ECMAScript special characters \ [ ^ $ . | ? * + ( ) { } so the
// text matches itself literally inside a pattern.
VARROW_API std::string EscapeForRegex(std::string s);

VARROW_API bool StartsWith(std::string_view prefix, std::string_view subject, bool caseSensitive = true);
// Tests the subject from byte `pos` on; a `pos` beyond the end yields false.
VARROW_API bool StartsWith(std::string_view prefix, std::size_t pos, std::string_view subject,
                           bool caseSensitive = true);
VARROW_API bool EndsWith(std::string_view suffix, std::string_view subject, bool caseSensitive = true);
VARROW_API bool Contains(std::string_view needle, std::string_view haystack, bool caseSensitive = true);
VARROW_API bool Equivalent(std::string_view a, std::string_view b, bool caseSensitive = true);

// Pieces between separators, views into `s`. Empty pieces are kept and there
// is always a piece after the last separator ("a,,b," gives a, "", b, "");
// an empty input gives no pieces. An empty separator string never splits.
VARROW_API std::vector<std::string_view> Split(std::string_view s, char sep);
VARROW_API std::vector<std::string_view> Split(std::string_view s, std::string_view sep);

// Position of the n-th occurrence of `c`, each search starting one byte after
// the previous hit (and at byte 1 for the first one, so byte 0 never counts);
// std::string::npos when there are fewer than n, 0 when n is 0.
VARROW_API std::size_t FindNthChar(std::string_view s, char c, std::size_t n);

}  // namespace meta::strings::basic
