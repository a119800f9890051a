#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fixtures/image_builders.h"
#include "fixtures/iptc_builder.h"
#include "varrow/api/metadata.h"
#include "varrow/blocks/iptc/iptc_processor.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/items/iptc_metadatum.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::IptcBuilder;

Bytes Be16(std::uint16_t v) {
    return {static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

class IptcProcessorTest : public ::testing::Test {
  protected:
    // Runs the processor over the whole of `block`, or its first `usable` bytes.
    ReadResult ReadBlock(Bytes const& block, Options const& options = {},
                         FieldGroup group = FieldGroup::Unknown, long long usable = -1) {
        metadata_.Clear();
        data_.assign(block.begin(), block.end());
        stream_ = std::make_unique<InMemoryStream>(data_.data(), data_.size());
        source_ = std::make_unique<DataSource>(*stream_, std::streampos(0));
        if (!data_.empty()) {
            EXPECT_TRUE(source_->ProvisionData(data_.size()));
        }
        if (usable >= 0) source_->MarkAsUsable(static_cast<std::size_t>(usable));
        IptcProcessor processor(options);
        return processor.Read(*source_, store_, metadata_, group);
    }
    Metadatum App(std::string_view name) const { return metadata_.Find(FieldGroup::IptcApplication, name); }

    std::string data_;
    std::unique_ptr<InMemoryStream> stream_;
    std::unique_ptr<DataSource> source_;
    std::shared_ptr<ReadStore> store_ = std::make_shared<ReadStore>();
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(IptcProcessorTest, ReadsKnownDatasetsIntoRecordGroups) {
    IptcBuilder b;
    b.Dataset(1, 90, "\x1b%G")
        .Dataset(2, 0, Be16(4))
        .Dataset(2, 25, "Jupiter")
        .Dataset(2, 120, "A caption")
        .Dataset(2, 25, "Hubble")
        .Dataset(2, 55, "20090909")
        .Dataset(3, 20, Be16(1536));
    ASSERT_EQ(ReadBlock(b.Get()), ReadResult::Success);
    EXPECT_EQ(metadata_.Size(), 6u);

    Metadatum const version = App("ApplicationRecordVersion");
    ASSERT_TRUE(version);
    EXPECT_EQ(version.GetKey().GetFullName(), "Iptc:IptcApplication.ApplicationRecordVersion");
    EXPECT_EQ(version.GetRawValue(), Value(std::uint16_t{4}));
    EXPECT_EQ(version.GetValueTypeAsString(), "SHORT");
    EXPECT_EQ(version.GetId(), "0x0000");
    EXPECT_TRUE(version.KeyIsKnown());

    // Repetitions become one item, values in file order.
    Metadatum const keywords = App("Keywords");
    ASSERT_EQ(keywords.GetRawValue().GetType(), Value::Type::Set);
    EXPECT_EQ(keywords.GetRawValue(), Value(ValueSet{Value("Jupiter"), Value("Hubble")}));
    EXPECT_EQ(keywords.GetValueTypeAsString(), "STRING");
    EXPECT_EQ(keywords.GetId(), "0x0019");

    EXPECT_EQ(App("Caption-Abstract").GetRawValue(), Value("A caption"));
    EXPECT_EQ(App("DateCreated").GetValueTypeAsString(), "DIGITS");
    EXPECT_EQ(metadata_.Find(FieldGroup::IptcEnvelope, "CodedCharacterSet").GetRawValue(), Value("\x1b%G"));
    EXPECT_EQ(metadata_.Find(FieldGroup::IptcNewsPhoto, "IPTCImageWidth").GetRawValue(),
              Value(std::uint16_t{1536}));
    EXPECT_EQ(App("Keywords").GetPriority(), 1);
}

TEST_F(IptcProcessorTest, EmptyDatasetsAndTheLastHeader) {
    // A zero-length dataset inside the block is read; one as the block's
    // last five bytes is not.
    IptcBuilder inside;
    inside.Dataset(2, 5, "").Dataset(2, 25, "k");
    ASSERT_EQ(ReadBlock(inside.Get()), ReadResult::Success);
    EXPECT_EQ(App("ObjectName").GetRawValue(), Value(""));

    IptcBuilder last;
    last.Dataset(2, 120, "caption").Dataset(2, 25, "");
    ASSERT_EQ(ReadBlock(last.Get()), ReadResult::Success);
    EXPECT_TRUE(App("Caption-Abstract"));
    EXPECT_FALSE(App("Keywords"));
}

TEST_F(IptcProcessorTest, ExtendedDatasets) {
    // 0x8004: four length octets, here 65536.
    IptcBuilder big;
    big.Extended(2, 202, Bytes(65536, 0xAB), 4).Dataset(2, 25, "after");
    ASSERT_EQ(ReadBlock(big.Get()), ReadResult::Success);
    EXPECT_EQ(App("ObjectPreviewData").GetRawValue().Length(), 65536u);
    EXPECT_EQ(App("Keywords").GetRawValue(), Value("after"));

    IptcBuilder none;  // no length octets: an empty dataset
    none.Extended(2, 5, {}, 0).Dataset(2, 25, "k");
    ASSERT_EQ(ReadBlock(none.Get()), ReadResult::Success);
    EXPECT_EQ(App("ObjectName").GetRawValue(), Value(""));

    IptcBuilder tooMany;
    tooMany.Dataset(2, 25, "kept").Extended(2, 202, Bytes(4, 1), 9).Dataset(2, 5, "lost");
    EXPECT_EQ(ReadBlock(tooMany.Get()), ReadResult::Error);
    EXPECT_EQ(App("Keywords").GetRawValue(), Value("kept"));  // read before the damage
    EXPECT_FALSE(App("ObjectName"));

    // Length octets that run past the block.
    EXPECT_EQ(ReadBlock({0x1C, 2, 202, 0x80, 0x04, 0x00, 0x01}), ReadResult::Error);

    // Lengths no block can hold end the read, whatever the octets say.
    IptcBuilder huge;
    huge.Dataset(2, 25, "kept")
        .Raw({0x1C, 2, 202, 0x80, 0x08, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0});
    EXPECT_EQ(ReadBlock(huge.Get()), ReadResult::Error);
    EXPECT_EQ(App("Keywords").GetRawValue(), Value("kept"));
    EXPECT_FALSE(App("ObjectPreviewData"));
    EXPECT_EQ(ReadBlock({0x1C, 2, 202, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0}), ReadResult::Error);
    EXPECT_EQ(ReadBlock({0x1C, 2, 120, 0x7F, 0xFF, 'a', 'b'}), ReadResult::Error);
    EXPECT_EQ(metadata_.Size(), 0u);
}

TEST_F(IptcProcessorTest, DamageEndsTheReadButKeepsEarlierItems) {
    IptcBuilder pastEnd;
    pastEnd.Dataset(2, 25, "one").Raw({0x1C, 2, 120, 0x00, 0x10, 'x', 'y'});
    EXPECT_EQ(ReadBlock(pastEnd.Get()), ReadResult::Error);
    EXPECT_EQ(App("Keywords").GetRawValue(), Value("one"));
    EXPECT_FALSE(App("Caption-Abstract"));

    // Something that is not IIM after the datasets ends the block quietly.
    IptcBuilder junk;
    junk.Dataset(2, 25, "one").Raw({0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(ReadBlock(junk.Get()), ReadResult::Success);
    EXPECT_TRUE(App("Keywords"));

    // A marker in the fourth byte but not the first is no IIM block.
    IptcBuilder shifted;
    shifted.Raw({0, 0, 0}).Dataset(2, 25, "one");
    EXPECT_EQ(ReadBlock(shifted.Get()), ReadResult::Error);
    EXPECT_EQ(metadata_.Size(), 0u);

    EXPECT_EQ(ReadBlock({}), ReadResult::Success);
    EXPECT_EQ(metadata_.Size(), 0u);
}

TEST_F(IptcProcessorTest, UnknownRecordsAndDatasets) {
    IptcBuilder known;
    known.Dataset(2, 160, Be16(5)).Dataset(2, 184, "job").Dataset(240, 10, Be16(5));
    ASSERT_EQ(ReadBlock(known.Take()), ReadResult::Success);
    EXPECT_EQ(metadata_.Size(), 1u);  // unknown datasets need readUnknownTags
    EXPECT_TRUE(App("JobID"));

    Options all;
    all.readUnknownTags = true;
    IptcBuilder unknown;
    unknown.Dataset(5, 25, "record 5")
        .Dataset(240, 10, Be16(5))
        .Dataset(2, 160, Be16(5))
        .Dataset(2, 161, Be16(0x80))
        .Dataset(2, 162, "CP_2")
        .Dataset(2, 163, std::string("\0\0\7", 3))
        .Dataset(2, 165, "")
        .Dataset(2, 164, std::string("\0\0\0\1", 4));
    ASSERT_EQ(ReadBlock(unknown.Get(), all), ReadResult::Success);
    Metadatum const two = App("0x00a0");
    ASSERT_TRUE(two);
    EXPECT_FALSE(two.KeyIsKnown());
    EXPECT_EQ(two.GetRawValue(), Value(std::uint32_t{5}));
    EXPECT_EQ(two.GetValueTypeAsString(), "LONG");
    EXPECT_EQ(App("0x00a1").GetRawValue(), Value(std::uint32_t{128}));
    EXPECT_EQ(App("0x00a2").GetRawValue().GetType(), Value::Type::Binary);  // first byte >= 9
    EXPECT_EQ(App("0x00a3").GetRawValue().GetType(), Value::Type::Binary);  // three bytes
    EXPECT_EQ(App("0x00a4").GetRawValue(), Value(std::uint32_t{1}));
    EXPECT_EQ(App("0x00a5").GetRawValue(), Value(std::uint32_t{0}));
    EXPECT_EQ(metadata_.Find(FieldGroup::IptcFotoStation, "0x000a").GetRawValue(), Value(std::uint32_t{5}));
    EXPECT_EQ(metadata_.Size(), 7u);  // record 5 skipped
}

TEST_F(IptcProcessorTest, EnumeratedDatasetsShowUnmatchedCodesAsUnknown) {
    IptcBuilder b;
    b.Dataset(1, 60, std::string(1, '\0'))        // EnvelopePriority: one NUL, read as ""
        .Dataset(1, 20, Be16(99))                 // FileFormat beyond the table
        .Dataset(2, 10, "5")                      // Urgency in the table
        .Dataset(2, 131, "X")                     // ImageOrientation beyond it
        .Dataset(3, 55, std::string(1, '\x02'));  // SupplementalType in the table
    ASSERT_EQ(ReadBlock(b.Get()), ReadResult::Success);
    Metadatum const priority = metadata_.Find(FieldGroup::IptcEnvelope, "EnvelopePriority");
    EXPECT_EQ(priority.GetRawValue(), Value(""));
    EXPECT_EQ(priority.GetDisplayValueAsString(), "Unknown ()");
    EXPECT_EQ(metadata_.Find(FieldGroup::IptcEnvelope, "FileFormat").GetDisplayValueAsString(),
              "Unknown (99)");
    EXPECT_EQ(App("Urgency").GetDisplayValueAsString(), "5 (normal urgency)");
    EXPECT_EQ(App("ImageOrientation").GetDisplayValueAsString(), "Unknown (X)");
    EXPECT_EQ(metadata_.Find(FieldGroup::IptcNewsPhoto, "SupplementalType").GetDisplayValueAsString(),
              "Logo");
}

TEST_F(IptcProcessorTest, CharacterSetDisplay) {
    // A declaration that is neither UTF-8 nor ASCII: the leading NUL goes,
    // the Windows-1252 byte becomes one "?".
    ASSERT_EQ(ReadBlock(IptcBuilder().Dataset(1, 90, std::string("\0\xc4\x1c\x02", 4)).Take()),
              ReadResult::Success);
    Metadatum const odd = metadata_.Find(FieldGroup::IptcEnvelope, "CodedCharacterSet");
    ASSERT_TRUE(odd);
    EXPECT_EQ(odd.GetDisplayValueAsString(), " ? \x1c \x02");

    // Written twice: the raw value keeps both, the display shows one.
    ASSERT_EQ(ReadBlock(IptcBuilder().Dataset(1, 90, "\x1b%G").Dataset(1, 90, "\x1b%G").Take()),
              ReadResult::Success);
    Metadatum const twice = metadata_.Find(FieldGroup::IptcEnvelope, "CodedCharacterSet");
    EXPECT_EQ(twice.GetRawValue(), Value(ValueSet{Value("\x1b%G"), Value("\x1b%G")}));
    EXPECT_EQ(twice.GetDisplayValue(), Value("UTF8"));
}

TEST_F(IptcProcessorTest, RespectsTheUsableLimitAndRestoresTheStore) {
    IptcBuilder b;
    b.Dataset(2, 25, "in").Dataset(2, 120, "beyond the limit");
    store_->byteOrder = ByteOrder::LittleEndian;
    ASSERT_EQ(ReadBlock(b.Get(), {}, FieldGroup::Unknown, 7 + 5), ReadResult::Success);
    EXPECT_TRUE(App("Keywords"));
    EXPECT_FALSE(App("Caption-Abstract"));
    EXPECT_EQ(store_->byteOrder, ByteOrder::LittleEndian);
    EXPECT_EQ(static_cast<long long>(source_->GetBufferPos()), 7);  // after what it read
}

TEST_F(IptcProcessorTest, PriorityFollowsTheStore) {
    store_->zeroPriorityGroups.insert(FieldGroup::IptcApplication);
    IptcBuilder b;
    b.Dataset(1, 0, Be16(4)).Dataset(2, 0, Be16(4));
    ASSERT_EQ(ReadBlock(b.Get()), ReadResult::Success);
    EXPECT_EQ(App("ApplicationRecordVersion").GetPriority(), 0);
    EXPECT_EQ(metadata_.Find(FieldGroup::IptcEnvelope, "EnvelopeRecordVersion").GetPriority(), 1);
}

TEST_F(IptcProcessorTest, PhotoMechanicBlocksKeepTheirGroup) {
    Options all;
    all.readUnknownTags = true;
    IptcBuilder b;
    b.Dataset(1, 0, Be16(4)).Dataset(2, 216, std::string("\0\0\0\xb4", 4)).Dataset(2, 25, "kw");
    ASSERT_EQ(ReadBlock(b.Get(), all, FieldGroup::Photomechanic), ReadResult::Success);
    EXPECT_EQ(metadata_.Find(FieldGroup::Photomechanic, "0x00d8").GetRawValue(), Value(std::uint32_t{180}));
    EXPECT_TRUE(metadata_.Find(FieldGroup::Photomechanic, "0x0019"));
    EXPECT_FALSE(App("Keywords"));
    EXPECT_TRUE(metadata_.Find(FieldGroup::IptcEnvelope, "EnvelopeRecordVersion"));
}

TEST(IptcInJpeg, PhotoshopSegmentReachesTheProcessor) {
    IptcBuilder b;
    b.Dataset(1, 90, "\x1b%G").Dataset(2, 25, "one").Dataset(2, 25, "two").Dataset(2, 80, "By \xe9");
    fixtures::Bytes const jpeg =
        fixtures::JpegBuilder().Photoshop(fixtures::MakeIptcResource(b.Take())).Build();
    std::string const data(jpeg.begin(), jpeg.end());
    Metadata metadata{Initialiser::Mode::HostInitialisesXmp};
    ASSERT_TRUE(metadata.Read(data.data(), data.size(), ReadSource::Jpeg, Options{}));
    Metadatum const keywords = metadata.Find(FieldGroup::IptcApplication, "Keywords");
    EXPECT_EQ(keywords.GetRawValue(), Value(ValueSet{Value("one"), Value("two")}));
    EXPECT_EQ(metadata.Find(FieldNamespace::Iptc, "By-line").GetRawValue(), Value("By \u00e9"));
    EXPECT_TRUE(metadata.Find(FieldGroup::IptcEnvelope, "CodedCharacterSet"));
}

TEST(IptcProcessorRegistry, IsRegistered) {
    Options options;
    options.readUnknownTags = true;
    auto processor = ProcessorRegistry::CreateProcessor(&typeid(IptcProcessor), options);
    ASSERT_NE(dynamic_cast<IptcProcessor*>(processor.get()), nullptr);
    EXPECT_EQ(processor->GetOptions(), options);
    EXPECT_EQ(ProcessorRegistry::FindByName("IPTC"), &typeid(IptcProcessor));
}

}  // namespace
}  // namespace meta
