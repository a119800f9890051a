// Composite items derived after a read: which ones appear, in what order
// they can depend on each other, and what they compute and show.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "api/composite_test_inputs.h"
#include "varrow/api/metadata.h"
#include "varrow/fields/composites/composite_computations.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/fraction.h"

namespace meta {
namespace {

class Composites : public ::testing::Test {
  protected:
    void Set(FieldGroup group, std::string name, Value value) {
        metadata_.Add(group, std::move(name), std::move(value), ValueAffinity::Display);
    }
    Metadatum Composite(std::string_view name) const { return metadata_.Find(FieldGroup::Composite, name); }
    std::string Shown(std::string_view name) const {
        return Metadata::MakeExifToolDisplayStringFinder()(metadata_, FieldGroup::Composite, name);
    }
    double Number(std::string_view name) const { return Composite(name).GetValue().Convert<double>(); }

    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(Composites, ImageSizeAndMegapixelsWhichDependsOnIt) {
    Set(FieldGroup::JpegSof, "ImageWidth", Value(std::uint32_t{640}));
    Set(FieldGroup::JpegSof, "ImageHeight", Value(std::uint32_t{480}));
    metadata_.GenerateCompositeTags();
    Metadatum const size = Composite("ImageSize");
    ASSERT_TRUE(size);
    EXPECT_EQ(size.GetValueAsString(), "640 480");
    EXPECT_EQ(Shown("ImageSize"), "640x480");
    EXPECT_EQ(size.GetId(), "-");
    EXPECT_EQ(size.GetValueTypeAsString(), "-");
    EXPECT_EQ(size.GetKey().GetFullName(), "Generated:Composite.ImageSize");
    EXPECT_EQ(size.GetPriority(), 2);
    EXPECT_DOUBLE_EQ(Number("Megapixels"), 0.3072);
    EXPECT_EQ(Shown("Megapixels"), "0.307");
    // Generating again adds nothing new to find, and nothing without inputs appears.
    EXPECT_FALSE(Composite("FocalLength35efl"));
    EXPECT_FALSE(Composite("HyperfocalDistance"));
    EXPECT_FALSE(Composite("ShutterSpeed"));
}

TEST_F(Composites, MegapixelsPrecisionFollowsTheSize) {
    EXPECT_EQ(composites::FormatMegapixels(12.2112), "12.2");
    EXPECT_EQ(composites::FormatMegapixels(1.0), "1.0");
    EXPECT_EQ(composites::FormatMegapixels(0.27), "0.270");
    EXPECT_EQ(composites::FormatMegapixels(0.000064), "0.000064");
    EXPECT_EQ(composites::FormatMegapixels(0), "0.000000");
}

TEST_F(Composites, ExposureApertureAndLightValue) {
    Set(FieldGroup::Exif, "ExposureTime", Value(Fraction(1, 250)));
    Set(FieldGroup::Exif, "FNumber", Value(Fraction(28, 10)));
    Set(FieldGroup::Exif, "ISO", Value(std::uint16_t{100}));
    metadata_.GenerateCompositeTags();
    EXPECT_EQ(Shown("ShutterSpeed"), "1/250");
    EXPECT_EQ(Shown("Aperture"), "2.8");
    // log2(2.8^2 * 100 / (0.004 * 100)) = log2(1960)
    EXPECT_NEAR(Number("LightValue"), std::log2(1960.0), 1e-9);
    EXPECT_EQ(Shown("LightValue"), "10.9");
}

TEST_F(Composites, BulbDurationBeatsExposureTimeAndApertureFallsBack) {
    Set(FieldGroup::Exif, "ExposureTime", Value(Fraction(1, 250)));
    Set(FieldGroup::Canon, "BulbDuration", Value(30.0));
    Set(FieldGroup::Exif, "FNumber", Value(Fraction(0, 1)));
    Set(FieldGroup::Exif, "ApertureValue", Value(4.0));
    metadata_.GenerateCompositeTags();
    EXPECT_EQ(Shown("ShutterSpeed"), "30");
    EXPECT_EQ(Shown("Aperture"), "4.0");
    EXPECT_FALSE(Composite("LightValue"));  // no ISO
}

TEST_F(Composites, OpticsFromThe35mmEquivalent) {
    Set(FieldGroup::Exif, "FocalLength", Value(Fraction(50, 1)));
    Set(FieldGroup::Exif, "FocalLengthIn35mmFormat", Value(std::uint16_t{75}));
    Set(FieldGroup::Exif, "FNumber", Value(Fraction(28, 10)));
    metadata_.GenerateCompositeTags();
    EXPECT_DOUBLE_EQ(Number("ScaleFactor35efl"), 1.5);
    EXPECT_EQ(Shown("ScaleFactor35efl"), "1.5");
    EXPECT_DOUBLE_EQ(Number("FocalLength35efl"), 75.0);
    EXPECT_EQ(Shown("FocalLength35efl"), "50.0 mm (35 mm equivalent: 75.0 mm)");
    double const coc = 43.266615305567875 / (1.5 * 1440);
    EXPECT_DOUBLE_EQ(Number("CircleOfConfusion"), coc);
    EXPECT_EQ(Shown("CircleOfConfusion"), "0.020 mm");
    EXPECT_NEAR(Number("HyperfocalDistance"), 2500 / (2.8 * coc * 1000), 1e-9);
    EXPECT_EQ(Shown("HyperfocalDistance"), "44.57 m");
    EXPECT_EQ(Shown("FOV"), "27.0 deg");
}

TEST_F(Composites, FocalLengthAloneHasNoEquivalent) {
    Set(FieldGroup::Exif, "FocalLength", Value(Fraction(218, 10)));
    metadata_.GenerateCompositeTags();
    EXPECT_EQ(Shown("FocalLength35efl"), "21.8 mm");
    EXPECT_FALSE(Composite("ScaleFactor35efl"));
    EXPECT_FALSE(Composite("FOV"));
}

TEST_F(Composites, ScaleFactorFromTheFocalPlaneResolution) {
    composites::ScaleFactorInputs in;
    in.focalPlaneXResolution = 2381;  // pixels per centimetre
    in.focalPlaneYResolution = 2381;
    in.focalPlaneResolutionUnit = 3;
    in.width = 2400;
    in.height = 1800;
    double const diagonal = std::hypot(2400 * 10 / 2381.0, 1800 * 10 / 2381.0);
    ASSERT_TRUE(composites::CalcScaleFactor35efl(in));
    EXPECT_DOUBLE_EQ(*composites::CalcScaleFactor35efl(in), 43.266615305567875 / diagonal);
    in.focalPlaneResolutionUnit = 2;  // inches: 2.54 times the sensor, so a smaller factor
    EXPECT_NEAR(*composites::CalcScaleFactor35efl(in), 43.266615305567875 / (diagonal * 2.54), 1e-12);
    in.width.reset();
    EXPECT_FALSE(composites::CalcScaleFactor35efl(in));
    // The recorded 35 mm equivalent wins over everything else.
    in.focalLength = 10;
    in.focalLengthIn35mm = 28;
    EXPECT_DOUBLE_EQ(*composites::CalcScaleFactor35efl(in), 2.8);
}

TEST_F(Composites, ScaleFactorSourcesInOrderOfTrust) {
    composites::ScaleFactorInputs in;
    in.focalPlaneXResolution = 3053;  // a small picture's resolution: no sensor
    in.focalPlaneYResolution = 3053;
    in.focalPlaneResolutionUnit = 3;
    in.width = 100;
    in.height = 80;
    EXPECT_FALSE(composites::CalcScaleFactor35efl(in));  // diagonal 0.4 mm
    in.focalPlaneResolutionUnit = 2;
    in.focalPlaneXResolution = 12.05;
    in.width = 2400;
    in.height = 1600;
    EXPECT_FALSE(composites::CalcScaleFactor35efl(in));  // diagonal 5 m
    // A focal plane size counts only with a sensor's shape, and scales with the zoom.
    in.focalPlaneXSize = 19.8628;
    in.focalPlaneYSize = 14.8844;
    in.digitalZoom = 2.73;
    double const sized = 43.266615305567875 / std::hypot(19.8628, 14.8844) * 2.73;
    EXPECT_DOUBLE_EQ(*composites::CalcScaleFactor35efl(in), sized);
    in.focalPlaneYSize = 5;
    EXPECT_FALSE(composites::CalcScaleFactor35efl(in));
    // A recorded diagonal beats the size; Canon's sensor beats both.
    in.focalPlaneDiagonal = 6.64;
    EXPECT_DOUBLE_EQ(*composites::CalcScaleFactor35efl(in), 43.266615305567875 / 6.64 * 2.73);
    in.canonSensorDiagonal = std::nan("");
    EXPECT_DOUBLE_EQ(*composites::CalcScaleFactor35efl(in), 43.266615305567875 / 6.64 * 2.73);
    in.canonSensorDiagonal = 26.7;
    EXPECT_DOUBLE_EQ(*composites::CalcScaleFactor35efl(in), 43.266615305567875 / 26.7 * 2.73);
    // The 35 mm equivalent needs both lengths above zero.
    in.focalLength = 0;
    in.focalLengthIn35mm = 28;
    EXPECT_DOUBLE_EQ(*composites::CalcScaleFactor35efl(in), 43.266615305567875 / 26.7 * 2.73);
}

// The inputs of ScaleFactor35efl, in the definition's order, as one value
// each for the value, display and raw levels.
Value ScaleFactorFrom(std::vector<std::pair<std::size_t, Value>> const& given, ReadStore& store) {
    std::vector<Value> inputs(16);
    for (auto const& [index, value] : given) inputs[index] = value;
    return test::Compute(&composites::ScaleFactor35efl, inputs, store);
}

Value ScaleFactorFrom(std::vector<std::pair<std::size_t, Value>> const& given, std::string make) {
    ReadStore store;
    store.make = std::move(make);
    return ScaleFactorFrom(given, store);
}

TEST_F(Composites, ScaleFactorOfCanonCamerasFromTheResolutionFractions) {
    // EOS 40D: 3888000/876 and 2592000/583 pixels per inch; the picture is
    // small, which would make the resolution rule give a factor of 62.
    std::vector<std::pair<std::size_t, Value>> const inputs{{7, Value(std::uint16_t{2})},
                                                            {8, Value(Fraction(3888000, 876))},
                                                            {9, Value(Fraction(2592000, 583))},
                                                            {10, Value(std::uint32_t{100})},
                                                            {11, Value(std::uint32_t{67})}};
    double const canon = 43.266615305567875 / (std::hypot(0.876, 0.583) * 25.4);
    EXPECT_DOUBLE_EQ(ScaleFactorFrom(inputs, "Canon").Convert<double>(), canon);
    EXPECT_NEAR(canon, 1.62, 0.01);
    // Other makes do not write their resolution that way; for them the
    // resolution describes a 0.7 mm sensor, which is no sensor at all.
    EXPECT_FALSE(ScaleFactorFrom(inputs, "FUJIFILM").Exists());
}

TEST_F(Composites, ScaleFactorOfCanonCamerasFromTheStoredExifFractions) {
    // EOS 5D: the lookup by name finds an XMP copy of the resolutions (plain
    // numbers) and the picture has no plausible shape; the EXIF rationals the
    // TIFF reader kept still give the full-frame sensor.
    std::vector<std::pair<std::size_t, Value>> const inputs{{7, Value(std::uint16_t{2})},
                                                            {8, Value(3086.925795053)},
                                                            {9, Value(3091.29511677282)},
                                                            {10, Value(std::uint32_t{600})},
                                                            {11, Value(std::uint32_t{1400})}};
    ReadStore store;
    store.make = "Canon";
    EXPECT_FALSE(ScaleFactorFrom(inputs, store).Exists());
    store.focalPlaneXResolution = Fraction(4368000, 1415);
    store.focalPlaneYResolution = Fraction(2912000, 942);
    EXPECT_DOUBLE_EQ(ScaleFactorFrom(inputs, store).Convert<double>(),
                     43.266615305567875 / (std::hypot(1.415, 0.942) * 25.4));
    // Only for Canon cameras.
    store.make = "NIKON";
    EXPECT_FALSE(ScaleFactorFrom(inputs, store).Exists());
}

TEST_F(Composites, ScaleFactorPrefersCanonsImageSize) {
    // EXIF size 5494 x 3666, Canon's 5472 x 3648, both plausible. The
    // resolutions are not in Canon's sensor-size form (denominators of 1500
    // and more), so the sizes decide.
    auto inputs = std::vector<std::pair<std::size_t, Value>>{
        {7, Value(std::uint16_t{2})},         {8, Value(Fraction(54720000, 14360))},
        {9, Value(Fraction(36480000, 9560))}, {10, Value(std::uint32_t{5494})},
        {11, Value(std::uint32_t{3666})},     {12, Value(std::uint32_t{5472})},
        {13, Value(std::uint32_t{3648})}};
    double const x = 5472 * 25.4 / (54720000 / 14360.0);
    double const y = 3648 * 25.4 / (36480000 / 9560.0);
    EXPECT_NEAR(ScaleFactorFrom(inputs, "Canon").Convert<double>(), 43.266615305567875 / std::hypot(x, y),
                1e-12);
    // A size of an implausible shape is passed over.
    inputs[4].second = Value(std::uint32_t{10});
    inputs[6].second = Value(std::uint32_t{100});
    EXPECT_FALSE(ScaleFactorFrom(inputs, "Canon").Exists());
}

TEST_F(Composites, ZeroFocalLengthWithoutAScaleFactor) {
    Set(FieldGroup::Exif, "FocalLength", Value(Fraction(0, 1)));
    Set(FieldGroup::Exif, "FocalPlaneResolutionUnit", Value(std::uint16_t{2}));
    Set(FieldGroup::Exif, "FocalPlaneXResolution", Value(Fraction(1234, 100)));
    Set(FieldGroup::Exif, "FocalPlaneYResolution", Value(Fraction(1234, 100)));
    Set(FieldGroup::Exif, "ExifImageWidth", Value(std::uint32_t{2400}));
    Set(FieldGroup::Exif, "ExifImageHeight", Value(std::uint32_t{1600}));
    metadata_.GenerateCompositeTags();
    EXPECT_FALSE(Composite("ScaleFactor35efl"));
    EXPECT_EQ(Shown("FocalLength35efl"), "0.0 mm");
}

TEST_F(Composites, GpsCoordinatesTakeTheirHemisphere) {
    Set(FieldGroup::Gps, "GPSLatitude", Value(std::vector<Fraction>{{51, 1}, {30, 1}, {0, 1}}));
    Set(FieldGroup::Gps, "GPSLatitudeRef", Value(std::string("S")));
    Set(FieldGroup::Gps, "GPSLongitude", Value(std::vector<Fraction>{{0, 1}, {7, 1}, {3960, 100}}));
    Set(FieldGroup::Gps, "GPSLongitudeRef", Value(std::string("W")));
    Set(FieldGroup::Gps, "GPSAltitude", Value(Fraction(1428, 100)));
    Set(FieldGroup::Gps, "GPSAltitudeRef", Value(std::uint8_t{1}));
    Set(FieldGroup::Gps, "GPSDateStamp", Value(std::string("2008:10:23")));
    Set(FieldGroup::Gps, "GPSTimeStamp", Value(std::vector<Fraction>{{14, 1}, {27, 1}, {724, 100}}));
    metadata_.GenerateCompositeTags();
    EXPECT_DOUBLE_EQ(Number("GPSLatitude"), -51.5);
    EXPECT_EQ(Shown("GPSLatitude"), "51 deg 30' 0.00\" S");
    EXPECT_NEAR(Number("GPSLongitude"), -(7 / 60.0 + 39.6 / 3600), 1e-12);
    EXPECT_EQ(Shown("GPSPosition"), "51 deg 30' 0.00\" S, 0 deg 7' 39.60\" W");
    EXPECT_DOUBLE_EQ(Number("GPSAltitude"), -14.28);
    EXPECT_EQ(Shown("GPSAltitude"), "14.2 m Below Sea Level");
    EXPECT_EQ(Shown("GPSDateTime"), "2008:10:23 14:27:07.24Z");
    // The composites live in their own group: the GPS items stay findable.
    EXPECT_EQ(metadata_.Find(FieldGroup::Gps, "GPSLatitudeRef").GetValueAsString(), "S");
    EXPECT_TRUE(metadata_.Find(FieldGroup::Gps, "GPSLatitude"));
}

TEST_F(Composites, DatesGainSubSecondsAndOffsets) {
    Set(FieldGroup::Exif, "DateTimeOriginal", Value(std::string("2020:05:04 18:39:11")));
    Set(FieldGroup::Exif, "SubSecTimeOriginal", Value(std::string("644 ")));
    Set(FieldGroup::Exif, "OffsetTimeOriginal", Value(std::string("-04:00")));
    Set(FieldGroup::Ifd0, "ModifyDate", Value(std::string("2020:05:04 18:39:11")));
    Set(FieldGroup::Exif, "OffsetTime", Value(std::string("+02:00")));
    metadata_.GenerateCompositeTags();
    EXPECT_EQ(Shown("DateTimeOriginal"), "2020:05:04 18:39:11.644-04:00");
    EXPECT_EQ(Shown("ModifyDate"), "2020:05:04 18:39:11+02:00");
    EXPECT_FALSE(Composite("CreateDate"));
    // The item read from the file keeps its own value.
    EXPECT_EQ(metadata_.Find(FieldGroup::Exif, "DateTimeOriginal").GetValueAsString(), "2020:05:04 18:39:11");
}

TEST_F(Composites, DatesCountedInSecondsAreNotExtended) {
    // A movie header's creation time is a number of seconds; only a date
    // text gains sub-seconds and an offset.
    Set(FieldGroup::IsoBaseMediaMovieHeader, "CreateDate", Value(std::uint32_t{3602059736}));
    Set(FieldGroup::Exif, "SubSecTimeDigitized", Value(std::string("21")));
    metadata_.GenerateCompositeTags();
    EXPECT_FALSE(Composite("CreateDate"));
    metadata_.Clear();
    Set(FieldGroup::Exif, "CreateDate", Value(std::string("2018:02:21 12:08:56")));
    Set(FieldGroup::Exif, "SubSecTimeDigitized", Value(std::string("21")));
    metadata_.GenerateCompositeTags();
    EXPECT_EQ(Shown("CreateDate"), "2018:02:21 12:08:56.21");
}

TEST_F(Composites, ReadingAFileGeneratesThemUnlessSwitchedOff) {
    std::string const bmp = [] {
        // A minimal BITMAPINFOHEADER file: 14 + 40 bytes, 4 x 2 pixels.
        std::string b(54, '\0');
        b[0] = 'B';
        b[1] = 'M';
        b[14] = 40;
        b[18] = 4;
        b[22] = 2;
        b[26] = 1;
        b[28] = 24;
        return b;
    }();
    ASSERT_TRUE(metadata_.Read(bmp.data(), bmp.size(), ReadSource::Bmp, Options{}));
    EXPECT_EQ(Shown("ImageSize"), "4x2");
    Options options;
    options.noCompositeTags = true;
    ASSERT_TRUE(metadata_.Read(bmp.data(), bmp.size(), ReadSource::Bmp, options));
    EXPECT_FALSE(Composite("ImageSize"));
}

}  // namespace
}  // namespace meta
