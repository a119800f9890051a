#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>

#include "fixtures/image_builders.h"
#include "fixtures/isobmff_builder.h"
#include "varrow/api/metadata.h"
#include "varrow/formats/isobmff/box_header.h"
#include "varrow/formats/isobmff/identifier.h"
#include "varrow/formats/isobmff/isobmff_processor.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::ByteWriter;
using fixtures::Concat;
using fixtures::IsoBox;
using fixtures::IsoFullBox;
using isobmff::BoxHeader;

std::string_view View(Bytes const& bytes) {
    return {reinterpret_cast<char const*>(bytes.data()), bytes.size()};
}

constexpr char const* kXmpPacket =
    "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
    "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/' dc:format='image/jp2'/>"
    "</rdf:RDF></x:xmpmeta>";

TEST(IsobmffBoxHeader, Forms) {
    BoxHeader header;
    ASSERT_TRUE(BoxHeader::Parse(View(IsoBox("ftyp", Bytes(12))), 100, header));
    EXPECT_EQ(header.GetType(), "ftyp");
    EXPECT_EQ(header.GetSize(), 20u);
    EXPECT_EQ(header.GetHeaderSize(), 8u);
    EXPECT_EQ(header.GetPayloadSize(), 12u);
    EXPECT_EQ(header.GetPayloadOffset(), 108u);
    EXPECT_FALSE(header.HasExtendedType());

    ASSERT_TRUE(BoxHeader::Parse(View(fixtures::IsoLargeBox("mdat", Bytes(5))), 0, header));
    EXPECT_TRUE(header.IsLargeSize());
    EXPECT_EQ(header.GetHeaderSize(), 16u);
    EXPECT_EQ(header.GetPayloadSize(), 5u);

    ASSERT_TRUE(BoxHeader::Parse(View(fixtures::IsoUuidBox(fixtures::XmpUuid(), Bytes(3))), 0, header));
    EXPECT_TRUE(header.HasExtendedType());
    EXPECT_EQ(header.GetHeaderSize(), 24u);
    EXPECT_EQ(header.GetTypeBytes(), isobmff::kXmpUuid);
    EXPECT_EQ(header.GetTypeDescription(), "uuid BE7ACFCB-97A9-42E8-9C71-999491E3AFAC");

    // Size 0: the box runs to the end of its parent.
    ASSERT_TRUE(BoxHeader::Parse(View(Bytes{0, 0, 0, 0, 'm', 'd', 'a', 't'}), 0, header));
    EXPECT_EQ(header.GetPayloadSize(), 0u);

    // A size smaller than the header, and short bytes, fail.
    EXPECT_FALSE(BoxHeader::Parse(View(Bytes{0, 0, 0, 7, 'f', 'r', 'e', 'e'}), 0, header));
    EXPECT_FALSE(
        BoxHeader::Parse(View(Bytes{0, 0, 0, 1, 'm', 'd', 'a', 't', 0, 0, 0, 0, 0, 0, 0, 15}), 0, header));
    EXPECT_FALSE(BoxHeader::Parse(View(Bytes{0, 0, 0, 40, 'u', 'u', 'i', 'd', 1, 2}), 0, header));
    EXPECT_FALSE(BoxHeader::Parse(View(Bytes{0, 0, 0, 8, 'f'}), 0, header));
}

TEST(IsobmffIdentifier, Texts) {
    EXPECT_EQ(isobmff::FourCc::FromString("jp2 ").GetAsString(), "jp2 ");
    EXPECT_EQ(isobmff::FourCc::FromString("a\x01"
                                          "bc")
                  .GetAsString(),
              "a.bc");
    EXPECT_EQ(isobmff::FourCc::FromString("mif1").GetAsHexString(), "6D696631");
    EXPECT_EQ(isobmff::kJp2ExifAsciiUuid.GetAsString(), "JpgTiffExif->JP2");
    EXPECT_EQ(isobmff::kCanonUuid.GetAsHexString(), "85C0B687-820F-11E0-8111-F4CE462B6A48");
    EXPECT_EQ(isobmff::Type("meta").Narrow(), isobmff::FourCc::FromString("meta"));
    EXPECT_NE(isobmff::Type("meta"), isobmff::Type("mdat"));
}

class IsobmffTest : public ::testing::Test {
  protected:
    bool ReadBytes(Bytes const& bytes, ReadSource source, Options const& options = {}) {
        data_.assign(bytes.begin(), bytes.end());
        return metadata_.Read(data_.data(), data_.size(), source, options);
    }
    ReadResult Run(Bytes const& bytes, Options const& options = {}) {
        data_.assign(bytes.begin(), bytes.end());
        metadata_.Clear();
        InMemoryStream stream(data_.data(), data_.size());
        DataSource source(stream, 0);
        IsobmffProcessor processor(options);
        return processor.Read(source, metadata_.GetReadStore(), metadata_, FieldGroup::Unknown);
    }
    std::string Display(FieldGroup group, char const* name) const {
        return metadata_.Find(group, name).GetDisplayValueAsString();
    }

    std::string data_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(IsobmffTest, IsRegisteredUnderTheImageReadersName) {
    EXPECT_EQ(ProcessorRegistry::FindByName("ISO Base Media File Format"), &typeid(IsobmffProcessor));
}

TEST_F(IsobmffTest, Jpeg2000HeaderAndMetadataBoxes) {
    Bytes const tiff = fixtures::TiffBuilder(false).Ascii(0x013B, "me").Build();
    Bytes const file =
        fixtures::MakeJp2(640, 480, 3, 8, {},
                          Concat({fixtures::IsoUuidBox(fixtures::XmpUuid(), fixtures::AsBytes(kXmpPacket)),
                                  fixtures::IsoUuidBox(fixtures::GeoJp2Uuid(), tiff)}));
    ASSERT_TRUE(ReadBytes(file, ReadSource::Jpeg2k));
    EXPECT_EQ(Display(FieldGroup::IsoBaseMedia, "ImageWidth"), "640");
    EXPECT_EQ(Display(FieldGroup::IsoBaseMedia, "ImageHeight"), "480");
    EXPECT_EQ(Display(FieldGroup::IsoBaseMedia, "SamplesPerPixel"), "3");
    EXPECT_EQ(metadata_.Find(FieldGroup::IsoBaseMedia, "BitsPerSample").GetRawValue(),
              Value(std::vector<std::uint32_t>{8, 8, 8}));
    EXPECT_EQ(Display(FieldGroup::XmpDc, "Format"), "image/jp2");
    EXPECT_EQ(Display(FieldGroup::Ifd0, "Artist"), "me");
}

TEST_F(IsobmffTest, GeoJp2PlaceholderDoesNotOutrankTheHeader) {
    // GeoJP2 boxes carry a 1x1 GeoTIFF; a real Exif box of the same shape
    // describes the image and wins as usual.
    Bytes const tiff = fixtures::TiffBuilder(false).Short(0x0100, {1}).Short(0x0101, {1}).Build();
    ASSERT_TRUE(
        ReadBytes(fixtures::MakeJp2(640, 480, 3, 8, {}, fixtures::IsoUuidBox(fixtures::GeoJp2Uuid(), tiff)),
                  ReadSource::Jpeg2k));
    EXPECT_EQ(metadata_.FindAny("ImageWidth").GetDisplayValueAsString(), "640");
    EXPECT_EQ(Display(FieldGroup::Composite, "ImageSize"), "640x480");
    // Kept, though not the winner of its name.
    EXPECT_EQ(metadata_.Find(FieldNamespace::Tiff, "ImageWidth").GetDisplayValueAsString(), "1");
    EXPECT_TRUE(metadata_.GetReadStore()->zeroPriorityGroups.empty());

    std::array<std::uint8_t, 16> exifUuid{};
    std::string_view const ascii = "JpgTiffExif->JP2";
    std::copy(ascii.begin(), ascii.end(), exifUuid.begin());
    ASSERT_TRUE(ReadBytes(fixtures::MakeJp2(640, 480, 3, 8, {}, fixtures::IsoUuidBox(exifUuid, tiff)),
                          ReadSource::Jpeg2k));
    EXPECT_EQ(metadata_.FindAny("ImageWidth").GetDisplayValueAsString(), "1");
}

TEST_F(IsobmffTest, Jpeg2000VariantsOfTheMetadataBoxes) {
    // An "xml " box with an XMP packet, the ASCII Exif UUID with the JPEG
    // marker before the TIFF header, and per-component depths from "bpcc".
    std::array<std::uint8_t, 16> exifUuid{};
    std::string_view const ascii = "JpgTiffExif->JP2";
    std::copy(ascii.begin(), ascii.end(), exifUuid.begin());
    Bytes const exif = Concat({fixtures::AsBytes(std::string_view("Exif\0\0", 6)),
                               fixtures::TiffBuilder(true).Ascii(0x010F, "JP2Maker").Build()});
    Bytes const file = fixtures::MakeJp2(
        16, 8, 2, 0, IsoBox("bpcc", Bytes{7, 0x8B}),
        Concat({IsoBox("xml ", fixtures::AsBytes(kXmpPacket)), fixtures::IsoUuidBox(exifUuid, exif)}));
    ASSERT_TRUE(ReadBytes(file, ReadSource::Jpeg2k));
    EXPECT_EQ(metadata_.Find(FieldGroup::IsoBaseMedia, "BitsPerSample").GetRawValue(),
              Value(std::vector<std::uint32_t>{8, 12}));
    EXPECT_EQ(Display(FieldGroup::XmpDc, "Format"), "image/jp2");
    EXPECT_EQ(Display(FieldGroup::Ifd0, "Make"), "JP2Maker");
}

TEST_F(IsobmffTest, Jpeg2000HeaderWithoutIhdrFailsOnlyItself) {
    Bytes const file = Concat({IsoBox("jp2h", IsoBox("colr", Bytes{1, 0, 0, 0, 0, 0, 16})),
                               IsoBox("xml ", fixtures::AsBytes(kXmpPacket))});
    ASSERT_TRUE(ReadBytes(file, ReadSource::Jpeg2k));
    EXPECT_FALSE(metadata_.Find(FieldGroup::IsoBaseMedia, "ImageWidth"));
    EXPECT_EQ(Display(FieldGroup::XmpDc, "Format"), "image/jp2");
    Options strict;
    strict.stopOnError = true;
    EXPECT_EQ(Run(file, strict), ReadResult::Error);
}

// A CR3-like movie: Canon's box with the TIFF blocks, and one raw track.
Bytes MakeCr3() {
    auto tiff = [](std::uint16_t tag, std::string const& text) {
        return fixtures::TiffBuilder(false).Ascii(tag, text).Build();
    };
    Bytes const canon = fixtures::IsoUuidBox(
        fixtures::CanonUuid(),
        Concat({IsoBox("CNCV", fixtures::AsBytes("CanonCR3_001/00.09.00/00.00.00")),
                IsoBox("CMT1", tiff(0x010F, "Canon")), IsoBox("CMT2", tiff(0x9003, "2020:01:02 03:04:05")),
                IsoBox("CMT3", tiff(0x0006, "Canon EOS Test")), IsoBox("CMT4", tiff(0x0001, "N"))}));

    ByteWriter cmp1(true);
    cmp1.U16(0xFF00)
        .U16(0x30)
        .U32(0x01000000)
        .U32(6288)
        .U32(4056)
        .U32(3144)
        .U32(2028)
        .U8(14)
        .U8(0x41)
        .Fill(34);
    ByteWriter iad1(true);
    iad1.U16(6288).U16(4056).Fill(32);
    ByteWriter craw(true);
    craw.Fill(6)
        .U16(1)
        .Fill(16)
        .U16(6000)
        .U16(4000)
        .U32(0x480000)
        .U32(0x480000)
        .U32(0)
        .U16(1)
        .Fill(32)
        .U16(24)
        .U16(0xFFFF)
        .U32(0);
    craw.Append(IsoBox("CMP1", cmp1.Get()))
        .Append(IsoBox("CDI1", Concat({Bytes(4), IsoFullBox("IAD1", 0, 0, iad1.Get())})));
    Bytes const stsd = IsoFullBox("stsd", 0, 0, Concat({Bytes{0, 0, 0, 1}, IsoBox("CRAW", craw.Get())}));
    ByteWriter stsz(true);
    stsz.U32(0).U32(1).U32(32440);
    ByteWriter co64(true);
    co64.U32(1).U32(0).U32(0x2CCA);
    Bytes const stbl = IsoBox(
        "stbl", Concat({stsd, IsoFullBox("stsz", 0, 0, stsz.Get()), IsoFullBox("co64", 0, 0, co64.Get())}));
    Bytes const trak = IsoBox("trak", IsoBox("mdia", IsoBox("minf", stbl)));
    Bytes const ftyp = IsoBox("ftyp", fixtures::AsBytes(std::string_view("crx \0\0\0\1crx isom", 16)));
    return Concat({ftyp, IsoBox("moov", Concat({canon, trak}))});
}

TEST_F(IsobmffTest, CanonRawBlocksAndTrackDescription) {
    Options options;
    options.recordStructure = true;
    ASSERT_TRUE(ReadBytes(MakeCr3(), ReadSource::Cr3, options));
    EXPECT_EQ(Display(FieldGroup::Ifd0, "Make"), "Canon");
    EXPECT_EQ(Display(FieldGroup::Exif, "DateTimeOriginal"), "2020:01:02 03:04:05");
    EXPECT_TRUE(metadata_.Find(FieldGroup::Gps, "GPSLatitudeRef"));
    // The maker-note block reaches the TIFF reader as group Canon, in order.
    std::ostringstream structure;
    metadata_.DumpStructure(structure);
    std::string const map = structure.str();
    std::size_t const ifd0 = map.find("TIFF document (1 metadatums, Ifd0)");
    std::size_t const exif = map.find("TIFF document (1 metadatums, Exif)");
    std::size_t const canon = map.find("metadatums, Canon)");
    std::size_t const gps = map.find("TIFF document (1 metadatums, Gps)");
    ASSERT_NE(gps, std::string::npos) << map;
    EXPECT_TRUE(ifd0 < exif && exif < canon && canon < gps) << map;

    EXPECT_EQ(Display(FieldGroup::CanonCr3, "CompressorVersion"), "CanonCR3_001/00.09.00/00.00.00");
    EXPECT_EQ(Display(FieldGroup::CanonCr3, "FrameWidth"), "6288");
    EXPECT_EQ(Display(FieldGroup::CanonCr3, "FrameHeight"), "4056");
    EXPECT_EQ(Display(FieldGroup::CanonCr3, "TileWidth"), "3144");
    EXPECT_EQ(Display(FieldGroup::CanonCr3, "BitDepth"), "14");
    EXPECT_EQ(Display(FieldGroup::CanonCr3, "NumberOfPlanes"), "4");
    EXPECT_EQ(Display(FieldGroup::CanonCr3, "SensorWidth"), "6288");
    EXPECT_EQ(Display(FieldGroup::Composite, "MainImageDataOffset"), "11466");
    EXPECT_EQ(Display(FieldGroup::Composite, "MainImageDataLength"), "32440");
}

// Robustness: whatever the bytes, a read ends with a result.
TEST_F(IsobmffTest, EveryTruncationEnds) {
    Bytes const tiff = fixtures::TiffBuilder(true).Ascii(0x010F, "Maker").Build();
    Bytes const heif = fixtures::HeifBuilder()
                           .Image(1)
                           .ExifItem(2, fixtures::HeifExifItem(tiff))
                           .ExifItem(3, fixtures::HeifExifItem(tiff), fixtures::HeifBuilder::Placement::Idat)
                           .Reference("cdsc", 2, 1)
                           .Reference("cdsc", 3, 1)
                           .Ispe(1, 1, 2)
                           .Build();
    for (Bytes const& file : {heif, MakeCr3(), fixtures::MakeJp2(1, 1, 1, 8, {}, {})}) {
        std::size_t ends = 0;
        for (std::size_t n = 0; n <= file.size(); ++n) {
            ReadResult const result = Run(Bytes(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n)));
            ends += result == ReadResult::Success || result == ReadResult::NotHandled ||
                    result == ReadResult::Error;
        }
        EXPECT_EQ(ends, file.size() + 1);
    }
}

TEST_F(IsobmffTest, MalformedSizes) {
    Options strict;
    strict.stopOnError = true;
    // A child that runs past its parent fails the parent.
    Bytes const overrun = IsoBox("moov", Concat({Bytes{0, 0, 0, 64}, fixtures::AsBytes("trak")}));
    EXPECT_EQ(Run(overrun, strict), ReadResult::Error);
    EXPECT_EQ(Run(overrun), ReadResult::Success);

    // Size 0 at the top runs to the end of the file; a huge size is clipped
    // there (a file cut short).
    Bytes const xmp = fixtures::AsBytes(kXmpPacket);
    EXPECT_EQ(Run(Concat({Bytes{0, 0, 0, 0}, fixtures::AsBytes("xml "), xmp})), ReadResult::Success);
    EXPECT_EQ(Display(FieldGroup::XmpDc, "Format"), "image/jp2");
    EXPECT_EQ(
        Run(Concat({Bytes{0, 0, 0, 1}, fixtures::AsBytes("xml "), Bytes{0xFF, 0, 0, 0, 0, 0, 0, 0}, xmp})),
        ReadResult::Success);
    EXPECT_EQ(Display(FieldGroup::XmpDc, "Format"), "image/jp2");

    // A size smaller than its header.
    EXPECT_EQ(Run(Concat({Bytes{0, 0, 0, 4}, fixtures::AsBytes("free")})), ReadResult::Error);
    // Trailing bytes too short for a header end the walk quietly.
    EXPECT_EQ(Run(Concat({IsoBox("free", {}), Bytes{0, 0}})), ReadResult::Success);
    EXPECT_EQ(Run({}), ReadResult::Success);
}

TEST_F(IsobmffTest, HostileItemTables) {
    Options strict;
    strict.stopOnError = true;
    // 65535 extents of zero bytes each, for many items: cheap, no extent kept
    // but the first.
    ByteWriter iloc(true);
    iloc.U16(0x0000).U16(2000);
    for (std::uint16_t i = 0; i < 2000; ++i) iloc.U16(i).U16(0).U16(0xFFFF);
    Bytes const meta =
        IsoFullBox("meta", 0, 0,
                   Concat({IsoFullBox("hdlr", 0, 0, Concat({Bytes(4), fixtures::AsBytes("pict"), Bytes(13)})),
                           IsoFullBox("iloc", 0, 0, iloc.Get())}));
    EXPECT_EQ(Run(meta), ReadResult::Success);  // no primary item: Error, passed over

    // Field sizes other than 0, 4 and 8 fail the box.
    EXPECT_EQ(
        Run(IsoFullBox(
                "meta", 0, 0,
                Concat({IsoFullBox("hdlr", 0, 0, Concat({Bytes(4), fixtures::AsBytes("pict"), Bytes(13)})),
                        IsoFullBox("iloc", 0, 0, Bytes{0x20, 0x00, 0, 0})})),
            strict),
        ReadResult::Error);

    // Items that describe each other, and an extent count the data cannot
    // hold, end like any other damage.
    Bytes const tiff = fixtures::TiffBuilder(true).Ascii(0x010F, "Loop").Build();
    Bytes const looped = fixtures::HeifBuilder()
                             .Primary(2)
                             .ExifItem(2, fixtures::HeifExifItem(tiff))
                             .ExifItem(3, fixtures::HeifExifItem(tiff))
                             .Reference("cdsc", 2, 3)
                             .Reference("cdsc", 3, 2)
                             .Reference("cdsc", 2, 2)
                             .Reference("cdsc", 3, 2)
                             .Ispe(2, 9, 9)
                             .Associate(2, 1)
                             .Associate(2, 1)
                             .Build();
    ASSERT_TRUE(ReadBytes(looped, ReadSource::Heif));
    EXPECT_EQ(Display(FieldGroup::Ifd0, "Make"), "Loop");
    // Items 2 and 3 both describe the primary item, each read once although
    // item 3's reference and the ispe association are repeated.
    std::size_t makes = 0;
    std::size_t widths = 0;
    for (Metadatum const& item : metadata_.GetAllValues()) {
        makes += item.GetKey().GetName() == "Make" ? 1 : 0;
        widths += item.GetKey().GetName() == "ImageWidth" ? 1 : 0;
    }
    EXPECT_EQ(makes, 2u);
    EXPECT_EQ(widths, 1u);

    ByteWriter counted(true);
    counted.U16(0x4400).U16(1).U16(1).U16(0).U16(0xFFFF).U32(0).U32(0);
    EXPECT_EQ(
        Run(IsoFullBox(
                "meta", 0, 0,
                Concat({IsoFullBox("hdlr", 0, 0, Concat({Bytes(4), fixtures::AsBytes("pict"), Bytes(13)})),
                        IsoFullBox("iloc", 0, 0, counted.Get())})),
            strict),
        ReadResult::Error);
}

TEST_F(IsobmffTest, VersionChecks) {
    // A "meta" box of version 1 is passed over; its items do not count.
    Bytes file = fixtures::HeifBuilder().Image(1).Ispe(1, 3, 4).Build();
    ASSERT_TRUE(ReadBytes(file, ReadSource::Heif));
    EXPECT_EQ(Display(FieldGroup::IsoBaseMedia, "ImageWidth"), "3");
    std::size_t const metaVersion = 24 + 8;  // after "ftyp" (24 bytes) and the meta header
    ASSERT_EQ(file[metaVersion - 4], 'm');
    file[metaVersion] = 1;
    ASSERT_TRUE(ReadBytes(file, ReadSource::Heif));
    EXPECT_FALSE(metadata_.Find(FieldGroup::IsoBaseMedia, "ImageWidth"));
}

}  // namespace
}  // namespace meta
