#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "fixtures/icc_builder.h"
#include "fixtures/image_builders.h"
#include "fixtures/webp_builder.h"
#include "formats/container_read_test.h"
#include "varrow/api/metadata.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::WebpBuilder;

constexpr char const* kPacket =
    "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>"
    "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
    "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/'>"
    "<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>Riff title</rdf:li></rdf:Alt></dc:title>"
    "</rdf:Description></rdf:RDF></x:xmpmeta><?xpacket end='w'?>";

class WebpTest : public test::ContainerReadTest<ReadSource::Webp, FieldGroup::Webp> {};

TEST_F(WebpTest, LossyFrameHeader) {
    ASSERT_TRUE(ReadBytes(WebpBuilder().Vp8(400, 301, 2, 1, 3).Build()));
    EXPECT_EQ(Display("VP8Version"), "2 (bilinear reconstruction, no loop)");
    EXPECT_EQ(Display("ImageWidth"), "400");
    EXPECT_EQ(Display("ImageHeight"), "301");
    EXPECT_EQ(Display("HorizontalScale"), "1");
    EXPECT_EQ(Display("VerticalScale"), "3");
    Metadatum const width = metadata_.Find(FieldGroup::Webp, "ImageWidth");
    EXPECT_EQ(width.GetKey().GetFullName(), "Riff:Webp.ImageWidth");
    EXPECT_EQ(width.GetRawValue().GetType(), Value::Type::U16);

    // Versions past 3 have no name.
    ASSERT_TRUE(ReadBytes(WebpBuilder().Vp8(16383, 1, 5).Build()));
    EXPECT_EQ(Display("VP8Version"), "Unknown (5)");
    EXPECT_EQ(Display("ImageWidth"), "16383");
}

TEST_F(WebpTest, LosslessFrameHeaderStoresSizesMinusOne) {
    ASSERT_TRUE(ReadBytes(WebpBuilder().Vp8L(386, 395).Build()));
    EXPECT_EQ(Display("ImageWidth"), "386");
    EXPECT_EQ(Display("ImageHeight"), "395");
    EXPECT_FALSE(Has("VP8Version"));
    ASSERT_TRUE(ReadBytes(WebpBuilder().Vp8L(16384, 1).Build()));
    EXPECT_EQ(ReadItems(), 2u);
    EXPECT_EQ(Display("ImageWidth"), "16384");
    EXPECT_EQ(Display("ImageHeight"), "1");
}

TEST_F(WebpTest, ExtendedHeader) {
    // Canvas sizes of 24 bits are kept as 16-bit numbers.
    ASSERT_TRUE(ReadBytes(WebpBuilder().Vp8X(0x1C, 65536 + 300, 3).Build()));
    Metadatum const width = metadata_.Find(FieldGroup::Webp, "ImageWidth");
    EXPECT_EQ(width.GetRawValue().GetType(), Value::Type::U16);
    EXPECT_EQ(width.GetDisplayValueAsString(), "300");
    EXPECT_EQ(Display("ImageHeight"), "3");
    EXPECT_EQ(ReadItems(), 2u) << "the feature flags are not an item";

    // A frame header after it adds its own items; neither the collection nor
    // the walk turns them away, and the later size is the one found.
    Options stop;
    stop.stopOnError = true;
    ASSERT_TRUE(ReadBytes(WebpBuilder().Vp8X(0, 640, 480).Vp8(320, 240, 1).Build(), stop));
    EXPECT_EQ(Display("VP8Version"), "1 (bilinear reconstruction, simple loop)");
    std::vector<std::string> widths;
    for (Metadatum const& item : metadata_.GetAllValues()) {
        if (item.GetName() == "ImageWidth") widths.push_back(item.GetDisplayValueAsString());
    }
    EXPECT_EQ(widths, (std::vector<std::string>{"640", "320"}));
    EXPECT_EQ(Display("ImageWidth"), "320");
}

TEST_F(WebpTest, OnlyFrameHeadersBecomeItems) {
    std::uint8_t const colour[4] = {10, 20, 30, 255};
    Bytes const icc = fixtures::IccProfileBuilder().Tag("cprt", fixtures::IccText("Riff rights")).Build();
    ASSERT_TRUE(ReadBytes(WebpBuilder()
                              .Vp8X(0x32, 320, 240)
                              .Iccp(std::string(icc.begin(), icc.end()))
                              .Anim(colour, 0)
                              .Anmf(1000)
                              .Alph(0x1D)
                              .Build()));
    EXPECT_EQ(ReadItems(), 2u);
    EXPECT_FALSE(metadata_.FindAny("ProfileCopyright")) << "ICCP is not read";
}

TEST_F(WebpTest, EmbeddedBlocksGoToTheirReaders) {
    Bytes const tiff = fixtures::TiffBuilder().Ascii(0x013B, "me").Build();
    ASSERT_TRUE(ReadBytes(WebpBuilder().Vp8X(0x0C, 1, 1).Vp8L(1, 1).Exif(tiff).Xmp(kPacket).Build()));
    EXPECT_EQ(Display("Artist"), "me");
    EXPECT_EQ(Display("Title"), "Riff title");
    EXPECT_EQ(metadata_.FindAny("Artist").GetKey().GetGroup(), FieldGroup::Ifd0);

    // The chunk data is the TIFF structure itself: an APP1 identifier in
    // front of it is not a TIFF header, and the walk goes on after it.
    ASSERT_TRUE(ReadBytes(WebpBuilder().Exif(tiff, true).Vp8L(4, 4).Build()));
    EXPECT_FALSE(Has("Artist"));
    EXPECT_FALSE(metadata_.FindAny("Artist"));
    EXPECT_EQ(Display("ImageWidth"), "4");
}

TEST_F(WebpTest, ChunkWalk) {
    // An odd chunk is padded; unknown chunks are passed over.
    ASSERT_TRUE(ReadBytes(WebpBuilder().Chunk("JUNK", Bytes{1, 2, 3}).Chunk("ABCD", {}).Vp8L(7, 8).Build()));
    // The pad byte is skipped even when it looks like a chunk start.
    ASSERT_TRUE(ReadBytes(WebpBuilder().Chunk("JUNK", Bytes{'V', 'P', '8'}).Vp8L(7, 8).Build()));
    EXPECT_EQ(Display("ImageWidth"), "7");
    EXPECT_EQ(Display("ImageWidth"), "7");
    EXPECT_EQ(Display("ImageHeight"), "8");

    // Not WebP at all.
    EXPECT_FALSE(ReadBytes(WebpBuilder().Vp8L(7, 8).Build("AVI ")));
    EXPECT_EQ(ReadItems(), 0u);
    Bytes notRiff = WebpBuilder().Vp8L(7, 8).Build();
    notRiff[0] = 'X';
    EXPECT_FALSE(ReadBytes(notRiff));
    EXPECT_FALSE(ReadBytes(Bytes(notRiff.begin(), notRiff.begin() + 11)));
}

TEST_F(WebpTest, DamagedChunks) {
    // A file cut inside a chunk has been read to its end.
    Bytes const whole = WebpBuilder().Vp8L(5, 6).Vp8(640, 480).Build();
    ASSERT_TRUE(ReadBytes(Bytes(whole.begin(), whole.end() - 4)));
    EXPECT_EQ(Display("ImageWidth"), "5");
    EXPECT_FALSE(Has("VP8Version"));

    // A chunk claiming 4 GiB ends the walk without reading past the data.
    ASSERT_TRUE(ReadBytes(WebpBuilder().Vp8L(5, 6).Chunk("EXIF", Bytes(8, 0)).Build()));
    std::string huge = data_;
    huge.replace(huge.size() - 12, 4, "\xFF\xFF\xFF\xFF");
    EXPECT_TRUE(metadata_.Read(huge.data(), huge.size(), ReadSource::Webp, Options{}));

    // A bad start code fails that chunk; the walk goes on unless told to stop.
    Bytes bad = WebpBuilder().Vp8(10, 10).Vp8L(3, 4).Build();
    bad[12 + 8 + 3] = 0;
    EXPECT_TRUE(ReadBytes(bad));
    EXPECT_EQ(Display("ImageWidth"), "3");
    Options stop;
    stop.stopOnError = true;
    EXPECT_FALSE(ReadBytes(bad, stop));
    EXPECT_FALSE(Has("ImageWidth"));
    // So does a frame chunk too short for its header.
    EXPECT_FALSE(ReadBytes(WebpBuilder().Chunk("VP8X", Bytes(4, 0)).Build(), stop));
}

TEST_F(WebpTest, StreamInputAndStructure) {
    Bytes const tiff = fixtures::TiffBuilder().Ascii(0x013B, "me").Build();
    Bytes const bytes = WebpBuilder().Vp8L(2, 3).Exif(tiff).Build();
    std::istringstream stream(std::string(bytes.begin(), bytes.end()));
    Options options;
    options.recordStructure = true;
    ASSERT_TRUE(metadata_.Read(stream, ReadSource::Webp, options));
    EXPECT_EQ(Display("ImageHeight"), "3");
    EXPECT_EQ(Display("Artist"), "me");
    std::ostringstream dump;
    metadata_.DumpStructure(dump);
    // The TIFF block starts after the file header (12), the VP8L chunk (8 + 6)
    // and the EXIF chunk header (8).
    EXPECT_EQ(dump.str(),
              "[0x00000000 - 0x0000003c] WebP document (2 metadatums, Unknown)\n"
              "   [0x00000022 - 0x0000003c] TIFF document (1 metadatums, Unknown)\n");
}

}  // namespace
}  // namespace meta
