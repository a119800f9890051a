#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "varrow/formats/lytro/lytro_signatures.h"

namespace meta {
namespace {

// The reader tests bytes by hand instead of running regular expressions per
// section; these compare the two on every input they are likely to differ on.

TEST(LytroSignaturesTest, JsonHeadTestAgreesWithThePattern) {
    std::regex const pattern("^\\{\\s+\"");
    std::string const alphabet("{ \t\n\v\f\r\"a\0\x85\xA0", 12);
    std::vector<std::string> heads = {""};
    std::size_t tested = 0;
    for (std::size_t length = 0; length <= 4; ++length) {
        std::vector<std::string> longer;
        for (std::string const& head : heads) {
            EXPECT_EQ(detail::StartsLytroJsonObject(head), std::regex_search(head, pattern))
                << "head of " << head.size() << " bytes";
            ++tested;
            for (char c : alphabet) longer.push_back(head + c);
        }
        heads.swap(longer);
    }
    EXPECT_GT(tested, 20000u);
    // Heads as long as the reader takes (26 bytes).
    for (std::string const& head :
         {std::string("{") + std::string(24, ' ') + "\"", std::string("{") + std::string(25, '\n'),
          std::string("{\r\n\t\"picture\" : {\n\t\t\"fr"), std::string("{\"compact\":1, \"x\" : 2}   ")}) {
        EXPECT_EQ(detail::StartsLytroJsonObject(head), std::regex_search(head, pattern)) << head;
    }
}

TEST(LytroSignaturesTest, SignatureTestAgreesWithThePattern) {
    std::regex const section("^\x89LF[MC]\x0d\x0a\x1a\x0a$");
    std::regex const file("^\x89LFP\x0d\x0a\x1a\x0a$");
    std::string const valid = "\x89LFM\x0d\x0a\x1a\x0a";
    for (std::size_t at = 0; at < valid.size(); ++at) {
        for (int b = 0; b < 256; ++b) {
            std::string bytes = valid;
            bytes[at] = static_cast<char>(b);
            EXPECT_EQ(detail::IsLytroSignature(bytes, true), std::regex_search(bytes, section))
                << at << " " << b;
            EXPECT_EQ(detail::IsLytroSignature(bytes, false), std::regex_search(bytes, file))
                << at << " " << b;
        }
    }
    for (std::string const& bytes : {valid.substr(0, 7), valid + "\n", valid + "x", std::string()}) {
        EXPECT_EQ(detail::IsLytroSignature(bytes, true), std::regex_search(bytes, section));
    }
    EXPECT_TRUE(detail::IsLytroSignature("\x89LFC\x0d\x0a\x1a\x0a", true));
    EXPECT_TRUE(detail::IsLytroSignature("\x89LFP\x0d\x0a\x1a\x0a", false));
}

}  // namespace
}  // namespace meta
