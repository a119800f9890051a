#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "varrow/api/initialiser.h"
#include "varrow/api/metadata.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/processors/directory_reader.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/record_processors.h"

namespace meta {
namespace {

// A sub-directory processor that reports what it could reach and returns a
// chosen result.
class ProbeProcessor : public Processor {
  public:
    using Processor::Processor;
    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata&,
                    FieldGroup group) override {
        auto& probe = Last();
        probe.group = group;
        probe.storeGroup = store->currentGroup;
        probe.count = store->valueCount;
        probe.start = static_cast<long long>(std::streamoff(source.GetBufferPos()));
        // How far can it go? Step byte by byte until the fence refuses.
        long long reach = 0;
        while (reach < 64 && source.SeekBufferBy(1, true)) ++reach;
        probe.reach = reach;
        return probe.result;
    }
    struct Record {
        FieldGroup group = FieldGroup::Unknown;
        FieldGroup storeGroup = FieldGroup::Unknown;
        std::uint32_t count = 0;
        long long start = -1;
        long long reach = -1;
        ReadResult result = ReadResult::Success;
    };
    static Record& Last() {
        static Record record;
        return record;
    }
};
ProcessorRegistration<ProbeProcessor> const probeRegistration("directory-test probe");

class DirectoryReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ProbeProcessor::Last() = {};
        stream_ = std::make_unique<InMemoryStream>(data_.data(), data_.size());
        source_ = std::make_unique<DataSource>(*stream_, std::streampos(0));
        ASSERT_TRUE(source_->ProvisionRemainingData());
        store_->options = options_;
    }
    ReadResult Generate(ExifTag const* field, ExifType format, std::uint32_t count,
                        DataFencingStrategy fencing = DataFencingStrategy::Passthrough) {
        ProbeProcessor self(options_);
        return GenerateMetadatum<ExifTag>(self, *source_, store_, metadata_,
                                          std::optional<std::uint16_t>(0x1234), field, FieldGroup::Exif,
                                          format, count, fencing, 1);
    }
    long long Cursor() const { return static_cast<long long>(std::streamoff(source_->GetBufferPos())); }
    std::string Value(std::string_view name) const {
        return metadata_.Find(FieldGroup::Exif, name).GetValueAsString();
    }

    std::string data_ = std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c", 12);
    Options options_;
    std::unique_ptr<InMemoryStream> stream_;
    std::unique_ptr<DataSource> source_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
    std::shared_ptr<ReadStore> store_ = std::make_shared<ReadStore>();
};

TEST_F(DirectoryReaderTest, VisibilityDecidesWhetherAValueIsRead) {
    ExifTag hidden;
    hidden.name = "Hidden";
    hidden.visibility = 1;
    EXPECT_EQ(Generate(&hidden, ExifType::Short, 2), ReadResult::NotHandled);
    EXPECT_EQ(Cursor(), 4);  // skipped past the value
    EXPECT_FALSE(metadata_.Find(FieldGroup::Exif, "Hidden"));
    EXPECT_EQ(Generate(nullptr, ExifType::Byte, 1), ReadResult::NotHandled);
    EXPECT_EQ(Cursor(), 5);

    options_.readUnknownTags = true;
    source_->SeekBufferTo(0);
    EXPECT_EQ(Generate(&hidden, ExifType::Short, 2), ReadResult::Success);
    EXPECT_EQ(Value("Hidden"), "513 1027");  // little-endian 0x0201, 0x0403
    EXPECT_EQ(Generate(nullptr, ExifType::Byte, 1), ReadResult::Success);
    EXPECT_EQ(Value("0x1234"), "5");

    ExifTag never;
    never.name = "Never";
    never.visibility = 2;
    EXPECT_EQ(Generate(&never, ExifType::Byte, 1), ReadResult::NotHandled);
    EXPECT_FALSE(metadata_.Find(FieldGroup::Exif, "Never"));
}

TEST_F(DirectoryReaderTest, ChildrenDecodeTheSameBytesAndHooksCanRefuse) {
    ExifTag parent;
    parent.name = "Parent";
    ExifTag first;
    first.name = "First";
    ExifTag second;
    second.name = "Second";
    second.overrideFormat = ExifType::Short;
    parent.children.emplace(0, first);
    parent.children.emplace(1, second);
    // Children are read with the parent's format and count from the same start.
    EXPECT_EQ(Generate(&parent, ExifType::Byte, 2), ReadResult::Success);
    EXPECT_EQ(Value("First"), "1 2");
    EXPECT_EQ(Value("Second"), "1 2");
    EXPECT_FALSE(metadata_.Find(FieldGroup::Exif, "Parent"));

    ExifTag hooked;
    hooked.name = "Hooked";
    std::uint32_t seenCount = 0;
    hooked.valueHook = [&](ExifValue const* value, std::uint32_t count, ReadStore&) {
        seenCount = count;
        return value != nullptr && value->GetValueCount() == 3;
    };
    EXPECT_EQ(Generate(&hooked, ExifType::Byte, 2), ReadResult::NotHandled);
    EXPECT_EQ(seenCount, 2u);
    EXPECT_FALSE(metadata_.Find(FieldGroup::Exif, "Hooked"));
    EXPECT_EQ(Generate(&hooked, ExifType::Byte, 3), ReadResult::Success);
    EXPECT_TRUE(metadata_.Find(FieldGroup::Exif, "Hooked"));
}

TEST_F(DirectoryReaderTest, SubDirectoryYieldsNoItemAndItsErrorIsContained) {
    ExifTag pointer;
    pointer.name = "Pointer";
    pointer.subDirectories.emplace_back(FieldGroup::Gps, &typeid(ProbeProcessor));
    store_->currentGroup = FieldGroup::Ifd0;

    ProbeProcessor::Last().result = ReadResult::Error;
    EXPECT_EQ(Generate(&pointer, ExifType::Long, 1), ReadResult::Success);
    EXPECT_EQ(ProbeProcessor::Last().group, FieldGroup::Gps);
    EXPECT_EQ(ProbeProcessor::Last().storeGroup, FieldGroup::Exif);  // the tag's group while it runs
    EXPECT_EQ(ProbeProcessor::Last().count, 1u);
    EXPECT_EQ(store_->currentGroup, FieldGroup::Ifd0);  // restored afterwards
    EXPECT_FALSE(metadata_.Find(FieldGroup::Exif, "Pointer"));

    options_.stopOnError = true;
    source_->SeekBufferTo(0);
    ProbeProcessor::Last().result = ReadResult::Error;
    EXPECT_EQ(Generate(&pointer, ExifType::Long, 1), ReadResult::Error);
    ProbeProcessor::Last().result = ReadResult::Fatal;
    options_.stopOnError = false;
    source_->SeekBufferTo(0);
    EXPECT_EQ(Generate(&pointer, ExifType::Long, 1), ReadResult::Fatal);

    ExifTag unknownProcessor;
    unknownProcessor.subDirectories.emplace_back(FieldGroup::Gps, &typeid(int));
    std::vector<SubDirectorySpecifier> const specifiers = unknownProcessor.subDirectories;
    ProbeProcessor self(options_);
    EXPECT_EQ(ProcessSubDirectories<ExifTag>(self, *source_, store_, metadata_, specifiers, FieldGroup::Exif,
                                             ExifType::Long, 1, DataFencingStrategy::Passthrough, 1),
              ReadResult::Error);
    EXPECT_EQ(ProcessSubDirectories<ExifTag>(self, *source_, store_, metadata_, specifiers, FieldGroup::Exif,
                                             ExifType::Long, 1, static_cast<DataFencingStrategy>(7), 1),
              ReadResult::Error);  // the processor is needed before the fencing is looked at
}

TEST_F(DirectoryReaderTest, FencingLimitsWhatTheSubProcessorReaches) {
    std::vector<SubDirectorySpecifier> const specifiers{
        SubDirectorySpecifier(FieldGroup::Gps, &typeid(ProbeProcessor))};
    ProbeProcessor self(options_);
    auto run = [&](DataFencingStrategy fencing) {
        source_->AsStream().clear();  // the previous probe ran into the end
        source_->SeekBufferTo(2);
        return ProcessSubDirectories<ExifTag>(self, *source_, store_, metadata_, specifiers, FieldGroup::Exif,
                                              ExifType::Short, 2, fencing, 1);
    };
    EXPECT_EQ(run(DataFencingStrategy::Mark), ReadResult::Success);
    EXPECT_EQ(ProbeProcessor::Last().start, 2);
    EXPECT_EQ(ProbeProcessor::Last().reach, 4);              // 2 SHORTs
    EXPECT_EQ(source_->GetBytesUsable(true), data_.size());  // the parent's limit is back

    EXPECT_EQ(run(DataFencingStrategy::Passthrough), ReadResult::Success);
    EXPECT_EQ(ProbeProcessor::Last().reach, 10);  // to the window's end

    EXPECT_EQ(run(DataFencingStrategy::Full), ReadResult::Success);
    EXPECT_EQ(ProbeProcessor::Last().start, 0);  // a source of its own
    EXPECT_EQ(Cursor(), 2);                      // the parent did not move

    EXPECT_EQ(run(static_cast<DataFencingStrategy>(9)), ReadResult::Fatal);
}

class RecordProcessorTest : public ::testing::Test {
  protected:
    ReadResult Run(Processor& processor, std::string const& bytes, ExifType format, std::uint32_t count,
                   FieldGroup group, bool fenced = false) {
        data_ = bytes;
        stream_ = std::make_unique<InMemoryStream>(data_.data(), data_.size());
        source_ = std::make_unique<DataSource>(*stream_, std::streampos(0));
        if (fenced) {
            source_->ProvisionRemainingData();
            source_->MarkAsUsable(data_.size());
        }
        store_->valueFormat = format;
        store_->valueCount = count;
        store_->byteOrder = ByteOrder::BigEndian;
        return processor.Read(*source_, store_, metadata_, group);
    }
    std::string Value(FieldGroup group, std::string_view name) const {
        return metadata_.Find(group, name).GetValueAsString();
    }

    Options options_;
    std::string data_;
    std::unique_ptr<InMemoryStream> stream_;
    std::unique_ptr<DataSource> source_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
    std::shared_ptr<ReadStore> store_ = std::make_shared<ReadStore>();
};

TEST_F(RecordProcessorTest, BinaryRecordFieldsSitAtTheirIds) {
    BinaryProcessor binary(options_);
    // The JFIF record: version (2 bytes), unit, x and y density (SHORT), thumbnail size.
    std::string const record("\x01\x02\x01\x00\x48\x00\x60\x00\x00", 9);
    ASSERT_EQ(Run(binary, record, ExifType::Undefined, 9, FieldGroup::Jfif), ReadResult::Success);
    EXPECT_EQ(Value(FieldGroup::Jfif, "JFIFVersion"), "1 2");
    EXPECT_EQ(Value(FieldGroup::Jfif, "ResolutionUnit"), "1");
    EXPECT_EQ(Value(FieldGroup::Jfif, "XResolution"), "72");
    EXPECT_EQ(Value(FieldGroup::Jfif, "YResolution"), "96");
    EXPECT_EQ(Value(FieldGroup::Jfif, "ThumbnailHeight"), "0");
    EXPECT_FALSE(metadata_.Find(FieldGroup::Jfif, "ThumbnailTIFF"));  // starts at the end of the data

    metadata_.Clear();
    // A short record: the walk stops quietly at the first field that does not fit.
    ASSERT_EQ(Run(binary, std::string("\x01\x02\x01\x00", 4), ExifType::Undefined, 4, FieldGroup::Jfif),
              ReadResult::Success);
    EXPECT_TRUE(metadata_.Find(FieldGroup::Jfif, "ResolutionUnit"));
    EXPECT_FALSE(metadata_.Find(FieldGroup::Jfif, "XResolution"));
    EXPECT_FALSE(metadata_.Find(FieldGroup::Jfif, "ThumbnailWidth"));
}

TEST_F(RecordProcessorTest, SerialRecordStopsAtItsCountOrItsData) {
    SerialProcessor serial(options_);
    // Without definitions nothing becomes an item, yet the record is walked.
    ASSERT_EQ(Run(serial, "abcd", ExifType::Byte, 4, FieldGroup::Exif), ReadResult::Success);
    EXPECT_TRUE(metadata_.GetAllValues().empty());

    options_.readUnknownTags = true;
    SerialProcessor unknown(options_);
    ASSERT_EQ(Run(unknown, "abcdef", ExifType::Undefined, 4, FieldGroup::Exif), ReadResult::Success);
    EXPECT_EQ(metadata_.GetAllValues().size(), 4u);  // valueCount, not the data, ends it
    EXPECT_EQ(Value(FieldGroup::Exif, "0x0003"), "100");

    // A record longer than its data: fenced, it stops quietly at the limit;
    // unfenced, running out of data is an error.
    metadata_.Clear();
    ASSERT_EQ(Run(unknown, "ab", ExifType::Short, 4, FieldGroup::Exif, true), ReadResult::Success);
    EXPECT_EQ(metadata_.GetAllValues().size(), 1u);
    metadata_.Clear();
    EXPECT_EQ(Run(unknown, "ab", ExifType::Short, 4, FieldGroup::Exif), ReadResult::Error);
}

}  // namespace
}  // namespace meta
