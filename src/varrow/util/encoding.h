#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/util/byte.h"

// Conversions between the encodings met in metadata. None of them throws except
// for allocation failure.
namespace meta::strings {

// Each ill-formed sequence (an unpaired surrogate in UTF-16) becomes U+FFFD.
VARROW_API std::u16string Utf8ToUtf16(std::string_view s);
VARROW_API std::string Utf16ToUtf8(std::u16string_view s);
// ICU's "shift_jis" converter: a byte that cannot start a character (also a
// lead byte cut off at the end) becomes U+001A, an unassigned pair U+FFFD.
VARROW_API std::string SJisToUtf8(std::string_view s);

// True when the whole view is well-formed UTF-8: no overlong form, no
// surrogate, nothing above U+10FFFF, no truncated sequence. NUL is allowed.
VARROW_API bool IsValidUtf8(std::string_view s);
// Well-formed UTF-8 in which every ill-formed sequence of `s` has become
// U+FFFD (one replacement per maximal ill-formed subpart). Text that is
// already well formed is returned as it is.
VARROW_API std::string SanitiseUtf8(std::string s);
// True when the UTF-8 encoding of U+FFFD (EF BF BD) occurs.
VARROW_API bool HasUnicodeReplChar(std::string_view s);

// The bytes of a binary buffer seen as characters; valid while `bytes` is
// neither changed nor destroyed.
inline std::string_view BytesAsStringView(const std::vector<meta::byte>& bytes) noexcept {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace meta::strings
