#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "blocks/icc_test_support.h"
#include "fixtures/icc_builder.h"
#include "fixtures/image_builders.h"
#include "varrow/blocks/icc/icc_profile_processor.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::IccProfileBuilder;

class IccProfileTest : public ::testing::Test, protected test::BlockReadTest {
  protected:
    ReadResult Read(Bytes const& profile, Options const& options = {},
                    FieldGroup group = FieldGroup::IccProfile) {
        metadata_.Clear();
        return ReadBlock<IccProfileProcessor>(profile, group, options);
    }
};

TEST_F(IccProfileTest, IsRegisteredUnderItsName) {
    EXPECT_EQ(ProcessorRegistry::FindByName("ICC Profile"), &typeid(IccProfileProcessor));
}

TEST_F(IccProfileTest, HeaderFieldsShowAsNamed) {
    Bytes const profile = IccProfileBuilder()
                              .HeaderText(48, "HP  ")
                              .HeaderText(52, "sRGB")
                              .HeaderBytes(44, {0, 0, 0, 3})
                              .HeaderBytes(64, {0, 0, 0, 1})
                              .HeaderBytes(84, {0xCA, 0x1A, 0x95, 0x82})
                              .Tag("cprt", fixtures::IccText("No copyright"))
                              .Build();
    ASSERT_EQ(Read(profile), ReadResult::Success);

    EXPECT_EQ(Display("ProfileCMMType"), "Little CMS");
    EXPECT_EQ(Display("ProfileVersion"), "4.3.0");
    EXPECT_EQ(Display("ProfileClass"), "Display Device Profile");
    EXPECT_EQ(Display("PrimaryPlatform"), "Apple Computer Inc.");
    // Space padding is part of a signature: it is what the lookups know.
    EXPECT_EQ(metadata_.FindAny("ColorSpaceData").GetValue(), Value("RGB "));
    EXPECT_EQ(Display("DeviceManufacturer"), "Hewlett-Packard");
    EXPECT_EQ(Display("DeviceModel"), "sRGB");
    EXPECT_EQ(Display("CMMFlags"), "Embedded, Not Independent");
    EXPECT_EQ(Display("DeviceAttributes"), "Reflective, Glossy, Positive, Color");
    EXPECT_EQ(Display("RenderingIntent"), "Media-Relative Colorimetric");
    EXPECT_EQ(Display("ProfileID"), "ca1a9582000000000000000000000000");
    EXPECT_EQ(metadata_.FindAny("ConnectionSpaceIlluminant").GetDisplayValue(),
              Value(std::vector<double>{0.9642, 1.0, 0.82491}));

    DateTime const created = metadata_.FindAny("ProfileDateTime").GetValue().Get<DateTime>();
    EXPECT_EQ(std::vector<int>(
                  {created.year, created.month, created.day, created.hour, created.minute, created.second}),
              std::vector<int>({2021, 3, 4, 5, 6, 7}));

    Metadatum const cmm = metadata_.FindAny("ProfileCMMType");
    EXPECT_EQ(cmm.GetGroup(), FieldGroup::IccProfileHeader);
    EXPECT_EQ(metadata_.FindAny("ProfileCopyright").GetGroup(), FieldGroup::IccProfile);
}

TEST_F(IccProfileTest, FixedLayoutTagTypes) {
    Bytes const profile = IccProfileBuilder()
                              .Tag("desc", fixtures::IccDesc("Camera RGB"))
                              .Tag("cprt", fixtures::IccText("Public domain"))
                              .Tag("chad", fixtures::IccS15Fixed16({0x00010C42, -0x0CDA, 0x0000F6D6}))
                              .Tag("gamt", fixtures::IccUInt32({7, 8}))
                              .Tag("pre0", fixtures::IccTagData("ui08", {1, 2, 3}))
                              .Tag("pre1", fixtures::IccTagData("uf32", {0, 2, 0x80, 0}))
                              .Build();
    ASSERT_EQ(Read(profile), ReadResult::Success);
    EXPECT_EQ(Display("ProfileDescription"), "Camera RGB");
    EXPECT_EQ(Display("ProfileCopyright"), "Public domain");
    EXPECT_EQ(metadata_.FindAny("ChromaticAdaptation").GetDisplayValue(),
              Value(std::vector<double>{1.04788, -0.0502, 0.9642}));
    EXPECT_EQ(metadata_.FindAny("Gamut").GetRawValue(), Value(std::vector<std::uint32_t>{7, 8}));
    EXPECT_EQ(metadata_.FindAny("Preview0").GetRawValue().Length(), 3u);
    EXPECT_DOUBLE_EQ(metadata_.FindAny("Preview1").GetRawValue().Convert<double>(), 2.5);
}

TEST_F(IccProfileTest, LocalisedTextGivesOneItemPerRecord) {
    Bytes const profile =
        IccProfileBuilder()
            .Tag("dscm", fixtures::IccMluc({{"de", "DE", u"Farb-LCD"},
                                            {"en", "US", u"Colour LCD"},
                                            {"ja", "JP", u"\u30AB\u30E9\u30FC LCD"}}))
            .Tag("desc", fixtures::IccMluc({{"fr", "FR", u"Profil"}, {"it", "IT", u"Profilo"}}))
            .Build();
    ASSERT_EQ(Read(profile), ReadResult::Success);
    // The US English text is the one found by name; without it the first.
    EXPECT_EQ(All("ProfileDescriptionML"),
              (std::vector<std::string>{"Farb-LCD", "\u30AB\u30E9\u30FC LCD", "Colour LCD"}));
    EXPECT_EQ(Display("ProfileDescriptionML"), "Colour LCD");
    EXPECT_EQ(All("ProfileDescription"), (std::vector<std::string>{"Profilo", "Profil"}));
    EXPECT_EQ(Display("ProfileDescription"), "Profil");
}

TEST_F(IccProfileTest, PassesOverTypesItDoesNotDecode) {
    Bytes const profile = IccProfileBuilder()
                              .Tag("rTRC", fixtures::IccTagData("curv", {0, 0, 0, 1, 1, 0}))
                              .Tag("wtpt", fixtures::IccTagData("XYZ ", Bytes(12, 1)))
                              .Tag("tech", fixtures::IccTagData("sig ", {'C', 'R', 'T', ' '}))
                              .Tag("cprt", fixtures::IccTagData("text", {}))
                              .Build();
    ASSERT_EQ(Read(profile), ReadResult::Success);
    EXPECT_FALSE(metadata_.FindAny("RedTRC"));
    EXPECT_FALSE(metadata_.FindAny("MediaWhitePoint"));
    EXPECT_FALSE(metadata_.FindAny("Technology"));
    EXPECT_EQ(CountInGroup(FieldGroup::IccProfile), 1u);  // the empty copyright text
}

TEST_F(IccProfileTest, UnknownSignaturesOnlyWithReadUnknownTags) {
    IccProfileBuilder builder;
    builder.Tag("zzzz", fixtures::IccText("private")).Tag("DESC", fixtures::IccText("not desc"));
    Bytes const profile = builder.Build();
    ASSERT_EQ(Read(profile), ReadResult::Success);
    EXPECT_EQ(CountInGroup(FieldGroup::IccProfile), 0u);

    Options options;
    options.readUnknownTags = true;
    ASSERT_EQ(Read(profile, options), ReadResult::Success);
    EXPECT_EQ(Display("zzzz"), "private");
    // Signatures are case-sensitive: "DESC" is not the description.
    EXPECT_EQ(Display("DESC"), "not desc");
    EXPECT_FALSE(metadata_.FindAny("ProfileDescription"));
}

TEST_F(IccProfileTest, DescriptionLengthField) {
    // A length a little past the tag is cut at the tag's end; a wild one
    // drops the tag.
    Bytes const slightly = IccProfileBuilder().Tag("desc", fixtures::IccDesc("Near", 90)).Build();
    ASSERT_EQ(Read(slightly), ReadResult::Success);
    EXPECT_EQ(Display("ProfileDescription"), "Near");

    Bytes const wild = IccProfileBuilder().Tag("desc", fixtures::IccDesc("Far", 100000)).Build();
    ASSERT_EQ(Read(wild), ReadResult::Success);
    EXPECT_FALSE(metadata_.FindAny("ProfileDescription"));
}

TEST_F(IccProfileTest, StructuralDamageIsAnError) {
    Bytes const good = IccProfileBuilder().Tag("cprt", fixtures::IccText("c")).Build();
    ASSERT_EQ(Read(good), ReadResult::Success);

    // The size field must match the bytes handed over exactly.
    EXPECT_EQ(Read(IccProfileBuilder().Tag("cprt", fixtures::IccText("c")).SizeFieldDelta(1).Build()),
              ReadResult::Error);
    EXPECT_EQ(Read(IccProfileBuilder().Tag("cprt", fixtures::IccText("c")).SizeFieldDelta(-1).Build()),
              ReadResult::Error);
    EXPECT_EQ(metadata_.Size(), 0u);
    EXPECT_EQ(Read(Bytes(good.begin(), good.begin() + 3)), ReadResult::Error);
    EXPECT_EQ(Read(IccProfileBuilder().Build()), ReadResult::Error);  // no tags

    // A tag past the profile's end fails the read before any tag item.
    Bytes const outside =
        IccProfileBuilder().Tag("cprt", fixtures::IccText("c")).RawEntry("desc", 130, 0x10000).Build();
    EXPECT_EQ(Read(outside), ReadResult::Error);
    EXPECT_EQ(CountInGroup(FieldGroup::IccProfile), 0u);

    // The count claims more entries than the profile holds.
    EXPECT_EQ(Read(IccProfileBuilder().Tag("cprt", fixtures::IccText("c")).CountField(40).Build()),
              ReadResult::Error);
}

TEST_F(IccProfileTest, TagCountLimit) {
    IccProfileBuilder most;
    IccProfileBuilder tooMany;
    for (int i = 0; i < 255; ++i) {
        most.RawEntry("cprt", 0, 0);
        tooMany.RawEntry("cprt", 0, 0);
    }
    tooMany.RawEntry("cprt", 0, 0);
    EXPECT_EQ(Read(most.Build()), ReadResult::Success);
    EXPECT_EQ(Read(tooMany.Build()), ReadResult::Error);
}

TEST_F(IccProfileTest, ProfileRunsFromTheCursorToTheUsableLimit) {
    Bytes const profile = IccProfileBuilder().Tag("cprt", fixtures::IccText("fenced")).Build();
    metadata_.Clear();
    ASSERT_EQ(ReadFenced<IccProfileProcessor>(profile, 5, 9, FieldGroup::IccProfile), ReadResult::Success);
    EXPECT_EQ(Display("ProfileCopyright"), "fenced");
    EXPECT_EQ(Display("ProfileClass"), "Display Device Profile");
}

TEST_F(IccProfileTest, UnknownGroupMeansTheProfileGroup) {
    Bytes const profile = IccProfileBuilder().Tag("cprt", fixtures::IccText("c")).Build();
    ASSERT_EQ(Read(profile, {}, FieldGroup::Unknown), ReadResult::Success);
    EXPECT_EQ(metadata_.FindAny("ProfileCopyright").GetGroup(), FieldGroup::IccProfile);
    EXPECT_EQ(metadata_.GetReadStore()->byteOrder, ByteOrder::LittleEndian);
}

TEST_F(IccProfileTest, ReachedThroughJpegChunks) {
    Bytes const profile = IccProfileBuilder().Tag("desc", fixtures::IccDesc("Split profile")).Build();
    std::string const bytes(profile.begin(), profile.end());
    std::size_t const half = bytes.size() / 2;
    Bytes const jpeg = fixtures::JpegBuilder()
                           .IccChunk(2, 2, bytes.substr(half))
                           .IccChunk(1, 2, bytes.substr(0, half))
                           .Build();
    data_.assign(jpeg.begin(), jpeg.end());
    ASSERT_TRUE(metadata_.Read(data_.data(), data_.size(), ReadSource::Jpeg, Options{}));
    EXPECT_EQ(Display("ProfileDescription"), "Split profile");
    EXPECT_EQ(Display("ProfileClass"), "Display Device Profile");
}

}  // namespace
}  // namespace meta
