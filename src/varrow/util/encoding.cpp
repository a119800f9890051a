#include "varrow/util/encoding.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <cstdint>
#include <cstring>
#include <memory>

namespace meta::strings {
namespace {

// ICU's string functions take int32_t lengths; longer texts are converted in
// pieces cut where the conversion of one piece cannot depend on the next.
constexpr std::size_t kUtf8Piece = std::size_t{1} << 30;
constexpr std::size_t kUtf16Piece = std::size_t{1} << 28;  // at most 3 bytes per unit

constexpr bool IsContinuation(char c) noexcept {
    return (static_cast<unsigned char>(c) & 0xC0U) == 0x80U;
}

// A cut before a byte that is not a continuation byte, or after four of them,
// ends every sequence begun before the cut (a sequence has at most three
// continuation bytes), so each ill-formed part is replaced the same way.
std::size_t Utf8Cut(std::string_view s, std::size_t limit) noexcept {
    if (s.size() <= limit) return s.size();
    for (std::size_t back = 0; back < 4; ++back) {
        if (!IsContinuation(s[limit - back])) return limit - back;
    }
    return limit;
}

std::size_t Utf16Cut(std::u16string_view s, std::size_t limit) noexcept {
    if (s.size() <= limit) return s.size();
    return U16_IS_LEAD(s[limit - 1]) ? limit - 1 : limit;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view s) {
    std::u16string out(s.size(), u'\0');  // never more units than bytes
    std::size_t written = 0;
    while (!s.empty()) {
        const std::size_t piece = Utf8Cut(s, kUtf8Piece);
        int32_t length = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8WithSub(out.data() + written, static_cast<int32_t>(piece), &length, s.data(),
                             static_cast<int32_t>(piece), 0xFFFD, nullptr, &status);
        if (U_SUCCESS(status) && length > 0) written += static_cast<std::size_t>(length);
        s.remove_prefix(piece);
    }
    out.resize(written);
    return out;
}

std::string Utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    while (!s.empty()) {
        const std::size_t piece = Utf16Cut(s, kUtf16Piece);
        const std::size_t start = out.size();
        out.resize(start + 3 * piece);
        int32_t length = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strToUTF8WithSub(out.data() + start, static_cast<int32_t>(3 * piece), &length, s.data(),
                           static_cast<int32_t>(piece), 0xFFFD, nullptr, &status);
        out.resize(start + (U_SUCCESS(status) && length > 0 ? static_cast<std::size_t>(length) : 0));
        s.remove_prefix(piece);
    }
    return out;
}

std::string SJisToUtf8(std::string_view s) {
    if (s.empty()) return {};
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open("shift_jis", &status),
                                                                       &ucnv_close);
    if (U_FAILURE(status) || !converter) return {};
    // A Shift-JIS byte or byte pair gives at most one UTF-16 unit, so one pass
    // over a buffer of the input's size normally suffices.
    std::u16string units(s.size() + 1, u'\0');
    const char* source = s.data();
    const char* const sourceEnd = source + s.size();
    char16_t* target = units.data();
    for (;;) {
        status = U_ZERO_ERROR;
        ucnv_toUnicode(converter.get(), &target, units.data() + units.size(), &source, sourceEnd, nullptr,
                       true, &status);
        if (status != U_BUFFER_OVERFLOW_ERROR) break;
        const auto used = static_cast<std::size_t>(target - units.data());
        units.resize(2 * units.size());
        target = units.data() + used;
    }
    units.resize(static_cast<std::size_t>(target - units.data()));
    return Utf16ToUtf8(units);
}

bool IsValidUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* const end = p + s.size();
    while (p != end) {
        if (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, sizeof word);
            if ((word & 0x8080808080808080ULL) == 0) {
                p += 8;
                continue;
            }
        }
        const unsigned lead = *p;
        if (lead < 0x80U) {
            ++p;
            continue;
        }
        // Well-formed sequences by lead byte; the second byte's range excludes
        // overlong forms, surrogates and code points above U+10FFFF.
        std::size_t trail = 0;
        unsigned low = 0x80U;
        unsigned high = 0xBFU;
        if (lead >= 0xC2U && lead <= 0xDFU) {
            trail = 1;
        } else if (lead >= 0xE0U && lead <= 0xEFU) {
            trail = 2;
            if (lead == 0xE0U) low = 0xA0U;
            if (lead == 0xEDU) high = 0x9FU;
        } else if (lead >= 0xF0U && lead <= 0xF4U) {
            trail = 3;
            if (lead == 0xF0U) low = 0x90U;
            if (lead == 0xF4U) high = 0x8FU;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - p) <= trail) return false;
        if (p[1] < low || p[1] > high) return false;
        for (std::size_t i = 2; i <= trail; ++i) {
            if ((p[i] & 0xC0U) != 0x80U) return false;
        }
        p += trail + 1;
    }
    return true;
}

std::string SanitiseUtf8(std::string s) {
    // Every String value passes through here and nearly all of them are
    // already well formed, for which the round trip is the identity.
    if (IsValidUtf8(s)) return s;
    return Utf16ToUtf8(Utf8ToUtf16(s));
}

bool HasUnicodeReplChar(std::string_view s) {
    return s.find("\xEF\xBF\xBD") != std::string_view::npos;
}

}  // namespace meta::strings
