#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "fixtures/image_builders.h"
#include "varrow/api/metadata.h"

namespace meta {
namespace {

class BmpTest : public ::testing::Test {
  protected:
    bool ReadBytes(fixtures::Bytes const& bytes, Options const& options = {}) {
        data_.assign(bytes.begin(), bytes.end());
        return metadata_.Read(data_.data(), data_.size(), ReadSource::Bmp, options);
    }
    std::string Display(char const* name) const { return metadata_.FindAny(name).GetDisplayValueAsString(); }

    std::string data_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(BmpTest, ReadsDimensions) {
    ASSERT_TRUE(ReadBytes(fixtures::MakeBmp(640, 480)));
    EXPECT_EQ(Display("ImageWidth"), "640");
    EXPECT_EQ(Display("ImageHeight"), "480");
    Metadatum const width = metadata_.Find(FieldGroup::Bmp, "ImageWidth");
    EXPECT_EQ(width.GetKey().GetFullName(), "Bmp:Bmp.ImageWidth");
    EXPECT_EQ(width.GetRawValue().GetType(), Value::Type::U32);
    EXPECT_EQ(metadata_.GetReadStore()->readSource, ReadSource::Bmp);
}

TEST_F(BmpTest, TopDownHeightIsReportedPositive) {
    ASSERT_TRUE(ReadBytes(fixtures::MakeBmp(7, -480)));
    EXPECT_EQ(Display("ImageHeight"), "480");
    ASSERT_TRUE(ReadBytes(fixtures::MakeBmp(1, INT32_MIN)));
    EXPECT_EQ(Display("ImageHeight"), "2147483648");
}

TEST_F(BmpTest, DamagedHeaders) {
    fixtures::Bytes bmp = fixtures::MakeBmp(16, 16);
    fixtures::Bytes wrongSignature = bmp;
    wrongSignature[1] = 'A';
    EXPECT_FALSE(ReadBytes(wrongSignature));
    EXPECT_EQ(metadata_.Size(), 0u);

    // Cut inside the height field: nothing is added.
    EXPECT_FALSE(ReadBytes(fixtures::Bytes(bmp.begin(), bmp.begin() + 25)));
    EXPECT_EQ(metadata_.Size(), 0u);
    EXPECT_FALSE(ReadBytes({}));
    // The header alone is enough.
    EXPECT_TRUE(ReadBytes(fixtures::Bytes(bmp.begin(), bmp.begin() + 26)));
}

TEST_F(BmpTest, RecordsItsBlock) {
    Options options;
    options.recordStructure = true;
    ASSERT_TRUE(ReadBytes(fixtures::MakeBmp(2, 2), options));
    std::ostringstream out;
    metadata_.DumpStructure(out);
    EXPECT_EQ(out.str(), "[0x00000000 - 0x0000001a] BMP document (2 metadatums, Unknown)\n");
}

}  // namespace
}  // namespace meta
