#include "varrow/values/conversions/canon.h"
#include "varrow/values/conversions/nikon.h"
#include "varrow/values/conversions/sony_minolta.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace meta::detail {
namespace {

using namespace std::string_literals;

TEST(Canon, EvEncodingAndFormulas) {
    EXPECT_DOUBLE_EQ(CanonEv(32), 1);
    EXPECT_DOUBLE_EQ(CanonEv(44), 1 + 1.0 / 3);  // 12/32 is a third
    EXPECT_DOUBLE_EQ(CanonEv(52), 1 + 2.0 / 3);  // 20/32 is two thirds
    EXPECT_DOUBLE_EQ(CanonEv(16), 0.5);
    EXPECT_DOUBLE_EQ(CanonEv(-44), -(1 + 1.0 / 3));
    EXPECT_DOUBLE_EQ(CanonEv(0), 0);

    EXPECT_DOUBLE_EQ(CanonIsoConv(72), 100);
    EXPECT_DOUBLE_EQ(CanonIsoConv(80), 200);
    EXPECT_DOUBLE_EQ(CanonFNumberConv(8), 1);
    EXPECT_DOUBLE_EQ(CanonFNumberConv(40), 4);
    // 24 is EV 0: 2^4 s; each further 32 steps divides by 16.
    EXPECT_DOUBLE_EQ(CanonExposureTimeConv(24), 16);
    EXPECT_NEAR(CanonExposureTimeConv(56), 1, 1e-12);

    // EOS 40D: 3888 x 2592 pixels over 0.876 x 0.583 inches.
    EXPECT_NEAR(CanonCalcSensorDiag(Fraction(3888000, 876), Fraction(2592000, 583)),
                std::hypot(0.876, 0.583) * 25.4, 1e-12);
    EXPECT_TRUE(std::isnan(CanonCalcSensorDiag(Fraction(3888001, 876), Fraction(2592000, 583))));
    // EOS 5D, full frame: 4368 x 2912 pixels over 1.415 x 0.942 inches.
    EXPECT_NEAR(CanonCalcSensorDiag(Fraction(4368000, 1415), Fraction(2912000, 942)),
                std::hypot(1.415, 0.942) * 25.4, 1e-12);
    EXPECT_TRUE(std::isnan(CanonCalcSensorDiag(Fraction(3888000, 1000), Fraction(2592000, 583))));
    EXPECT_TRUE(std::isnan(CanonCalcSensorDiag(Fraction(3888000, 1500), Fraction(2592000, 583))));
    EXPECT_TRUE(std::isnan(CanonCalcSensorDiag(Fraction(3888000, 876), Fraction(2592000, 0))));
    EXPECT_TRUE(std::isnan(CanonCalcSensorDiag(Fraction(0, 876), Fraction(2592000, 583))));
    EXPECT_EQ(ToCanonColorCalibString({-1, 2, 6500}), "-1 2 6500");
}

TEST(Canon, CameraIso) {
    EXPECT_EQ(ToCanonCameraISOString(32767), "Auto High");
    EXPECT_EQ(ToCanonCameraISOString(0x4000 | 1600), "1600");
    EXPECT_EQ(ToCanonCameraISOString(15), "Auto");
    EXPECT_EQ(ToCanonCameraISOString(17), "100");
    EXPECT_EQ(ToCanonCameraISOString(20), "800");
    EXPECT_EQ(ToCanonCameraISOString(3), "Unknown (3)");
    EXPECT_EQ(ToCanonCameraISOString(400), "400");
}

TEST(Nikon, LensStepsAndPictureControls) {
    EXPECT_DOUBLE_EQ(NikonApertureValue(48), 4);
    EXPECT_DOUBLE_EQ(NikonFocalValue(24), 10);
    EXPECT_EQ(NikonAperturePrint(NikonApertureValue(60)), "5.7");
    EXPECT_EQ(NikonFocalPrint(50), "50.0 mm");

    EXPECT_EQ(ToPCString(-128, "Normal", "%+.2f", 1), "Auto");
    EXPECT_EQ(ToPCString(-127, "Normal", "%+.2f", 1), "User");
    EXPECT_EQ(ToPCString(127, "Normal", "%+.2f", 1), "n/a");
    EXPECT_EQ(ToPCString(0, "None", "%+.2f", 1), "None");
    EXPECT_EQ(ToPCString(3, "Normal", "%+.2f", 2), "+1.50");
    EXPECT_EQ(ToPCString(-2, "Normal", "%.0f", 1), "-2");
    EXPECT_EQ(ToPCString(-2, "Normal", nullptr, 0), "-2");
}

TEST(Nikon, TextsAndFirmware) {
    EXPECT_EQ(FormatNikonString(Value("  NORMAL   COLOR \0\0"s)), "NORMAL COLOR");
    EXPECT_EQ(FormatNikonString(Value("")), "");
    EXPECT_THROW(FormatNikonString(Value(3)), ValueException);
    EXPECT_EQ(ToNikonFlashFirmwareString({0, 0}), "n/a");
    EXPECT_EQ(ToNikonFlashFirmwareString({1, 1}), "1.01");
    EXPECT_EQ(ToNikonFlashFirmwareString({3, 12}), "3.12");
    EXPECT_THROW(ToNikonFlashFirmwareString({1}), ValueException);
}

TEST(Sony, LensSpecDecodedAndPrinted) {
    // DT 18-55mm F3.5-5.6 SAM
    const std::vector<std::uint8_t> record = {0x01, 0x00, 0x18, 0x00, 0x55, 0x35, 0x56, 0x01};
    const auto lens = SonyConvLensSpec(record);
    EXPECT_EQ(lens, (std::vector<double>{0x0101, 18, 55, 3.5, 5.6}));
    EXPECT_EQ(SonyPrintLensSpec(lens), "DT 18-55mm F3.5-5.6 SAM");
    EXPECT_EQ(SonyPrintLensSpec({0x0200, 35, 35, 1.8, 1.8}), "FE 35mm F1.8");
    EXPECT_EQ(SonyPrintLensSpec({0x4300, 16, 50, 3.5, 5.6}), "E PZ 16-50mm F3.5-5.6");
    EXPECT_EQ(SonyPrintLensSpec({0, 0, 0, 0, 0}), "Unknown");
    EXPECT_THROW(SonyConvLensSpec({1, 2, 3}), ValueException);
    EXPECT_THROW(SonyConvLensSpec({0, 0x1a, 0, 0, 0, 0, 0, 0}), ValueException);  // not BCD
    EXPECT_THROW(SonyPrintLensSpec({1, 2}), ValueException);
}

TEST(Minolta, WhiteBalanceModeAndAdjustment) {
    EXPECT_EQ(MinoltaConvertWhiteBalance(0x0000), "Auto");
    EXPECT_EQ(MinoltaConvertWhiteBalance(0x0102), "Daylight +2");
    EXPECT_EQ(MinoltaConvertWhiteBalance(0x03fe), "Tungsten -2");
    EXPECT_EQ(MinoltaConvertWhiteBalance(0x0700), "Fluorescent");
    EXPECT_EQ(MinoltaConvertWhiteBalance(0x4000), "Unknown (0x4000)");
}

}  // namespace
}  // namespace meta::detail
