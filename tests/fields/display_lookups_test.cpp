#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "varrow/fields/display_lookups.h"
#include "varrow/fields/table_builders.h"
#include "varrow/processors/read_store.h"
#include "varrow/util/byte.h"

namespace meta {
namespace {

using IntLookup = detail::EnumValuesImpl<long long>;
using TextLookup = detail::EnumValuesImpl<std::string>;
using Rows = std::vector<std::pair<long long, std::string>>;

std::string Text(const Value& value) {
    return value.Get<std::string>();
}

// Every (code, text) of a lookup in dictionary order.
Rows RowsOf(const IntLookup& lookup) {
    Rows rows;
    for (const auto& [code, text] : lookup.GetDictionary()) rows.emplace_back(code, text);
    return rows;
}

void ExpectExactly(std::string_view name, const Rows& expected) {
    SCOPED_TRACE(std::string(name));
    const IntLookup& lookup = DisplayLookups::SafeGetImpl<IntLookup>(name);
    EXPECT_EQ(lookup.GetStrategy(), EnumValuesStrategy::Whole);
    EXPECT_TRUE(lookup.HasImplicitDefault());
    EXPECT_EQ(RowsOf(lookup), expected);
}

TEST(DisplayLookups, TellingLookupsInFull) {
    ExpectExactly("ExifOrientation", {{1, "Horizontal (normal)"},
                                      {2, "Mirror horizontal"},
                                      {3, "Rotate 180"},
                                      {4, "Mirror vertical"},
                                      {5, "Mirror horizontal and rotate 270 CW"},
                                      {6, "Rotate 90 CW"},
                                      {7, "Mirror horizontal and rotate 90 CW"},
                                      {8, "Rotate 270 CW"}});
    ExpectExactly("ExifExposureProgram", {{0, "Not Defined"},
                                          {1, "Manual"},
                                          {2, "Program AE"},
                                          {3, "Aperture-priority AE"},
                                          {4, "Shutter speed priority AE"},
                                          {5, "Creative (Slow speed)"},
                                          {6, "Action (High speed)"},
                                          {7, "Portrait"},
                                          {8, "Landscape"},
                                          {9, "Bulb"}});
    ExpectExactly("ExifMeteringMode", {{0, "Unknown"},
                                       {1, "Average"},
                                       {2, "Center-weighted average"},
                                       {3, "Spot"},
                                       {4, "Multi-spot"},
                                       {5, "Multi-segment"},
                                       {6, "Partial"},
                                       {255, "Other"}});
    ExpectExactly("ExifExposureMode", {{0, "Auto"}, {1, "Manual"}, {2, "Auto bracket"}});
    ExpectExactly("ExifResolutionUnit", {{1, "None"}, {2, "inches"}, {3, "cm"}});
    ExpectExactly("ExifColorSpace", {{1, "sRGB"},
                                     {2, "Adobe RGB"},
                                     {65533, "Wide Gamut RGB"},
                                     {65534, "ICC Profile"},
                                     {65535, "Uncalibrated"}});
    ExpectExactly("ExifSceneCaptureType",
                  {{0, "Standard"}, {1, "Landscape"}, {2, "Portrait"}, {3, "Night"}, {4, "Other"}});
    ExpectExactly("ExifFlash", {{0, "No Flash"},
                                {1, "Fired"},
                                {5, "Fired, Return not detected"},
                                {7, "Fired, Return detected"},
                                {8, "On, Did not fire"},
                                {9, "On, Fired"},
                                {13, "On, Return not detected"},
                                {15, "On, Return detected"},
                                {16, "Off, Did not fire"},
                                {20, "Off, Did not fire, Return not detected"},
                                {24, "Auto, Did not fire"},
                                {25, "Auto, Fired"},
                                {29, "Auto, Fired, Return not detected"},
                                {31, "Auto, Fired, Return detected"},
                                {32, "No flash function"},
                                {48, "Off, No flash function"},
                                {65, "Fired, Red-eye reduction"},
                                {69, "Fired, Red-eye reduction, Return not detected"},
                                {71, "Fired, Red-eye reduction, Return detected"},
                                {73, "On, Red-eye reduction"},
                                {77, "On, Red-eye reduction, Return not detected"},
                                {79, "On, Red-eye reduction, Return detected"},
                                {80, "Off, Red-eye reduction"},
                                {88, "Auto, Did not fire, Red-eye reduction"},
                                {89, "Auto, Fired, Red-eye reduction"},
                                {93, "Auto, Fired, Red-eye reduction, Return not detected"},
                                {95, "Auto, Fired, Red-eye reduction, Return detected"}});
    ExpectExactly("ExifLightSource", {{0, "Unknown"},
                                      {1, "Daylight"},
                                      {2, "Fluorescent"},
                                      {3, "Tungsten (Incandescent)"},
                                      {4, "Flash"},
                                      {9, "Fine Weather"},
                                      {10, "Cloudy"},
                                      {11, "Shade"},
                                      {12, "Daylight Fluorescent"},
                                      {13, "Day White Fluorescent"},
                                      {14, "Cool White Fluorescent"},
                                      {15, "White Fluorescent"},
                                      {16, "Warm White Fluorescent"},
                                      {17, "Standard Light A"},
                                      {18, "Standard Light B"},
                                      {19, "Standard Light C"},
                                      {20, "D55"},
                                      {21, "D65"},
                                      {22, "D75"},
                                      {23, "D50"},
                                      {24, "ISO Studio Tungsten"},
                                      {255, "Other"}});

    const Rows compression = RowsOf(DisplayLookups::SafeGetImpl<IntLookup>("ExifCompression"));
    ASSERT_EQ(compression.size(), 49U);
    const Rows head(compression.begin(), compression.begin() + 11);
    EXPECT_EQ(head, (Rows{{1, "Uncompressed"},
                          {2, "CCITT 1D"},
                          {3, "T4/Group 3 Fax"},
                          {4, "T6/Group 4 Fax"},
                          {5, "LZW"},
                          {6, "JPEG (old-style)"},
                          {7, "JPEG"},
                          {8, "Adobe Deflate"},
                          {9, "JBIG B&W"},
                          {10, "JBIG Color"},
                          {99, "JPEG"}}));
}

TEST(DisplayLookups, OrientationAsShownThroughAField) {
    ReadStore store;
    const std::function<Value(const Value&, ReadStore&)> display =
        DisplayLookups::SafeGetImpl<IntLookup>("ExifOrientation").Bind();
    EXPECT_EQ(Text(display(Value(std::uint16_t{6}), store)), "Rotate 90 CW");
    EXPECT_EQ(Text(display(Value(std::uint16_t{9}), store)), "9");
    EXPECT_EQ(DisplayLookups::SafeGetImpl<IntLookup>("ExifOrientation").DirectLookup(9), "Unknown (9)");
    const std::function<Value(const Value&)> inverse =
        DisplayLookups::SafeGetImpl<IntLookup>("ExifOrientation").BindReverse();
    EXPECT_EQ(inverse(Value("Rotate 270 CW")), Value(std::int64_t{8}));
}

TEST(DisplayLookups, MissingOrMismatchedNames) {
    EXPECT_EQ(DisplayLookups::Get("NoSuchLookup"), nullptr);
    EXPECT_NE(DisplayLookups::Get("ExifFlash"), nullptr);
    // The name ends at a NUL.
    EXPECT_EQ(DisplayLookups::Get(std::string_view("ExifFlash\0Orientation", 21)),
              DisplayLookups::Get("ExifFlash"));
    EXPECT_EQ(DisplayLookups::Get("exifflash"), nullptr);

    const auto expectMessage = [](const auto& call, const std::string& name) {
        try {
            call();
            ADD_FAILURE() << "no exception for " << name;
        } catch (const std::out_of_range& e) {
            EXPECT_EQ(std::string(e.what()), "No compatible display lookup '" + name + "' found");
        }
    };
    expectMessage([] { DisplayLookups::SafeGet("NoSuchLookup"); }, "NoSuchLookup");
    expectMessage([] { DisplayLookups::SafeGetImpl<IntLookup>("NoSuchLookup"); }, "NoSuchLookup");
    // GPS references are letters, so their lookup is keyed by text.
    expectMessage([] { DisplayLookups::SafeGetImpl<IntLookup>("GpsGPSLatitudeRef"); }, "GpsGPSLatitudeRef");
    expectMessage([] { detail::BindDisplayLookup("NoSuchLookup"); }, "NoSuchLookup");
    expectMessage([] { detail::BindReverseDisplayLookup(""); }, "");
}

TEST(DisplayLookups, KeyTypesFollowTheValuesReadersHandIn) {
    ReadStore store;
    const TextLookup& latitude = DisplayLookups::SafeGetImpl<TextLookup>("GpsGPSLatitudeRef");
    EXPECT_EQ(Text(latitude.Lookup(Value("N"))), "North");
    EXPECT_EQ(Text(latitude.Lookup(Value(std::string("S\0", 2)))), "South");
    EXPECT_EQ(
        Text(DisplayLookups::SafeGetImpl<IntLookup>("GpsGPSAltitudeRef").Lookup(Value(std::uint8_t{1}))),
        "Below Sea Level");

    // An UNDEFINED block of four component codes shows four texts.
    const auto components = detail::BindDisplayLookup("ExifComponentsConfiguration");
    const std::vector<meta::byte> ycc{meta::byte{1}, meta::byte{2}, meta::byte{3}, meta::byte{0}};
    EXPECT_EQ(Text(components(Value(ycc), store)), "Y, Cb, Cr, -");

    // Sub-sampling is one code of two elements.
    const auto subSampling = detail::BindDisplayLookup("ExifYCbCrSubSampling");
    EXPECT_EQ(Text(subSampling(Value(std::vector<std::uint16_t>{2, 2}), store)), "YCbCr4:2:0 (2 2)");
    EXPECT_TRUE(std::holds_alternative<detail::EnumValuesImpl<std::vector<long long>>>(
        DisplayLookups::SafeGet("ExifYCbCrSubSampling")));

    // One dictionary per sample.
    const auto& sampleFormat =
        DisplayLookups::SafeGetImpl<detail::EnumValuesArrayImpl<long long>>("ExifSampleFormat");
    EXPECT_EQ(Text(sampleFormat.Bind()(Value(std::vector<std::uint16_t>{1, 3, 2}), store)),
              "Unsigned, Float, Signed");

    // Bit masks are stored by bit number.
    const IntLookup& coding = DisplayLookups::SafeGetImpl<IntLookup>("ExifCodingMethods");
    EXPECT_EQ(coding.GetStrategy(), EnumValuesStrategy::BitMask);
    EXPECT_EQ(coding.DirectLookup(0x21), "Unspecified compression, Baseline JPEG");

    EXPECT_EQ(Text(detail::BindDisplayLookup("IptcImageOrientation")(Value("P"), store)), "Portrait");
    EXPECT_EQ(Text(detail::BindDisplayLookup("IccProfileClass")(Value("mntr"), store)),
              "Display Device Profile");
    EXPECT_EQ(Text(detail::BindDisplayLookup("JfifResolutionUnit")(Value(std::uint8_t{1}), store)), "inches");
    EXPECT_EQ(detail::BindReverseDisplayLookup("GpsGPSSpeedRef")(Value("knots")), Value("N"));
}

TEST(DisplayLookups, BindingsReferToTheRegistry) {
    const IntLookup& flash = DisplayLookups::SafeGetImpl<IntLookup>("ExifFlash");
    EXPECT_EQ(&flash.Bind().GetLookup(), &flash);
    EXPECT_EQ(&DisplayLookups::SafeGetImpl<IntLookup>("ExifFlash"), &flash);
    EXPECT_EQ(&detail::GetLookups(), &detail::GetLookups());
}

TEST(DisplayLookups, EveryLookupIsUsable) {
    const auto& lookups = detail::GetLookups();
    ASSERT_EQ(DisplayLookups::Count(), lookups.size());
    EXPECT_GT(lookups.size(), 100U);
    // Families of the standard formats; maker-note families come on top.
    const std::set<std::string> families = {"Exif", "Gps", "Iptc", "Icc", "Jfif", "Photoshop"};
    std::set<std::string> seenFamilies;
    for (const auto& [name, lookup] : lookups) {
        SCOPED_TRACE(name);
        const std::string_view full(name);
        for (const auto& prefix : families) {
            if (full.substr(0, prefix.size()) == prefix && full.size() > prefix.size())
                seenFamilies.insert(prefix);
        }
        EXPECT_EQ(DisplayLookups::Get(full), &lookup);
        std::visit(
            [](const auto& impl) {
                using Impl = std::remove_cvref_t<decltype(impl)>;
                if constexpr (std::is_same_v<Impl, detail::EnumValuesArrayImpl<long long>>) {
                    bool any = false;
                    for (const auto& element : impl.GetElements()) any = any || !element.first.empty();
                    EXPECT_TRUE(any);
                } else {
                    EXPECT_FALSE(impl.GetDictionary().empty());
                    // Every text reads back to a code showing that text.
                    for (const auto& [code, text] : impl.GetDictionary()) {
                        if (*text == '\0' || impl.GetStrategy() != EnumValuesStrategy::Whole) continue;
                        const Value back = impl.ReverseLookup(Value(text));
                        ASSERT_TRUE(back.Exists()) << text;
                        EXPECT_EQ(impl.Lookup(back).template Get<std::string>(), text);
                    }
                }
            },
            lookup);
    }
    EXPECT_EQ(seenFamilies, families);
}

TEST(DisplayLookups, RegisteredForInitialisation) {
    EXPECT_GE(CountTableBuilders(TableStage::DisplayLookups), 1);
    RunTableBuilders(TableStage::DisplayLookups);
    DisplayLookups::WarmUp();
    EXPECT_STREQ(DisplayLookups::ValueQualifierKey, "LookupName");
    // A fresh build gives the same names.
    const auto fresh = detail::BuildLookups();
    ASSERT_EQ(fresh.size(), detail::GetLookups().size());
    auto it = detail::GetLookups().begin();
    for (const auto& entry : fresh) EXPECT_STREQ(entry.first, (it++)->first);
}

}  // namespace
}  // namespace meta
