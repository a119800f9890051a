#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "varrow/formats/jpeg/extended_xmp.h"
#include "varrow/formats/jpeg/icc_chunks.h"
#include "varrow/formats/jpeg/jpeg_display_texts.h"
#include "varrow/formats/jpeg/jpeg_identifiers.h"
#include "varrow/formats/jpeg/jpeg_processor.h"
#include "varrow/formats/jpeg/jpeg_segments.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/util/regex.h"

namespace meta {
namespace {

using namespace std::string_literals;

TEST(JpegIccChunks, NumberingAndCount) {
    // A repeated number is joined to its namesake in arrival order.
    IccChunkAssembler twice;
    EXPECT_TRUE(twice.Empty());
    twice.Add(1, 1, "ab");
    twice.Add(1, 1, "cd");
    EXPECT_EQ(twice.Assemble(), "abcd");

    // A gap drops everything; the first number is free; after 0 anything
    // may follow; the count is not compared with the number of chunks.
    IccChunkAssembler gap;
    gap.Add(1, 3, "a");
    gap.Add(3, 3, "c");
    EXPECT_EQ(gap.Assemble(), std::nullopt);
    IccChunkAssembler late;
    late.Add(8, 9, "y");
    late.Add(7, 9, "x");
    EXPECT_EQ(late.Assemble(), "xy");
    IccChunkAssembler zero;
    zero.Add(0, 2, "z");
    zero.Add(5, 2, "f");
    EXPECT_EQ(zero.Assemble(), "zf");

    // A count of 0 announces nothing; a different count is refused.
    IccChunkAssembler counted;
    EXPECT_TRUE(counted.Add(1, 0, "a"));
    EXPECT_TRUE(counted.Add(2, 2, "b"));
    EXPECT_FALSE(counted.Add(3, 3, "c"));
    EXPECT_EQ(counted.AcceptedCount(), 2);
    EXPECT_EQ(counted.Assemble(), "ab");
}

TEST(JpegExtendedXmp, DocumentsAndChunks) {
    ExtendedXmpAssembler xmp;
    ExtendedXmpDocument* const b = xmp.Document("B", 10);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(xmp.Document("B", 10), b);
    EXPECT_EQ(xmp.Document("B", 11), nullptr);  // full length differs
    EXPECT_EQ(xmp.Document("C", ExtendedXmpAssembler::kMaxFullLength + 1), nullptr);
    EXPECT_NE(xmp.Document("C", ExtendedXmpAssembler::kMaxFullLength), nullptr);
    ASSERT_NE(xmp.Document("A", 0), nullptr);
    std::vector<std::string> order;
    for (auto const& entry : xmp.Documents()) order.push_back(entry.first);
    EXPECT_EQ(order, (std::vector<std::string>{"A", "B", "C"}));

    // Later chunks overwrite earlier ones; untouched bytes are spaces.
    b->chunks.push_back({6, "6789"});
    b->chunks.push_back({0, "01"});
    b->chunks.push_back({1, "XY"});
    EXPECT_EQ(ExtendedXmpAssembler::Assemble(*b), "0XY   6789");
    EXPECT_EQ(ExtendedXmpAssembler::Assemble(*xmp.Document("A", 0)), "");

    // One chunk past the end spoils the document, whatever its offset.
    ExtendedXmpDocument over{4, {{0, "ab"}, {3, "cd"}}};
    EXPECT_EQ(ExtendedXmpAssembler::Assemble(over), std::nullopt);
    ExtendedXmpDocument wrap{4, {{0xFFFFFFFFu, "a"}}};
    EXPECT_EQ(ExtendedXmpAssembler::Assemble(wrap), std::nullopt);
    ExtendedXmpDocument exact{4, {{2, "cd"}, {0, "ab"}}};
    EXPECT_EQ(ExtendedXmpAssembler::Assemble(exact), "abcd");
}

TEST(JpegExtendedXmp, DocumentCountIsBounded) {
    ExtendedXmpAssembler xmp;
    for (std::size_t i = 0; i < ExtendedXmpAssembler::kMaxDocuments; ++i) {
        ASSERT_NE(xmp.Document(std::to_string(i), 1), nullptr);
    }
    EXPECT_EQ(xmp.Document("one too many", 1), nullptr);
    EXPECT_NE(xmp.Document("0", 1), nullptr);  // known documents still take chunks
}

TEST(JpegFrameHeader, ParsesFieldsAndSubSampling) {
    auto frame = [](std::string components) {
        return ParseJpegFrameHeader("\x08\x01\xE0\x02\x80"s + components);
    };
    auto const colour = frame("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01"s);
    ASSERT_TRUE(colour);
    EXPECT_EQ(colour->precision, 8);
    EXPECT_EQ(colour->lines, 480);
    EXPECT_EQ(colour->samplesPerLine, 640);
    EXPECT_EQ(colour->components, 3);
    EXPECT_EQ(colour->subSampling, (std::array<std::uint32_t, 2>{2, 2}));

    EXPECT_EQ(frame("\x03\x01\x21\x00\x02\x11\x01\x03\x11\x01"s)->subSampling,
              (std::array<std::uint32_t, 2>{2, 1}));
    EXPECT_EQ(frame("\x03\x01\x12\x00\x02\x11\x01\x03\x11\x01"s)->subSampling,
              (std::array<std::uint32_t, 2>{1, 2}));
    // Ratios are rounded, halves away from zero: 3/2 -> 2, 4/3 -> 1.
    EXPECT_EQ(frame("\x03\x01\x34\x00\x02\x23\x01\x03\x23\x01"s)->subSampling,
              (std::array<std::uint32_t, 2>{2, 1}));
    // The smallest factor is not necessarily the chroma one.
    EXPECT_EQ(frame("\x03\x01\x11\x00\x02\x41\x01\x03\x11\x01"s)->subSampling,
              (std::array<std::uint32_t, 2>{4, 1}));
    // A zero factor, a component count other than 3, or a short table: none.
    EXPECT_FALSE(frame("\x03\x01\x22\x00\x02\x01\x01\x03\x11\x01"s)->subSampling);
    EXPECT_FALSE(frame("\x03\x01\x22\x00\x02\x10\x01\x03\x11\x01"s)->subSampling);
    EXPECT_FALSE(frame("\x04\x01\x22\x00\x02\x11\x01\x03\x11\x01\x04\x11\x01"s)->subSampling);
    EXPECT_FALSE(frame("\x03\x01\x22\x00\x02\x11\x01\x03\x11"s)->subSampling);
    EXPECT_EQ(frame("\x01"s)->components, 1);

    EXPECT_FALSE(ParseJpegFrameHeader("\x08\x01\xE0\x02\x80"s));
    EXPECT_FALSE(ParseJpegFrameHeader(""));
}

TEST(JpegSegments, CommentTrimAndJfifFields) {
    EXPECT_EQ(TrimJpegComment("word\0\r\n"s), "word");
    EXPECT_EQ(TrimJpegComment("\0\0"s), "");
    EXPECT_EQ(TrimJpegComment("a\0b\n\0"s), "a\0b"s);
    EXPECT_EQ(TrimJpegComment(" spaced "), " spaced ");

    JfifRecord const full = ParseJfifRecord("\x01\x02\x01\x00\x48\x01\x2C\x05\x06"s);
    EXPECT_EQ(full.version, (std::array<std::uint8_t, 2>{1, 2}));
    EXPECT_EQ(full.resolutionUnit, 1);
    EXPECT_EQ(full.xResolution, 72);
    EXPECT_EQ(full.yResolution, 300);
    EXPECT_EQ(full.thumbnailWidth, 5);
    EXPECT_EQ(full.thumbnailHeight, 6);
    JfifRecord const cut = ParseJfifRecord("\x01\x02\x01\x00"s);
    EXPECT_TRUE(cut.resolutionUnit);
    EXPECT_FALSE(cut.xResolution);
    EXPECT_FALSE(ParseJfifRecord("\x01"s).version);

    EXPECT_EQ(FormatJfifVersion(1, 2), "1.02");
    EXPECT_EQ(FormatJfifVersion(1, 0), "1.00");
    EXPECT_EQ(FormatJfifVersion(255, 1), "255.01");
    EXPECT_EQ(FormatJfifVersion(148, 195), "148.195");
}

TEST(JpegSegments, DisplayTexts) {
    EXPECT_EQ(JpegEncodingProcessText(2), "Progressive DCT, Huffman coding");
    EXPECT_EQ(JpegEncodingProcessText(15), "Lossless, differential arithmetic coding");
    EXPECT_EQ(JpegEncodingProcessText(4), "Unknown (4)");
    EXPECT_EQ(JpegEncodingProcessText(16), "Unknown (16)");
    EXPECT_EQ(JpegSubSamplingText(2, 2), "YCbCr4:2:0 (2 2)");
    EXPECT_EQ(JpegSubSamplingText(4, 2), "YCbCr4:1:0 (4 2)");
    EXPECT_EQ(JpegSubSamplingText(3, 1), "3 1");
    EXPECT_EQ(JfifResolutionUnitText(2), "cm");
    EXPECT_EQ(JfifResolutionUnitText(77), "Unknown (77)");
}

// The identifier tests compare bytes instead of running a regular
// expression per segment; they must agree with the patterns they replace
// (with '.' taken as any byte, as the patterns intend).
std::string PatternOf(std::string_view signature, bool anchored) {
    std::string pattern = anchored ? "^" : "";
    for (char c : signature) {
        if (c == '.')
            pattern += "[\\s\\S]";
        else if (c == '\0')
            pattern += "\\0";
        else if (c == '?')
            pattern += "\\?";
        else
            pattern += c;
    }
    return pattern;
}

std::vector<std::string> Variants(std::string_view signature, std::size_t window) {
    std::vector<std::string> out;
    std::string base(signature);
    base.resize(window, 'Q');
    out.push_back(base);
    for (std::size_t i = 0; i < signature.size(); ++i) {
        for (char c : {'\0', 'x', '\n', '.', '\xFF'}) {
            std::string v = base;
            v[i] = c;
            out.push_back(v);
        }
    }
    std::string shifted = "J" + std::string(signature);
    shifted.resize(window, 'Q');
    out.push_back(shifted);
    out.push_back(std::string(window, '\0'));
    return out;
}

bool RegexOver(std::string const& bytes, std::size_t count, std::string const& pattern) {
    return static_cast<bool>(RegexMatch(bytes.data(), bytes.data() + count, pattern));
}

TEST(JpegIdentifiers, AgreeWithTheirPatterns) {
    struct Case {
        std::string_view signature;
        std::size_t window;
        bool anchored;
    };
    for (Case const& c :
         {Case{detail::kJfifId, 5, true}, Case{detail::kExifId, 6, true}, Case{detail::kIccId, 12, true},
          Case{detail::kPhotoshopId, 14, true}, Case{detail::kXmpSignature, 29, false},
          Case{detail::kExtendedXmpSignature, 36, false}}) {
        std::string const pattern = PatternOf(c.signature, c.anchored);
        for (std::string const& bytes : Variants(c.signature, c.window)) {
            bool const expected = RegexOver(bytes, c.window, pattern);
            bool const actual = c.anchored
                                    ? detail::StartsWithSignature(bytes, c.signature)
                                    : detail::ContainsSignature(bytes.substr(0, c.window), c.signature);
            EXPECT_EQ(actual, expected) << pattern << " on " << bytes;
        }
    }
    // The extended-XMP signature is searched for, so one leading byte passes.
    EXPECT_TRUE(detail::ContainsSignature("J"s + std::string(detail::kExtendedXmpSignature),
                                          detail::kExtendedXmpSignature));
    EXPECT_TRUE(detail::StartsWithSignature("Photoshop 3-0\0"s, detail::kPhotoshopId));

    for (std::string const& bytes : {"http://ns"s, "XMP\0abcde"s, "<exif:xyz"s, "<?xpacket"s, "<?xpacke "s,
                                     "hTtp:...."s, "xXMP\0abcd"s, " <exif:ab"s, "XMP\0"s, "<exif:"s}) {
        bool const expected =
            bytes.size() >= 9 && (RegexOver(bytes, 4, "^http|XMP\\0") || RegexOver(bytes, 6, "<exif:") ||
                                  RegexOver(bytes, 9, "<\\?xpacket"));
        EXPECT_EQ(detail::IsXmpPacketStart(bytes), expected) << bytes;
    }
}

TEST(JpegIdentifiers, HeaderReadersMoveTheCursor) {
    std::string const bytes = "JFIF\0rest"s;
    InMemoryStream stream(bytes.data(), bytes.size());
    DataSource source(stream, 0);
    EXPECT_FALSE(ReadExifHeader(source));
    EXPECT_EQ(std::streamoff(source.GetBufferPos()), 0);
    EXPECT_TRUE(ReadJfifHeader(source));
    EXPECT_EQ(std::streamoff(source.GetBufferPos()), 5);
    EXPECT_FALSE(ReadJfifHeader(source));  // "rest" is too short

    std::string const exif = "Exif\0"s;  // one byte short
    InMemoryStream shortStream(exif.data(), exif.size());
    DataSource shortSource(shortStream, 0);
    EXPECT_FALSE(ReadExifHeader(shortSource));
}

}  // namespace
}  // namespace meta
