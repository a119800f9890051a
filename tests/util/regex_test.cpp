#include "varrow/util/regex.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace meta {
namespace {

// What one search should give, from a regex compiled afresh for the call.
struct Outcome {
    bool matched = false;
    std::vector<std::pair<bool, std::string>> groups;
    std::ptrdiff_t position = -1;
    bool operator==(const Outcome&) const = default;
};

template <typename Results>
Outcome Describe(const Results& m) {
    Outcome o;
    o.matched = !m.empty();
    if (!o.matched) return o;
    o.position = m.position(0);
    for (std::size_t i = 0; i < m.size(); ++i) o.groups.emplace_back(m[i].matched, m[i].str());
    return o;
}

Outcome Uncached(const std::string& s, const std::string& pattern, bool icase) {
    try {
        auto flags = std::regex::ECMAScript;
        if (icase) flags |= std::regex::icase;
        const std::regex re(pattern, flags);
        std::smatch m;
        std::regex_search(s, m, re);
        return Describe(m);
    } catch (const std::regex_error&) {
        return {};
    }
}

const std::vector<std::string> kPatterns = {
    "^Canon EOS",
    "EOS",
    "(\\d+)D( Mark (I+))?",
    "^(NIKON|Nikon) D(\\d{2,4})$",
    "a*",
    "^$",
    "[A-Z]{3}",
    "(",
    "[z-a]",
    "a{2,1}",
    "\\",
    "(?:x|y)+",
    "\\bMark\\b",
    "(a)|(b)",
};
const std::vector<std::string> kSubjects = {
    "Canon EOS 5D Mark III", "canon eos 5d mark ii", "NIKON D850", "Nikon d90", "", "xyxyb", "ABCdef",
};

TEST(Regex, CachedMatchingEqualsFreshCompilation) {
    // Three rounds: cold cache, warm cache, and after thousands of other
    // patterns have pushed these out and back in.
    for (int round = 0; round < 3; ++round) {
        if (round == 2) {
            for (int i = 0; i < 2000; ++i) RegexMatch("x", "x{" + std::to_string(i) + "}");
        }
        for (const auto& pattern : kPatterns) {
            for (const auto& subject : kSubjects) {
                for (const bool icase : {false, true}) {
                    SCOPED_TRACE(pattern + " / " + subject + (icase ? " (icase)" : ""));
                    EXPECT_EQ(Describe(RegexMatch(subject, pattern, icase)),
                              Uncached(subject, pattern, icase));
                    const char* const begin = subject.data();
                    EXPECT_EQ(Describe(RegexMatch(begin, begin + subject.size(), pattern, icase)),
                              Uncached(subject, pattern, icase));
                }
            }
        }
    }
}

TEST(Regex, CacheReusesCompilationsPerPatternAndCaseMode) {
    const auto first = detail::CompileRegex("^Nikon", false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(detail::CompileRegex("^Nikon", false), first);
    const auto icase = detail::CompileRegex("^Nikon", true);
    EXPECT_NE(icase, first);
    EXPECT_TRUE(std::regex_search("NIKON", *icase));
    EXPECT_FALSE(std::regex_search("NIKON", *first));
    EXPECT_EQ(detail::CompileRegex("(", false), nullptr);
    EXPECT_EQ(detail::CompileRegex("(", false), nullptr);

    // An evicted regex stays valid for whoever still holds it.
    for (int i = 0; i < 2000; ++i) detail::CompileRegex("y{" + std::to_string(i) + "}", false);
    EXPECT_TRUE(std::regex_search("Nikon D1", *first));

    // Each thread has its own cache and gets the same answers.
    bool otherThreadMatched = false;
    std::thread worker([&] { otherThreadMatched = RegexMatch("NIKON D1", "^nikon", true); });
    worker.join();
    EXPECT_TRUE(otherThreadMatched);
}

TEST(Regex, InvalidPatternsNeverMatchAndNeverThrow) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(RegexMatch("(", "("));
        EXPECT_FALSE(RegexMatch("abc", "[", true));
        EXPECT_TRUE(RegexMatchG(std::string("aaa"), "(").empty());
        EXPECT_EQ(RegexReplace("abc", "(", "x"), "");
        EXPECT_EQ(RegexReplace("abc", "(", [](const std::smatch&) { return "x"; }), "");
        std::istringstream in("((((");
        EXPECT_FALSE(RegexMatch(in, 4, "(", true));
    }
}

TEST(Regex, SearchFindsTheFirstOccurrenceWithGroups) {
    const std::string model = "Canon EOS 5D Mark III";
    const auto m = RegexMatch(model, "(\\d+)D(?: Mark (I+))?");
    ASSERT_TRUE(m);
    EXPECT_EQ(m.position(0), 10);
    EXPECT_EQ(m[1].str(), "5");
    EXPECT_EQ(m[2].str(), "III");
    EXPECT_FALSE(RegexMatch(model, "^EOS"));
    EXPECT_TRUE(RegexMatch(model, "eos", true));
    EXPECT_FALSE(RegexMatch(model, "eos", false));
    EXPECT_FALSE(RegexMatchResults<const char*>());
}

TEST(Regex, StreamSearchReadsExactlyCountBytes) {
    std::istringstream in(std::string("xxII*\0yy", 8));
    in.seekg(2);
    {
        const auto m = RegexMatch(in, 4, "^II\\*\\x00", true);
        EXPECT_TRUE(m);
        EXPECT_EQ(in.tellg(), 2);
    }
    {
        // The bytes outlive the stream.
        auto stream = std::make_unique<std::istringstream>(std::string("MM\x00*", 4));
        const auto m = RegexMatch(*stream, 4, "^(MM)", false);
        ASSERT_TRUE(m);
        EXPECT_EQ(stream->tellg(), 4);
        stream.reset();
        EXPECT_EQ(m[1].str(), "MM");
        ASSERT_NE(m.Buffer(), nullptr);
        EXPECT_EQ(m.Buffer()->size(), 4U);
    }
    {
        // Too short: no match, and with rewind the stream is usable again.
        const auto m = RegexMatch(in, 100, "II", true);
        EXPECT_FALSE(m);
        EXPECT_TRUE(in.good());
        EXPECT_EQ(in.tellg(), 2);
    }
    {
        // A huge count against a short stream costs only what the stream holds.
        EXPECT_FALSE(RegexMatch(in, std::size_t{1} << 40, "II", true));
        EXPECT_EQ(in.tellg(), 2);
    }
    {
        EXPECT_FALSE(RegexMatch(in, 100, "II", false));
        EXPECT_TRUE(in.fail());
    }
    {
        std::istringstream failed("abc");
        failed.setstate(std::ios::failbit);
        EXPECT_FALSE(RegexMatch(failed, 1, "a", true));
        std::istringstream empty("");
        EXPECT_TRUE(RegexMatch(empty, 0, "^$", true));
    }
}

TEST(Regex, GlobalMatchesAreSuccessiveAndNonOverlapping) {
    const std::string s = "a1b22c333";
    std::vector<std::string> found;
    for (const auto& m : RegexMatchG(s, "\\d+")) found.push_back(m.str());
    EXPECT_EQ(found, (std::vector<std::string>{"1", "22", "333"}));
    EXPECT_EQ(RegexMatchG(s, "aa").size(), 0U);
    EXPECT_EQ(RegexMatchG(std::string("aaaa"), "aa").size(), 2U);
    EXPECT_EQ(RegexMatchG(std::string("ABab"), "a", true).size(), 2U);
}

TEST(Regex, ReplaceEqualsStdRegexReplace) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"2023:01:02 10:11:12", "(\\d+):(\\d+):(\\d+)", "$3-$2-$1"},
        {"a-b-c", "-", "$$"},
        {"aaa", "a*", "<$&>"},
        {"Canon EOS", "(\\w+)", "[$1]['$`']"},
        {"no match", "xyz", "!"},
        {"", "^", "start"},
    };
    for (const auto& [s, pattern, format] : cases) {
        const std::regex re(pattern);
        EXPECT_EQ(RegexReplace(s, pattern, format, true), std::regex_replace(s, re, format));
        EXPECT_EQ(RegexReplace(s, pattern, format, false),
                  std::regex_replace(s, re, format, std::regex_constants::format_first_only));
    }
    EXPECT_EQ(RegexReplace("Canon CANON", "canon", "X", true, true), "X X");
    EXPECT_EQ(RegexReplace("Canon CANON", "canon", "X", true, false), "Canon CANON");
}

TEST(Regex, ReplaceWithCallback) {
    const auto titleCase = [](const std::smatch& m) {
        std::string word = m.str();
        for (std::size_t i = 0; i < word.size(); ++i) {
            const auto c = static_cast<unsigned char>(word[i]);
            word[i] = static_cast<char>(i == 0 ? std::toupper(c) : std::tolower(c));
        }
        return word;
    };
    EXPECT_EQ(RegexReplace("OLYMPUS IMAGING CORP.", "[A-Za-z]+", titleCase), "Olympus Imaging Corp.");
    EXPECT_EQ(RegexReplace("x", "y", titleCase), "x");
    EXPECT_EQ(RegexReplace(
                  "ab", "A", [](const std::smatch&) { return std::string("_"); }, true),
              "_b");
    // A callback may itself use the regular-expression helpers.
    EXPECT_EQ(RegexReplace("a1 b2", "\\w\\d",
                           [](const std::smatch& m) { return RegexMatch(m.str(), "^a") ? "A" : "B"; }),
              "A B");
}

}  // namespace
}  // namespace meta
