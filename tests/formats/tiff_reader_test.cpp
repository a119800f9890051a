#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fixtures/byte_writer.h"
#include "fixtures/image_builders.h"
#include "varrow/api/initialiser.h"
#include "varrow/api/metadata.h"
#include "varrow/api/options.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::ByteWriter;
using fixtures::TiffBuilder;

class TiffReaderTest : public ::testing::Test {
  protected:
    bool Read(Bytes const& bytes, ReadSource source = ReadSource::Tiff) {
        return metadata_.Read(reinterpret_cast<char const*>(bytes.data()), bytes.size(), source, options_);
    }
    std::string Value(FieldGroup group, std::string_view name) const {
        return metadata_.Find(group, name).GetValueAsString();
    }
    bool Has(FieldGroup group, std::string_view name) const {
        return static_cast<bool>(metadata_.Find(group, name));
    }
    std::size_t Count(std::string_view name) const {
        std::size_t n = 0;
        for (auto const& item : metadata_.GetAllValues()) {
            n += item.GetName() == name && item.GetGroup() != FieldGroup::Composite ? 1 : 0;
        }
        return n;
    }

    Options options_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

// One directory written by hand: entries of (tag, format, count, value
// field) and the next-IFD link, so hostile layouts can be expressed.
struct RawEntry {
    std::uint16_t tag, format;
    std::uint32_t count, value;
};
void WriteIfd(ByteWriter& out, std::vector<RawEntry> const& entries, std::uint32_t next) {
    out.U16(static_cast<std::uint16_t>(entries.size()));
    for (auto const& e : entries) out.U16(e.tag).U16(e.format).U32(e.count).U32(e.value);
    out.U32(next);
}
std::uint32_t Inline(char const (&text)[4]) {  // up to three characters and NUL, little-endian
    return std::uint32_t{static_cast<unsigned char>(text[0])} |
           (std::uint32_t{static_cast<unsigned char>(text[1])} << 8) |
           (std::uint32_t{static_cast<unsigned char>(text[2])} << 16);
}

TEST_F(TiffReaderTest, ReadsDirectoriesIntoTheirGroupsInBothByteOrders) {
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "MM" : "II");
        TiffBuilder interop(bigEndian);
        interop.Ascii(0x0001, "R98");
        TiffBuilder exif(bigEndian);
        exif.Short(0x8827, {400}).Rational(0x829a, {{1, 250}}).SubDirectory(0xa005, interop);
        TiffBuilder gps(bigEndian);
        gps.Ascii(0x0001, "N").Rational(0x0002, {{52, 1}, {30, 1}, {0, 1}});
        TiffBuilder ifd1(bigEndian);
        ifd1.Long(0x0100, {160}).Short(0x0103, {6});
        TiffBuilder tiff(bigEndian);
        tiff.Ascii(0x010f, "Canon")
            .Ascii(0x0110, "EOS")
            .Short(0x0112, {6})
            .Short(0x0102, {8, 8, 8})
            .SubDirectory(0x8769, exif)
            .SubDirectory(0x8825, gps)
            .Next(ifd1);

        metadata_.Clear();
        ASSERT_TRUE(Read(tiff.Build()));
        EXPECT_EQ(Value(FieldGroup::Ifd0, "Make"), "Canon");           // at an offset
        EXPECT_EQ(Value(FieldGroup::Ifd0, "Model"), "EOS");            // four bytes, in the entry
        EXPECT_EQ(Value(FieldGroup::Ifd0, "Orientation"), "6");        // SHORT in the entry
        EXPECT_EQ(Value(FieldGroup::Ifd0, "BitsPerSample"), "8 8 8");  // SHORT x3 at an offset
        EXPECT_EQ(Value(FieldGroup::Exif, "ISO"), "400");
        EXPECT_TRUE(Has(FieldGroup::Exif, "ExposureTime"));
        EXPECT_EQ(Value(FieldGroup::Interoperability, "InteropIndex"), "R98");
        EXPECT_EQ(Value(FieldGroup::Gps, "GPSLatitudeRef"), "N");
        EXPECT_TRUE(Has(FieldGroup::Gps, "GPSLatitude"));
        EXPECT_EQ(Value(FieldGroup::Ifd1, "ImageWidth"), "160");
        EXPECT_EQ(Value(FieldGroup::Ifd1, "Compression"), "6");
        // Pointer tags open directories and are not items themselves.
        EXPECT_FALSE(Has(FieldGroup::Ifd0, "ExifOffset"));
        EXPECT_FALSE(Has(FieldGroup::Ifd0, "GPSInfo"));
        EXPECT_FALSE(Has(FieldGroup::Ifd0, "ImageWidth"));
    }
}

TEST_F(TiffReaderTest, FollowsTheRootChainOnlyAsFarAsIfd1) {
    TiffBuilder ifd2;
    ifd2.Ascii(0x013b, "third");
    TiffBuilder ifd1;
    ifd1.Ascii(0x013b, "second").Next(ifd2);
    TiffBuilder tiff;
    tiff.Ascii(0x010f, "Make").Next(ifd1);
    ASSERT_TRUE(Read(tiff.Build()));
    EXPECT_EQ(Value(FieldGroup::Ifd1, "Artist"), "second");
    EXPECT_EQ(Count("Artist"), 1u);
}

TEST_F(TiffReaderTest, TheFirstImageOutranksTheDirectoryItLinksTo) {
    // A second page (or a thumbnail) repeats the image tags; looked up by
    // name, and so for the composites, the first image's values stand.
    TiffBuilder page2;
    page2.Long(0x0100, {50}).Long(0x0101, {40}).Ascii(0x013b, "second");
    TiffBuilder tiff;
    tiff.Long(0x0100, {640}).Long(0x0101, {480}).Next(page2);
    ASSERT_TRUE(Read(tiff.Build()));
    EXPECT_EQ(Count("ImageWidth"), 2u);  // both kept, in the order read
    EXPECT_EQ(metadata_.FindAny("ImageWidth").GetValueAsString(), "640");
    EXPECT_EQ(Value(FieldGroup::Ifd0, "ImageHeight"), "480");
    EXPECT_EQ(metadata_.Find(FieldGroup::Composite, "ImageSize").GetValueAsString(), "640 480");
    // A tag only the second directory has is still found by name.
    EXPECT_EQ(metadata_.FindAny("Artist").GetValueAsString(), "second");
    // Nothing of this outlives the read: a later item of group Ifd1 added by
    // hand wins as usual.
    metadata_.Add(FieldGroup::Ifd1, "Artist", meta::Value(std::string("user")), ValueAffinity::Display);
    EXPECT_EQ(metadata_.FindAny("Artist").GetValueAsString(), "user");
}

TEST_F(TiffReaderTest, UnknownTagsOnlyWithTheOption) {
    TiffBuilder tiff;
    tiff.Short(0xfeed, {7}).Ascii(0x010f, "X");
    ASSERT_TRUE(Read(tiff.Build()));
    EXPECT_FALSE(Has(FieldGroup::Ifd0, "0xfeed"));
    EXPECT_TRUE(Has(FieldGroup::Ifd0, "Make"));

    options_.readUnknownTags = true;
    metadata_.Clear();
    ASSERT_TRUE(Read(tiff.Build()));
    EXPECT_EQ(Value(FieldGroup::Ifd0, "0xfeed"), "7");
}

TEST_F(TiffReaderTest, RejectsBadHeaders) {
    EXPECT_FALSE(Read(Bytes{'I', 'I', 42}));                 // truncated
    EXPECT_FALSE(Read(Bytes{'I', 'M', 42, 0, 8, 0, 0, 0}));  // byte-order mark
    EXPECT_FALSE(Read(Bytes{'I', 'I', 43, 0, 8, 0, 0, 0}));  // identifier
    EXPECT_FALSE(Read(Bytes{}));
    EXPECT_TRUE(metadata_.GetAllValues().empty());
}

TEST_F(TiffReaderTest, SelfReferencingDirectoriesEnd) {
    // IFD0 at 8 links to itself as next IFD and as its own EXIF directory.
    ByteWriter out;
    out.Text("II").U16(42).U32(8);
    WriteIfd(out, {{0x0110, 2, 4, Inline("AB\0")}, {0x8769, 4, 1, 8}}, 8);
    ASSERT_TRUE(Read(out.Take()));
    EXPECT_EQ(Value(FieldGroup::Ifd0, "Model"), "AB");
    std::size_t const reads = Count("Model");
    EXPECT_GE(reads, 2u);  // also read as the EXIF directory and IFD1
    EXPECT_LE(reads, 3u);  // a position is entered at most three times
}

TEST_F(TiffReaderTest, DamagedValuesAreSkipped) {
    ByteWriter out;
    out.Text("II").U16(42).U32(8);
    WriteIfd(out,
             {
                 {0x010f, 2, 20, 0xfffffff0},     // Make: offset past the end
                 {0x0110, 2, 3, Inline("AB\0")},  // Model: fine
                 {0x0111, 4, 0xffffffff, 8},      // StripOffsets: count overflows the data
                 {0x0117, 4, 0x40000000, 8},      // StripByteCounts: 4 GiB from a tiny file
                 {0x013b, 2, 4, Inline("Me\0")},  // Artist: fine
             },
             0);
    ASSERT_TRUE(Read(out.Take()));
    EXPECT_FALSE(Has(FieldGroup::Ifd0, "Make"));
    EXPECT_FALSE(Has(FieldGroup::Ifd0, "StripOffsets"));
    EXPECT_FALSE(Has(FieldGroup::Ifd0, "StripByteCounts"));
    EXPECT_EQ(Value(FieldGroup::Ifd0, "Model"), "AB");
    EXPECT_EQ(Value(FieldGroup::Ifd0, "Artist"), "Me");
}

TEST_F(TiffReaderTest, DirectoryErrorsAreContainedUnlessStopOnError) {
    ByteWriter out;
    out.Text("II").U16(42).U32(8);
    WriteIfd(out,
             {
                 {0x010f, 2, 3, Inline("AB\0")},
                 {0x0000, 0, 0, 0},  // padding, skipped
                 {0x0110, 2, 3, Inline("CD\0")},
                 {0x0111, 0, 1, 0},  // format 0 with a count: the directory fails here
                 {0x013b, 2, 3, Inline("EF\0")},
             },
             0);
    Bytes const bytes = out.Take();
    ASSERT_TRUE(Read(bytes));
    EXPECT_TRUE(Has(FieldGroup::Ifd0, "Make"));
    EXPECT_TRUE(Has(FieldGroup::Ifd0, "Model"));
    EXPECT_FALSE(Has(FieldGroup::Ifd0, "Artist"));

    options_.stopOnError = true;
    metadata_.Clear();
    EXPECT_FALSE(Read(bytes));
}

TEST_F(TiffReaderTest, DirectoryRunningPastTheEndIsNotRead) {
    ByteWriter out(true);
    out.Text("MM").U16(42).U32(8).U16(50).U16(0x010f);  // 50 entries announced, half of one present
    EXPECT_TRUE(Read(out.Take()));
    EXPECT_TRUE(metadata_.GetAllValues().empty());

    ByteWriter far;
    far.Text("II").U16(42).U32(0x7ffffff0);  // first IFD far past the end
    EXPECT_TRUE(Read(far.Take()));
    EXPECT_TRUE(metadata_.GetAllValues().empty());
}

TEST_F(TiffReaderTest, RawHeaders) {
    TiffBuilder tiff;
    tiff.Ascii(0x010f, "OLYMPUS");
    Bytes orf = tiff.Build();
    orf[2] = 'R';
    orf[3] = 'O';
    EXPECT_TRUE(Read(orf, ReadSource::Orf));
    EXPECT_EQ(Value(FieldGroup::Ifd0, "Make"), "OLYMPUS");
    EXPECT_FALSE(Read(tiff.Build(), ReadSource::Orf));  // 42 is not an ORF identifier

    // CR2: "CR", version 2.0 and a raw IFD offset after the header.
    ByteWriter cr2;
    cr2.Text("II").U16(42).U32(16).Text("CR").U8(2).U8(0).U32(0);
    WriteIfd(cr2, {{0x0110, 2, 3, Inline("R5\0")}}, 0);
    Bytes good = cr2.Take();
    EXPECT_TRUE(Read(good, ReadSource::Cr2));
    EXPECT_EQ(Value(FieldGroup::Ifd0, "Model"), "R5");
    good[8] = 'X';
    EXPECT_FALSE(Read(good, ReadSource::Cr2));
}

}  // namespace
}  // namespace meta

namespace meta {
namespace {

TEST_F(TiffReaderTest, ExifBlockOfAJpeg) {
    TiffBuilder exif(true);
    exif.Short(0x8827, {200});
    TiffBuilder tiff(true);
    tiff.Ascii(0x010f, "NIKON").SubDirectory(0x8769, exif);
    fixtures::JpegBuilder jpeg;
    jpeg.Exif(tiff.Build()).Frame(8, 8);
    ASSERT_TRUE(Read(jpeg.Build(), ReadSource::Jpeg));
    EXPECT_EQ(Value(FieldGroup::Ifd0, "Make"), "NIKON");
    EXPECT_EQ(Value(FieldGroup::Exif, "ISO"), "200");
}

TEST_F(TiffReaderTest, OtherRawHeaders) {
    // Panasonic RW2: identifier 0x55, the signature after the header, IFD0 read as PanasonicRaw.
    ByteWriter rw2;
    rw2.Text("II").U16(0x55).U32(24);
    for (int b :
         {0x88, 0xE7, 0x74, 0xD8, 0xF8, 0x25, 0x1D, 0x4D, 0x94, 0x7A, 0x6E, 0x77, 0x82, 0x2B, 0x5D, 0x6A}) {
        rw2.U8(static_cast<std::uint8_t>(b));
    }
    WriteIfd(rw2, {{0x0110, 2, 3, Inline("G9\0")}}, 0);
    Bytes panasonic = rw2.Take();
    options_.readUnknownTags = true;
    EXPECT_TRUE(Read(panasonic, ReadSource::Rw2));
    ASSERT_EQ(metadata_.GetAllValues().size(), 1u);
    EXPECT_EQ(metadata_.GetAllValues().front().GetGroup(), FieldGroup::PanasonicRaw);
    panasonic[12] = static_cast<std::uint8_t>(panasonic[12] ^ 0xff);
    EXPECT_FALSE(Read(panasonic, ReadSource::Rw2));

    // MRW: blocks before "\0TTW" are skipped; offsets count from the TIFF header.
    ByteWriter mrw(true);
    mrw.U8(0).Text("MRM").U32(0x40);
    mrw.U8(0).Text("PRD").U32(4).U32(0);
    mrw.U8(0).Text("TTW").U32(0x30);
    mrw.Text("MM").U16(42).U32(8);
    mrw.U16(1).U16(0x0110).U16(2).U32(3).U8('A').U8('7').U8(0).U8(0).U32(0);
    Bytes minolta = mrw.Take();
    EXPECT_TRUE(Read(minolta, ReadSource::Mrw));
    EXPECT_EQ(Value(FieldGroup::Ifd0, "Model"), "A7");
    minolta[4 + 3] = 0x08;  // header length too short for the blocks
    EXPECT_FALSE(Read(minolta, ReadSource::Mrw));
}

TEST_F(TiffReaderTest, UnreadableTrailerEndsTheScanQuietly) {
    TiffBuilder tiff;
    tiff.Ascii(0x010f, "Make");
    Bytes bytes = tiff.Build();
    bytes.resize(bytes.size() + 64, ' ');
    std::string const signature = "cbipcbbl";
    std::copy(signature.begin(), signature.end(), bytes.end() - 8);
    EXPECT_TRUE(Read(bytes));
    EXPECT_TRUE(Has(FieldGroup::Ifd0, "Make"));
}

}  // namespace
}  // namespace meta

namespace meta {
namespace {

// Damaged copies of a realistic file: every read must end, stay in bounds
// (the sanitizer build checks that) and keep the item count tied to the data.
TEST_F(TiffReaderTest, MutatedFilesReadSafely) {
    TiffBuilder gps;
    gps.Ascii(0x0001, "N").Rational(0x0002, {{52, 1}, {30, 1}, {0, 1}});
    TiffBuilder exif;
    exif.Short(0x8827, {400}).Rational(0x829a, {{1, 250}}).Undefined(0x927c, Bytes(40, 7));
    TiffBuilder ifd1;
    ifd1.Long(0x0100, {160});
    TiffBuilder tiff;
    tiff.Ascii(0x010f, "Canon")
        .Short(0x0102, {8, 8, 8})
        .SubDirectory(0x8769, exif)
        .SubDirectory(0x8825, gps)
        .Next(ifd1);
    Bytes const original = tiff.Build();

    std::uint32_t state = 12345;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    options_.readUnknownTags = true;
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = original;
        int const edits = 1 + static_cast<int>(next() % 4);
        for (int i = 0; i < edits; ++i) {
            std::size_t const at = next() % bytes.size();
            bytes[at] = static_cast<std::uint8_t>(next());
        }
        if (next() % 8 == 0) bytes.resize(next() % bytes.size());
        metadata_.Clear();
        Read(bytes);
        ASSERT_LT(metadata_.GetAllValues().size(), 3 * bytes.size() + 8) << "round " << round;
    }
}

}  // namespace
}  // namespace meta
