#include "varrow/util/encoding.h"

#include <gtest/gtest.h>
#include <unicode/unistr.h>

#include <random>
#include <string>
#include <vector>

namespace meta::strings {
namespace {

// SanitiseUtf8 as defined: a round trip through ICU's UTF-16 string.
std::string IcuRoundTrip(std::string_view s) {
    std::string out;
    icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())))
        .toUTF8String(out);
    return out;
}

std::vector<std::string> Utf8Cases() {
    std::vector<std::string> cases = {
        "",
        "plain ASCII text, long enough for the word-at-a-time scan",
        std::string("nul\0inside\0\0", 12),
        "\xC2\x80 \xDF\xBF \xE0\xA0\x80 \xED\x9F\xBF \xEE\x80\x80 \xEF\xBF\xBF \xF0\x90\x80\x80 "
        "\xF4\x8F\xBF\xBF",
        "\xC0\x80",                  // overlong NUL
        "\xC1\xBF",                  // overlong
        "\xE0\x9F\xBF",              // overlong three-byte form
        "\xF0\x8F\xBF\xBF",          // overlong four-byte form
        "\xED\xA0\x80",              // lead surrogate
        "\xED\xBF\xBF",              // trail surrogate
        "\xED\xA0\xBD\xED\xB2\xA9",  // surrogate pair spelt in CESU-8
        "\xF4\x90\x80\x80",          // above U+10FFFF
        "\xF5\x80\x80\x80",
        "\xF8\x88\x80\x80\x80",
        "\xFE",
        "\xFF",
        "\x80",
        "\xBF\x80",  // stray continuation bytes
        "abc\xC3",
        "abc\xE2\x82",
        "abc\xF0\x9F\x98",  // truncated at the end
        "\xE2\x82z",
        "\xF0\x9F\x98z\xF0",
        "\xC3\xC3\xA9",  // truncated in the middle
        "12345678\xE2\x82\xAC"
        "12345678\xFF"
        "12345678",
    };
    std::mt19937 rng(42);
    // Random bytes biased towards the interesting ranges.
    const unsigned char interesting[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF,
                                         0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xEC, 0xED, 0xEE,
                                         0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xFF};
    std::uniform_int_distribution<std::size_t> length(0, 12);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof interesting - 1);
    for (int i = 0; i < 20000; ++i) {
        std::string s;
        for (std::size_t n = length(rng); n > 0; --n) s.push_back(static_cast<char>(interesting[pick(rng)]));
        cases.push_back(std::move(s));
    }
    return cases;
}

TEST(Encoding, ValidityAndSanitisingAgreeWithTheIcuRoundTrip) {
    for (const std::string& s : Utf8Cases()) {
        SCOPED_TRACE(::testing::PrintToString(s));
        const std::string expected = IcuRoundTrip(s);
        // Well-formed text, and only that, survives the round trip unchanged.
        EXPECT_EQ(IsValidUtf8(s), expected == s);
        EXPECT_EQ(SanitiseUtf8(s), expected);
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), expected);
        EXPECT_TRUE(IsValidUtf8(SanitiseUtf8(s)));
    }
}

TEST(Encoding, IsValidUtf8KnownCases) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8(std::string_view("\0", 1)));
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));
    EXPECT_FALSE(IsValidUtf8("\xC0\x80"));
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));
    EXPECT_FALSE(IsValidUtf8("abcdefgh\xE2\x82"));
    EXPECT_EQ(SanitiseUtf8("a\xFF"
                           "b"),
              "a\xEF\xBF\xBD"
              "b");
    // One replacement per maximal ill-formed subpart.
    EXPECT_EQ(SanitiseUtf8("\xF0\x9F\x98z"), "\xEF\xBF\xBDz");
    EXPECT_EQ(SanitiseUtf8("\xC0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Encoding, Utf16Conversions) {
    EXPECT_EQ(Utf8ToUtf16("A\xC3\xA9\xE2\x82\xAC\xF0\x9D\x90\x80"), u"A\u00E9\u20AC\U0001D400");
    EXPECT_EQ(Utf8ToUtf16("x\xFF"), u"x\uFFFD");
    EXPECT_EQ(Utf16ToUtf8(u"A\u00E9\u20AC\U0001D400"), "A\xC3\xA9\xE2\x82\xAC\xF0\x9D\x90\x80");
    const char16_t lone[] = {u'a', 0xD800, u'b', 0xDC00};
    EXPECT_EQ(Utf16ToUtf8(std::u16string_view(lone, 4)),
              "a\xEF\xBF\xBD"
              "b\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(std::u16string_view(u"\0z", 2)), std::string("\0z", 2));
}

TEST(Encoding, ShiftJis) {
    // "Nikon" in katakana with ASCII, and "Japan" in kanji.
    EXPECT_EQ(SJisToUtf8("\x83\x6A\x83\x52\x83\x93 D1"), "\xE3\x83\x8B\xE3\x82\xB3\xE3\x83\xB3 D1");
    EXPECT_EQ(SJisToUtf8("\x93\xFA\x96\x7B"), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(SJisToUtf8(""), "");
    // Bytes that are not Shift-JIS, including a lead byte cut off at the end.
    EXPECT_EQ(SJisToUtf8("A\x83"), "A\x1A");
    EXPECT_EQ(SJisToUtf8("\xFF\xA0"), "\x1A\x1A");
    // A well-formed but unassigned pair.
    EXPECT_EQ(SJisToUtf8("\x85\x40"), "\xEF\xBF\xBD");
}

TEST(Encoding, ReplacementCharAndByteViews) {
    EXPECT_TRUE(HasUnicodeReplChar("ab\xEF\xBF\xBD"));
    EXPECT_FALSE(HasUnicodeReplChar("ab\xEF\xBF"));
    EXPECT_FALSE(HasUnicodeReplChar(""));

    const std::vector<meta::byte> bytes = {meta::byte{'I'}, meta::byte{'I'}, meta::byte{0}, meta::byte{0xFF}};
    const std::string_view view = BytesAsStringView(bytes);
    EXPECT_EQ(view, std::string_view("II\0\xFF", 4));
    EXPECT_EQ(static_cast<const void*>(view.data()), static_cast<const void*>(bytes.data()));
    EXPECT_TRUE(BytesAsStringView({}).empty());
}

}  // namespace
}  // namespace meta::strings
