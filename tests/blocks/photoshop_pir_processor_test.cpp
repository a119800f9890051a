#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "blocks/icc_test_support.h"
#include "fixtures/icc_builder.h"
#include "fixtures/image_builders.h"
#include "fixtures/photoshop_builder.h"
#include "varrow/blocks/photoshop/image_resource.h"
#include "varrow/blocks/photoshop/pir_processor.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::PhotoshopResourceBuilder;

constexpr std::uint16_t kResolution = 1005;
constexpr std::uint16_t kIcc = 1039;

Bytes Resolution72() {
    return fixtures::PhotoshopResolutionInfo(0x00480000, 1, 0x00480000, 1);
}

class PhotoshopTest : public ::testing::Test, protected test::BlockReadTest {
  protected:
    ReadResult Read(Bytes const& block, Options const& options = {}) {
        metadata_.Clear();
        return ReadBlock<PirProcessor>(block, FieldGroup::Unknown, options);
    }
    std::size_t ResolutionItems() const { return CountInGroup(FieldGroup::PhotoshopResolution); }
};

TEST_F(PhotoshopTest, IsRegisteredUnderItsName) {
    EXPECT_EQ(ProcessorRegistry::FindByName("Photoshop Image Resources"), &typeid(PirProcessor));
}

TEST_F(PhotoshopTest, ResolutionRecord) {
    Bytes const block =
        PhotoshopResourceBuilder()
            .Resource(kResolution, fixtures::PhotoshopResolutionInfo(0x00480253, 1, 0x012C0000, 2))
            .Build();
    ASSERT_EQ(Read(block), ReadResult::Success);
    EXPECT_EQ(ResolutionItems(), 4u);
    // 16.16 fixed point rounded to two decimals: 0x253 / 65536 is 0.009.
    EXPECT_EQ(metadata_.FindAny("XResolution").GetValue(), Value(72.01));
    EXPECT_EQ(metadata_.FindAny("YResolution").GetValue(), Value(300.0));
    EXPECT_EQ(Display("DisplayedUnitsX"), "inches");
    // Y shares the X lookup.
    EXPECT_EQ(Display("DisplayedUnitsY"), "cm");
    EXPECT_EQ(metadata_.FindAny("DisplayedUnitsY").GetKey().GetFullName(),
              "Photoshop:PhotoshopResolution.DisplayedUnitsY");

    Bytes const odd = PhotoshopResourceBuilder()
                          .Resource(kResolution, fixtures::PhotoshopResolutionInfo(0, 201, 1, 1))
                          .Build();
    ASSERT_EQ(Read(odd), ReadResult::Success);
    EXPECT_EQ(Display("DisplayedUnitsX"), "Unknown (201)");
    EXPECT_EQ(metadata_.FindAny("XResolution").GetValue(), Value(0.0));
    EXPECT_EQ(metadata_.FindAny("YResolution").GetValue(), Value(0.0));  // 1/65536 rounds to 0
}

TEST_F(PhotoshopTest, NamesAndPadding) {
    Bytes const block = PhotoshopResourceBuilder()
                            .Resource(1000, {1, 2, 3}, "")  // odd data: a pad byte follows
                            .Resource(1001, {1, 2}, "a")    // one character: no name pad
                            .Resource(1002, {1}, "ab")      // two characters: padded
                            .Resource(kResolution, Resolution72(), "resolution")
                            .Build();
    // Length byte and name take an even count: 1 + 1 pad, 2, 3 + 1 pad.
    detail::ImageResourceHeader header;
    std::string_view const bytes(reinterpret_cast<char const*>(block.data()), block.size());
    ASSERT_EQ(detail::ParseImageResourceHeader(bytes, 0, header), detail::ImageResourceParse::Ok);
    EXPECT_EQ(header.dataStart, 12u);
    EXPECT_EQ(header.dataSize, 3u);
    ASSERT_EQ(detail::ParseImageResourceHeader(bytes, 16, header), detail::ImageResourceParse::Ok);
    EXPECT_EQ(header.id, 1001);
    EXPECT_EQ(header.dataStart, 16u + 12u);

    ASSERT_EQ(Read(block), ReadResult::Success);
    EXPECT_EQ(ResolutionItems(), 4u);
}

TEST_F(PhotoshopTest, ShortAndTrailingData) {
    EXPECT_EQ(Read(Bytes{'8', 'B', 'I', 'M', 0x03, 0xED, 0, 0}), ReadResult::Success);
    EXPECT_EQ(metadata_.Size(), 0u);
    EXPECT_EQ(Read({}), ReadResult::Success);

    // Not a resource signature: the rest is ignored.
    Bytes const trailing =
        PhotoshopResourceBuilder().Resource(kResolution, Resolution72()).Raw(Bytes(20, 'x')).Build();
    EXPECT_EQ(Read(trailing), ReadResult::Success);
    EXPECT_EQ(ResolutionItems(), 4u);

    // A last resource claiming more than remains ends the walk quietly.
    Bytes const cut = PhotoshopResourceBuilder()
                          .Resource(kResolution, Resolution72())
                          .Truncated(1028, 500, Bytes(20, 0))
                          .Build();
    EXPECT_EQ(Read(cut), ReadResult::Success);
    EXPECT_EQ(ResolutionItems(), 4u);

    // A header cut inside its name is damage.
    Bytes const broken = PhotoshopResourceBuilder()
                             .Resource(kResolution, Resolution72())
                             .Raw({'8', 'B', 'I', 'M', 0x04, 0x04, 30, 'n', 'a', 'm', 'e'})
                             .Build();
    EXPECT_EQ(Read(broken), ReadResult::Error);
    EXPECT_EQ(ResolutionItems(), 4u);
}

TEST_F(PhotoshopTest, WalksFromTheCursorToTheUsableLimit) {
    Bytes const block =
        PhotoshopResourceBuilder()
            .Resource(kResolution, Resolution72())
            .Resource(kIcc, fixtures::IccProfileBuilder().Tag("cprt", fixtures::IccText("c")).Build())
            .Build();
    metadata_.Clear();
    // The bytes past the limit would be a damaged resource header.
    ASSERT_EQ(ReadFenced<PirProcessor>(block, 6, 12, FieldGroup::Unknown), ReadResult::Success);
    EXPECT_EQ(ResolutionItems(), 4u);
    EXPECT_EQ(Display("ProfileCopyright"), "c");
}

TEST_F(PhotoshopTest, OnlyPhotoshopSignaturesAreHandedOn) {
    for (char const* signature : {"MeSa", "PHUT", "DCSR", "AgHg"}) {
        Bytes const block = PhotoshopResourceBuilder()
                                .Resource(kResolution, Resolution72(), "", signature)
                                .Resource(1000, {}, "", "8BIM")
                                .Build();
        EXPECT_EQ(Read(block), ReadResult::Success) << signature;
        EXPECT_EQ(ResolutionItems(), 0u) << signature;
    }
}

TEST_F(PhotoshopTest, EmbeddedProfileSeesOnlyItsResource) {
    // The profile reader insists that the profile fills its source: it
    // must be given the resource's data, not the rest of the block.
    Bytes const profile =
        fixtures::IccProfileBuilder().Tag("desc", fixtures::IccDesc("In resources")).Build();
    Bytes const block =
        PhotoshopResourceBuilder().Resource(kIcc, profile).Resource(kResolution, Resolution72()).Build();
    ASSERT_EQ(Read(block), ReadResult::Success);
    Metadatum const description = metadata_.FindAny("ProfileDescription");
    EXPECT_EQ(description.GetDisplayValueAsString(), "In resources");
    EXPECT_EQ(description.GetGroup(), FieldGroup::IccProfile);
    EXPECT_EQ(ResolutionItems(), 4u);
}

TEST_F(PhotoshopTest, SubReaderErrorsCountOnlyWithStopOnError) {
    Bytes damaged =
        fixtures::IccProfileBuilder().Tag("cprt", fixtures::IccText("c")).SizeFieldDelta(4).Build();
    Bytes const block =
        PhotoshopResourceBuilder().Resource(kIcc, damaged).Resource(kResolution, Resolution72()).Build();
    EXPECT_EQ(Read(block), ReadResult::Success);
    EXPECT_EQ(ResolutionItems(), 4u);

    Options stop;
    stop.stopOnError = true;
    EXPECT_EQ(Read(block, stop), ReadResult::Error);
    EXPECT_EQ(ResolutionItems(), 0u);
}

TEST_F(PhotoshopTest, RestoresTheReadStore) {
    metadata_.Clear();
    ReadStore& store = *metadata_.GetReadStore();
    store.valueFormat = ExifType::Rational;
    store.valueCount = 7;
    Bytes const block = PhotoshopResourceBuilder().Resource(kResolution, Resolution72()).Build();
    ASSERT_EQ(ReadBlock<PirProcessor>(block, FieldGroup::Unknown), ReadResult::Success);
    ASSERT_EQ(ResolutionItems(), 4u);
    EXPECT_EQ(store.byteOrder, ByteOrder::LittleEndian);
    EXPECT_EQ(store.valueFormat, ExifType::Rational);
    EXPECT_EQ(store.valueCount, 7u);
}

TEST_F(PhotoshopTest, ReachedThroughJpeg) {
    Bytes const jpeg =
        fixtures::JpegBuilder()
            .Photoshop(
                PhotoshopResourceBuilder().Resource(1000, {9}).Resource(kResolution, Resolution72()).Build())
            .Build();
    data_.assign(jpeg.begin(), jpeg.end());
    ASSERT_TRUE(metadata_.Read(data_.data(), data_.size(), ReadSource::Jpeg, Options{}));
    EXPECT_EQ(Display("XResolution"), "72");
    EXPECT_EQ(metadata_.FindAny("XResolution").GetGroup(), FieldGroup::PhotoshopResolution);
}

}  // namespace
}  // namespace meta
