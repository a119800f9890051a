#include <gtest/gtest.h>

#include <string>

#include "varrow/api/metadata.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/processors/processor.h"

namespace meta {
namespace {

// Remembers what it was given to see.
class Recorder : public Processor {
public:
    using Processor::Processor;
    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const&, Metadata&, FieldGroup group) override {
        seenGroup = group;
        if (!source.ProvisionRemainingData()) return ReadResult::Error;
        seen = std::string(source.AsStringView(false));
        docPosOfStart = static_cast<long long>(source.GetBufferPosInDoc());
        // Try to escape: nothing the sub-reader does may move the parent.
        source.SeekBufferTo(static_cast<std::streamoff>(seen.size()), false);
        return ReadResult::Success;
    }
    std::string seen;
    long long docPosOfStart = -1;
    FieldGroup seenGroup = FieldGroup::Unknown;
};

class SafeReadTest : public ::testing::Test {
protected:
    std::string const data_ = "0123456789ABCDEFGHIJ";
    InMemoryStream stream_{data_.data(), data_.size()};
    DataSource parent_{stream_, std::streampos(100)};
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
    std::shared_ptr<ReadStore> store_ = std::make_shared<ReadStore>();
};

TEST_F(SafeReadTest, SubReaderSeesOnlyTheFencedBytes) {
    ASSERT_TRUE(parent_.ProvisionData(16));
    ASSERT_TRUE(parent_.SeekBufferTo(4, false));
    parent_.MarkAsUsable(10);

    Recorder recorder(Options{});
    EXPECT_EQ(Processor::SafeRead(&recorder, parent_, store_, metadata_, FieldGroup::Exif, 0), ReadResult::Success);
    EXPECT_EQ(recorder.seen, "456789");  // from the cursor to the usable limit
    EXPECT_EQ(recorder.seenGroup, FieldGroup::Exif);
    // Document positions inside equal the parent's for the same byte.
    EXPECT_EQ(recorder.docPosOfStart, static_cast<long long>(parent_.GetBufferPosInDoc()));
    EXPECT_EQ(static_cast<long long>(parent_.GetBufferPos()), 4);

    Recorder withOffset(Options{});
    EXPECT_EQ(Processor::SafeRead(&withOffset, parent_, store_, metadata_, FieldGroup::Exif, 2), ReadResult::Success);
    EXPECT_EQ(withOffset.seen, "6789");
    EXPECT_EQ(withOffset.docPosOfStart, 100 + 6);
}

TEST_F(SafeReadTest, UnlimitedParentGivesTheRestOfTheWindow) {
    ASSERT_TRUE(parent_.ProvisionData(12));
    ASSERT_TRUE(parent_.SeekBufferTo(9, false));
    Recorder recorder(Options{});
    EXPECT_EQ(Processor::SafeRead(&recorder, parent_, store_, metadata_, FieldGroup::Unknown, 0),
              ReadResult::Success);
    EXPECT_EQ(recorder.seen, "9AB");
}

TEST_F(SafeReadTest, StartBeyondTheFenceIsRefused) {
    ASSERT_TRUE(parent_.ProvisionData(16));
    ASSERT_TRUE(parent_.SeekBufferTo(4, false));
    parent_.MarkAsUsable(10);
    Recorder recorder(Options{});
    EXPECT_EQ(Processor::SafeRead(&recorder, parent_, store_, metadata_, FieldGroup::Unknown, 7),
              ReadResult::Error);
    EXPECT_EQ(Processor::SafeRead(&recorder, parent_, store_, metadata_, FieldGroup::Unknown, ~std::size_t{0}),
              ReadResult::Error);
    EXPECT_TRUE(recorder.seen.empty());
    // Exactly at the fence: an empty sub-block, which the reader may reject.
    EXPECT_EQ(Processor::SafeRead(&recorder, parent_, store_, metadata_, FieldGroup::Unknown, 6),
              ReadResult::Success);
    EXPECT_EQ(Processor::SafeRead(nullptr, parent_, store_, metadata_, FieldGroup::Unknown, 0), ReadResult::Error);
}

TEST_F(SafeReadTest, LimitPastTheWindowIsClampedToTheWindow) {
    ASSERT_TRUE(parent_.ProvisionData(8));
    parent_.MarkAsUsable(1000);
    Recorder recorder(Options{});
    EXPECT_EQ(Processor::SafeRead(&recorder, parent_, store_, metadata_, FieldGroup::Unknown, 0),
              ReadResult::Success);
    EXPECT_EQ(recorder.seen, "01234567");
}

}  // namespace
}  // namespace meta
