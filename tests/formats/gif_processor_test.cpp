#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "fixtures/gif_builder.h"
#include "fixtures/icc_builder.h"
#include "formats/container_read_test.h"
#include "varrow/api/metadata.h"
#include "varrow/formats/gif/gif_processor.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::GifBuilder;

constexpr char const* kPacket =
    "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>"
    "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
    "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'>"
    "<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>GIF title</rdf:li></rdf:Alt></dc:title>"
    "</rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end=\"r\"?>";

class GifTest : public test::ContainerReadTest<ReadSource::Gif, FieldGroup::Gif> {};

TEST_F(GifTest, ScreenDescriptor) {
    // 0xF7: a global table of 3 x 256 bytes, 8-bit colour resolution.
    ASSERT_TRUE(ReadBytes(GifBuilder(315, 124, 0xF7, "89a", 49, 49).Image().Build()));
    EXPECT_EQ(Display("ImageWidth"), "315");
    EXPECT_EQ(Display("ImageHeight"), "124");
    EXPECT_EQ(Display("ColorResolutionDepth"), "8");
    EXPECT_EQ(Display("BitsPerPixel"), "8");
    EXPECT_EQ(ReadItems(), 4u) << "version, background and aspect ratio are not items";
    Metadatum const width = metadata_.Find(FieldGroup::Gif, "ImageWidth");
    EXPECT_EQ(width.GetKey().GetFullName(), "Gif:Gif.ImageWidth");
    EXPECT_EQ(width.GetRawValue().GetType(), Value::Type::U16);
    EXPECT_EQ(width.GetPriority(), 1);
    EXPECT_EQ(metadata_.FindAny("ColorResolutionDepth").GetRawValue().GetType(), Value::Type::U8);
    EXPECT_EQ(metadata_.FindAny("BitsPerPixel").GetRawValue().GetType(), Value::Type::U8);

    // Resolution and depth are stored minus one; without a table nothing is
    // skipped after the descriptor.
    ASSERT_TRUE(ReadBytes(GifBuilder(65535, 10, 0x52, "87a").Image().Build()));
    EXPECT_EQ(Display("ImageWidth"), "65535");
    EXPECT_EQ(Display("ColorResolutionDepth"), "6");
    EXPECT_EQ(Display("BitsPerPixel"), "3");
}

TEST_F(GifTest, HeaderReaders) {
    GifProcessor::GifVersion version = GifProcessor::GifVersion::Unknown;
    std::istringstream good("GIF89a");
    EXPECT_TRUE(GifProcessor::ReadHeader(good, version));
    EXPECT_EQ(version, GifProcessor::GifVersion::Gif89a);
    for (char const* bad : {"GIF88a", "GIF89b", "gif89a", "GIF8"}) {
        std::istringstream in(bad);
        EXPECT_FALSE(GifProcessor::ReadHeader(in, version)) << bad;
    }
    EXPECT_EQ(ToString(GifProcessor::GifVersion::Gif87a), "87a");
    EXPECT_EQ(ToString(static_cast<GifProcessor::GifVersion>(9)), "Unknown");

    // A descriptor announcing a table that is not there fails.
    Bytes const bytes = GifBuilder(2, 3, 0x81).Build(false);
    std::istringstream screen(std::string(bytes.begin() + 6, bytes.end() - 1));
    std::uint16_t w = 0, h = 0;
    std::uint8_t resolution = 0, depth = 0;
    EXPECT_FALSE(GifProcessor::ReadLogicalScreenDescriptor(screen, w, h, resolution, depth));
    std::istringstream whole(std::string(bytes.begin() + 6, bytes.end()));
    ASSERT_TRUE(GifProcessor::ReadLogicalScreenDescriptor(whole, w, h, resolution, depth));
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 3);
    EXPECT_EQ(resolution, 1);
    EXPECT_EQ(depth, 2);
}

// Frames, comments, plain text and other applications' blocks are walked
// over without an item.
TEST_F(GifTest, OtherBlocksAddNothing) {
    Bytes const icc = fixtures::IccProfileBuilder().Tag("cprt", fixtures::IccText("GIF rights")).Build();
    ASSERT_TRUE(ReadBytes(GifBuilder()
                              .Loop(0)
                              .GraphicControl(50, true, 7)
                              .Image(0x81)  // with a local table
                              .Comment(std::string(600, 'c'))
                              .PlainText("shown text")
                              .Application("ICCRGBG1012", std::string(icc.begin(), icc.end()))
                              .Application("MIDISONGDm7", std::string(300, 'm'))
                              .Image()
                              .Build()));
    EXPECT_EQ(ReadItems(), 4u);
    EXPECT_FALSE(metadata_.FindAny("Comment"));
    EXPECT_FALSE(metadata_.FindAny("ProfileCopyright"));

    // The graphic control layout is fixed whatever its size byte claims.
    ASSERT_TRUE(
        ReadBytes(GifBuilder().Raw({0x21, 0xF9, 0xEE, 0x01, 0x32, 0x00, 0x05, 0x00}).Image().Build()));
    EXPECT_EQ(ReadItems(), 4u);
}

TEST_F(GifTest, EmbeddedXmp) {
    ASSERT_TRUE(ReadBytes(GifBuilder().Xmp(kPacket).Image().Build()));
    EXPECT_EQ(Display("Title"), "GIF title");
    EXPECT_EQ(Display("ImageWidth"), "1");
    // The packet may be anywhere among the blocks.
    ASSERT_TRUE(ReadBytes(GifBuilder().Image().Comment("c").Xmp(kPacket).Build()));
    EXPECT_EQ(Display("Title"), "GIF title");

    // A block the XMP reader finds nothing in does not end the walk.
    ASSERT_TRUE(ReadBytes(GifBuilder().Application("XMP DataXMP", "").Image().Build()));
    EXPECT_EQ(ReadItems(), 4u);
}

TEST(GifXmpPacketEnd, FindsEitherQuoteAndMode) {
    std::string_view const tail = "<?xpacket end='w'?>";
    EXPECT_EQ(detail::FindXmpPacketEnd("abc<?xpacket end='w'?>\x01\xff"), 3 + tail.size());
    EXPECT_EQ(detail::FindXmpPacketEnd("<?xpacket end=\"r\"?>"), tail.size());
    EXPECT_EQ(detail::FindXmpPacketEnd("<?xpacket end='x'?>"), std::string_view::npos);
    EXPECT_EQ(detail::FindXmpPacketEnd("<?xpacket end='w'"), std::string_view::npos);
    // A false start does not hide a real end further on.
    EXPECT_EQ(detail::FindXmpPacketEnd("<?xpacket end=w <?xpacket end='w'?>"), 16 + tail.size());
}

// The matcher must find what the pattern finds, on any text.
TEST(GifXmpPacketEnd, SameAsThePattern) {
    std::regex const pattern("<\\?xpacket end=['\"][wr]['\"]\\?>");
    std::vector<std::string> const pieces{"<?xpacket end=", "'", "\"", "w", "r", "?>", "x", "<", "?", ">"};
    std::mt19937 random(20261206);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> count(0, 12);
    for (int i = 0; i < 5000; ++i) {
        std::string text;
        for (int n = count(random); n > 0; --n) text += pieces[pick(random)];
        std::smatch match;
        std::size_t const expected = std::regex_search(text, match, pattern)
                                         ? static_cast<std::size_t>(match.position(0) + match.length(0))
                                         : std::string_view::npos;
        ASSERT_EQ(detail::FindXmpPacketEnd(text), expected) << text;
    }
}

TEST_F(GifTest, DamagedFiles) {
    // Without the trailer: Error, but the items found stay.
    Bytes const animated =
        GifBuilder(4, 4).GraphicControl(10).Image().GraphicControl(10).Image().Build(false);
    EXPECT_FALSE(ReadBytes(animated));
    EXPECT_EQ(Display("ImageWidth"), "4");
    EXPECT_EQ(ReadItems(), 4u);

    // Cut inside the image data.
    EXPECT_FALSE(ReadBytes(Bytes(animated.begin(), animated.end() - 3)));
    EXPECT_EQ(Display("ImageHeight"), "4");
    // Cut inside an XMP packet.
    Bytes const xmp = GifBuilder().Xmp(kPacket).Build();
    EXPECT_FALSE(ReadBytes(Bytes(xmp.begin(), xmp.begin() + 100)));
    EXPECT_FALSE(metadata_.FindAny("Title"));

    // A stray block introducer or an unknown extension label.
    EXPECT_FALSE(ReadBytes(GifBuilder().Image().Raw({0x38}).Build()));
    EXPECT_FALSE(ReadBytes(GifBuilder().Raw({0x21, 0x77, 0x00}).Build()));
    // A sub-block length running past the end.
    EXPECT_FALSE(ReadBytes(GifBuilder().Raw({0x21, 0xFE, 0xF0, 'a'}).Build(false)));

    // The signature and descriptor must be whole.
    Bytes wrongVersion = GifBuilder().Build();
    wrongVersion[4] = '8';
    EXPECT_FALSE(ReadBytes(wrongVersion));
    EXPECT_EQ(ReadItems(), 0u);
    Bytes const table = GifBuilder(1, 1, 0x87).Build();
    EXPECT_FALSE(ReadBytes(Bytes(table.begin(), table.begin() + 100)));
    EXPECT_EQ(ReadItems(), 0u);
}

TEST_F(GifTest, StreamInputAndStructure) {
    Bytes const bytes = GifBuilder(6, 7).Xmp(kPacket).Image().Build();
    std::istringstream stream(std::string(bytes.begin(), bytes.end()));
    Options options;
    options.recordStructure = true;
    ASSERT_TRUE(metadata_.Read(stream, ReadSource::Gif, options));
    EXPECT_EQ(Display("ImageHeight"), "7");
    EXPECT_EQ(Display("Title"), "GIF title");
    std::ostringstream dump;
    metadata_.DumpStructure(dump);
    EXPECT_EQ(dump.str().rfind("[0x00000000 - 0x", 0), 0u) << dump.str();
    EXPECT_NE(dump.str().find("] GIF document (4 metadatums, Unknown)\n   [0x"), std::string::npos)
        << dump.str();
    EXPECT_NE(dump.str().find("] XMP document ("), std::string::npos) << dump.str();
}

}  // namespace
}  // namespace meta
