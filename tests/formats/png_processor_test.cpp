#include <gtest/gtest.h>
#include <zlib.h>

#include <sstream>
#include <string>

#include "fixtures/byte_writer.h"
#include "fixtures/icc_builder.h"
#include "fixtures/image_builders.h"
#include "fixtures/iptc_builder.h"
#include "fixtures/photoshop_builder.h"
#include "fixtures/png_builder.h"
#include "varrow/api/metadata.h"
#include "varrow/formats/png/png_processor.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::ByteWriter;
using fixtures::PngBuilder;

std::string AsText(Bytes const& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// A real deflate stream, as writers make them.
Bytes Deflate(std::string const& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, reinterpret_cast<Bytef const*>(data.data()),
                        static_cast<uLong>(data.size()), 9),
              Z_OK);
    out.resize(size);
    return out;
}

Bytes ZtxtData(std::string const& keyword, Bytes const& zlib, std::uint8_t method = 0) {
    ByteWriter data(true);
    data.Text(keyword).U8(0).U8(method).Append(zlib);
    return data.Take();
}

Bytes TiffWithMake(std::string const& make) {
    return fixtures::TiffBuilder(true).Ascii(0x010F, make).Build();
}

class PngTest : public ::testing::Test {
  protected:
    bool Read(Bytes const& bytes, Options const& options = {}) {
        data_.assign(bytes.begin(), bytes.end());
        return metadata_.Read(data_.data(), data_.size(), ReadSource::Png, options);
    }
    std::string Display(char const* name) const { return metadata_.FindAny(name).GetDisplayValueAsString(); }
    bool Has(char const* name) const { return static_cast<bool>(metadata_.FindAny(name)); }

    std::string data_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(PngTest, HeaderChunkItems) {
    ASSERT_TRUE(Read(PngBuilder().Header(640, 480, 16, 6, 1).ImageData().End().Build()));
    EXPECT_EQ(Display("ImageWidth"), "640");
    EXPECT_EQ(Display("ImageHeight"), "480");
    EXPECT_EQ(Display("BitDepth"), "16");
    EXPECT_EQ(Display("ColorType"), "RGB with Alpha");
    EXPECT_EQ(Display("Compression"), "Deflate/Inflate");
    EXPECT_EQ(Display("Filter"), "Adaptive");
    EXPECT_EQ(Display("Interlace"), "Adam7 Interlace");
    Metadatum const width = metadata_.Find(FieldGroup::Png, "ImageWidth");
    ASSERT_TRUE(width);
    EXPECT_EQ(width.GetRawValue().GetType(), Value::Type::U32);
    EXPECT_EQ(metadata_.GetReadStore()->readSource, ReadSource::Png);
    EXPECT_EQ(metadata_.GetReadStore()->byteOrder, ByteOrder::LittleEndian)
        << "the read's byte order is restored";
}

TEST_F(PngTest, ChunkOrderAndSignature) {
    // Apple's CgBI chunk may precede the header; nothing else may.
    ASSERT_TRUE(Read(PngBuilder().Chunk("CgBI", Bytes{0x50, 0, 0x20, 6}).Header(3, 4).End().Build()));
    EXPECT_EQ(Display("ImageHeight"), "4");
    EXPECT_FALSE(Read(PngBuilder().Text("Software", "x").Header(3, 4).End().Build()));
    EXPECT_FALSE(Has("Software"));
    // CgBI belongs to PNG only.
    EXPECT_FALSE(
        Read(PngBuilder(PngBuilder::Kind::Mng).Chunk("CgBI", Bytes{}).MngHeader(1, 1).End().Build()));

    Bytes wrongSignature = PngBuilder().Header(1, 1).End().Build();
    wrongSignature[1] = 'J';
    EXPECT_FALSE(Read(wrongSignature));
    EXPECT_FALSE(Read(Bytes(wrongSignature.begin(), wrongSignature.begin() + 5)));
    EXPECT_FALSE(Read(Bytes{}));
}

TEST_F(PngTest, DamagedChunkStructure) {
    // Cut after IHDR: the items stay, the read fails.
    Bytes const whole = PngBuilder().Header(12, 34).Text("Software", "s").End().Build();
    EXPECT_FALSE(Read(Bytes(whole.begin(), whole.begin() + 8 + 25)));
    EXPECT_EQ(Display("ImageWidth"), "12");
    EXPECT_EQ(Display("ImageHeight"), "34");

    // A length with the top bit set ends the walk.
    Bytes topBit = PngBuilder().Header(1, 1).Chunk("tEXt", std::string("Title\0t", 7)).End().Build();
    topBit[8 + 25] = 0x80;
    EXPECT_FALSE(Read(topBit));
    EXPECT_FALSE(Has("Title"));

    // A length far beyond the file: the walk ends without reading or
    // allocating for it.
    Bytes huge = PngBuilder().Header(1, 1).Chunk("zTXt", std::string("k\0\0", 3)).End().Build();
    huge[8 + 25] = 0x7F;
    huge[8 + 25 + 1] = 0xFF;
    EXPECT_FALSE(Read(huge));
    EXPECT_EQ(Display("ImageWidth"), "1");

    // A header chunk too short for its fields is skipped, the walk goes on.
    ASSERT_TRUE(Read(PngBuilder().Chunk("IHDR", Bytes(12, 1)).Text("Title", "t").End().Build()));
    EXPECT_FALSE(Has("ImageWidth"));
    EXPECT_EQ(Display("Title"), "t");
}

TEST_F(PngTest, MngAndJngHeaders) {
    Bytes const mng = PngBuilder(PngBuilder::Kind::Mng)
                          .MngHeader(320, 200, 30)
                          .Text("Title", "movie")
                          .End()
                          .Text("Author", "after the end")
                          .Build();
    ASSERT_TRUE(Read(mng));
    Metadatum const width = metadata_.Find(FieldGroup::Mng, "ImageWidth");
    ASSERT_TRUE(width);
    EXPECT_EQ(width.GetDisplayValueAsString(), "320");
    EXPECT_EQ(metadata_.Find(FieldGroup::Mng, "ImageHeight").GetDisplayValueAsString(), "200");
    EXPECT_EQ(Display("TicksPerSecond"), "30");
    EXPECT_EQ(Display("Title"), "movie");
    EXPECT_FALSE(Has("Author")) << "MEND ends the walk";
    // IEND is an ordinary chunk in MNG.
    EXPECT_FALSE(Read(PngBuilder(PngBuilder::Kind::Mng).MngHeader(1, 1).Chunk("IEND", Bytes{}).Build()));

    ASSERT_TRUE(Read(PngBuilder(PngBuilder::Kind::Jng).JngHeader(64, 48, 14, 8).End().Build()));
    EXPECT_EQ(metadata_.Find(FieldGroup::Jng, "ImageWidth").GetDisplayValueAsString(), "64");
    EXPECT_EQ(Display("ColorType"), "Color Alpha");
    EXPECT_EQ(Display("Compression"), "Huffman-coded baseline JPEG");
}

TEST_F(PngTest, TextChunks) {
    Bytes const png = PngBuilder()
                          .Header(1, 1)
                          .Text("Software", "caf\xE9")  // ISO 8859-1
                          .Text("Creation Time", "06/05/08")
                          .CompressedText("Title", "packed")
                          .InternationalText("Author", "Tekij\xC3\xA4", "fi", "Tekij\xC3\xA4")
                          .InternationalText("Description", "inflated", "", "", true)
                          .Text("Thumb::URI", "file:///t.png")
                          .Text("Disclaimer", "")
                          .Text("modify-date", "2008-12-15T02:16:31-08:00")
                          .End()
                          .Build();
    ASSERT_TRUE(Read(png));
    EXPECT_EQ(Display("Software"), "caf\xC3\xA9");
    EXPECT_EQ(Display("CreationTime"), "06/05/08");
    EXPECT_EQ(Display("Title"), "packed");
    EXPECT_EQ(Display("Author-fi"), "Tekij\xC3\xA4");
    EXPECT_EQ(Display("Description"), "inflated");
    EXPECT_EQ(Display("ThumbURI"), "file:///t.png");
    EXPECT_FALSE(Has("Disclaimer")) << "an empty text adds nothing";
    EXPECT_EQ(Display("ModDate"), "2008:12:15 02:16:31-08:00");
    EXPECT_EQ(metadata_.FindAny("ModDate").GetRawValue().ToString(), "2008-12-15T02:16:31-08:00");
    EXPECT_EQ(metadata_.Find(FieldGroup::Png, "Software").GetKey().GetFullName(), "Png:Png.Software");
}

TEST_F(PngTest, CommentFromEveryTextChunk) {
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).InternationalText("Comment", "from iTXt").End().Build()));
    EXPECT_EQ(Display("Comment"), "from iTXt");
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).Text("Comment", "from tEXt").End().Build()));
    EXPECT_EQ(Display("Comment"), "from tEXt");
}

TEST_F(PngTest, DamagedTextChunksFailAlone) {
    ByteWriter itxtMethod1(true);
    itxtMethod1.Text("Comment").U8(0).U8(1).U8(1).U8(0).U8(0).Append(fixtures::ZlibStored("lost"));
    Bytes const truncatedZlib = Deflate("a text long enough to be cut in the middle of its stream");
    Bytes damagedZlib = Deflate("damaged");
    damagedZlib[0] = 0x79;  // header check fails
    Bytes const png =
        PngBuilder()
            .Header(1, 1)
            .Chunk("iTXt", itxtMethod1.Get())
            .Chunk("zTXt", ZtxtData("Title", Bytes(truncatedZlib.begin(), truncatedZlib.end() - 8)))
            .Chunk("zTXt", ZtxtData("Author", damagedZlib))
            .Chunk("zTXt", ZtxtData("Source", Deflate("m"), 1))
            .Chunk("tEXt", std::string("no terminator"))
            .Chunk("iTXt", std::string("Label\0\0\0", 8))
            .Chunk("zTXt", ZtxtData("Software", Deflate("real deflate")))
            .End()
            .Build();
    ASSERT_TRUE(Read(png));
    EXPECT_FALSE(Has("Comment"));
    EXPECT_FALSE(Has("Source"));
    EXPECT_FALSE(Has("Label"));
    EXPECT_EQ(Display("Software"), "real deflate");
    // What inflated before the damage is kept as binary data.
    Metadatum const partial = metadata_.FindAny("Title");
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial.GetDisplayValueAsString().rfind("(Binary data ", 0), 0u);
    EXPECT_EQ(partial.GetRawValue().GetType(), Value::Type::Binary);
    EXPECT_LT(partial.GetRawValue().Length(), 57u);
    EXPECT_EQ(Display("Author"), "(Binary data 0 bytes, use -b option to extract)");
}

TEST_F(PngTest, CompressionBombEndsInAResult) {
    // About 80 MB of zeros deflate to some 80 kB; the inflated size is
    // capped, so the chunk fails without the memory.
    z_stream z{};
    ASSERT_EQ(deflateInit(&z, 9), Z_OK);
    std::string const zeros(1 << 20, '\0');
    Bytes compressed(1 << 20);
    std::size_t used = 0;
    for (int i = 0; i < 80; ++i) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.data()));
        z.avail_in = static_cast<uInt>(zeros.size());
        int const flush = i == 79 ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = compressed.data() + used;
            z.avail_out = static_cast<uInt>(compressed.size() - used);
            deflate(&z, flush);
            used = compressed.size() - z.avail_out;
        } while (z.avail_in != 0 || (flush == Z_FINISH && z.avail_out == 0));
    }
    deflateEnd(&z);
    compressed.resize(used);
    ASSERT_LT(used, std::size_t{1} << 20);

    ASSERT_TRUE(Read(PngBuilder()
                         .Header(1, 1)
                         .Chunk("zTXt", ZtxtData("Comment", compressed))
                         .Text("Title", "after the bomb")
                         .End()
                         .Build()));
    EXPECT_FALSE(Has("Comment"));
    EXPECT_EQ(Display("Title"), "after the bomb");
}

TEST_F(PngTest, ExifChunk) {
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).Exif(TiffWithMake("Maker")).End().Build()));
    EXPECT_EQ(Display("Make"), "Maker");

    // The JPEG identifier in front of the TIFF header is tolerated.
    Bytes withId{'E', 'x', 'i', 'f', 0, 0};
    Bytes const tiff = TiffWithMake("Prefixed");
    withId.insert(withId.end(), tiff.begin(), tiff.end());
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).Exif(withId).End().Build()));
    EXPECT_EQ(Display("Make"), "Prefixed");

    // Damaged EXIF is that chunk's problem only.
    ASSERT_TRUE(
        Read(PngBuilder().Header(1, 1).Exif(Bytes{'M', 'M', 0, 42, 0xFF}).Text("Title", "t").End().Build()));
    EXPECT_EQ(Display("Title"), "t");
}

TEST_F(PngTest, RawProfiles) {
    Bytes const tiff = TiffWithMake("RawMaker");
    std::string const exif = std::string("Exif\0\0", 6) + AsText(tiff);
    std::string const xmp =
        "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF "
        "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
        "<rdf:Description rdf:about='' xmlns:xmp='http://ns.adobe.com/xap/1.0/' xmp:CreatorTool='Profiler'/>"
        "</rdf:RDF></x:xmpmeta>";
    Bytes const iptc = fixtures::IptcBuilder().Dataset(2, 0, Bytes{0, 4}).Dataset(2, 5, "Headline").Take();
    Bytes const resources = fixtures::PhotoshopResourceBuilder()
                                .Resource(0x03ED, fixtures::PhotoshopResolutionInfo(72 << 16, 1, 72 << 16, 1))
                                .Build();
    std::string const ipac = fixtures::RawProfileText("ipac", std::string(33, 'x'));
    Bytes const png = PngBuilder()
                          .Header(1, 1)
                          .CompressedText("Raw profile type exif", fixtures::RawProfileText("exif", exif))
                          .Text("Raw profile type xmp", fixtures::RawProfileText("xmp", xmp))
                          .Text("Raw profile type iptc", fixtures::RawProfileText("iptc", AsText(iptc)))
                          .Text("Raw profile type 8bim", fixtures::RawProfileText("8bim", AsText(resources)))
                          .Text("Raw profile type ipac", ipac)
                          .End()
                          .Build();
    ASSERT_TRUE(Read(png));
    EXPECT_EQ(Display("Make"), "RawMaker");
    EXPECT_EQ(Display("CreatorTool"), "Profiler");
    EXPECT_EQ(Display("ObjectName"), "Headline");
    EXPECT_EQ(Display("XResolution"), "72");
    EXPECT_EQ(Display("Photoshop_Profile"),
              "(Binary data " + std::to_string(resources.size()) + " bytes, use -b option to extract)");
    // A profile of a kind nobody reads is kept as stored.
    EXPECT_EQ(Display("RawProfileTypeIpac"),
              "(Binary data " + std::to_string(ipac.size()) + " bytes, use -b option to extract)");
}

TEST_F(PngTest, RawProfileRouting) {
    // A TIFF header without the APP1 identifier, under the APP1 keyword.
    Bytes const png1 =
        PngBuilder()
            .Header(1, 1)
            .Text("Raw profile type APP1", fixtures::RawProfileText("app1", AsText(TiffWithMake("Bare"))))
            .End()
            .Build();
    ASSERT_TRUE(Read(png1));
    EXPECT_EQ(Display("Make"), "Bare");

    // Bytes with no known signature under the exif keyword, a damaged
    // header and non-hexadecimal data: nothing is read, the walk goes on.
    std::string badHex = fixtures::RawProfileText("exif", "abc");
    badHex[badHex.size() - 2] = 'g';
    Bytes const png2 = PngBuilder()
                           .Header(1, 1)
                           .Text("Raw profile type exif", fixtures::RawProfileText("exif", "not exif data"))
                           .Text("Raw profile type exif", "no header line")
                           .Text("Raw profile type APP1", badHex)
                           .Text("Title", "still read")
                           .End()
                           .Build();
    ASSERT_TRUE(Read(png2));
    EXPECT_FALSE(Has("Make"));
    EXPECT_EQ(Display("Title"), "still read");
}

TEST_F(PngTest, IccProfileChunk) {
    Bytes const profile = fixtures::IccProfileBuilder().Tag("desc", fixtures::IccDesc("Display P3")).Build();
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).IccProfile("icc\xE9", AsText(profile)).End().Build()));
    EXPECT_EQ(Display("ProfileName"), "icc\xC3\xA9");
    EXPECT_EQ(Display("ProfileDescription"), "Display P3");

    // Compression method 1 is unknown: the chunk fails as a whole.
    ByteWriter method1(true);
    method1.Text("p").U8(0).U8(1).Append(fixtures::ZlibStored(AsText(profile)));
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).Chunk("iCCP", method1.Get()).End().Build()));
    EXPECT_FALSE(Has("ProfileName"));
    // A profile that does not inflate still has its name.
    ByteWriter damaged(true);
    damaged.Text("Broken").U8(0).U8(0).Append(Bytes{0x78, 0x9C, 0xFF, 0xFF});
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).Chunk("iCCP", damaged.Get()).End().Build()));
    EXPECT_EQ(Display("ProfileName"), "Broken");
    EXPECT_EQ(Display("ICC_Profile"), "(Binary data 0 bytes, use -b option to extract)");
    EXPECT_FALSE(Has("ProfileDescription"));
}

TEST_F(PngTest, XmpInInternationalText) {
    std::string const xmp =
        "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF "
        "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
        "<rdf:Description rdf:about='' xmlns:xmp='http://ns.adobe.com/xap/1.0/' xmp:CreatorTool='Writer'/>"
        "</rdf:RDF></x:xmpmeta>";
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).InternationalText("XML:com.adobe.xmp", xmp).End().Build()));
    EXPECT_EQ(Display("CreatorTool"), "Writer");
    ASSERT_TRUE(Read(
        PngBuilder().Header(1, 1).InternationalText("XML:com.adobe.xmp", xmp, "", "", true).End().Build()));
    EXPECT_EQ(Display("CreatorTool"), "Writer");
}

TEST_F(PngTest, FixedLayoutChunks) {
    ByteWriter phys(true), chrm(true), time(true), offs(true), vpag(true);
    phys.U32(2835).U32(2835).U8(1);
    chrm.U32(31270).U32(32900).U32(64000).U32(33000).U32(30000).U32(60000).U32(15000).U32(6000);
    time.U16(2020).U8(5).U8(20).U8(19).U8(37).U8(26);
    offs.S32(25).S32(-3).U8(0);
    vpag.U32(230).U32(55).U8(0);
    Bytes const png = PngBuilder()
                          .Header(1, 1, 8, 3)
                          .Chunk("gAMA", ByteWriter(true).U32(45455).Get())
                          .Chunk("sRGB", Bytes{1})
                          .Chunk("pHYs", phys.Get())
                          .Chunk("cHRM", chrm.Get())
                          .Chunk("tIME", time.Get())
                          .Chunk("oFFs", offs.Get())
                          .Chunk("vpAg", vpag.Get())
                          .Chunk("sBIT", Bytes{5, 6, 5})
                          .Chunk("PLTE", Bytes(768, 7))
                          .Chunk("bKGD", Bytes{4})
                          .Chunk("hIST", Bytes{0, 9})
                          .Chunk("sTER", Bytes{1})
                          .Chunk("sCAL", std::string("\x01"
                                                     "3.5e-04\0"
                                                     "2.0",
                                                     12))
                          .Chunk("sPLT", Bytes(16, 1))
                          .End()
                          .Build();
    ASSERT_TRUE(Read(png));
    EXPECT_EQ(Display("Gamma"), "2.2");
    EXPECT_EQ(Display("SRGBRendering"), "Relative Colorimetric");
    EXPECT_EQ(Display("PixelsPerUnitX"), "2835");
    EXPECT_EQ(Display("PixelUnits"), "meters");
    EXPECT_EQ(Display("WhitePointX"), "0.3127");
    EXPECT_EQ(Display("BlueY"), "0.06");
    EXPECT_EQ(Display("ModifyDate"), "2020:05:20 19:37:26");
    EXPECT_EQ(Display("ImageOffset"), "25, -3 (pixels)");
    EXPECT_EQ(Display("VirtualImageWidth"), "230");
    EXPECT_EQ(Display("VirtualImageHeight"), "55");
    EXPECT_EQ(Display("VirtualPageUnits"), "0");
    EXPECT_EQ(Display("SignificantBits"), "5 6 5");
    EXPECT_EQ(Display("Palette"), "(Binary data 768 bytes, use -b option to extract)");
    EXPECT_EQ(metadata_.FindAny("Palette").GetRawValue().Length(), 768u);
    EXPECT_EQ(Display("BackgroundColor"), "4");
    EXPECT_EQ(Display("PaletteHistogram"), "9");
    EXPECT_EQ(Display("StereoMode"), "Diverging-fuse Layout");
    EXPECT_EQ(Display("SubjectUnits"), "meters");
    EXPECT_EQ(Display("SubjectPixelWidth"), "3.5e-04");
    EXPECT_EQ(Display("SubjectPixelHeight"), "2.0");
    EXPECT_EQ(Display("SuggestedPalette"), "(Binary data 16 bytes, use -b option to extract)");
}

TEST_F(PngTest, ColourDependentChunks) {
    ByteWriter rgb(true);
    rgb.U16(224).U16(224).U16(128);
    ASSERT_TRUE(Read(PngBuilder()
                         .Header(1, 1, 8, 2)
                         .Chunk("bKGD", rgb.Get())
                         .Chunk("tRNS", rgb.Get())
                         .Chunk("PLTE", Bytes{156, 83, 255})
                         .End()
                         .Build()));
    EXPECT_EQ(Display("BackgroundColor"), "224 224 128");
    EXPECT_EQ(Display("Transparency"), "224 224 128");
    EXPECT_EQ(Display("Palette"), "156 83 255");

    // Palette images store one alpha byte per entry.
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1, 8, 3).Chunk("tRNS", Bytes(30, 0)).End().Build()));
    EXPECT_EQ(Display("Transparency"), "(Binary data 30 bytes, use -b option to extract)");
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1, 8, 0).Chunk("tRNS", Bytes{0, 0}).End().Build()));
    EXPECT_EQ(Display("Transparency"), "0");

    // Chunks too short for their layout add nothing.
    ASSERT_TRUE(Read(PngBuilder()
                         .Header(1, 1)
                         .Chunk("gAMA", Bytes{1, 2})
                         .Chunk("tIME", Bytes{7})
                         .Chunk("pHYs", Bytes{0, 0, 0, 1})
                         .Chunk("cHRM", Bytes(31, 1))
                         .End()
                         .Build()));
    EXPECT_FALSE(Has("Gamma"));
    EXPECT_FALSE(Has("ModifyDate"));
    EXPECT_TRUE(Has("PixelsPerUnitX"));
    EXPECT_FALSE(Has("PixelsPerUnitY"));
    EXPECT_TRUE(Has("GreenY"));
    EXPECT_FALSE(Has("BlueY"));
}

TEST_F(PngTest, ChunkEntryPoints) {
    Options const options;
    PngProcessor processor(options);
    auto store = std::make_shared<ReadStore>();
    Metadata metadata(Initialiser::Mode::HostInitialisesXmp);

    // Types that are not 4 bytes, and unknown types, are accepted unread.
    std::string const bytes = "anything";
    InMemoryStream stream(bytes.data(), bytes.size());
    DataSource source(stream, 0);
    EXPECT_EQ(processor.ReadChunk("IHD", 0, 8, source, store, metadata, FieldGroup::Unknown),
              ReadResult::Success);
    EXPECT_EQ(processor.ReadChunk("abCD", 0, 8, source, store, metadata, FieldGroup::Unknown),
              ReadResult::Success);
    // A handled chunk beyond the data cannot be provisioned.
    EXPECT_EQ(processor.ReadChunk("tEXt", 4, 100, source, store, metadata, FieldGroup::Unknown),
              ReadResult::Error);
    EXPECT_EQ(metadata.Size(), 0u);

    std::istringstream in(AsText(PngBuilder(PngBuilder::Kind::Jng).Build()));
    FieldGroup group = FieldGroup::Unknown;
    std::string header, end;
    ASSERT_TRUE(PngProcessor::ReadHeader(in, group, header, end));
    EXPECT_EQ(group, FieldGroup::Jng);
    EXPECT_EQ(header, "JHDR");
    EXPECT_EQ(end, "IEND");
    std::istringstream mng(AsText(PngBuilder(PngBuilder::Kind::Mng).Build()));
    ASSERT_TRUE(PngProcessor::ReadHeader(mng, group, header, end));
    EXPECT_EQ(end, "MEND");
    std::istringstream bad("\x89PNG\r\n\x1a");
    EXPECT_FALSE(PngProcessor::ReadHeader(bad, group, header, end));
}

TEST_F(PngTest, RecordsItsBlock) {
    Options options;
    options.recordStructure = true;
    ASSERT_TRUE(Read(PngBuilder().Header(2, 2).End().Build(), options));
    std::ostringstream out;
    metadata_.DumpStructure(out);
    EXPECT_NE(out.str().find("] PNG document ("), std::string::npos) << out.str();
}

}  // namespace
}  // namespace meta
