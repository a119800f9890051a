// Blocks that TIFF directories point to beyond plain tags: the IFD1
// thumbnail image and the Print Image Matching block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "fixtures/image_builders.h"
#include "varrow/api/metadata.h"
#include "varrow/blocks/printim/print_im_processor.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::TiffBuilder;

Bytes PrintImBlockBytes(bool bigEndian, std::vector<std::pair<std::uint16_t, std::uint32_t>> const& entries,
                        std::uint16_t declaredCount) {
    Bytes out;
    for (char c : std::string("PrintIM\0", 8)) out.push_back(static_cast<std::uint8_t>(c));
    for (char c : std::string("0300")) out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(0);
    out.push_back(0);
    auto put = [&](std::uint32_t v, int size) {
        for (int i = 0; i < size; ++i) {
            int const shift = bigEndian ? 8 * (size - 1 - i) : 8 * i;
            out.push_back(static_cast<std::uint8_t>(v >> shift));
        }
    };
    put(declaredCount, 2);
    for (auto const& [id, value] : entries) {
        put(id, 2);
        put(value, 4);
    }
    return out;
}

std::string_view View(Bytes const& bytes) {
    return {reinterpret_cast<char const*>(bytes.data()), bytes.size()};
}

TEST(PrintImParsing, ReadsEntriesInEitherByteOrderAndRejectsWhatDoesNotFit) {
    Bytes const little = PrintImBlockBytes(false, {{0x0001, 0x00160016}, {0x0101, 1}}, 2);
    auto block = ParsePrintIm(View(little), ByteOrder::LittleEndian);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->version, "0300");
    ASSERT_EQ(block->entries.size(), 2u);
    EXPECT_EQ(block->entries[0].id, 0x0001);
    EXPECT_EQ(block->entries[0].value, 0x00160016u);
    EXPECT_EQ(block->entries[1].id, 0x0101);

    // A block written in the other order than its directory: the count
    // (0x0200 read the wrong way) cannot fit, so the other order is used.
    block = ParsePrintIm(View(little), ByteOrder::BigEndian);
    ASSERT_TRUE(block);
    ASSERT_EQ(block->entries.size(), 2u);
    EXPECT_EQ(block->entries[1].value, 1u);

    Bytes const big = PrintImBlockBytes(true, {{0x0002, 0xabcdef01}}, 1);
    block = ParsePrintIm(View(big), ByteOrder::BigEndian);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->entries.at(0).value, 0xabcdef01u);

    // A count larger than the block in both orders, a bad signature, a short block.
    EXPECT_FALSE(ParsePrintIm(View(PrintImBlockBytes(false, {{1, 1}}, 0x0303)), ByteOrder::LittleEndian));
    Bytes wrong = little;
    wrong[0] = 'X';
    EXPECT_FALSE(ParsePrintIm(View(wrong), ByteOrder::LittleEndian));
    EXPECT_FALSE(ParsePrintIm(View(little).substr(0, 15), ByteOrder::LittleEndian));
    // An empty block is valid and has no entries.
    block = ParsePrintIm(View(PrintImBlockBytes(false, {}, 0)), ByteOrder::LittleEndian);
    ASSERT_TRUE(block);
    EXPECT_TRUE(block->entries.empty());
}

TEST(PrintImParsing, EntryNamesUseFourLowerCaseHexDigits) {
    EXPECT_EQ(PrintImEntryName(0x0001), "PrintIM_0x0001");
    EXPECT_EQ(PrintImEntryName(0xab0f), "PrintIM_0xab0f");
}

class TiffEmbeddedBlocks : public ::testing::Test {
  protected:
    bool Read(Bytes const& bytes) {
        return metadata_.Read(reinterpret_cast<char const*>(bytes.data()), bytes.size(), ReadSource::Tiff,
                              Options{});
    }

    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(TiffEmbeddedBlocks, PrintImTagYieldsVersionAndHexDisplayedEntries) {
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big endian" : "little endian");
        TiffBuilder exif(bigEndian);
        exif.Undefined(0xc4a5, PrintImBlockBytes(bigEndian, {{0x0001, 0x00160016}, {0x0101, 1}}, 2));
        TiffBuilder tiff(bigEndian);
        tiff.Ascii(0x010f, "Maker").SubDirectory(0x8769, exif);
        metadata_.Clear();
        ASSERT_TRUE(Read(tiff.Build()));
        EXPECT_EQ(metadata_.Find(FieldGroup::PrintIm, "PrintIMVersion").GetValueAsString(), "0300");
        Metadatum const entry = metadata_.Find(FieldGroup::PrintIm, "PrintIM_0x0001");
        ASSERT_TRUE(entry);
        EXPECT_EQ(entry.GetRawValue().Convert<std::uint32_t>(), 0x00160016u);
        EXPECT_EQ(entry.GetDisplayValueAsString(), "0x00160016");
        EXPECT_EQ(metadata_.Find(FieldGroup::PrintIm, "PrintIM_0x0101").GetDisplayValueAsString(),
                  "0x00000001");
    }
}

TEST_F(TiffEmbeddedBlocks, DamagedPrintImAddsNothingAndTheFileStillReads) {
    TiffBuilder exif;
    exif.Short(0x8827, {200}).Undefined(0xc4a5, PrintImBlockBytes(false, {{1, 1}}, 40));
    TiffBuilder tiff;
    tiff.SubDirectory(0x8769, exif);
    ASSERT_TRUE(Read(tiff.Build()));
    EXPECT_EQ(metadata_.Find(FieldGroup::Exif, "ISO").GetValueAsString(), "200");
    EXPECT_FALSE(metadata_.Find(FieldGroup::PrintIm, "PrintIMVersion"));
}

// A TIFF whose IFD1 points at `thumbnail`, appended after the directories;
// `shift` moves the recorded offset away from the bytes.
Bytes TiffWithThumbnail(Bytes const& thumbnail, std::uint32_t shift, std::uint32_t length) {
    auto build = [&](std::uint32_t offset) {
        TiffBuilder ifd1;
        ifd1.Short(0x0103, {6}).Long(0x0201, {offset}).Long(0x0202, {length});
        TiffBuilder tiff;
        tiff.Ascii(0x010f, "Maker").Next(ifd1);
        return tiff.Build();
    };
    // The layout does not depend on the offset's value, so the first build
    // tells where the appended bytes will start.
    auto const at = static_cast<std::uint32_t>(build(0).size());
    Bytes out = build(at + shift);
    out.insert(out.end(), thumbnail.begin(), thumbnail.end());
    return out;
}

TEST_F(TiffEmbeddedBlocks, ThumbnailBytesBecomeABinaryItemOfIfd1) {
    Bytes jpeg(600);
    for (std::size_t i = 0; i < jpeg.size(); ++i) jpeg[i] = static_cast<std::uint8_t>(i * 7);
    ASSERT_TRUE(Read(TiffWithThumbnail(jpeg, 0, static_cast<std::uint32_t>(jpeg.size()))));
    Metadatum const image = metadata_.Find(FieldGroup::Ifd1, "ThumbnailImage");
    ASSERT_TRUE(image);
    auto const& bytes = image.GetRawValue().Get<std::vector<byte>>();
    ASSERT_EQ(bytes.size(), jpeg.size());
    for (std::size_t i = 0; i < jpeg.size(); ++i) EXPECT_EQ(std::to_integer<std::uint8_t>(bytes[i]), jpeg[i]);
    EXPECT_EQ(Metadata::MakeExifToolDisplayStringFinder()(metadata_, FieldGroup::Ifd1, "ThumbnailImage"),
              "(Binary data 600 bytes, use -b option to extract)");
}

// Inside a JPEG the EXIF block starts well into the file: the thumbnail's
// offset is reported as a position in the file, and the bytes are still
// found from it.
TEST_F(TiffEmbeddedBlocks, ThumbnailOffsetInAJpegIsAFilePosition) {
    Bytes thumbnail(100);
    for (std::size_t i = 0; i < thumbnail.size(); ++i) thumbnail[i] = static_cast<std::uint8_t>(200 - i);
    Bytes const tiff = TiffWithThumbnail(thumbnail, 0, static_cast<std::uint32_t>(thumbnail.size()));
    Bytes const jpeg = fixtures::JpegBuilder().Jfif(72, 72).Exif(tiff).Frame(8, 8).Build();

    // Where the TIFF header landed in the file.
    auto const header = std::search(jpeg.begin(), jpeg.end(), tiff.begin(), tiff.begin() + 8);
    ASSERT_NE(header, jpeg.end());
    auto const tiffStart = static_cast<std::uint64_t>(header - jpeg.begin());
    ASSERT_GT(tiffStart, 20u);
    auto const relative = tiff.size() - thumbnail.size();

    ASSERT_TRUE(
        metadata_.Read(reinterpret_cast<char const*>(jpeg.data()), jpeg.size(), ReadSource::Jpeg, Options{}));
    EXPECT_EQ(metadata_.Find(FieldGroup::Ifd1, "ThumbnailOffset").GetRawValue().Convert<std::uint64_t>(),
              tiffStart + relative);
    Metadatum const image = metadata_.Find(FieldGroup::Ifd1, "ThumbnailImage");
    ASSERT_TRUE(image);
    auto const& bytes = image.GetRawValue().Get<std::vector<byte>>();
    ASSERT_EQ(bytes.size(), thumbnail.size());
    EXPECT_EQ(std::to_integer<std::uint8_t>(bytes.front()), thumbnail.front());
    EXPECT_EQ(std::to_integer<std::uint8_t>(bytes.back()), thumbnail.back());
    // The JFIF record in front of it is read from its table, version as printed.
    EXPECT_EQ(Metadata::MakeExifToolDisplayStringFinder()(metadata_, FieldGroup::Jfif, "JFIFVersion"),
              "1.02");
}

TEST_F(TiffEmbeddedBlocks, ThumbnailOutsideTheInputOrEmptyIsNotRead) {
    Bytes const jpeg{0xff, 0xd8, 0xff, 0xd9};
    // Runs one byte past the end of the file.
    ASSERT_TRUE(Read(TiffWithThumbnail(jpeg, 1, 4)));
    EXPECT_FALSE(metadata_.Find(FieldGroup::Ifd1, "ThumbnailImage"));
    EXPECT_TRUE(metadata_.Find(FieldGroup::Ifd1, "ThumbnailOffset"));
    // A length far beyond the input.
    metadata_.Clear();
    ASSERT_TRUE(Read(TiffWithThumbnail(jpeg, 0, 0xfffffff0u)));
    EXPECT_FALSE(metadata_.Find(FieldGroup::Ifd1, "ThumbnailImage"));
    // Zero length.
    metadata_.Clear();
    ASSERT_TRUE(Read(TiffWithThumbnail(jpeg, 0, 0)));
    EXPECT_FALSE(metadata_.Find(FieldGroup::Ifd1, "ThumbnailImage"));
}

}  // namespace
}  // namespace meta
