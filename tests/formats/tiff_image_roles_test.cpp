#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fixtures/byte_writer.h"
#include "fixtures/image_builders.h"
#include "varrow/api/initialiser.h"
#include "varrow/api/metadata.h"
#include "varrow/api/options.h"
#include "varrow/formats/tiff/tiff_image_roles.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::ByteWriter;
using fixtures::TiffBuilder;

class TiffImageRolesTest : public ::testing::Test {
  protected:
    bool Read(Bytes const& bytes, ReadSource source) {
        metadata_.Clear();
        return metadata_.Read(reinterpret_cast<char const*>(bytes.data()), bytes.size(), source, options_);
    }
    std::string Value(FieldGroup group, std::string_view name) const {
        return metadata_.Find(group, name).GetValueAsString();
    }
    bool Has(FieldGroup group, std::string_view name) const {
        return static_cast<bool>(metadata_.Find(group, name));
    }

    Options options_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

struct RawEntry {
    std::uint16_t tag, format;
    std::uint32_t count, value;
};

void WriteIfd(ByteWriter& out, std::vector<RawEntry> const& entries) {
    out.U16(static_cast<std::uint16_t>(entries.size()));
    for (auto const& e : entries) out.U16(e.tag).U16(e.format).U32(e.count).U32(e.value);
    out.U32(0);
}

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;

// A DNG-like layout: IFD0 with three SubIFDs, each a JPEG-compressed image
// whose strip is a few bytes of text at the end of the file.
//   8: IFD0 (2 entries), 38: SubIFD offsets, 50/104/158: SubIFDs,
//   212: "RAW!", 216: "PREVW", 221: "FULLJP".
Bytes SubIfdFile(std::uint32_t fullSubfileType) {
    ByteWriter out;
    out.Text("II").U16(42).U32(8);
    WriteIfd(out, {{0x010f, 2, 3, 0x4241}, {0x014a, kLong, 3, 38}});
    out.U32(50).U32(104).U32(158);
    WriteIfd(out, {{0x00fe, kLong, 1, fullSubfileType},
                   {0x0103, kShort, 1, 7},
                   {0x0111, kLong, 1, 212},
                   {0x0117, kLong, 1, 4}});
    WriteIfd(out,
             {{0x00fe, kLong, 1, 1}, {0x0103, kShort, 1, 7}, {0x0111, kLong, 1, 216}, {0x0117, kLong, 1, 5}});
    WriteIfd(out,
             {{0x00fe, kLong, 1, 1}, {0x0103, kShort, 1, 7}, {0x0111, kLong, 1, 221}, {0x0117, kLong, 1, 6}});
    out.Text("RAW!").Text("PREVW").Text("FULLJP");
    return out.Take();
}

TEST_F(TiffImageRolesTest, JpegStripsOfReducedImagesArePreviewsInDngAndTiff) {
    Bytes const file = SubIfdFile(0);
    ASSERT_EQ(file.size(), 227u);
    for (ReadSource source : {ReadSource::Dng, ReadSource::Tiff}) {
        SCOPED_TRACE(static_cast<int>(source));
        ASSERT_TRUE(Read(file, source));
        // The full-resolution image keeps its strips.
        EXPECT_EQ(Value(FieldGroup::SubIfd, "StripOffsets"), "212");
        EXPECT_EQ(Value(FieldGroup::SubIfd, "StripByteCounts"), "4");
        EXPECT_FALSE(Has(FieldGroup::SubIfd, "PreviewImageStart"));
        // A reduced JPEG image is a preview, in the third SubIFD the full-size JPEG.
        EXPECT_EQ(Value(FieldGroup::SubIfd1, "PreviewImageStart"), "216");
        EXPECT_EQ(Value(FieldGroup::SubIfd1, "PreviewImageLength"), "5");
        // Previews are located, not copied: they run to megabytes in real files.
        EXPECT_FALSE(Has(FieldGroup::SubIfd1, "PreviewImage"));
        EXPECT_FALSE(Has(FieldGroup::SubIfd1, "StripOffsets"));
        EXPECT_EQ(Value(FieldGroup::SubIfd2, "JpgFromRawStart"), "221");
        EXPECT_EQ(Value(FieldGroup::SubIfd2, "JpgFromRawLength"), "6");
        EXPECT_FALSE(Has(FieldGroup::SubIfd2, "JpgFromRaw"));
    }

    // Other raw formats keep the plain names.
    ASSERT_TRUE(Read(file, ReadSource::Nef));
    EXPECT_EQ(Value(FieldGroup::SubIfd1, "StripOffsets"), "216");
    EXPECT_FALSE(Has(FieldGroup::SubIfd1, "PreviewImageStart"));
    EXPECT_FALSE(Has(FieldGroup::SubIfd2, "JpgFromRaw"));

    // The full-resolution claim is what keeps the first SubIFD's strips.
    ASSERT_TRUE(Read(SubIfdFile(1), ReadSource::Dng));
    EXPECT_EQ(Value(FieldGroup::SubIfd, "PreviewImageStart"), "212");
}

TEST_F(TiffImageRolesTest, StripRoleNeedsJpegCompressionAndAnyReducedClaim) {
    // IFD0 without a subfile type: JPEG strips are a preview, old-style JPEG
    // and uncompressed strips are image data.
    auto file = [](std::uint32_t compression) {
        ByteWriter out;
        out.Text("II").U16(42).U32(8);
        WriteIfd(out, {{0x0103, kShort, 1, compression}, {0x0111, kLong, 1, 50}, {0x0117, kLong, 1, 2}});
        out.Text("JP");
        return out.Take();
    };
    ASSERT_TRUE(Read(file(7), ReadSource::Tiff));
    EXPECT_EQ(Value(FieldGroup::Ifd0, "PreviewImageStart"), "50");
    EXPECT_EQ(Value(FieldGroup::Ifd0, "PreviewImageLength"), "2");
    for (std::uint32_t compression : {1u, 6u}) {
        ASSERT_TRUE(Read(file(compression), ReadSource::Tiff));
        EXPECT_EQ(Value(FieldGroup::Ifd0, "StripOffsets"), "50");
        EXPECT_FALSE(Has(FieldGroup::Ifd0, "PreviewImageStart"));
    }

    // CR2 keeps its preview in IFD0's strips whatever the compression.
    ByteWriter cr2;
    cr2.Text("II").U16(42).U32(16).Text("CR").U8(2).U8(0).U32(0);
    WriteIfd(cr2, {{0x0103, kShort, 1, 6}, {0x0111, kLong, 1, 58}, {0x0117, kLong, 1, 3}});
    cr2.Text("CRP");
    ASSERT_TRUE(Read(cr2.Take(), ReadSource::Cr2));
    EXPECT_EQ(Value(FieldGroup::Ifd0, "PreviewImageStart"), "58");
    EXPECT_EQ(Value(FieldGroup::Ifd0, "PreviewImageLength"), "3");
}

// IFD0 and IFD1 each with a JPEGInterchangeFormat pair locating text
// appended after the structure.
Bytes JpegPairFile() {
    auto build = [](std::uint32_t first, std::uint32_t second) {
        TiffBuilder ifd1;
        ifd1.Long(0x0201, {second}).Long(0x0202, {3});
        TiffBuilder tiff;
        tiff.Long(0x0201, {first}).Long(0x0202, {4}).Next(ifd1);
        return tiff.Build();
    };
    auto const size = static_cast<std::uint32_t>(build(0, 0).size());
    Bytes bytes = build(size, size + 4);
    for (char c : std::string_view("MAINTHM")) bytes.push_back(static_cast<std::uint8_t>(c));
    return bytes;
}

TEST_F(TiffImageRolesTest, JpegPairsAreNamedByDirectoryAndFileType) {
    Bytes const file = JpegPairFile();
    ASSERT_TRUE(Read(file, ReadSource::Tiff));
    EXPECT_TRUE(Has(FieldGroup::Ifd0, "OtherImageStart"));
    EXPECT_EQ(Value(FieldGroup::Ifd0, "OtherImageLength"), "4");
    EXPECT_FALSE(Has(FieldGroup::Ifd0, "OtherImage"));
    EXPECT_FALSE(Has(FieldGroup::Ifd0, "ThumbnailOffset"));
    EXPECT_EQ(Value(FieldGroup::Ifd1, "ThumbnailLength"), "3");
    EXPECT_EQ(Value(FieldGroup::Ifd1, "ThumbnailImage"), "THM");

    ASSERT_TRUE(Read(file, ReadSource::Arw));
    EXPECT_EQ(Value(FieldGroup::Ifd0, "PreviewImageLength"), "4");
    EXPECT_TRUE(Has(FieldGroup::Ifd0, "PreviewImageStart"));
    EXPECT_EQ(Value(FieldGroup::Ifd1, "ThumbnailImage"), "THM");
}

TEST_F(TiffImageRolesTest, LocatorsInAJpegAreFilePositions) {
    auto jpeg = [](bool shortStrips) {
        TiffBuilder ifd1;
        if (shortStrips) {
            ifd1.Short(0x0111, {100});
        } else {
            ifd1.Long(0x0111, {100, 200});
        }
        ifd1.Long(0x0117, {10, 10}).Long(0x0144, {400}).Long(0x0201, {300}).Long(0x0202, {0});
        TiffBuilder tiff;
        tiff.Ascii(0x010f, "Make").Next(ifd1);
        fixtures::JpegBuilder builder;
        builder.Jfif(72, 72).Exif(tiff.Build()).Frame(8, 8);
        return builder.Build();
    };
    Bytes const bytes = jpeg(false);
    std::string_view const marker("Exif\0\0", 6);
    auto const at = std::search(bytes.begin(), bytes.end(), marker.begin(), marker.end());
    ASSERT_NE(at, bytes.end());
    auto const header = static_cast<unsigned>(at - bytes.begin()) + 6;

    ASSERT_TRUE(Read(bytes, ReadSource::Jpeg));
    EXPECT_EQ(Value(FieldGroup::Ifd1, "StripOffsets"),
              std::to_string(100 + header) + " " + std::to_string(200 + header));
    EXPECT_EQ(Value(FieldGroup::Ifd1, "ThumbnailOffset"), std::to_string(300 + header));
    EXPECT_EQ(Value(FieldGroup::Ifd1, "TileOffsets"), std::to_string(400 + header));
    EXPECT_EQ(Value(FieldGroup::Ifd1, "StripByteCounts"), "10 10");

    // 16-bit strip offsets cannot hold positions; they stay as written
    // rather than losing their element to a wider format.
    ASSERT_TRUE(Read(jpeg(true), ReadSource::Jpeg));
    EXPECT_EQ(Value(FieldGroup::Ifd1, "StripOffsets"), "100");
}

}  // namespace
}  // namespace meta
