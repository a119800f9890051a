#include "varrow/util/strings_basic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace meta::strings::basic {
namespace {

using Pieces = std::vector<std::string_view>;

TEST(StringsBasic, TrimRemovesCLocaleWhiteSpaceOnly) {
    std::string s = " \t\n\v\f\rab c \r\n";
    TrimStart(s);
    EXPECT_EQ(s, "ab c \r\n");
    TrimEnd(s);
    EXPECT_EQ(s, "ab c");

    std::string both = "  x  ";
    Trim(both);
    EXPECT_EQ(both, "x");

    std::string blank = " \t ";
    Trim(blank);
    EXPECT_EQ(blank, "");

    // A UTF-8 no-break space is not white space byte-wise.
    std::string nbsp = "\xC2\xA0x\xC2\xA0";
    Trim(nbsp);
    EXPECT_EQ(nbsp, "\xC2\xA0x\xC2\xA0");
}

TEST(StringsBasic, CaseMappingTouchesAsciiLettersOnly) {
    EXPECT_EQ(ToLower("Canon EOS-1D \xC3\x89"), "canon eos-1d \xC3\x89");
    EXPECT_EQ(ToUpper("nikon d850 \xC3\xA9"), "NIKON D850 \xC3\xA9");
    EXPECT_EQ(UcFirst("olympus"), "Olympus");
    EXPECT_EQ(UcFirst("1st"), "1st");
    EXPECT_EQ(UcFirst(""), "");
}

TEST(StringsBasic, ReplaceNeverRescansInsertedText) {
    EXPECT_EQ(Replace("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(Replace("abcabc", "bc", "X"), "aXaX");
    EXPECT_EQ(Replace("abcabc", "bc", "XY"), "aXYaXY");
    EXPECT_EQ(Replace("abab", "ab", "b"), "bb");
    EXPECT_EQ(Replace("aaaa", "aa", "a"), "aa");
    EXPECT_EQ(Replace("abc", "", "X"), "abc");
    EXPECT_EQ(Replace("abc", "zz", "X"), "abc");
    EXPECT_EQ(Replace("a,b,c", ',', ", "), "a, b, c");
    EXPECT_EQ(Replace("a_b_c", '_', ' '), "a b c");
    EXPECT_EQ(Replace(std::string("a\0b", 3), '\0', "NUL"), "aNULb");
}

TEST(StringsBasic, EscapeCharsProcessesTheSetInOrder) {
    EXPECT_EQ(EscapeForRegex("a.b\\c"), "a\\.b\\\\c");
    EXPECT_EQ(EscapeForRegex("(1/3)*[x]{2}+y?|^$"), "\\(1/3\\)\\*\\[x]\\{2\\}\\+y\\?\\|\\^\\$");
    EXPECT_EQ(EscapeForRegex("plain"), "plain");
    EXPECT_EQ(EscapeChars("\"", "say \"hi\""), "say \\\"hi\\\"");
    // A backslash listed after another character also escapes the backslashes
    // inserted for that character.
    EXPECT_EQ(EscapeChars(".\\", "a.b"), "a\\\\.b");
    // A character listed twice is escaped twice.
    EXPECT_EQ(EscapeChars("..", "a.b"), "a\\\\.b");
    EXPECT_EQ(EscapeChars("", "a.b"), "a.b");
}

TEST(StringsBasic, StartsAndEndsWith) {
    EXPECT_TRUE(StartsWith("Konica Minolta", "KONICA MINOLTA CAMERA, Inc.", false));
    EXPECT_FALSE(StartsWith("Konica Minolta", "KONICA MINOLTA CAMERA, Inc.", true));
    EXPECT_FALSE(StartsWith("Canon", "Can", true));
    EXPECT_FALSE(StartsWith("Canon", "Can", false));
    EXPECT_TRUE(StartsWith("", "", true));
    EXPECT_TRUE(StartsWith("", "x", false));

    EXPECT_TRUE(StartsWith("D8", 6, "NIKON D850", true));
    EXPECT_FALSE(StartsWith("D8", 5, "NIKON D850", true));
    EXPECT_TRUE(StartsWith("", 10, "NIKON D850", true));
    EXPECT_FALSE(StartsWith("", 11, "NIKON D850", true));

    EXPECT_TRUE(EndsWith(".JPG", "img_0001.jpg", false));
    EXPECT_FALSE(EndsWith(".JPG", "img_0001.jpg", true));
    EXPECT_FALSE(EndsWith("long suffix", "short", false));
    EXPECT_TRUE(EndsWith("", "short", true));
}

TEST(StringsBasic, ContainsAndEquivalent) {
    EXPECT_TRUE(Contains("EOS", "Canon EOS 5D", true));
    EXPECT_FALSE(Contains("eos", "Canon EOS 5D", true));
    EXPECT_TRUE(Contains("eos", "Canon EOS 5D", false));
    EXPECT_TRUE(Contains("", "", true));
    EXPECT_TRUE(Contains("", "", false));
    EXPECT_FALSE(Contains("x", "", false));
    EXPECT_FALSE(Contains("5D Mark", "5D Mar", false));

    EXPECT_TRUE(Equivalent("FUJIFILM", "FujiFilm", false));
    EXPECT_FALSE(Equivalent("FUJIFILM", "FujiFilm", true));
    EXPECT_FALSE(Equivalent("Fuji", "Fujifilm", false));
    // Bytes above ASCII are compared as they are.
    EXPECT_FALSE(Equivalent("\xC3\x89", "\xC3\xA9", false));
}

TEST(StringsBasic, SplitKeepsEmptyPiecesAndViewsTheInput) {
    EXPECT_EQ(Split("a,,b,", ','), (Pieces{"a", "", "b", ""}));
    EXPECT_EQ(Split(",", ','), (Pieces{"", ""}));
    EXPECT_EQ(Split("", ','), Pieces{});
    EXPECT_EQ(Split("abc", ','), Pieces{"abc"});
    EXPECT_EQ(Split("a::b:c::", "::"), (Pieces{"a", "b:c", ""}));
    EXPECT_EQ(Split(":::", "::"), (Pieces{"", ":"}));
    EXPECT_EQ(Split("abc", ""), Pieces{"abc"});
    EXPECT_EQ(Split("", "::"), Pieces{});

    const std::string text = "x y";
    const auto pieces = Split(text, ' ');
    ASSERT_EQ(pieces.size(), 2U);
    EXPECT_EQ(pieces[0].data(), text.data());
    EXPECT_EQ(pieces[1].data(), text.data() + 2);
}

TEST(StringsBasic, FindNthCharNeverCountsTheFirstByte) {
    EXPECT_EQ(FindNthChar("a/b/c/d", '/', 1), 1U);
    EXPECT_EQ(FindNthChar("a/b/c/d", '/', 3), 5U);
    EXPECT_EQ(FindNthChar("a/b/c/d", '/', 4), std::string::npos);
    EXPECT_EQ(FindNthChar("/a/b", '/', 1), 2U);
    EXPECT_EQ(FindNthChar("//", '/', 1), 1U);
    EXPECT_EQ(FindNthChar("//", '/', 2), std::string::npos);
    EXPECT_EQ(FindNthChar("abc", '/', 0), 0U);
    EXPECT_EQ(FindNthChar("", '/', 1), std::string::npos);
}

}  // namespace
}  // namespace meta::strings::basic
