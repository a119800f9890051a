#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "fixtures/image_builders.h"
#include "fixtures/iptc_builder.h"
#include "varrow/api/metadata.h"
#include "varrow/blocks/trailers/photomechanic_processor.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/trailer_detection.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::IptcBuilder;

Bytes Concat(Bytes a, Bytes const& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes Records() {
    IptcBuilder b;
    b.Dataset(1, 0, Bytes{0, 4}).Dataset(2, 216, Bytes{0, 0, 0, 0xB4}).Dataset(2, 222, Bytes{0, 0, 0, 6});
    return b.Take();
}

class PhotoMechanicTest : public ::testing::Test {
  protected:
    // Leaves the input where the trailer walk does, after the 64-byte probe
    // that ends `consumed` bytes before the end of the file, and runs the
    // processor.
    ReadResult ReadTrailer(Bytes const& file, std::size_t consumed = 0) {
        data_.assign(file.begin(), file.end());
        stream_ = std::make_unique<InMemoryStream>(data_.data(), data_.size());
        source_ = std::make_unique<DataSource>(*stream_, std::streampos(0));
        std::size_t const end = data_.size() - consumed;
        std::size_t const probe = std::min<std::size_t>(64, end);
        EXPECT_TRUE(source_->AutoProvision(std::streampos(static_cast<std::streamoff>(end - probe)),
                                           static_cast<long long>(probe)));
        return processor_->Read(*source_, store_, metadata_, FieldGroup::Photomechanic);
    }

    Options options_ = [] {
        Options o;
        o.readUnknownTags = true;
        return o;
    }();
    std::unique_ptr<PhotoMechanicProcessor> processor_ = std::make_unique<PhotoMechanicProcessor>(options_);
    std::string data_;
    std::unique_ptr<InMemoryStream> stream_;
    std::unique_ptr<DataSource> source_;
    std::shared_ptr<ReadStore> store_ = std::make_shared<ReadStore>();
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(PhotoMechanicTest, ReadsTheRecordsBeforeTheFooter) {
    Bytes const records = Records();
    ASSERT_EQ(records.size(), 25u);
    Bytes const file = Concat(Bytes(100, 0x55), fixtures::MakePhotoMechanicTrailer(records));
    ASSERT_EQ(ReadTrailer(file), ReadResult::Success);
    EXPECT_EQ(processor_->GetProcessedSize(), 25u + 12u);
    EXPECT_EQ(metadata_.Find(FieldGroup::Photomechanic, "0x00d8").GetRawValue(), Value(std::uint32_t{180}));
    EXPECT_EQ(metadata_.Find(FieldGroup::Photomechanic, "0x00de").GetRawValue(), Value(std::uint32_t{6}));
    EXPECT_TRUE(metadata_.Find(FieldGroup::IptcEnvelope, "EnvelopeRecordVersion"));
    EXPECT_EQ(processor_->RequiredInitialCursorPosition(), 1);
}

TEST_F(PhotoMechanicTest, ASecondTrailerIsFoundInFrontOfTheFirst) {
    IptcBuilder inner;
    inner.Dataset(2, 216, Bytes{0, 0, 0, 90});
    Bytes const first = fixtures::MakePhotoMechanicTrailer(inner.Take());
    Bytes const second = fixtures::MakePhotoMechanicTrailer(Records());
    Bytes const file = Concat(Concat(Bytes(80, 0), first), second);
    ASSERT_EQ(ReadTrailer(file), ReadResult::Success);
    ASSERT_EQ(processor_->GetProcessedSize(), second.size());
    ASSERT_EQ(ReadTrailer(file, second.size()), ReadResult::Success);
    EXPECT_EQ(processor_->GetProcessedSize(), first.size());
    EXPECT_EQ(metadata_.Find(FieldGroup::Photomechanic, "0x00d8").GetRawValue(), Value(std::uint32_t{90}));
}

TEST_F(PhotoMechanicTest, DamagedFooters) {
    // No datasets: the size is known, but nothing was provisioned.
    EXPECT_EQ(ReadTrailer(Concat(Bytes(70, 1), fixtures::MakePhotoMechanicTrailer({}))), ReadResult::Error);
    EXPECT_EQ(processor_->GetProcessedSize(), 12u);

    // A length reaching before the start of the file.
    EXPECT_EQ(ReadTrailer(Concat(Bytes(70, 1), fixtures::MakePhotoMechanicTrailer(Records(), 5000))),
              ReadResult::Error);
    EXPECT_EQ(processor_->GetProcessedSize(), 0u);
    EXPECT_EQ(metadata_.Size(), 0u);
    EXPECT_TRUE(stream_->good());  // left usable for whatever reads next

    // A length that does not fit a signed 32-bit size.
    EXPECT_EQ(ReadTrailer(Concat(Bytes(70, 1), fixtures::MakePhotoMechanicTrailer(Records(), 0x7FFFFFFA))),
              ReadResult::Error);

    Bytes wrongSignature = Concat(Bytes(70, 1), fixtures::MakePhotoMechanicTrailer(Records()));
    wrongSignature.back() = 'x';
    EXPECT_EQ(ReadTrailer(wrongSignature), ReadResult::Error);
    EXPECT_EQ(metadata_.Size(), 0u);
}

TEST_F(PhotoMechanicTest, DamagedRecordsFollowStopOnError) {
    Bytes records = Records();
    records.push_back(0x1C);  // a dataset header cut short, past the end
    Bytes const tail{0x1C, 2, 5, 0x00, 0x40, 'x'};
    Bytes const file = Concat(Bytes(64, 0), fixtures::MakePhotoMechanicTrailer(Concat(records, tail)));
    EXPECT_EQ(ReadTrailer(file), ReadResult::Success);  // the damage is downgraded
    EXPECT_GT(processor_->GetProcessedSize(), 0u);

    Options strict = options_;
    strict.stopOnError = true;
    processor_ = std::make_unique<PhotoMechanicProcessor>(strict);
    EXPECT_EQ(ReadTrailer(file), ReadResult::Error);
    EXPECT_EQ(processor_->GetProcessedSize(), 0u);
}

TEST(PhotoMechanicRegistry, TrailerDetectionFindsIt) {
    Bytes const trailer = Concat(Bytes(64, 0), fixtures::MakePhotoMechanicTrailer(Records()));
    std::string const last64(trailer.end() - 64, trailer.end());
    auto [group, processor] = CreateTrailerProcessor(last64.data(), last64.size(), Options{});
    EXPECT_EQ(group, FieldGroup::Photomechanic);
    EXPECT_NE(dynamic_cast<PhotoMechanicProcessor*>(processor.get()), nullptr);
}

TEST(PhotoMechanicFile, TiffTrailerWalkReadsIt) {
    fixtures::TiffBuilder tiff;
    tiff.Ascii(0x010F, "Maker");
    Bytes const file = Concat(tiff.Build(), fixtures::MakePhotoMechanicTrailer(Records()));
    std::string const data(file.begin(), file.end());
    Metadata metadata{Initialiser::Mode::HostInitialisesXmp};
    Options options;
    options.readUnknownTags = true;
    ASSERT_TRUE(metadata.Read(data.data(), data.size(), ReadSource::Tiff, options));
    EXPECT_EQ(metadata.Find(FieldGroup::Photomechanic, "0x00d8").GetRawValue(), Value(std::uint32_t{180}));
    EXPECT_TRUE(metadata.FindAny("Make"));
}

}  // namespace
}  // namespace meta
