#include <gtest/gtest.h>
#include <zlib.h>

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

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

// A packet whose one property names `tool`.
std::string Xmp(std::string const& tool) {
    return "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF "
           "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
           "<rdf:Description rdf:about='' xmlns:xmp='http://ns.adobe.com/xap/1.0/' xmp:CreatorTool='" +
           tool + "'/></rdf:RDF></x:xmpmeta>";
}

class PngTest : public ::testing::Test {
  protected:
    bool Read(Bytes const& bytes, Options const& options = {}) {
        data_.assign(bytes.begin(), bytes.end());
        return metadata_.Read(data_.data(), data_.size(), ReadSource::Png, options);
    }
    std::string Display(char const* name) const { return metadata_.FindAny(name).GetDisplayValueAsString(); }
    bool Has(char const* name) const { return static_cast<bool>(metadata_.FindAny(name)); }

    // Items of the read itself, without the composites computed after it.
    std::size_t ReadItems() const {
        std::size_t n = 0;
        for (Metadatum const& item : metadata_.GetAllValues())
            n += item.GetNamespace() != FieldNamespace::Generated;
        return n;
    }

    std::string data_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

// The only items a PNG gives directly: its size, from IHDR.
TEST_F(PngTest, HeaderChunkItems) {
    ASSERT_TRUE(Read(PngBuilder().Header(640, 480, 16, 6, 1).ImageData().End().Build()));
    Metadatum const width = metadata_.Find(FieldGroup::Png, "ImageWidth");
    ASSERT_TRUE(width);
    EXPECT_EQ(width.GetDisplayValueAsString(), "640");
    EXPECT_EQ(width.GetRawValue().GetType(), Value::Type::U32);
    EXPECT_EQ(width.GetKey().GetFullName(), "Png:Png.ImageWidth");
    EXPECT_EQ(metadata_.Find(FieldGroup::Png, "ImageHeight").GetDisplayValueAsString(), "480");
    EXPECT_EQ(ReadItems(), 2u) << "bit depth, colour type and the other header bytes are not items";
    EXPECT_EQ(metadata_.GetReadStore()->readSource, ReadSource::Png);
    EXPECT_EQ(metadata_.GetReadStore()->byteOrder, ByteOrder::LittleEndian)
        << "the read's byte order is restored";

    // Sizes use all 32 bits.
    ASSERT_TRUE(Read(PngBuilder().Header(0xFFFFFFFFu, 0x80000000u).End().Build()));
    EXPECT_EQ(Display("ImageWidth"), "4294967295");
    EXPECT_EQ(Display("ImageHeight"), "2147483648");
}

TEST_F(PngTest, ChunkOrderAndSignature) {
    // Apple's CgBI chunk may precede the header; nothing else may.
    ASSERT_TRUE(Read(PngBuilder().Chunk("CgBI", Bytes{0x50, 0, 0x20, 6}).Header(3, 4).End().Build()));
    EXPECT_EQ(Display("ImageHeight"), "4");
    EXPECT_FALSE(Read(PngBuilder().Text("Comment", "x").Header(3, 4).End().Build()));
    EXPECT_FALSE(Has("ImageWidth"));
    EXPECT_FALSE(Read(PngBuilder().InternationalText("Comment", "x").Header(3, 4).End().Build()));
    EXPECT_FALSE(Has("Comment"));
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
    Bytes const whole = PngBuilder().Header(12, 34).InternationalText("Comment", "c").End().Build();
    EXPECT_FALSE(Read(Bytes(whole.begin(), whole.begin() + 8 + 25)));
    EXPECT_EQ(Display("ImageWidth"), "12");
    EXPECT_EQ(Display("ImageHeight"), "34");
    // Cut inside a chunk head.
    EXPECT_FALSE(Read(Bytes(whole.begin(), whole.begin() + 8 + 25 + 6)));

    // A length with the top bit set ends the walk.
    Bytes topBit = PngBuilder().Header(1, 1).InternationalText("Comment", "c").End().Build();
    topBit[8 + 25] = 0x80;
    EXPECT_FALSE(Read(topBit));
    EXPECT_FALSE(Has("Comment"));

    // A length far beyond the file: the walk ends without reading or
    // allocating for it.
    Bytes huge = PngBuilder().Header(1, 1).Chunk("zTXt", std::string("Comment\0\0", 9)).End().Build();
    huge[8 + 25] = 0x7F;
    huge[8 + 25 + 1] = 0xFF;
    EXPECT_FALSE(Read(huge));
    EXPECT_EQ(Display("ImageWidth"), "1");

    // A header chunk too short for its fields fails alone; the walk goes on.
    ASSERT_TRUE(
        Read(PngBuilder().Chunk("IHDR", Bytes(12, 1)).InternationalText("Comment", "t").End().Build()));
    EXPECT_FALSE(Has("ImageWidth"));
    EXPECT_EQ(Display("Comment"), "t");
}

// MNG and JNG share the walk; only an IHDR chunk gives size items.
TEST_F(PngTest, MngAndJng) {
    Bytes const mng = PngBuilder(PngBuilder::Kind::Mng)
                          .MngHeader(320, 200, 30)
                          .InternationalText("Comment", "movie")
                          .Header(16, 8)  // an embedded PNG image
                          .ImageData()
                          .Chunk("IEND", Bytes{})
                          .End()
                          .InternationalText("Comment", "after the end")
                          .Build();
    ASSERT_TRUE(Read(mng));
    EXPECT_FALSE(metadata_.Find(FieldGroup::Mng, "ImageWidth"));
    EXPECT_EQ(metadata_.Find(FieldGroup::Png, "ImageWidth").GetDisplayValueAsString(), "16");
    EXPECT_EQ(Display("Comment"), "movie") << "MEND ends the walk";
    EXPECT_EQ(ReadItems(), 3u);
    // IEND is an ordinary chunk in MNG: without MEND the file is cut short.
    EXPECT_FALSE(Read(PngBuilder(PngBuilder::Kind::Mng).MngHeader(1, 1).Chunk("IEND", Bytes{}).Build()));

    ASSERT_TRUE(Read(PngBuilder(PngBuilder::Kind::Jng)
                         .JngHeader(64, 48, 14, 8)
                         .InternationalText("Comment", "jng")
                         .End()
                         .Build()));
    EXPECT_FALSE(Has("ImageWidth"));
    EXPECT_EQ(Display("Comment"), "jng");
    EXPECT_EQ(ReadItems(), 1u);
    // JNG has its own header chunk: IHDR first is not one.
    EXPECT_FALSE(Read(PngBuilder(PngBuilder::Kind::Jng).Header(1, 1).End().Build()));
}

// tEXt and the fixed-layout chunks are passed over without an item.
TEST_F(PngTest, UnreadChunksAddNothing) {
    ByteWriter phys(true);
    phys.U32(2835).U32(2835).U8(1);
    Bytes const png = PngBuilder()
                          .Header(1, 1, 8, 3)
                          .Text("Comment", "in tEXt")
                          .Text("Software", "writer")
                          .Chunk("gAMA", ByteWriter(true).U32(45455).Get())
                          .Chunk("sRGB", Bytes{1})
                          .Chunk("pHYs", phys.Get())
                          .Chunk("cHRM", Bytes(32, 1))
                          .Chunk("tIME", Bytes{7, 228, 5, 20, 19, 37, 26})
                          .Chunk("PLTE", Bytes(768, 7))
                          .Chunk("tRNS", Bytes(30, 0))
                          .Chunk("bKGD", Bytes{4})
                          .Chunk("sBIT", Bytes{5, 6, 5})
                          .Chunk("oFFs", Bytes(9, 0))
                          .Chunk("vpAg", Bytes(9, 0))
                          .Chunk("hIST", Bytes{0, 9})
                          .ImageData()
                          .End()
                          .Build();
    ASSERT_TRUE(Read(png));
    EXPECT_EQ(ReadItems(), 2u);
    EXPECT_FALSE(Has("Comment"));
}

TEST_F(PngTest, TextKeywords) {
    Bytes const png = PngBuilder()
                          .Header(1, 1)
                          .InternationalText("Comment", "Tekij\xC3\xA4", "fi", "Kommentti")
                          .InternationalText("Title", "not read")
                          .CompressedText("Author", "not read")
                          .InternationalText("Comments", "not read")
                          .InternationalText("Description", "not read", "", "", true)
                          .End()
                          .Build();
    ASSERT_TRUE(Read(png));
    EXPECT_EQ(Display("Comment"), "Tekij\xC3\xA4") << "the language does not change the name";
    EXPECT_EQ(metadata_.Find(FieldGroup::Png, "Comment").GetKey().GetFullName(), "Png:Png.Comment");
    EXPECT_EQ(ReadItems(), 3u);

    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).CompressedText("Comment", "from zTXt").End().Build()));
    EXPECT_EQ(Display("Comment"), "from zTXt");
    ASSERT_TRUE(
        Read(PngBuilder().Header(1, 1).InternationalText("Comment", "inflated", "", "", true).End().Build()));
    EXPECT_EQ(Display("Comment"), "inflated");
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).InternationalText("Comment", "").End().Build()));
    EXPECT_FALSE(Has("Comment")) << "an empty text adds nothing";

    // The keyword test comes first: lengths outside 7 to 21 are never read.
    Options const options;
    PngProcessor processor(options);
    auto store = std::make_shared<ReadStore>();
    Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
    std::string const text = "text";
    InMemoryStream stream(text.data(), text.size());
    DataSource source(stream, 0);
    ASSERT_TRUE(source.ProvisionRemainingData());
    EXPECT_EQ(processor.ReadTextChunk("Commen", source, store, metadata), ReadResult::NotHandled);
    EXPECT_EQ(processor.ReadTextChunk("Raw profile type exif2", source, store, metadata),
              ReadResult::NotHandled);
    EXPECT_EQ(processor.ReadTextChunk("Raw profile type 8bim", source, store, metadata),
              ReadResult::NotHandled);
    EXPECT_EQ(processor.ReadTextChunk("Comment", source, store, metadata), ReadResult::Success);
    EXPECT_EQ(metadata.FindAny("Comment").GetDisplayValueAsString(), "text");
}

// Every chunk handler's failure stays with its chunk.
TEST_F(PngTest, DamagedTextChunksFailAlone) {
    Options const options;
    PngProcessor processor(options);
    auto store = std::make_shared<ReadStore>();
    Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
    auto chunkResult = [&](std::string_view type, Bytes const& data) {
        std::string const bytes(data.begin(), data.end());
        InMemoryStream stream(bytes.data(), bytes.size());
        DataSource source(stream, 0);
        return processor.ReadChunk(type, 0, static_cast<long long>(bytes.size()), source, store, metadata,
                                   FieldGroup::Unknown);
    };

    ByteWriter itxtMethod1(true);
    itxtMethod1.Text("Comment").U8(0).U8(1).U8(1).U8(0).U8(0).Append(fixtures::ZlibStored("lost"));
    EXPECT_EQ(chunkResult("iTXt", itxtMethod1.Get()), ReadResult::Error);
    // Without the compression flag the method byte is not looked at.
    ByteWriter itxtPlain(true);
    itxtPlain.Text("Comment").U8(0).U8(0).U8(1).U8(0).U8(0).Text("plain");
    EXPECT_EQ(chunkResult("iTXt", itxtPlain.Get()), ReadResult::Success);
    EXPECT_EQ(chunkResult("iTXt", Bytes{'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 0, 0, 'e', 'n'}),
              ReadResult::Error)
        << "language tag without its NUL";
    EXPECT_EQ(chunkResult("zTXt", ZtxtData("Comment", Deflate("m"), 1)), ReadResult::Error);
    EXPECT_EQ(chunkResult("zTXt", Bytes{'C', 'o', 'm', 'm', 'e', 'n', 't', 0}), ReadResult::Error)
        << "no method byte";
    Bytes const cut = Deflate("a text long enough to be cut in the middle of its stream");
    EXPECT_EQ(chunkResult("zTXt", ZtxtData("Comment", Bytes(cut.begin(), cut.end() - 8))), ReadResult::Error);
    Bytes damagedZlib = Deflate("damaged");
    damagedZlib[0] = 0x79;  // header check fails
    EXPECT_EQ(chunkResult("zTXt", ZtxtData("Comment", damagedZlib)), ReadResult::Error);
    EXPECT_EQ(metadata.FindAny("Comment").GetDisplayValueAsString(), "plain");

    // In a file the walk goes on after each of them.
    Bytes const png = PngBuilder()
                          .Header(1, 1)
                          .Chunk("iTXt", itxtMethod1.Get())
                          .Chunk("zTXt", ZtxtData("Comment", damagedZlib))
                          .Chunk("zTXt", ZtxtData("Comment", Deflate("real deflate")))
                          .End()
                          .Build();
    ASSERT_TRUE(Read(png));
    EXPECT_EQ(Display("Comment"), "real deflate");
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
                         .InternationalText("Comment", "after the bomb")
                         .End()
                         .Build()));
    EXPECT_EQ(Display("Comment"), "after the bomb");
    EXPECT_EQ(ReadItems(), 3u);
}

TEST_F(PngTest, ExifChunk) {
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).Exif(TiffWithMake("Maker")).End().Build()));
    EXPECT_EQ(Display("Make"), "Maker");

    // The chunk holds the TIFF structure itself: a JPEG identifier in front
    // of it is not a TIFF header.
    Bytes withId{'E', 'x', 'i', 'f', 0, 0};
    Bytes const tiff = TiffWithMake("Prefixed");
    withId.insert(withId.end(), tiff.begin(), tiff.end());
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).Exif(withId).End().Build()));
    EXPECT_FALSE(Has("Make"));

    // Damaged EXIF is that chunk's problem only.
    ASSERT_TRUE(Read(PngBuilder()
                         .Header(1, 1)
                         .Exif(Bytes{'M', 'M', 0, 42, 0xFF})
                         .InternationalText("Comment", "t")
                         .End()
                         .Build()));
    EXPECT_EQ(Display("Comment"), "t");
}

TEST_F(PngTest, RawProfiles) {
    Bytes const tiff = TiffWithMake("RawMaker");
    std::string const exif = std::string("Exif\0\0", 6) + AsText(tiff);
    Bytes const iptc = fixtures::IptcBuilder().Dataset(2, 0, Bytes{0, 4}).Dataset(2, 5, "Headline").Take();
    Bytes const png =
        PngBuilder()
            .Header(1, 1)
            .CompressedText("Raw profile type exif", fixtures::RawProfileText("exif", exif))
            .InternationalText("Raw profile type xmp", fixtures::RawProfileText("xmp", Xmp("A")))
            .CompressedText("Raw profile type iptc", fixtures::RawProfileText("iptc", AsText(iptc)))
            .End()
            .Build();
    ASSERT_TRUE(Read(png));
    EXPECT_EQ(Display("Make"), "RawMaker");
    EXPECT_EQ(Display("CreatorTool"), "A");
    EXPECT_EQ(Display("ObjectName"), "Headline");
    EXPECT_FALSE(Has("EXIF_Profile")) << "the profile text itself is no item";
}

// Which reader decoded bytes go to depends on their first bytes and, for
// XMP and IPTC, on the keyword.
TEST_F(PngTest, RawProfileRouting) {
    Options const options;
    PngProcessor processor(options);
    auto store = std::make_shared<ReadStore>();
    auto route = [&](std::string_view keyword, std::string const& bytes, Metadata& metadata) {
        std::string const text = fixtures::RawProfileText("p", bytes);
        InMemoryStream stream(text.data(), text.size());
        DataSource source(stream, 0);
        EXPECT_TRUE(source.ProvisionRemainingData());
        return processor.ReadTextChunk(keyword, source, store, metadata);
    };
    std::string const xmpId("http://ns.adobe.com/xap/1.0/\0", 29);
    Bytes const resources = fixtures::PhotoshopResourceBuilder()
                                .Resource(0x03ED, fixtures::PhotoshopResolutionInfo(72 << 16, 1, 72 << 16, 1))
                                .Build();
    struct Case {
        std::string_view keyword;
        std::string bytes;
        char const* item;  // what the right reader finds, or null
        ReadResult result;
    };
    std::vector<Case> const cases{
        {"Raw profile type APP1", AsText(TiffWithMake("Bare")), "Make", ReadResult::Success},
        {"Raw profile type iptc", std::string("Exif\0\0", 6) + AsText(TiffWithMake("I")), "Make",
         ReadResult::Success},
        {"Raw profile type exif", xmpId + Xmp("Tagged"), "CreatorTool", ReadResult::Success},
        {"Raw profile type xmp", Xmp("Untagged"), "CreatorTool", ReadResult::Success},
        {"Raw profile type iptc", AsText(resources), "XResolution", ReadResult::Success},
        {"Raw profile type exif", "not exif data", nullptr, ReadResult::NotHandled},
        {"Raw profile type APP1", Xmp("Untagged"), nullptr, ReadResult::NotHandled},
    };
    for (Case const& c : cases) {
        Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
        EXPECT_EQ(route(c.keyword, c.bytes, metadata), c.result) << c.keyword << ' ' << c.bytes.size();
        if (c.item != nullptr) {
            EXPECT_TRUE(metadata.FindAny(c.item)) << c.keyword << ' ' << c.item;
        } else {
            EXPECT_EQ(metadata.Size(), 0u) << c.keyword;
        }
    }

    // A text that is not a raw profile, and data that is not hexadecimal.
    Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
    std::string const noHeader = "no header line";
    InMemoryStream stream(noHeader.data(), noHeader.size());
    DataSource source(stream, 0);
    ASSERT_TRUE(source.ProvisionRemainingData());
    EXPECT_EQ(processor.ReadTextChunk("Raw profile type exif", source, store, metadata), ReadResult::Error);
    std::string badHex = fixtures::RawProfileText("exif", "abc");
    badHex[badHex.size() - 2] = 'g';
    InMemoryStream badStream(badHex.data(), badHex.size());
    DataSource badSource(badStream, 0);
    ASSERT_TRUE(badSource.ProvisionRemainingData());
    EXPECT_EQ(processor.ReadTextChunk("Raw profile type exif", badSource, store, metadata),
              ReadResult::Error);
}

TEST_F(PngTest, IccProfileChunk) {
    Bytes const profile = fixtures::IccProfileBuilder().Tag("desc", fixtures::IccDesc("Display P3")).Build();
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).IccProfile("Display", AsText(profile)).End().Build()));
    EXPECT_EQ(Display("ProfileName"), "Display");
    EXPECT_EQ(metadata_.Find(FieldGroup::Png, "ProfileName").GetKey().GetFullName(), "Png:Png.ProfileName");
    EXPECT_EQ(Display("ProfileDescription"), "Display P3");

    // Compression method 1 is unknown: the chunk fails as a whole.
    ByteWriter method1(true);
    method1.Text("p").U8(0).U8(1).Append(fixtures::ZlibStored(AsText(profile)));
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).Chunk("iCCP", method1.Get()).End().Build()));
    EXPECT_FALSE(Has("ProfileName"));
    // A profile that does not inflate is not read at all.
    ByteWriter damaged(true);
    damaged.Text("Broken").U8(0).U8(0).Append(Bytes{0x78, 0x9C, 0xFF, 0xFF});
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).Chunk("iCCP", damaged.Get()).End().Build()));
    EXPECT_FALSE(Has("ProfileName"));
    // One that inflates to something that is no profile keeps its name.
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).IccProfile("Junk", "not a profile").End().Build()));
    EXPECT_EQ(Display("ProfileName"), "Junk");
    EXPECT_FALSE(Has("ProfileDescription"));
}

TEST_F(PngTest, XmpInInternationalText) {
    ASSERT_TRUE(
        Read(PngBuilder().Header(1, 1).InternationalText("XML:com.adobe.xmp", Xmp("Writer")).End().Build()));
    EXPECT_EQ(Display("CreatorTool"), "Writer");
    ASSERT_TRUE(Read(PngBuilder()
                         .Header(1, 1)
                         .InternationalText("XML:com.adobe.xmp", Xmp("Packed"), "", "", true)
                         .End()
                         .Build()));
    EXPECT_EQ(Display("CreatorTool"), "Packed");
    // An empty packet reads nothing, and never the file around it.
    ASSERT_TRUE(Read(PngBuilder().Header(1, 1).InternationalText("XML:com.adobe.xmp", "").End().Build()));
    EXPECT_EQ(ReadItems(), 2u);
}

TEST_F(PngTest, ChunkEntryPoints) {
    Options const options;
    PngProcessor processor(options);
    auto store = std::make_shared<ReadStore>();
    Metadata metadata(Initialiser::Mode::HostInitialisesXmp);

    // Types that are not 4 bytes, and unread types, are accepted unread.
    std::string const bytes = "anything";
    InMemoryStream stream(bytes.data(), bytes.size());
    DataSource source(stream, 0);
    for (std::string_view type : {"IHD", "abCD", "tEXt", "MHDR", "JHDR", "gAMA"}) {
        EXPECT_EQ(processor.ReadChunk(type, 0, 8, source, store, metadata, FieldGroup::Unknown),
                  ReadResult::Success)
            << type;
    }
    // A read chunk beyond the data cannot be provisioned.
    EXPECT_EQ(processor.ReadChunk("iTXt", 4, 100, source, store, metadata, FieldGroup::Unknown),
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
    EXPECT_EQ(group, FieldGroup::Mng);
    EXPECT_EQ(header, "MHDR");
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
