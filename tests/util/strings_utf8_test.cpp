#include "varrow/util/strings_utf8.h"

#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <random>
#include <string>
#include <vector>

namespace meta::strings::utf8 {
namespace {

// The operations as defined: convert to ICU's UTF-16 string, apply ICU, convert
// back. The library answers most inputs without the conversion; these tests
// compare the two over inputs chosen to hit every shortcut and its limits.
namespace reference {

icu::UnicodeString U(std::string_view s) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(s.data(), static_cast<int32_t>(s.size())));
}
std::string S(const icu::UnicodeString& u) {
    std::string out;
    u.toUTF8String(out);
    return out;
}
icu::UnicodeString F(std::string_view s) {
    return U(s).foldCase(U_FOLD_CASE_DEFAULT);
}

std::string Trim(std::string_view s, bool start, bool end) {
    icu::UnicodeString u = U(s);
    int32_t first = 0;
    int32_t last = u.length();
    while (start && first < last && u_isUWhiteSpace(u.char32At(first))) first = u.moveIndex32(first, 1);
    while (end && last > first && u_isUWhiteSpace(u.char32At(last - 1))) last = u.moveIndex32(last, -1);
    return S(u.tempSubStringBetween(first, last));
}
std::string UcFirst(std::string_view s) {
    icu::UnicodeString u = U(s);
    if (!u.isEmpty()) u.setCharAt(0, static_cast<char16_t>(u_toupper(u.charAt(0))));
    return S(u);
}
std::string Replace(std::string_view s, const icu::UnicodeString& from, const icu::UnicodeString& to) {
    icu::UnicodeString u = U(s);
    u.findAndReplace(from, to);
    return S(u);
}
bool StartsWith(std::string_view p, std::string_view s, bool cs) {
    return cs ? U(s).startsWith(U(p)) : F(s).startsWith(F(p));
}
bool EndsWith(std::string_view p, std::string_view s, bool cs) {
    return cs ? U(s).endsWith(U(p)) : F(s).endsWith(F(p));
}
bool Contains(std::string_view n, std::string_view h, bool cs) {
    return n.empty() || (cs ? U(h).indexOf(U(n)) >= 0 : F(h).indexOf(F(n)) >= 0);
}
bool Equivalent(std::string_view a, std::string_view b, bool cs) {
    return cs ? U(a) == U(b) : F(a) == F(b);
}
std::vector<std::string> Split(std::string_view s, char16_t sep) {
    std::vector<std::string> pieces;
    if (s.empty()) return pieces;
    const icu::UnicodeString u = U(s);
    int32_t start = 0;
    for (int32_t hit = u.indexOf(sep); hit >= 0; hit = u.indexOf(sep, start)) {
        pieces.push_back(S(u.tempSubStringBetween(start, hit)));
        start = hit + 1;
    }
    pieces.push_back(S(u.tempSubStringBetween(start)));
    return pieces;
}

}  // namespace reference

// Well-formed pieces (ASCII, white space of every width, characters whose case
// mapping changes length or leaves the BMP, characters folding to ASCII) and
// ill-formed ones (stray, truncated, overlong, surrogate, out of range).
const std::vector<std::string> kPieces = {
    "a",
    "Z",
    "k",
    "s",
    "i",
    " ",
    "\t",
    "\n",
    "\x1F",
    std::string(1, '\0'),
    "-",
    "\xC2\x85",
    "\xC2\xA0",
    "\xE1\x9A\x80",
    "\xE2\x80\x8A",
    "\xE2\x80\xA8",
    "\xE3\x80\x80",
    "\xE2\x80\x8B",
    "\xC3\x9F",
    "\xC3\xA9",
    "\xC3\x89",
    "\xC7\x85",
    "\xEF\xAC\x80",
    "\xC4\xB0",
    "\xE2\x84\xAA",
    "\xC5\xBF",
    "\xCE\xA3",
    "\xCF\x82",
    "\xF0\x9D\x90\x80",
    "\xF0\x90\x90\xA8",
    "\xEF\xBF\xBD",
    "\xE1\xBA\x9E",
    "\xFF",
    "\x80",
    "\xC3",
    "\xE2\x82",
    "\xC0\xAF",
    "\xE0\x80\xAF",
    "\xED\xA0\x80",
    "\xF4\x90\x80\x80",
    "\xF5",
};

std::string RandomText(std::mt19937& rng, std::size_t maxPieces) {
    std::uniform_int_distribution<std::size_t> count(0, maxPieces);
    std::uniform_int_distribution<std::size_t> pick(0, kPieces.size() - 1);
    std::string s;
    for (std::size_t n = count(rng); n > 0; --n) s += kPieces[pick(rng)];
    return s;
}

std::vector<std::string> Samples() {
    std::vector<std::string> samples = {"", "Canon", "  Canon EOS  ", "\xC2\xA0\xE3\x80\x80x y\xE2\x80\xA8"};
    samples.insert(samples.end(), kPieces.begin(), kPieces.end());
    std::mt19937 rng(20240611);
    for (int i = 0; i < 400; ++i) samples.push_back(RandomText(rng, 6));
    return samples;
}

TEST(StringsUtf8, UnaryOperationsEqualTheIcuDefinition) {
    const icu::Locale& root = icu::Locale::getRoot();
    for (const std::string& s : Samples()) {
        SCOPED_TRACE(::testing::PrintToString(s));
        std::string a = s;
        std::string b = s;
        std::string c = s;
        TrimStart(a);
        TrimEnd(b);
        Trim(c);
        EXPECT_EQ(a, reference::Trim(s, true, false));
        EXPECT_EQ(b, reference::Trim(s, false, true));
        EXPECT_EQ(c, reference::Trim(s, true, true));
        EXPECT_EQ(ToLower(s), reference::S(reference::U(s).toLower(root)));
        EXPECT_EQ(ToUpper(s), reference::S(reference::U(s).toUpper(root)));
        EXPECT_EQ(UcFirst(s), reference::UcFirst(s));
        for (const char16_t sep :
             {u' ', u'a', u'\u00A0', u'\u00E9', u'\uFFFD', char16_t{0xD835}, char16_t{0xDC00}}) {
            EXPECT_EQ(Split(s, sep), reference::Split(s, sep));
        }
    }
}

TEST(StringsUtf8, BinaryOperationsEqualTheIcuDefinition) {
    const auto samples = Samples();
    std::mt19937 rng(7);
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& a : kPieces) {
        for (const auto& b : kPieces) pairs.emplace_back(a, b);
    }
    for (int i = 0; i < 3000; ++i) {
        const std::string pattern = RandomText(rng, 2);
        std::string subject = RandomText(rng, 6);
        // Plant the pattern, or a case variant of it, half of the time.
        if (i % 2 == 0)
            subject.insert(i % 4 == 0 ? 0 : subject.size(), i % 8 == 0 ? ToUpper(pattern) : pattern);
        pairs.emplace_back(pattern, subject);
    }
    pairs.emplace_back("\xE1\xBA\x9E", "ss");  // capital sharp s folds to ss
    pairs.emplace_back("s", "\xC3\x9F");
    for (const auto& [p, s] : pairs) {
        SCOPED_TRACE(::testing::PrintToString(p) + " / " + ::testing::PrintToString(s));
        for (const bool cs : {true, false}) {
            EXPECT_EQ(StartsWith(p, s, cs), reference::StartsWith(p, s, cs));
            EXPECT_EQ(EndsWith(p, s, cs), reference::EndsWith(p, s, cs));
            EXPECT_EQ(Contains(p, s, cs), reference::Contains(p, s, cs));
            EXPECT_EQ(Equivalent(p, s, cs), reference::Equivalent(p, s, cs));
        }
        EXPECT_EQ(Replace(s, p, "<\xC3\xA9>"),
                  reference::Replace(s, reference::U(p), reference::U("<\xC3\xA9>")));
        EXPECT_EQ(Replace(s, "k", p), reference::Replace(s, icu::UnicodeString(u"k"), reference::U(p)));
    }
    for (const auto& s : samples) {
        for (const char16_t from : {u'a', u'\u00E9', u'\uFFFD', char16_t{0xD835}, char16_t{0xDC00}}) {
            EXPECT_EQ(Replace(s, from, "[\xE2\x84\xAA]"),
                      reference::Replace(s, icu::UnicodeString(from), reference::U("[\xE2\x84\xAA]")));
            EXPECT_EQ(Replace(s, from, "\xFF"),
                      reference::Replace(s, icu::UnicodeString(from), reference::U("\xFF")));
            for (const char16_t to : {u'b', u'\u00C9', char16_t{0xD800}}) {
                EXPECT_EQ(Replace(s, from, to),
                          reference::Replace(s, icu::UnicodeString(from), icu::UnicodeString(to)));
            }
        }
    }
}

TEST(StringsUtf8, CaseInsensitiveComparisonsUseFullFolding) {
    EXPECT_TRUE(StartsWith("Konica Minolta", "KONICA MINOLTA CAMERA, Inc.", false));
    EXPECT_FALSE(StartsWith("Konica Minolta", "KONICA MINOLTA CAMERA, Inc.", true));
    EXPECT_FALSE(StartsWith("Canon", "Can", false));
    EXPECT_TRUE(Equivalent("STRASSE",
                           "stra\xC3\x9F"
                           "e",
                           false));
    EXPECT_TRUE(Equivalent("\xE2\x84\xAA", "k", false));  // Kelvin sign
    EXPECT_TRUE(Contains("\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89 2023", false));
    EXPECT_TRUE(EndsWith("\xCF\x82", "\xCE\xA3", false));  // final and capital sigma fold alike
    EXPECT_TRUE(Contains("", "", false));
    EXPECT_TRUE(StartsWith("\xC3\xA9", 1, "x\xC3\xA9", true));
    EXPECT_FALSE(StartsWith("", 4, "x\xC3\xA9", true));
}

TEST(StringsUtf8, CaseMappingAndTrimming) {
    EXPECT_EQ(ToUpper("stra\xC3\x9F"
                      "e"),
              "STRASSE");
    EXPECT_EQ(ToLower("\xC3\x89T\xC3\x89"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(UcFirst("\xC3\xA9t\xC3\xA9"), "\xC3\x89t\xC3\xA9");
    EXPECT_EQ(UcFirst("\xC3\x9F"), "\xC3\x9F");  // no single-unit upper case
    std::string s = "\xE3\x80\x80\xC2\xA0 Leica \xE2\x80\xA8";
    Trim(s);
    EXPECT_EQ(s, "Leica");
    std::string bad = " \xFF ";
    Trim(bad);
    EXPECT_EQ(bad, "\xEF\xBF\xBD");
}

TEST(StringsUtf8, SplitReturnsUtf8Pieces) {
    using Pieces = std::vector<std::string>;
    EXPECT_EQ(Split("", u','), Pieces{});
    EXPECT_EQ(Split(",", u','), (Pieces{"", ""}));
    EXPECT_EQ(Split("a\xE3\x83\xBB"
                    "b\xE3\x83\xBB",
                    u'\u30FB'),
              (Pieces{"a", "b", ""}));
    EXPECT_EQ(Split("a,\xFF,b", u','), (Pieces{"a", "\xEF\xBF\xBD", "b"}));
}

}  // namespace
}  // namespace meta::strings::utf8
