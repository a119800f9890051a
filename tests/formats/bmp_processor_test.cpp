#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "fixtures/icc_builder.h"
#include "fixtures/image_builders.h"
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

class BmpTest : public ::testing::Test {
  protected:
    bool ReadBytes(Bytes const& bytes, Options const& options = {}) {
        data_.assign(bytes.begin(), bytes.end());
        return metadata_.Read(data_.data(), data_.size(), ReadSource::Bmp, options);
    }
    std::string Display(char const* name) const { return metadata_.FindAny(name).GetDisplayValueAsString(); }
    bool Has(char const* name) const { return static_cast<bool>(metadata_.Find(FieldGroup::Bmp, name)); }

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

TEST_F(BmpTest, WindowsV3Header) {
    ASSERT_TRUE(ReadBytes(fixtures::MakeBmp(16, 8)));
    EXPECT_EQ(Display("BMPVersion"), "Windows V3");
    EXPECT_EQ(Display("Planes"), "1");
    EXPECT_EQ(Display("BitDepth"), "24");
    EXPECT_EQ(Display("Compression"), "None");
    EXPECT_EQ(Display("ImageLength"), "384");
    EXPECT_EQ(Display("PixelsPerMeterX"), "2835");
    // No masks in a plain V3 header, even where the data would hold them.
    EXPECT_FALSE(Has("RedMask"));

    Bytes bmp = BmpHeader(40, 3, 3);
    Put32(bmp, 30, 6);    // compression without a name
    Put32(bmp, 46, 0);    // colours: as the depth says
    Put32(bmp, 50, 300);  // important colours
    ASSERT_TRUE(ReadBytes(bmp));
    EXPECT_EQ(Display("Compression"), "6");
    EXPECT_EQ(Display("NumColors"), "Use BitDepth");
    EXPECT_EQ(Display("NumImportantColors"), "300");
    Put32(bmp, 30, 1);
    Put32(bmp, 46, 12);
    Put32(bmp, 50, 0);
    ASSERT_TRUE(ReadBytes(bmp));
    EXPECT_EQ(Display("Compression"), "8-Bit RLE");
    EXPECT_EQ(Display("NumColors"), "12");
    EXPECT_EQ(Display("NumImportantColors"), "All");
}

TEST_F(BmpTest, V4AndV5ColourFacts) {
    Bytes v4 = BmpHeader(108, 4, 4);
    Put32(v4, 54, 0x00FF0000);
    Put32(v4, 66, 0xFF000000);
    Put32(v4, 70, 0);          // calibrated RGB: endpoints and gamma follow
    Put32(v4, 74, 687194767);  // 0.64 in 2.30 fixed point
    Put32(v4, 78, 354334802);  // 0.33
    Put32(v4, 82, 32212255);   // 0.03
    Put32(v4, 110, 0x23333);   // gamma 2.2 in 16.16
    ASSERT_TRUE(ReadBytes(v4));
    EXPECT_EQ(Display("BMPVersion"), "Windows V4");
    EXPECT_EQ(Display("RedMask"), "0x00ff0000");
    EXPECT_EQ(Display("GreenMask"), "0x00000000");
    EXPECT_EQ(Display("AlphaMask"), "0xff000000");
    EXPECT_EQ(Display("ColorSpace"), "Calibrated RGB");
    EXPECT_EQ(Display("RedEndpoint"), "0.640000 0.330000 0.030000");
    EXPECT_EQ(Display("GammaRed"), "2.2");
    EXPECT_FALSE(Has("RenderingIntent"));

    Bytes v5 = BmpHeader(124, 4, 4);
    Put32(v5, 70, 0x73524742);  // "sRGB" as a little-endian number
    Put32(v5, 122, 4);
    ASSERT_TRUE(ReadBytes(v5));
    EXPECT_EQ(Display("BMPVersion"), "Windows V5");
    EXPECT_EQ(Display("ColorSpace"), "sRGB");
    EXPECT_EQ(Display("RenderingIntent"), "Picture (LCS_GM_IMAGES)");
    EXPECT_FALSE(Has("RedEndpoint"));
    EXPECT_FALSE(Has("ProfileDataOffset"));
}

TEST_F(BmpTest, EmbeddedAndLinkedProfiles) {
    Bytes const icc = fixtures::IccProfileBuilder().Tag("cprt", fixtures::IccText("Bitmap rights")).Build();
    Bytes embedded = BmpHeader(124, 4, 4);
    Put32(embedded, 70, 0x4D424544);  // "MBED"
    Put32(embedded, 126, 124 + 6);    // from the info header's start
    Put32(embedded, 130, static_cast<std::uint32_t>(icc.size()));
    embedded.insert(embedded.end(), 6, 0xAA);
    embedded.insert(embedded.end(), icc.begin(), icc.end());
    ASSERT_TRUE(ReadBytes(embedded));
    EXPECT_EQ(Display("ColorSpace"), "Embedded Color Profile");
    EXPECT_EQ(Display("ProfileDataOffset"), "130");
    EXPECT_EQ(Display("ProfileCopyright"), "Bitmap rights");

    // A profile that is not where the header says spoils nothing else.
    Put32(embedded, 126, 0x7FFFFFF0);
    ASSERT_TRUE(ReadBytes(embedded));
    EXPECT_EQ(Display("ProfileSize"), std::to_string(icc.size()));
    EXPECT_FALSE(metadata_.FindAny("ProfileCopyright"));

    Bytes linked = BmpHeader(124, 4, 4);
    Put32(linked, 70, 0x4C494E4B);  // "LINK"
    Put32(linked, 126, 124);
    Put32(linked, 130, 32);
    std::string const name = "C:\\profiles\\print.icc";
    linked.insert(linked.end(), name.begin(), name.end());
    linked.resize(linked.size() + 32 - name.size(), 0);
    ASSERT_TRUE(ReadBytes(linked));
    EXPECT_EQ(Display("ColorSpace"), "Linked Color Profile");
    EXPECT_EQ(Display("LinkedProfileName"), name);
}

TEST_F(BmpTest, OtherLayouts) {
    // OS/2 1.x: 16-bit sizes, then planes and depth.
    Bytes os2 = BmpHeader(12, 0, 0);
    os2[18] = 0x52;  // width 82
    os2[20] = 0x70;  // height 112
    os2[22] = 1;
    os2[24] = 8;
    ASSERT_TRUE(ReadBytes(os2));
    EXPECT_EQ(Display("BMPVersion"), "OS/2 V1");
    EXPECT_EQ(Display("ImageWidth"), "82");
    EXPECT_EQ(Display("ImageHeight"), "112");
    EXPECT_EQ(Display("BitDepth"), "8");
    EXPECT_FALSE(Has("Compression"));

    // OS/2 2.x shares only the start of the Windows layout.
    ASSERT_TRUE(ReadBytes(BmpHeader(64, 82, 112)));
    EXPECT_EQ(Display("BMPVersion"), "OS/2 V2");
    EXPECT_EQ(Display("ImageHeight"), "112");
    EXPECT_FALSE(Has("Compression"));

    // A V5 header cut short: what it holds, and nothing beyond.
    Bytes const v5 = BmpHeader(124, 9, 9);
    ASSERT_TRUE(ReadBytes(Bytes(v5.begin(), v5.begin() + 62)));
    EXPECT_EQ(Display("RedMask"), "0x00000000");
    EXPECT_TRUE(Has("GreenMask"));
    EXPECT_FALSE(Has("BlueMask"));
    EXPECT_FALSE(Has("ColorSpace"));
}

TEST_F(BmpTest, DamagedHeaders) {
    Bytes bmp = fixtures::MakeBmp(16, 16);
    Bytes wrongSignature = bmp;
    wrongSignature[1] = 'A';
    EXPECT_FALSE(ReadBytes(wrongSignature));
    EXPECT_EQ(metadata_.Size(), 0u);

    // Cut inside the height field: nothing is added.
    EXPECT_FALSE(ReadBytes(Bytes(bmp.begin(), bmp.begin() + 25)));
    EXPECT_EQ(metadata_.Size(), 0u);
    EXPECT_FALSE(ReadBytes({}));
    // The sizes alone are enough.
    EXPECT_TRUE(ReadBytes(Bytes(bmp.begin(), bmp.begin() + 26)));
    EXPECT_FALSE(Has("Planes"));
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
    EXPECT_NE(out.str().find("] BMP document (11 metadatums, Unknown)\n"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace meta
