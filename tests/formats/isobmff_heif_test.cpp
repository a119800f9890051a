#include <gtest/gtest.h>

#include <string>

#include "fixtures/icc_builder.h"
#include "fixtures/image_builders.h"
#include "fixtures/isobmff_builder.h"
#include "varrow/api/metadata.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::HeifBuilder;
using Placement = fixtures::HeifBuilder::Placement;

constexpr char const* kXmpPacket =
    "<x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>"
    "<rdf:Description rdf:about='' xmlns:xmp='http://ns.adobe.com/xap/1.0/' xmp:CreatorTool='Builder'/>"
    "</rdf:RDF></x:xmpmeta>";

Bytes ExifWithMake(std::string const& make) {
    return fixtures::HeifExifItem(fixtures::TiffBuilder(true).Ascii(0x010F, make).Build());
}

class HeifTest : public ::testing::Test {
  protected:
    bool ReadBytes(Bytes const& bytes, Options const& options = {}, ReadSource source = ReadSource::Heic) {
        data_.assign(bytes.begin(), bytes.end());
        return metadata_.Read(data_.data(), data_.size(), source, options);
    }
    std::string Display(FieldGroup group, char const* name) const {
        return metadata_.Find(group, name).GetDisplayValueAsString();
    }
    bool Has(FieldGroup group, char const* name) const {
        return static_cast<bool>(metadata_.Find(group, name));
    }
    std::size_t Count(std::string_view name) const {
        std::size_t n = 0;
        for (Metadatum const& item : metadata_.GetAllValues()) n += item.GetKey().GetName() == name ? 1 : 0;
        return n;
    }

    std::string data_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(HeifTest, PrimaryItemMetadataAndProperties) {
    Bytes const file = HeifBuilder()
                           .Primary(1)
                           .Image(1)
                           .Image(2)  // thumbnail
                           .ExifItem(3, ExifWithMake("Maker"))
                           .XmpItem(4, kXmpPacket)
                           .Reference("cdsc", 3, 1)
                           .Reference("cdsc", 4, 1)
                           .Ispe(2, 160, 120)  // the thumbnail's, listed first
                           .Ispe(1, 4032, 3024)
                           .Pixi(1, {8, 8, 8})
                           .Pasp(1, 1, 1)
                           .Build();
    ASSERT_TRUE(ReadBytes(file));
    EXPECT_EQ(metadata_.GetReadStore()->readSource, ReadSource::Heic);
    EXPECT_EQ(Display(FieldGroup::Ifd0, "Make"), "Maker");
    EXPECT_EQ(Display(FieldGroup::Xmp, "CreatorTool"), "Builder");

    Metadatum const width = metadata_.Find(FieldGroup::IsoBaseMedia, "ImageWidth");
    ASSERT_TRUE(width);
    EXPECT_EQ(width.GetRawValue(), Value(std::uint32_t{4032}));
    EXPECT_EQ(width.GetKey().GetNamespace(), FieldNamespace::IsoBaseMedia);
    EXPECT_EQ(Display(FieldGroup::IsoBaseMedia, "ImageHeight"), "3024");
    EXPECT_EQ(Display(FieldGroup::IsoBaseMedia, "SamplesPerPixel"), "3");
    EXPECT_EQ(metadata_.Find(FieldGroup::IsoBaseMedia, "BitsPerSample").GetRawValue(),
              Value(std::vector<std::uint32_t>{8, 8, 8}));
    EXPECT_EQ(metadata_.Find(FieldGroup::IsoBaseMedia, "PixelAspectRatio").GetRawValue(),
              Value(Fraction(1, 1)));
    // Only the primary item's extent is reported.
    EXPECT_EQ(Count("ImageWidth"), 1u);
}

TEST_F(HeifTest, OnlyContentDescriptionsOfThePrimaryItemAreRead) {
    // Exif describing the thumbnail, and an Exif item referenced by another
    // reference type, are left alone.
    ASSERT_TRUE(ReadBytes(HeifBuilder()
                              .Primary(1)
                              .Image(1)
                              .Image(2)
                              .ExifItem(3, ExifWithMake("Thumb"))
                              .ExifItem(4, ExifWithMake("Other"))
                              .Reference("cdsc", 3, 2)
                              .Reference("thmb", 4, 1)
                              .Build()));
    EXPECT_FALSE(Has(FieldGroup::Ifd0, "Make"));

    // A "mime" item of another content type is not XMP.
    ASSERT_TRUE(ReadBytes(HeifBuilder()
                              .Image(1)
                              .DataItem(2, "mime", "text/plain", fixtures::AsBytes(kXmpPacket))
                              .Reference("cdsc", 2, 1)
                              .Build()));
    EXPECT_FALSE(Has(FieldGroup::Xmp, "CreatorTool"));
}

TEST_F(HeifTest, NonPictureHandlerHidesTheItems) {
    ASSERT_TRUE(ReadBytes(HeifBuilder()
                              .Handler("mdta")
                              .Image(1)
                              .ExifItem(2, ExifWithMake("Maker"))
                              .XmpItem(3, kXmpPacket)
                              .Reference("cdsc", 2, 1)
                              .Reference("cdsc", 3, 1)
                              .Ispe(1, 10, 10)
                              .Build()));
    EXPECT_FALSE(Has(FieldGroup::Ifd0, "Make"));
    EXPECT_FALSE(Has(FieldGroup::Xmp, "CreatorTool"));
    EXPECT_FALSE(Has(FieldGroup::IsoBaseMedia, "ImageWidth"));
}

TEST_F(HeifTest, ItemDataInIdatOrBeforeTheMetaBox) {
    ASSERT_TRUE(ReadBytes(HeifBuilder()
                              .Image(1)
                              .ExifItem(2, ExifWithMake("InIdat"), Placement::Idat)
                              .XmpItem(3, kXmpPacket, Placement::Idat)
                              .Reference("cdsc", 2, 1)
                              .Reference("cdsc", 3, 1)
                              .Build()));
    EXPECT_EQ(Display(FieldGroup::Ifd0, "Make"), "InIdat");
    EXPECT_EQ(Display(FieldGroup::Xmp, "CreatorTool"), "Builder");

    // The mdat box has passed before the instructions exist: they run at
    // the end of the walk.
    ASSERT_TRUE(ReadBytes(HeifBuilder()
                              .MdatFirst()
                              .Image(1)
                              .ExifItem(2, ExifWithMake("Early"))
                              .Reference("cdsc", 2, 1)
                              .Build()));
    EXPECT_EQ(Display(FieldGroup::Ifd0, "Make"), "Early");
    // Read once only, although both the walk's end and PostRead see it.
    EXPECT_EQ(Count("Make"), 1u);
}

TEST_F(HeifTest, ExifItemsThatAreNotRead) {
    // Split over two extents.
    ASSERT_TRUE(ReadBytes(HeifBuilder()
                              .Image(1)
                              .ExifItem(2, ExifWithMake("Split"), Placement::MdatSplit)
                              .Reference("cdsc", 2, 1)
                              .Build()));
    EXPECT_FALSE(Has(FieldGroup::Ifd0, "Make"));
    // Ten bytes or fewer hold no TIFF structure.
    ASSERT_TRUE(ReadBytes(
        HeifBuilder().Image(1).ExifItem(2, fixtures::HeifExifItem({})).Reference("cdsc", 2, 1).Build()));
    EXPECT_EQ(metadata_.Size(), 0u);
}

TEST_F(HeifTest, ExifItemWithoutTheExifMarker) {
    // The offset field says where the TIFF header is: here right after it.
    fixtures::ByteWriter item(true);
    item.U32(0).Append(fixtures::TiffBuilder(true).Ascii(0x010F, "NoMarker").Build());
    ASSERT_TRUE(ReadBytes(HeifBuilder().Image(1).ExifItem(2, item.Take()).Reference("cdsc", 2, 1).Build()));
    EXPECT_EQ(Display(FieldGroup::Ifd0, "Make"), "NoMarker");
}

TEST_F(HeifTest, ColourProfileGoesToTheIccReader) {
    Bytes const profile =
        fixtures::IccProfileBuilder().HeaderText(52, "sRGB").Tag("cprt", fixtures::IccText("None")).Build();
    ASSERT_TRUE(ReadBytes(HeifBuilder().Image(1).ColrProfile(1, profile).Build()));
    EXPECT_EQ(Display(FieldGroup::IccProfileHeader, "DeviceModel"), "sRGB");

    // "nclx" carries no profile; an unknown colour type fails only its
    // property.
    ASSERT_TRUE(ReadBytes(HeifBuilder()
                              .Image(1)
                              .ColrProfile(1, Bytes(8, 1), "nclx")
                              .ColrProfile(1, profile, "what")
                              .Ispe(1, 5, 6)
                              .Build()));
    EXPECT_FALSE(Has(FieldGroup::IccProfileHeader, "DeviceModel"));
    EXPECT_EQ(Display(FieldGroup::IsoBaseMedia, "ImageWidth"), "5");
}

TEST_F(HeifTest, UnsupportedVersionsArePassedOver) {
    // A version 1 "ispe" is not understood; the pixi after it still counts
    // with its own index.
    ASSERT_TRUE(ReadBytes(HeifBuilder()
                              .Image(1)
                              .Property(1, fixtures::IsoFullBox("ispe", 1, 0, Bytes(8, 1)))
                              .Pixi(1, {10})
                              .Build()));
    EXPECT_FALSE(Has(FieldGroup::IsoBaseMedia, "ImageWidth"));
    EXPECT_EQ(Display(FieldGroup::IsoBaseMedia, "SamplesPerPixel"), "1");
}

TEST_F(HeifTest, OversizedBoxesArePassedOver) {
    // An XMP box larger than 32 MiB is not read; the walk goes on after it.
    Bytes const big = fixtures::IsoUuidBox(fixtures::XmpUuid(), Bytes(std::size_t{40} << 20, ' '));
    Bytes const xmp = fixtures::IsoUuidBox(fixtures::XmpUuid(), fixtures::AsBytes(kXmpPacket));
    Bytes file = HeifBuilder().Image(1).Ispe(1, 7, 8).Trailer(big).Build();
    ASSERT_TRUE(ReadBytes(fixtures::Concat({file, xmp})));
    EXPECT_EQ(Display(FieldGroup::IsoBaseMedia, "ImageWidth"), "7");
    EXPECT_EQ(Count("CreatorTool"), 1u);
}

}  // namespace
}  // namespace meta
