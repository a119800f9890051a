#include <gtest/gtest.h>
#include <zlib.h>

#include <optional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "fixtures/png_builder.h"
#include "varrow/formats/png/png_inflate.h"
#include "varrow/formats/png/png_text.h"

namespace meta {
namespace {

using detail::InflateStatus;
using detail::InflateZlib;

std::string Compressed(std::string const& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                        reinterpret_cast<Bytef const*>(data.data()), static_cast<uLong>(data.size()), 6),
              Z_OK);
    out.resize(size);
    return out;
}

// The hand-written split must give what the pattern gives, on every text.
void ExpectSameAsPattern(std::string const& text) {
    static std::regex const pattern("^\n((?:.|\\s)*?)\n\\s*(\\d+)\n");
    std::smatch match;
    bool const matched = std::regex_search(text, match, pattern);
    std::optional<detail::RawProfileHeader> const split = detail::SplitRawProfile(text);
    ASSERT_EQ(split.has_value(), matched) << '"' << text << '"';
    if (!matched) return;
    EXPECT_EQ(split->name, match[1].str()) << text;
    EXPECT_EQ(split->length, match[2].str()) << text;
    EXPECT_EQ(split->dataOffset, static_cast<std::size_t>(match.length(0))) << text;
}

TEST(PngText, RawProfileSplitMatchesThePattern) {
    std::vector<std::string> const texts{
        "\nexif\n      12\n4578",
        fixtures::RawProfileText("xmp", "abc"),
        "\n\n5\nrest",                  // empty name
        "\nname with\nlines\n 7\nhex",  // the name runs over lines
        "\nname\n12x\n 3\ndata",        // a false length line first
        "\nname\n \t\r\n\n 42\n",       // white space over lines
        "\nname\n \v\f 8\n",            // every kind of white space
        "\nname\n  \n  \n",             // no digits at all
        "exif\n 1\n",                   // no leading line feed
        "\nname\n 12",                  // no line feed after the length
        std::string("\nna\0me\n3\n", 9),
        "\n\xff\xa0\n\xa0 3\n\n 4\n",  // bytes above 0x7F are not white space
        "\n\n\n\n\n\n1\n",
        "\n\n \n \n x\n2\n",
        "\nname 1\n2 3\n4\n",
        "",
        "\n",
    };
    for (std::string const& text : texts) ExpectSameAsPattern(text);

    // Random texts over the characters that matter.
    std::mt19937 random(20261206);
    std::string const alphabet = "\n\n\n  \t\r\v01239ax";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> length(0, 14);
    for (int i = 0; i < 5000; ++i) {
        std::string text = i % 2 == 0 ? "\n" : "";
        for (std::size_t n = length(random); n > 0; --n) text.push_back(alphabet[pick(random)]);
        ExpectSameAsPattern(text);
    }

    // A long run of line feeds is no trouble (and linear).
    std::string const many = "\n" + std::string(200000, '\n') + "x";
    EXPECT_FALSE(detail::SplitRawProfile(many));
}

TEST(PngText, RawProfileHex) {
    std::string bytes;
    ASSERT_TRUE(detail::DecodeRawProfileHex("45786966\n0000\r\n4d4D2A", bytes));
    EXPECT_EQ(bytes, std::string("Exif\0\0MM*", 9));
    ASSERT_TRUE(detail::DecodeRawProfileHex(std::string("4\0"
                                                        "1",
                                                        3),
                                            bytes));
    EXPECT_EQ(bytes, "A") << "a NUL may split a pair";
    ASSERT_TRUE(detail::DecodeRawProfileHex("414", bytes));
    EXPECT_EQ(bytes, "A") << "a dangling half byte is dropped";
    ASSERT_TRUE(detail::DecodeRawProfileHex("", bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(detail::DecodeRawProfileHex("41 42", bytes));
    EXPECT_FALSE(detail::DecodeRawProfileHex("4g", bytes));
}

TEST(PngInflate, Outcomes) {
    std::string const text(5000, 'x');
    std::string const stream = Compressed(text);
    std::string out;
    ASSERT_EQ(InflateZlib(stream, detail::kMaxInflatedSize, out), InflateStatus::Complete);
    EXPECT_EQ(out, text);
    // Bytes after the end of the stream are ignored.
    ASSERT_EQ(InflateZlib(stream + "trailing", detail::kMaxInflatedSize, out), InflateStatus::Complete);
    EXPECT_EQ(out, text);
    // Stored blocks, an empty stream, and output of exactly one step.
    std::string const stored = [] {
        fixtures::Bytes const b = fixtures::ZlibStored("stored text");
        return std::string(b.begin(), b.end());
    }();
    ASSERT_EQ(InflateZlib(stored, 100, out), InflateStatus::Complete);
    EXPECT_EQ(out, "stored text");
    ASSERT_EQ(InflateZlib(Compressed(""), 100, out), InflateStatus::Complete);
    EXPECT_TRUE(out.empty());
    std::string const step(detail::kInflateStep, 's');
    ASSERT_EQ(InflateZlib(Compressed(step), detail::kMaxInflatedSize, out), InflateStatus::Complete);
    EXPECT_EQ(out, step);

    // A step that neither fills up nor ends the stream: the input ran out.
    EXPECT_EQ(InflateZlib(stream.substr(0, stream.size() - 3), detail::kMaxInflatedSize, out),
              InflateStatus::Truncated);
    EXPECT_EQ(InflateZlib(stream.substr(0, 2), detail::kMaxInflatedSize, out), InflateStatus::Truncated);
    EXPECT_EQ(InflateZlib("", 100, out), InflateStatus::Truncated);
    std::string damaged = stream;
    damaged[damaged.size() - 1] ^= 0x55;  // the checksum
    EXPECT_EQ(InflateZlib(damaged, detail::kMaxInflatedSize, out), InflateStatus::Damaged);
    EXPECT_EQ(InflateZlib("\x78\x01garbage", 100, out), InflateStatus::Damaged);

    // The limit: exactly enough is enough, one byte less is too little, and
    // the output never runs more than a step past it.
    EXPECT_EQ(InflateZlib(stream, text.size(), out), InflateStatus::Complete);
    EXPECT_EQ(InflateZlib(stream, text.size() - 1, out), InflateStatus::TooLarge);
    EXPECT_LE(out.size(), text.size() - 1 + detail::kInflateStep);
    EXPECT_EQ(InflateZlib(stream, 10, out), InflateStatus::TooLarge);
    EXPECT_LE(out.size(), 10 + detail::kInflateStep);
}

}  // namespace
}  // namespace meta
