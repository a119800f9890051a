// Lens names: what they say about the lens, how a lens is chosen among the
// names sharing a lens type code, and the lens composites built on that.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "api/composite_test_inputs.h"
#include "varrow/api/metadata.h"
#include "varrow/fields/composites/lens_composites.h"
#include "varrow/fields/composites/lens_identification.h"
#include "varrow/fields/composites/lens_properties.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/fraction.h"

namespace meta {
namespace {

using detail::LensData;
using detail::PrintLensID;

struct Parsed {
    double minFocal;
    double maxFocal;
    double wide;
    double tele;
};

Parsed Parse(std::string_view name, bool bareFocal = false, bool bareAperture = false) {
    LensProperties const lens(name, bareFocal, bareAperture);
    return {lens.GetMinFocalLength(), lens.GetMaxFocalLength(), lens.GetMaxApertureWide(),
            lens.GetMaxApertureTele()};
}

void ExpectParsed(std::string_view name, Parsed expected, bool bareFocal = false, bool bareAperture = false) {
    SCOPED_TRACE(name);
    Parsed const got = Parse(name, bareFocal, bareAperture);
    EXPECT_DOUBLE_EQ(got.minFocal, expected.minFocal);
    EXPECT_DOUBLE_EQ(got.maxFocal, expected.maxFocal);
    EXPECT_DOUBLE_EQ(got.wide, expected.wide);
    EXPECT_DOUBLE_EQ(got.tele, expected.tele);
}

TEST(LensPropertiesTest, ReadsTheFormsMakersWrite) {
    ExpectParsed("24-70mm f/2.8", {24, 70, 2.8, 2.8});
    ExpectParsed("EF-S18-55mm f/3.5-5.6 IS", {18, 55, 3.5, 5.6});
    ExpectParsed("Canon EF 100mm f/2.8L Macro IS USM", {100, 100, 2.8, 2.8});
    ExpectParsed("XF50mmF2 R WR", {50, 50, 2, 2});
    ExpectParsed("Olympus Zuiko Digital 14-54mm F2.8-3.5", {14, 54, 2.8, 3.5});
    ExpectParsed("18.0 - 55.0 mm f/3.5 - 5.6", {18, 55, 3.5, 5.6});
    ExpectParsed("RF70-200mm F2.8 L IS USM", {70, 200, 2.8, 2.8});
    ExpectParsed("iPhone 11 Pro back triple camera 4.25mm f/1.8", {4.25, 4.25, 1.8, 1.8});
    ExpectParsed("1.539999962-6mm f/1.8-2.4", {1.539999962, 6, 1.8, 2.4});
    ExpectParsed("Leica Summicron-M 50mm 1:2", {50, 50, 2, 2});
    // Unknown apertures and names without numbers.
    ExpectParsed("15-45mm f/0", {15, 45, 0, 0});
    ExpectParsed("6-72mm f/?", {6, 72, 0, 0});
    ExpectParsed("G VR", {0, 0, 0, 0});
    ExpectParsed("", {0, 0, 0, 0});
    // A number in a word is not a focal length; "mm" inside a word is not a unit.
    ExpectParsed("Summilux 35", {0, 0, 0, 0});
}

TEST(LensPropertiesTest, FlagsAcceptBareNumbers) {
    ExpectParsed("Sigma 18-35 F1.8 DC HSM", {0, 0, 1.8, 1.8});
    ExpectParsed("Sigma 18-35 F1.8 DC HSM", {18, 35, 1.8, 1.8}, true);
    ExpectParsed("70-200mm 2.8", {70, 200, 0, 0});
    ExpectParsed("70-200mm 2.8", {70, 200, 2.8, 2.8}, false, true);

    LensProperties const zoom("EF-S18-55mm f/3.5-5.6 IS");
    EXPECT_TRUE(zoom.HasFocalLength());
    EXPECT_TRUE(zoom.HasFocalLengthRange());
    EXPECT_FALSE(zoom.HasFixedFocalLength());
    EXPECT_TRUE(zoom.HasMaxApertureRange());
    EXPECT_FALSE(zoom.HasFixedMaxAperture());
    LensProperties const prime("50mm f/1.4");
    EXPECT_TRUE(prime.HasFixedFocalLength());
    EXPECT_TRUE(prime.HasFixedMaxAperture());
    EXPECT_FALSE(prime.HasFocalLengthRange());
    LensProperties const none("Lensbaby");
    EXPECT_FALSE(none.HasFocalLength());
    EXPECT_FALSE(none.HasMaxAperture());
    EXPECT_FALSE(none.HasFixedFocalLength());
}

TEST(LensIdentification, NamesAreShownAsModelTextsAre) {
    EXPECT_EQ(detail::NormaliseLensName("100.0 mm f/2.8"), "100.0mm f/2.8");
    EXPECT_EQ(detail::NormaliseLensName("18.0 - 55.0mm"), "18.0-55.0mm");
    EXPECT_EQ(detail::NormaliseLensName("XF50mmF2 R WR"), "XF50mm F2 R WR");
    EXPECT_EQ(detail::NormaliseLensName(" 6.0-72.0mm"), " 6.0-72.0mm");
    EXPECT_EQ(detail::NormaliseLensName("FE 24-50mm F2.8 G"), "FE 24-50mm F2.8 G");
    EXPECT_EQ(detail::NormaliseLensName("Summicron - M"), "Summicron - M");

    EXPECT_EQ(detail::SplitLensAlternatives("A 50mm or B 35mm"),
              (std::vector<std::string>{"A 50mm", "B 35mm"}));
    EXPECT_EQ(detail::SplitLensAlternatives("Solo"), (std::vector<std::string>{"Solo"}));

    EXPECT_EQ(detail::FocalRangeText(3.8, 247), "3-247mm");
    EXPECT_EQ(detail::FocalRangeText(5.4, 16.2), "5-16mm");
    EXPECT_EQ(detail::FocalRangeText(50, 50), "50mm");
    EXPECT_EQ(detail::FocalRangeText(std::nullopt, std::nullopt), "");
}

TEST(LensIdentification, ChoosesAmongLensesSharingACode) {
    std::vector<std::string> const shared{"Canon EF 28-70mm f/2.8L USM", "Sigma 28-70mm f/2.8 EX",
                                          "Sigma 24-60mm f/2.8 EX DG"};
    LensData data;
    // The lens model text names one of them.
    data.model = "EF28-70mm f/2.8L USM";
    EXPECT_TRUE(detail::MatchLensModel(shared[0], data.model));
    EXPECT_FALSE(detail::MatchLensModel(shared[1], data.model));
    EXPECT_EQ(PrintLensID(shared, data), "Canon EF 28-70mm f/2.8L USM");
    // A model text that names none still gives its focal range.
    data.model = "24-60mm F2.8 (third-party)";
    EXPECT_EQ(PrintLensID(shared, data), "Sigma 24-60mm f/2.8 EX DG");
    // Without one, the focal range decides, and equal ranges stay together.
    data.model.clear();
    data.minFocalLength = 28;
    data.maxFocalLength = 70;
    EXPECT_EQ(PrintLensID(shared, data), "Canon EF 28-70mm f/2.8L USM or Sigma 28-70mm f/2.8 EX");
    data.minFocalLength = 24;
    data.maxFocalLength = 60;
    EXPECT_EQ(PrintLensID(shared, data), "Sigma 24-60mm f/2.8 EX DG");
    // A focal length alone must lie in the range; the aperture must fit too.
    LensData used;
    used.focalLength = 65;
    used.maxAperture = 2.8;
    EXPECT_EQ(PrintLensID(shared, used), "Canon EF 28-70mm f/2.8L USM or Sigma 28-70mm f/2.8 EX");
    used.focalLength = 50;
    used.maxAperture = 4;
    EXPECT_EQ(PrintLensID({"Fast 50mm f/1.4", "Slow 35-70mm f/4"}, used), "Slow 35-70mm f/4");
    // Nothing fits: a teleconverter may explain the range, else all are named.
    LensData converted;
    converted.minFocalLength = 300;
    converted.maxFocalLength = 300;
    EXPECT_EQ(PrintLensID({"Macro 150mm f/2.8", "Zoom 70-200mm f/2.8"}, converted), "Macro 150mm f/2.8 + 2x");
    EXPECT_EQ(detail::LensWithTC("Tele 100-300mm f/4", LensData{{}, {}, 140, 420, {}}),
              std::optional<std::string>("Tele 100-300mm f/4 + 1.4x"));
    converted.minFocalLength = 10;
    converted.maxFocalLength = 10;
    EXPECT_EQ(PrintLensID({"A 50mm", "B 85mm"}, converted), "A 50mm or B 85mm");
    // A single name is the answer; no name gives the recorded range.
    EXPECT_EQ(PrintLensID({"Only 50mm"}, converted), "Only 50mm");
    EXPECT_EQ(PrintLensID({}, LensData{{}, {}, 18, 55, {}}), "Unknown 18-55mm");
    EXPECT_EQ(PrintLensID({}, LensData{}), "");
}

std::vector<std::string> TestLensNames(std::string_view code) {
    if (code == "7") return {"Maker 18-55mm f/3.5-5.6", "Other 10-20mm f/4"};
    if (code == "01 02 03 04 05 06 07 08") return {"Hex Lens 24mm f/2.8"};
    return {};
}

TEST(LensIdentification, TablesAreFoundByMakePrefix) {
    detail::RegisterLensTable("LensTestMaker", &TestLensNames);
    EXPECT_EQ(detail::FindLensTable("LENSTESTMAKER Corporation"), &TestLensNames);
    EXPECT_EQ(detail::FindLensTable("LensTest"), nullptr);
    EXPECT_EQ(detail::FindLensTable(""), nullptr);
}

class LensComposites : public ::testing::Test {
  protected:
    void Set(FieldGroup group, std::string name, Value value) {
        metadata_.Add(group, std::move(name), std::move(value), ValueAffinity::Display);
    }
    std::string Shown(std::string_view name) const {
        return Metadata::MakeExifToolDisplayStringFinder()(metadata_, FieldGroup::Composite, name);
    }
    bool Has(std::string_view name) const {
        return static_cast<bool>(metadata_.Find(FieldGroup::Composite, name));
    }

    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(LensComposites, UnknownLensTypeNamesTheFocalRange) {
    Set(FieldGroup::Canon, "LensType", Value("n/a"));
    Set(FieldGroup::Canon, "MinFocalLength", Value(18.0));
    Set(FieldGroup::Canon, "MaxFocalLength", Value(55.0));
    metadata_.GenerateCompositeTags();
    EXPECT_EQ(Shown("LensID"), "Unknown 18-55mm");
    EXPECT_EQ(Shown("Lens"), "18.0 - 55.0 mm");
}

TEST_F(LensComposites, LensTypeNamesAreCheckedAgainstTheFocalLength) {
    Set(FieldGroup::Pentax, "LensType", Value("PENTAX-F 28-80mm F3.5-4.5 or Sigma or Tokina Lens"));
    Set(FieldGroup::Exif, "FocalLength", Value(Fraction(50, 1)));
    metadata_.GenerateCompositeTags();
    EXPECT_EQ(Shown("LensID"), "PENTAX-F 28-80mm F3.5-4.5");
}

TEST_F(LensComposites, ACodeWithoutLensNamesGivesNoLensId) {
    Set(FieldGroup::Nikon, "LensType", Value("G VR"));
    metadata_.GenerateCompositeTags();
    EXPECT_FALSE(Has("LensID"));
}

TEST_F(LensComposites, LensModelTextIsTheFallback) {
    Set(FieldGroup::XmpAux, "Lens", Value("100.0 mm f/2.8"));
    metadata_.GenerateCompositeTags();
    EXPECT_EQ(Shown("LensID"), "100.0mm f/2.8");
}

TEST_F(LensComposites, LensModelBeatsLensAndNeedsAUnit) {
    Set(FieldGroup::Exif, "LensModel", Value("XF50mmF2 R WR"));
    Set(FieldGroup::XmpAux, "Lens", Value("18.0 - 55.0mm"));
    metadata_.GenerateCompositeTags();
    EXPECT_EQ(Shown("LensID"), "XF50mm F2 R WR");

    Metadata other{Initialiser::Mode::HostInitialisesXmp};
    other.Add(FieldGroup::Exif, "LensModel", Value("Camera module 3"), ValueAffinity::Display);
    other.GenerateCompositeTags();
    EXPECT_FALSE(other.Find(FieldGroup::Composite, "LensID"));
}

TEST_F(LensComposites, AnIdentifiedLensWinsOverTheModelText) {
    detail::RegisterLensTable("LensTestMaker", &TestLensNames);
    Set(FieldGroup::XmpAux, "LensID", Value("7"));
    Set(FieldGroup::Ifd0, "Make", Value("LensTestMaker"));
    Set(FieldGroup::XmpAux, "LensInfo", Value("18-55mm f/3.5-5.6"));
    Set(FieldGroup::XmpAux, "Lens", Value("18-55mm zoom"));
    metadata_.GenerateCompositeTags();
    EXPECT_EQ(Shown("LensID"), "Maker 18-55mm f/3.5-5.6");

    // Without a focal range the lens text names the lens.
    Metadata byText{Initialiser::Mode::HostInitialisesXmp};
    byText.Add(FieldGroup::XmpAux, "LensID", Value("7"), ValueAffinity::Display);
    byText.Add(FieldGroup::Ifd0, "Make", Value("LensTestMaker"), ValueAffinity::Display);
    byText.Add(FieldGroup::XmpAux, "Lens", Value("Other 10-20mm F4"), ValueAffinity::Display);
    byText.GenerateCompositeTags();
    EXPECT_EQ(Metadata::MakeExifToolDisplayStringFinder()(byText, FieldGroup::Composite, "LensID"),
              "Other 10-20mm f/4");
}

TEST_F(LensComposites, NikonLensDataBytesFormTheLensId) {
    std::uint8_t const bytes[] = {0x92, 0x37, 0x2D, 0x88, 0x2C, 0x40, 0x4B, 0x0E};
    char const* const names[] = {
        "LensIDNumber",          "LensFStops", "MinFocalLength", "MaxFocalLength", "MaxApertureAtMinFocal",
        "MaxApertureAtMaxFocal", "MCUVersion", "LensType"};
    for (std::size_t i = 0; i < 8; ++i) Set(FieldGroup::Nikon, names[i], Value(bytes[i]));
    metadata_.GenerateCompositeTags();
    // No table: the code is shown; the range comes from the focal length bytes.
    EXPECT_EQ(Shown("LensID").rfind("Unknown (92 37 2D 88 2C 40 4B 0E)", 0), 0u);
}

TEST_F(LensComposites, NikonXmpLensIdIsTheLensDataAsOneNumber) {
    Set(FieldGroup::XmpAux, "LensID", Value("-7910804157571773682"));
    Set(FieldGroup::Ifd0, "Make", Value("NIKON CORPORATION"));
    Set(FieldGroup::XmpAux, "LensInfo", Value("18-250mm f/3.5-6.3"));
    metadata_.GenerateCompositeTags();
    EXPECT_EQ(Shown("LensID"), "Unknown (92 37 2D 88 2C 40 4B 0E) 18-250mm");
}

TEST_F(LensComposites, NikonLensSpecJoinsLensAndType) {
    Set(FieldGroup::Nikon, "Lens", Value(std::vector<Fraction>{{28, 1}, {300, 1}, {35, 10}, {56, 10}}));
    Set(FieldGroup::Nikon, "LensType", Value("G VR"));
    metadata_.GenerateCompositeTags();
    std::string const shown = Shown("LensSpec");
    EXPECT_NE(shown.find("G VR"), std::string::npos);
    EXPECT_EQ(
        shown.rfind(metadata_.Find(FieldGroup::Nikon, "Lens").GetDisplayValue().ToExifToolString() + " ", 0),
        0u);

    Metadata xmpOnly{Initialiser::Mode::HostInitialisesXmp};
    xmpOnly.Add(FieldGroup::XmpAux, "Lens", Value("18.0-55.0 mm f/3.5-5.6"), ValueAffinity::Display);
    xmpOnly.GenerateCompositeTags();
    EXPECT_FALSE(xmpOnly.Find(FieldGroup::Composite, "LensSpec"));
}

using test::Compute;

TEST(LensCompositeMakes, MakerCompositesKeepToTheirMake) {
    std::vector<Value> const focal{Value(18.0), Value(55.0)};
    EXPECT_TRUE(Compute(&composites::CanonLens, focal, "Canon").Exists());
    EXPECT_FALSE(Compute(&composites::CanonLens, focal, "NIKON CORPORATION").Exists());
    std::vector<Value> const lensInputs{Value(std::vector<Fraction>{{50, 1}, {50, 1}, {18, 10}, {18, 10}}),
                                        Value("D")};
    EXPECT_TRUE(Compute(&composites::NikonLensSpec, lensInputs, "NIKON CORPORATION").Exists());
    EXPECT_FALSE(Compute(&composites::NikonLensSpec, lensInputs, "Canon").Exists());
    std::vector<Value> const firmware{Value("RL5 V1.00")};
    EXPECT_EQ(Compute(&composites::RicohLensId, firmware, "RICOH").ToString(), "Unknown (RL5)");
    EXPECT_FALSE(Compute(&composites::RicohLensId, firmware, "Canon").Exists());
    ReadStore store;
    EXPECT_EQ(composites::CanonLensDisplay(Value(std::vector<double>{100, 100}), store).ToString(),
              "100.0 mm");
}

}  // namespace
}  // namespace meta
