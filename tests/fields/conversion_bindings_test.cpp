#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fixtures/image_builders.h"
#include "varrow/api/initialiser.h"
#include "varrow/api/metadata.h"
#include "varrow/api/options.h"
#include "varrow/fields/conversions/lookup_print.h"
#include "varrow/processors/read_store.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::TiffBuilder;
using namespace std::string_literals;

Bytes ToBytes(std::string const& s) {
    return Bytes(s.begin(), s.end());
}

// Reads a built TIFF and answers the ExifTool-style display string of items.
class ConversionBindingsTest : public ::testing::Test {
  protected:
    void Read(TiffBuilder const& tiff) {
        metadata_.Clear();
        Bytes const bytes = tiff.Build();
        ASSERT_TRUE(metadata_.Read(reinterpret_cast<char const*>(bytes.data()), bytes.size(),
                                   ReadSource::Tiff, options_));
    }
    std::string Display(FieldGroup group, std::string_view name) const {
        Metadatum const item = metadata_.Find(group, name);
        if (!item) return "<missing>";
        return item.GetDisplayValue().ToExifToolString(false, '\0');
    }

    Options options_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(ConversionBindingsTest, ExposureFieldsDisplayAsPhotographersWriteThem) {
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "MM" : "II");
        TiffBuilder exif(bigEndian);
        exif.Rational(0x829a, {{1, 160}})      // ExposureTime
            .Rational(0x829d, {{40, 10}})      // FNumber
            .Rational(0x9201, {{7375, 1000}})  // ShutterSpeedValue (APEX)
            .Rational(0x9202, {{5625, 1000}})  // ApertureValue (APEX)
            .Rational(0x9205, {{3, 1}})        // MaxApertureValue (APEX)
            .Rational(0x9204, {{1, 3}})        // ExposureCompensation (stored unsigned here)
            .Rational(0x9206, {{375, 100}})    // SubjectDistance
            .Rational(0x920a, {{135, 1}})      // FocalLength
            .Short(0xa405, {75})               // FocalLengthIn35mmFormat
            .Rational(0xa432, {{24, 1}, {70, 1}, {28, 10}, {28, 10}})  // LensInfo
            .Short(0x8827, {100, 200})                                 // ISO
            .Short(0xa001, {7})                                        // ColorSpace, not a known code
            .Short(0x9209, {0x26f1})                                   // Flash, not a known combination
            .Short(0x9207, {5});                                       // MeteringMode, known
        TiffBuilder tiff(bigEndian);
        tiff.Ascii(0x010f, "Make").SubDirectory(0x8769, exif);
        Read(tiff);
        EXPECT_EQ(Display(FieldGroup::Exif, "ExposureTime"), "1/160");
        EXPECT_EQ(Display(FieldGroup::Exif, "FNumber"), "4.0");
        EXPECT_EQ(Display(FieldGroup::Exif, "ShutterSpeedValue"), "1/166");
        EXPECT_EQ(Display(FieldGroup::Exif, "ApertureValue"), "7.0");
        EXPECT_EQ(Display(FieldGroup::Exif, "MaxApertureValue"), "2.8");
        EXPECT_EQ(Display(FieldGroup::Exif, "ExposureCompensation"), "+1/3");
        EXPECT_EQ(Display(FieldGroup::Exif, "SubjectDistance"), "3.75 m");
        EXPECT_EQ(Display(FieldGroup::Exif, "FocalLength"), "135.0 mm");
        EXPECT_EQ(Display(FieldGroup::Exif, "FocalLengthIn35mmFormat"), "75 mm");
        EXPECT_EQ(Display(FieldGroup::Exif, "LensInfo"), "24-70mm f/2.8");
        EXPECT_EQ(Display(FieldGroup::Exif, "ISO"), "100, 200");
        EXPECT_EQ(Display(FieldGroup::Exif, "ColorSpace"), "Unknown (7)");
        EXPECT_EQ(Display(FieldGroup::Exif, "Flash"), "Unknown (0x26f1)");
        EXPECT_EQ(Display(FieldGroup::Exif, "MeteringMode"), "Multi-segment");
        // The converted value is a number, not text.
        EXPECT_DOUBLE_EQ(metadata_.Find(FieldGroup::Exif, "ApertureValue").GetValue().Convert<double>(),
                         std::exp2(5.625 / 2));
    }
}

TEST_F(ConversionBindingsTest, GpsFieldsDisplayAsCoordinatesAndClockTimes) {
    TiffBuilder gps(true);
    gps.Byte(0x0000, {2, 2, 0, 0})
        .Ascii(0x0001, "N")
        .Rational(0x0002, {{43, 1}, {28, 1}, {2814, 1000}})
        .Rational(0x0004, {{0, 0}, {0, 0}, {0, 0}})
        .Rational(0x0006, {{72366492, 1000000}})
        .Rational(0x0007, {{14, 1}, {27, 1}, {724, 100}})
        .Ascii(0x001d, "2008:10:23")
        .Undefined(0x001b, ToBytes("ASCII\0\0\0HYBRID-FIX"s))
        .Ascii(0x0010, "X");
    TiffBuilder tiff(true);
    tiff.SubDirectory(0x8825, gps);
    Read(tiff);
    EXPECT_EQ(Display(FieldGroup::Gps, "GPSVersionID"), "2.2.0.0");
    EXPECT_EQ(Display(FieldGroup::Gps, "GPSLatitudeRef"), "North");
    EXPECT_EQ(Display(FieldGroup::Gps, "GPSLatitude"), "43 deg 28' 2.81\"");
    EXPECT_EQ(Display(FieldGroup::Gps, "GPSLongitude"), "");  // all parts 0/0
    EXPECT_EQ(Display(FieldGroup::Gps, "GPSAltitude"), "72.366492 m");
    EXPECT_EQ(Display(FieldGroup::Gps, "GPSTimeStamp"), "14:27:07.24");
    EXPECT_EQ(Display(FieldGroup::Gps, "GPSDateStamp"), "2008:10:23");
    EXPECT_EQ(Display(FieldGroup::Gps, "GPSProcessingMethod"), "HYBRID-FIX");
    EXPECT_EQ(Display(FieldGroup::Gps, "GPSImgDirectionRef"), "Unknown (X)");
    EXPECT_NEAR(metadata_.Find(FieldGroup::Gps, "GPSLatitude").GetValue().Convert<double>(), 43.46744833,
                1e-8);
}

TEST_F(ConversionBindingsTest, RecordsAndVersionsDisplayDecoded) {
    TiffBuilder exif;
    exif.Undefined(0x9286, ToBytes("ASCII\0\0\0A comment\0\0\0"s))  // UserComment
        .Undefined(0xa302, Bytes{0, 2, 0, 2, 0, 1, 1, 2})           // CFAPattern
        .Undefined(0xa300, Bytes{3, 0, 0, 0})                       // FileSource (Sigma)
        .Undefined(0xa301, Bytes{12})                               // SceneType
        .Undefined(0x9000, ToBytes("0230"));                        // ExifVersion
    TiffBuilder tiff;
    tiff.Byte(0xc612, {1, 4, 0, 0})  // DNGVersion
        .Short(0x0153, {1, 1, 1})    // SampleFormat
        .Short(0x0124, {0})          // T4Options, a bit mask
        .SubDirectory(0x8769, exif);
    Read(tiff);
    EXPECT_EQ(Display(FieldGroup::Exif, "UserComment"), "A comment");
    EXPECT_EQ(Display(FieldGroup::Exif, "CFAPattern"), "[Red,Green][Green,Blue]");
    EXPECT_EQ(Display(FieldGroup::Exif, "FileSource"), "Sigma Digital Camera");
    EXPECT_EQ(Display(FieldGroup::Exif, "SceneType"), "Unknown (12)");
    EXPECT_EQ(Display(FieldGroup::Exif, "ExifVersion"), "0230");
    EXPECT_EQ(Display(FieldGroup::Ifd0, "DNGVersion"), "1.4.0.0");
    EXPECT_EQ(Display(FieldGroup::Ifd0, "SampleFormat"), "Unsigned; Unsigned; Unsigned");
    EXPECT_EQ(Display(FieldGroup::Ifd0, "T4Options"), "(none)");
}

TEST(LookupPrint, FailureModesAndJoins) {
    ReadStore store;
    auto const unknown = detail::BindLookupShowingUnknown("ExifOrientation");
    EXPECT_EQ(unknown(Value(std::uint16_t{6}), store), Value("Rotate 90 CW"));
    EXPECT_EQ(unknown(Value(std::uint16_t{9}), store), Value("Unknown (9)"));
    auto const none = detail::BindLookupOnFail("ExifT4Options", EnumValuesOnFail::None);
    EXPECT_EQ(none(Value(std::uint32_t{0}), store), Value("(none)"));
    EXPECT_THROW(detail::BindLookupShowingUnknown("NoSuchLookup"), std::out_of_range);

    auto const joined = detail::BindLookupJoined("ExifSampleFormat", "; ");
    EXPECT_EQ(joined(Value(std::vector<std::uint16_t>{1, 2}), store), Value("Unsigned; Signed"));
    EXPECT_EQ(joined(Value(std::uint16_t{3}), store), Value("Float"));

    EXPECT_EQ(detail::PrintExifFlash(Value(std::uint16_t{25}), store), Value("Auto, Fired"));
    EXPECT_EQ(detail::PrintExifFlash(Value(std::uint16_t{0xb6c0}), store), Value("Unknown (0xb6c0)"));
    EXPECT_EQ(detail::PrintExifFileSource(Value(std::uint8_t{3}), store), Value("Digital Camera"));
    using Binary = std::vector<meta::byte>;
    EXPECT_EQ(detail::PrintExifFileSource(Value(Binary{meta::byte{3}}), store), Value("Digital Camera"));
    EXPECT_EQ(detail::PrintExifFileSource(Value(Binary{meta::byte{0}}), store), Value("Unknown (0)"));
    EXPECT_EQ(detail::PrintExifFileSource(Value(std::vector<std::uint8_t>{1, 0}), store),
              Value("Film Scanner"));
}

}  // namespace
}  // namespace meta
