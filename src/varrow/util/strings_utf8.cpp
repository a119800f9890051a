#include "varrow/util/strings_utf8.h"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "varrow/util/encoding.h"
#include "varrow/util/strings_basic.h"

// The operations are defined on the UTF-16 form of the text. Well-formed UTF-8
// converts to UTF-16 and back unchanged, so where the answer provably does not
// depend on the conversion (byte comparisons of well-formed text, ASCII-only
// case operations, white space at the ends) the bytes are used directly and
// ICU is left for the rest.
namespace meta::strings::utf8 {
namespace {

icu::UnicodeString ToUnicode(std::string_view s) {
    if (s.size() > static_cast<std::size_t>(INT32_MAX)) throw std::length_error("text too long for ICU");
    return icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
}

std::string FromUnicode(const icu::UnicodeString& u) {
    std::string out;
    u.toUTF8String(out);
    return out;
}

icu::UnicodeString Folded(std::string_view s) {
    icu::UnicodeString u = ToUnicode(s);
    u.foldCase(U_FOLD_CASE_DEFAULT);
    return u;
}

bool IsAscii(std::string_view s) noexcept {
    const char* p = s.data();
    const char* const end = p + s.size();
    for (; end - p >= 8; p += 8) {
        std::uint64_t word;
        std::memcpy(&word, p, sizeof word);
        if ((word & 0x8080808080808080ULL) != 0) return false;
    }
    for (; p != end; ++p) {
        if (static_cast<unsigned char>(*p) >= 0x80U) return false;
    }
    return true;
}

constexpr bool IsSurrogate(char16_t c) noexcept {
    return c >= 0xD800 && c <= 0xDFFF;
}

// UTF-8 of a BMP code unit that is not a surrogate.
std::string_view EncodeUnit(char16_t c, char (&buffer)[3]) noexcept {
    if (c < 0x80) {
        buffer[0] = static_cast<char>(c);
        return {buffer, 1};
    }
    if (c < 0x800) {
        buffer[0] = static_cast<char>(0xC0 | (c >> 6));
        buffer[1] = static_cast<char>(0x80 | (c & 0x3F));
        return {buffer, 2};
    }
    buffer[0] = static_cast<char>(0xE0 | (c >> 12));
    buffer[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    buffer[2] = static_cast<char>(0x80 | (c & 0x3F));
    return {buffer, 3};
}

// Decoding of text already known to be well formed.
std::size_t SequenceLength(unsigned char lead) noexcept {
    return lead < 0x80U ? 1 : lead < 0xE0U ? 2 : lead < 0xF0U ? 3 : 4;
}

char32_t DecodeAt(std::string_view s, std::size_t pos, std::size_t& length) noexcept {
    const auto lead = static_cast<unsigned char>(s[pos]);
    length = SequenceLength(lead);
    if (length == 1) return lead;
    char32_t cp = lead & (0xFFU >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        cp = (cp << 6) | (static_cast<unsigned char>(s[pos + i]) & 0x3FU);
    }
    return cp;
}

bool IsWhiteSpace(char32_t cp) noexcept {
    return u_isUWhiteSpace(static_cast<UChar32>(cp)) != 0;
}

void TrimUnicode(std::string& s, bool start, bool end) {
    icu::UnicodeString u = ToUnicode(s);
    int32_t first = 0;
    int32_t last = u.length();
    if (end) {
        while (last > 0) {
            const UChar32 c = u.char32At(last - 1);
            if (!u_isUWhiteSpace(c)) break;
            last -= U16_LENGTH(c);
        }
    }
    if (start) {
        while (first < last) {
            const UChar32 c = u.char32At(first);
            if (!u_isUWhiteSpace(c)) break;
            first += U16_LENGTH(c);
        }
    }
    s = FromUnicode(u.tempSubStringBetween(first, last));
}

void TrimStartValid(std::string& s) {
    std::size_t pos = 0;
    while (pos < s.size()) {
        std::size_t length = 0;
        if (!IsWhiteSpace(DecodeAt(s, pos, length))) break;
        pos += length;
    }
    s.erase(0, pos);
}

void TrimEndValid(std::string& s) {
    std::size_t end = s.size();
    while (end > 0) {
        std::size_t pos = end - 1;
        while (pos > 0 && (static_cast<unsigned char>(s[pos]) & 0xC0U) == 0x80U) --pos;
        std::size_t length = 0;
        if (!IsWhiteSpace(DecodeAt(s, pos, length))) break;
        end = pos;
    }
    s.erase(end);
}

}  // namespace

void TrimStart(std::string& s) {
    if (IsValidUtf8(s)) {
        TrimStartValid(s);
    } else {
        TrimUnicode(s, true, false);
    }
}

void TrimEnd(std::string& s) {
    if (IsValidUtf8(s)) {
        TrimEndValid(s);
    } else {
        TrimUnicode(s, false, true);
    }
}

void Trim(std::string& s) {
    if (IsValidUtf8(s)) {
        TrimEndValid(s);
        TrimStartValid(s);
    } else {
        TrimUnicode(s, true, true);
    }
}

std::string ToLower(std::string s) {
    if (IsAscii(s)) return basic::ToLower(std::move(s));
    return FromUnicode(ToUnicode(s).toLower(icu::Locale::getRoot()));
}

std::string ToUpper(std::string s) {
    if (IsAscii(s)) return basic::ToUpper(std::move(s));
    return FromUnicode(ToUnicode(s).toUpper(icu::Locale::getRoot()));
}

std::string UcFirst(std::string s) {
    if (s.empty()) return s;
    if (IsValidUtf8(s)) {
        std::size_t length = 0;
        const char32_t cp = DecodeAt(s, 0, length);
        if (cp > 0xFFFF) return s;  // the first unit is a lead surrogate, which has no case
        const auto upper = static_cast<char16_t>(u_toupper(static_cast<UChar32>(cp)));
        if (upper == cp) return s;
        if (!IsSurrogate(upper)) {
            char buffer[3];
            s.replace(0, length, EncodeUnit(upper, buffer));
            return s;
        }
    }
    icu::UnicodeString u = ToUnicode(s);
    u.setCharAt(0, static_cast<char16_t>(u_toupper(u.charAt(0))));
    return FromUnicode(u);
}

std::string Replace(std::string s, std::string_view from, std::string_view to) {
    if (IsValidUtf8(s) && IsValidUtf8(from) && IsValidUtf8(to)) return basic::Replace(std::move(s), from, to);
    icu::UnicodeString u = ToUnicode(s);
    u.findAndReplace(ToUnicode(from), ToUnicode(to));
    return FromUnicode(u);
}

std::string Replace(std::string s, char16_t from, std::string_view to) {
    if (!IsSurrogate(from) && IsValidUtf8(s) && IsValidUtf8(to)) {
        char buffer[3];
        return basic::Replace(std::move(s), EncodeUnit(from, buffer), to);
    }
    icu::UnicodeString u = ToUnicode(s);
    u.findAndReplace(icu::UnicodeString(from), ToUnicode(to));
    return FromUnicode(u);
}

std::string Replace(std::string s, char16_t from, char16_t to) {
    if (!IsSurrogate(from) && !IsSurrogate(to) && IsValidUtf8(s)) {
        char fromBuffer[3];
        char toBuffer[3];
        return basic::Replace(std::move(s), EncodeUnit(from, fromBuffer), EncodeUnit(to, toBuffer));
    }
    icu::UnicodeString u = ToUnicode(s);
    u.findAndReplace(icu::UnicodeString(from), icu::UnicodeString(to));
    return FromUnicode(u);
}

bool StartsWith(std::string_view prefix, std::string_view subject, bool caseSensitive) {
    if (caseSensitive) {
        if (IsValidUtf8(prefix) && IsValidUtf8(subject)) return basic::StartsWith(prefix, subject, true);
        return ToUnicode(subject).startsWith(ToUnicode(prefix));
    }
    if (IsAscii(prefix) && IsAscii(subject)) return basic::StartsWith(prefix, subject, false);
    return Folded(subject).startsWith(Folded(prefix));
}

bool StartsWith(std::string_view prefix, std::size_t pos, std::string_view subject, bool caseSensitive) {
    if (pos > subject.size()) return false;
    return StartsWith(prefix, subject.substr(pos), caseSensitive);
}

bool EndsWith(std::string_view suffix, std::string_view subject, bool caseSensitive) {
    if (caseSensitive) {
        if (IsValidUtf8(suffix) && IsValidUtf8(subject)) return basic::EndsWith(suffix, subject, true);
        return ToUnicode(subject).endsWith(ToUnicode(suffix));
    }
    if (IsAscii(suffix) && IsAscii(subject)) return basic::EndsWith(suffix, subject, false);
    return Folded(subject).endsWith(Folded(suffix));
}

bool Contains(std::string_view needle, std::string_view haystack, bool caseSensitive) {
    if (needle.empty()) return true;
    if (caseSensitive) {
        if (IsValidUtf8(needle) && IsValidUtf8(haystack)) return basic::Contains(needle, haystack, true);
        return ToUnicode(haystack).indexOf(ToUnicode(needle)) >= 0;
    }
    if (IsAscii(needle) && IsAscii(haystack)) return basic::Contains(needle, haystack, false);
    return Folded(haystack).indexOf(Folded(needle)) >= 0;
}

bool Equivalent(std::string_view a, std::string_view b, bool caseSensitive) {
    if (caseSensitive) {
        if (IsValidUtf8(a) && IsValidUtf8(b)) return a == b;
        return ToUnicode(a) == ToUnicode(b);
    }
    if (IsAscii(a) && IsAscii(b)) return basic::Equivalent(a, b, false);
    return Folded(a) == Folded(b);
}

std::vector<std::string> Split(std::string_view s, char16_t sep) {
    std::vector<std::string> pieces;
    if (s.empty()) return pieces;
    if (!IsSurrogate(sep) && IsValidUtf8(s)) {
        char buffer[3];
        const auto views = basic::Split(s, EncodeUnit(sep, buffer));
        pieces.reserve(views.size());
        for (const auto view : views) pieces.emplace_back(view);
        return pieces;
    }
    // Text converted from UTF-8 holds no unpaired surrogate, and half of a pair
    // never counts as a match.
    if (IsSurrogate(sep)) {
        pieces.push_back(SanitiseUtf8(std::string(s)));
        return pieces;
    }
    const std::u16string units = Utf8ToUtf16(s);
    const std::u16string_view all(units);
    std::size_t start = 0;
    for (std::size_t hit = all.find(sep); hit != std::u16string_view::npos; hit = all.find(sep, start)) {
        pieces.push_back(Utf16ToUtf8(all.substr(start, hit - start)));
        start = hit + 1;
    }
    pieces.push_back(Utf16ToUtf8(all.substr(start)));
    return pieces;
}

}  // namespace meta::strings::utf8
