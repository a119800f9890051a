#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "fixtures/image_builders.h"
#include "formats/container_read_test.h"
#include "varrow/api/metadata.h"

namespace meta {
namespace {

using fixtures::Bytes;

// "BM", a file header and an all-zero info header of `infoSize` bytes whose
// fields the tests then set (offsets count from the file's start).
Bytes BmpHeader(std::uint32_t infoSize, std::int32_t width, std::int32_t height) {
    Bytes bytes(14 + infoSize, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    auto put = [&bytes](std::size_t at, std::uint32_t v) {
        for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
            bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    put(14, infoSize);
    put(18, static_cast<std::uint32_t>(width));
    put(22, static_cast<std::uint32_t>(height));
    return bytes;
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

class BmpTest : public test::ContainerReadTest<ReadSource::Bmp, FieldGroup::Bmp> {};

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
    EXPECT_EQ(metadata_.FindAny("ImageHeight").GetRawValue().GetType(), Value::Type::U32);
    ASSERT_TRUE(ReadBytes(fixtures::MakeBmp(1, INT32_MIN)));
    EXPECT_EQ(Display("ImageHeight"), "2147483648");
    // The width is not folded: a negative one shows its unsigned bits.
    ASSERT_TRUE(ReadBytes(BmpHeader(40, -1, 1)));
    EXPECT_EQ(Display("ImageWidth"), "4294967295");
}

// Only the size is read, whatever the info header holds or claims.
TEST_F(BmpTest, OnlyTheSizeIsRead) {
    Bytes v5 = BmpHeader(124, 9, 8);
    Put32(v5, 14 + 56, 0x4D424544u);  // an embedded profile
    ASSERT_TRUE(ReadBytes(v5));
    EXPECT_EQ(ReadItems(), 2u);
    EXPECT_EQ(Display("ImageWidth"), "9");
    EXPECT_EQ(Display("ImageHeight"), "8");

    // The layout is fixed: an OS/2 1.x header's 16-bit fields are read as
    // the 32-bit ones.
    Bytes os2 = BmpHeader(12, 0, 0);
    os2[18] = 0x52;
    os2[20] = 0x70;
    ASSERT_TRUE(ReadBytes(os2));
    EXPECT_EQ(Display("ImageWidth"), std::to_string(0x700052));
    EXPECT_EQ(ReadItems(), 2u);
}

TEST_F(BmpTest, DamagedHeaders) {
    Bytes bmp = fixtures::MakeBmp(16, 16);
    Bytes wrongSignature = bmp;
    wrongSignature[1] = 'A';
    EXPECT_FALSE(ReadBytes(wrongSignature));
    EXPECT_EQ(ReadItems(), 0u);

    // Cut inside the height field: nothing is added.
    EXPECT_FALSE(ReadBytes(Bytes(bmp.begin(), bmp.begin() + 25)));
    EXPECT_EQ(ReadItems(), 0u);
    EXPECT_FALSE(ReadBytes({}));
    // The sizes alone are enough.
    EXPECT_TRUE(ReadBytes(Bytes(bmp.begin(), bmp.begin() + 26)));
    EXPECT_EQ(Display("ImageHeight"), "16");
}

TEST_F(BmpTest, StreamInputAndStructure) {
    Bytes const bmp = fixtures::MakeBmp(2, 2);
    std::istringstream stream(std::string(bmp.begin(), bmp.end()));
    Options options;
    options.recordStructure = true;
    ASSERT_TRUE(metadata_.Read(stream, ReadSource::Bmp, options));
    EXPECT_EQ(Display("ImageWidth"), "2");
    std::ostringstream out;
    metadata_.DumpStructure(out);
    EXPECT_EQ(out.str().rfind("[0x00000000 - 0x", 0), 0u) << out.str();
    EXPECT_NE(out.str().find("] BMP document (2 metadatums, Unknown)\n"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace meta
