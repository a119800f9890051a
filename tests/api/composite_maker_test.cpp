// Depth of field, the 35 mm scale factor's sources, IPTC date-times and the
// composites made from maker-note items.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "api/composite_test_inputs.h"
#include "varrow/api/metadata.h"
#include "varrow/fields/composites/composite_computations.h"
#include "varrow/fields/composites/depth_of_field.h"
#include "varrow/fields/composites/maker_composites.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/fraction.h"

namespace meta {
namespace {

class MakerComposites : public ::testing::Test {
  protected:
    void Set(FieldGroup group, std::string name, Value value) {
        metadata_.Add(group, std::move(name), std::move(value), ValueAffinity::Display);
    }
    std::string Shown(std::string_view name) {
        if (!generated_) metadata_.GenerateCompositeTags();
        generated_ = true;
        return Metadata::MakeExifToolDisplayStringFinder()(metadata_, FieldGroup::Composite, name);
    }
    bool Has(std::string_view name) {
        if (!generated_) metadata_.GenerateCompositeTags();
        generated_ = true;
        return static_cast<bool>(metadata_.Find(FieldGroup::Composite, name));
    }
    void Optics(double focal, double scale35, double aperture) {
        Set(FieldGroup::Exif, "FocalLength", Value(focal));
        Set(FieldGroup::Exif, "FocalLengthIn35mmFormat", Value(focal * scale35));
        Set(FieldGroup::Exif, "FNumber", Value(aperture));
    }

    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
    bool generated_ = false;
};

TEST(DepthOfFieldTest, LimitsAroundTheFocusDistance) {
    // 57 mm at f/11 on a 1.6 crop (circle 0.0188 mm), focused at 2.25 m.
    double const circle = 43.266615305567875 / (1.6 * 1440);
    auto const dof = composites::CalcDepthOfField(57, 11, circle, 2.25);
    ASSERT_TRUE(dof);
    double const t = 11 * circle * (2250 - 57) / (57.0 * 57.0);
    EXPECT_DOUBLE_EQ(dof->nearLimit, 2.25 / (1 + t));
    EXPECT_DOUBLE_EQ(dof->farLimit, 2.25 / (1 - t));
    // Beyond the hyperfocal distance everything far is sharp.
    auto const far = composites::CalcDepthOfField(16, 16, 0.03, 0.71);
    ASSERT_TRUE(far);
    EXPECT_TRUE(std::isinf(far->farLimit));
    EXPECT_NEAR(far->nearLimit, 0.71 / (1 + 16 * 0.03 * (710 - 16) / 256.0), 1e-12);
    // Focus at infinity: the near limit is the hyperfocal distance.
    auto const infinity = composites::CalcDepthOfField(50, 8, 0.03, INFINITY);
    ASSERT_TRUE(infinity);
    EXPECT_DOUBLE_EQ(infinity->nearLimit, 2500 / (8 * 0.03 * 1000));
    // Distance 0 leaves nothing near and nothing known far.
    auto const zero = composites::CalcDepthOfField(74, 5.6, 0.03, 0);
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->nearLimit, 0);
    EXPECT_TRUE(std::isinf(zero->farLimit));
    EXPECT_FALSE(composites::CalcDepthOfField(0, 5.6, 0.03, 1));
    EXPECT_FALSE(composites::CalcDepthOfField(50, 5.6, 0.03, -1));
}

TEST(DepthOfFieldTest, DisplayPrecisionFollowsTheDepth) {
    ReadStore store;
    auto shown = [&](double nearLimit, double farLimit) {
        return composites::DofDisplay(Value(std::vector<double>{nearLimit, farLimit}), store).ToString();
    };
    EXPECT_EQ(shown(1.974, 2.615), "0.64 m (1.97 - 2.62 m)");
    EXPECT_EQ(shown(0.3584, 0.3617), "0.003 m (0.358 - 0.362 m)");
    EXPECT_EQ(shown(2.77, INFINITY), "inf (2.77 m - inf)");
    EXPECT_EQ(shown(0.03002, 0.02998), "-0.00 m (0.03 - 0.03 m)");
}

TEST_F(MakerComposites, DofTakesTheFirstNonZeroDistance) {
    // An EOS 7D: 5184 x 3456 pixels on 0.907 x 0.595 inches.
    Optics(57, 43.266615305567875 / (std::hypot(0.907, 0.595) * 25.4), 11);
    Set(FieldGroup::Exif, "SubjectDistance", Value(Fraction(225, 100)));
    Set(FieldGroup::Canon, "FocusDistanceLower", Value(1.0));
    Set(FieldGroup::Canon, "FocusDistanceUpper", Value(9.0));
    EXPECT_EQ(Shown("DOF"), "0.65 m (1.97 - 2.62 m)");
}

TEST_F(MakerComposites, DofFallsBackToTheMiddleOfTheFocusRange) {
    Optics(35, 1.3, 5.6);
    Set(FieldGroup::Exif, "SubjectDistance", Value(Fraction(0, 1)));  // not recorded
    Set(FieldGroup::Canon, "FocusDistanceLower", Value(1.13));
    Set(FieldGroup::Canon, "FocusDistanceUpper", Value(2.19));
    double const circle = 43.266615305567875 / (1.3 * 1440);
    auto const dof = composites::CalcDepthOfField(35, 5.6, circle, (1.13 + 2.19) / 2);
    ASSERT_TRUE(dof);
    ReadStore store;
    Value const limits(std::vector<double>{dof->nearLimit, dof->farLimit});
    EXPECT_EQ(Shown("DOF"), composites::DofDisplay(limits, store).ToString());
}

TEST_F(MakerComposites, DofNeedsADistance) {
    Optics(50, 1.5, 4);
    Set(FieldGroup::Exif, "SubjectDistance", Value(Fraction(0, 1)));
    EXPECT_TRUE(Has("CircleOfConfusion"));
    EXPECT_FALSE(Has("DOF"));
}

TEST_F(MakerComposites, IptcDateAndTimeJoin) {
    Set(FieldGroup::IptcApplication, "DateCreated", Value("2008:05:08"));
    Set(FieldGroup::IptcApplication, "TimeCreated", Value("09:54:28+00:00"));
    Set(FieldGroup::IptcApplication, "DigitalCreationDate", Value("2004:06:21"));
    Set(FieldGroup::IptcApplication, "DigitalCreationTime", Value("23:37:53-04:00"));
    EXPECT_EQ(Shown("DateTimeCreated"), "2008:05:08 09:54:28+00:00");
    EXPECT_EQ(Shown("DigitalCreationDateTime"), "2004:06:21 23:37:53-04:00");
}

TEST_F(MakerComposites, XmpDatesAreNotIptcDates) {
    Set(FieldGroup::XmpPhotoshop, "DateCreated", Value("2008:05:08"));
    Set(FieldGroup::IptcApplication, "TimeCreated", Value("09:54:28"));
    EXPECT_FALSE(Has("DateTimeCreated"));
}

TEST_F(MakerComposites, PanasonicImageSizeFromTheSensorBorders) {
    Set(FieldGroup::Ifd0, "SensorLeftBorder", Value(std::uint16_t{8}));
    Set(FieldGroup::Ifd0, "SensorRightBorder", Value(std::uint16_t{3656}));
    Set(FieldGroup::Ifd0, "SensorTopBorder", Value(std::uint16_t{6}));
    Set(FieldGroup::Ifd0, "SensorBottomBorder", Value(std::uint16_t{2742}));
    EXPECT_EQ(Shown("ImageWidth"), "3648");
    EXPECT_EQ(Shown("ImageHeight"), "2736");
    // ImageSize waits for them.
    EXPECT_EQ(Shown("ImageSize"), "3648x2736");
}

TEST_F(MakerComposites, SonyFocusDistanceFromTheFocusPosition) {
    Set(FieldGroup::Sony, "FocusPosition2", Value(std::uint8_t{175}));
    Set(FieldGroup::Exif, "FocalLengthIn35mmFormat", Value(std::uint16_t{82}));
    EXPECT_EQ(Shown("FocusDistance2"), "5.108 m");
}

using test::Compute;

TEST(CanonIso, FromTheCameraOrBaseAndAuto) {
    EXPECT_EQ(Compute(&composites::CanonIso, {Value("Auto"), Value(100.0), Value(108.3)}, "Canon")
                  .Convert<double>(),
              108);
    EXPECT_EQ(
        Compute(&composites::CanonIso, {Value("400"), Value(100.0), Value(200.0)}, "Canon").Convert<double>(),
        400);
    EXPECT_FALSE(Compute(&composites::CanonIso, {Value("Auto"), Value(), Value()}, "Canon").Exists());
    EXPECT_FALSE(Compute(&composites::CanonIso, {Value("400"), Value(), Value()}, "SONY").Exists());
}

TEST(SonyFocus, InfinityAndOtherMakes) {
    EXPECT_TRUE(std::isinf(
        Compute(&composites::SonyFocusDistance, {Value(255), Value(50.0)}, "SONY").Convert<double>()));
    EXPECT_NEAR(Compute(&composites::SonyFocusDistance, {Value(1), Value(36.0)}, "SONY").Convert<double>(),
                (std::exp2(1 / 16.0 - 5) + 1) * 0.036, 1e-12);
    // Nikon also records a FocusPosition, which means something else.
    EXPECT_FALSE(
        Compute(&composites::SonyFocusDistance, {Value(33), Value(50.0)}, "NIKON CORPORATION").Exists());
    ReadStore store;
    EXPECT_EQ(composites::FocusDistanceDisplay(Value(INFINITY), store).ToString(), "inf");
    EXPECT_EQ(composites::FocusDistanceDisplay(Value(0.0351095), store).ToString(), "0.03511 m");
}

TEST(CorrectionsApplied, SettingsMapToYesOrNo) {
    using composites::YesNoDisplay;
    ReadStore store;
    auto shown = [&](Value const& v) { return YesNoDisplay(v, store).ToString(); };
    EXPECT_EQ(shown(Compute(&composites::NikonVignettingCorrectionApplied, {Value(3)}, "NIKON")), "Yes");
    EXPECT_EQ(shown(Compute(&composites::NikonVignettingCorrectionApplied, {Value(0)}, "NIKON")), "No");
    EXPECT_EQ(shown(Compute(&composites::SonyVignettingCorrectionApplied, {Value(2)}, "SONY")), "Yes");
    EXPECT_EQ(shown(Compute(&composites::SonyVignettingCorrectionApplied, {Value(0)}, "SONY")), "No");
    // n/a says nothing.
    EXPECT_FALSE(
        Compute(&composites::SonyVignettingCorrectionApplied, {Value(0xffffffffu)}, "SONY").Exists());
    // The first chromatic aberration setting present counts.
    EXPECT_EQ(
        shown(Compute(&composites::SonyChromaticAberrationCorrectionApplied, {Value(), Value(2)}, "SONY")),
        "Yes");
    // The distortion result beats the setting.
    EXPECT_EQ(shown(Compute(&composites::SonyDistortionCorrectionApplied, {Value(0), Value(2)}, "SONY")),
              "No");
    EXPECT_EQ(shown(Compute(&composites::SonyDistortionCorrectionApplied, {Value(), Value(2)}, "SONY")),
              "Yes");
    EXPECT_FALSE(
        Compute(&composites::SonyDistortionCorrectionApplied, {Value(1), Value()}, "Canon").Exists());
    EXPECT_EQ(shown(Compute(&composites::LensDistortionKnown, {Value(1)}, "Panasonic")), "Yes");
    EXPECT_EQ(shown(Compute(&composites::LensDistortionKnown, {Value(0)}, "LEICA")), "No");
    EXPECT_FALSE(Compute(&composites::LensDistortionKnown, {Value(1)}, "OLYMPUS").Exists());
    EXPECT_DOUBLE_EQ(Compute(&composites::LensDistortionParameter, {Value(0.12359619140625)}, "Panasonic")
                         .Convert<double>(),
                     0.12359619140625);
}

TEST_F(MakerComposites, LensDistortionModelOfPanasonicRawFiles) {
    Set(FieldGroup::PanasonicRaw, "DistortionCorrection", Value(std::uint8_t{1}));
    Set(FieldGroup::PanasonicRaw, "DistortionScale", Value(1.0));
    Set(FieldGroup::PanasonicRaw, "DistortionParam08", Value(0.12359619140625));
    Set(FieldGroup::PanasonicRaw, "DistortionParam04", Value(0.02056884765625));
    Set(FieldGroup::PanasonicRaw, "DistortionParam11", Value(-0.02374267578125));
    EXPECT_EQ(Shown("LensDistortionKnown"), "Yes");
    EXPECT_DOUBLE_EQ(metadata_.Find(FieldGroup::Composite, "LensDistortionA").GetValue().Convert<double>(),
                     0.12359619140625);
    EXPECT_DOUBLE_EQ(metadata_.Find(FieldGroup::Composite, "LensDistortionB").GetValue().Convert<double>(),
                     0.02056884765625);
    EXPECT_DOUBLE_EQ(metadata_.Find(FieldGroup::Composite, "LensDistortionC").GetValue().Convert<double>(),
                     -0.02374267578125);
    EXPECT_DOUBLE_EQ(
        metadata_.Find(FieldGroup::Composite, "LensDistortionScale").GetValue().Convert<double>(), 1);
}

}  // namespace
}  // namespace meta
