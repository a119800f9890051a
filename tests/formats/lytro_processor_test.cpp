#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "fixtures/lytro_builder.h"
#include "support/corpus_files.h"
#include "varrow/api/metadata.h"
#include "varrow/items/lytro_metadatum.h"
#include "varrow/util/strings_utf8.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::LytroBuilder;
using fixtures::LytroJson;

class LytroTest : public ::testing::Test {
  protected:
    bool ReadBytes(Bytes const& bytes) {
        data_.assign(bytes.begin(), bytes.end());
        return metadata_.Read(data_.data(), data_.size(), ReadSource::Lytro, Options{});
    }
    // The same bytes through a standard stream, which accepts seeks past its
    // end where a memory stream refuses them.
    bool ReadStream(Bytes const& bytes) {
        std::istringstream in(std::string(bytes.begin(), bytes.end()));
        return metadata_.Read(in, ReadSource::Lytro, Options{});
    }
    Metadatum Item(char const* name) const { return metadata_.Find(FieldGroup::Lytro, name); }
    std::string Display(char const* name) const { return Item(name).GetDisplayValueAsString(); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (Metadatum const& item : metadata_.GetAllValues()) {
            if (item.GetGroup() == FieldGroup::Lytro) names.emplace_back(item.GetName());
        }
        return names;
    }

    std::string data_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(LytroTest, NamesItemsByMemberPathAndKeepsJsonTypes) {
    std::string const json = LytroJson(
        "\"camera\" : { \"make\" : \"Lytro, Inc.\", \"lensName\" : \"main\" },\n"
        "\t\"picture\" : { \"frame\" : { \"count\" : -3, \"big\" : 18446744073709551615, \"ratio\" : 0.5,"
        " \"dark\" : false, \"fits\" : 9223372036854775807 } }");
    ASSERT_TRUE(ReadBytes(LytroBuilder().Metadata(json).Build()));

    // camera.make has a definition: named after it, keyed by the path.
    Metadatum const make = Item("Make");
    ASSERT_TRUE(make);
    EXPECT_EQ(make.GetId(), "CameraMake");
    EXPECT_EQ(make.GetKey().GetFullName(), "Lytro:Lytro.Make");
    EXPECT_EQ(make.GetNamespace(), FieldNamespace::Lytro);
    EXPECT_EQ(make.GetDisplayValueAsString(), "Lytro, Inc.");
    EXPECT_EQ(make.GetValueTypeAsString(), "String");
    EXPECT_EQ(make.GetPriority(), 1);

    // Members without a definition keep the path as their name.
    EXPECT_EQ(Display("CameraLensName"), "main");
    EXPECT_TRUE(Item("CameraLensName").KeyIsKnown());
    EXPECT_EQ(Item("PictureFrameCount").GetRawValue().GetType(), Value::Type::S64);
    EXPECT_EQ(Display("PictureFrameCount"), "-3");
    EXPECT_EQ(Item("PictureFrameBig").GetRawValue().GetType(), Value::Type::U64);
    EXPECT_EQ(Display("PictureFrameBig"), "18446744073709551615");
    EXPECT_EQ(Item("PictureFrameBig").GetValueTypeAsString(), "UnsignedInteger");
    // An unsigned number that fits the signed range is signed.
    EXPECT_EQ(Item("PictureFrameFits").GetRawValue().GetType(), Value::Type::S64);
    EXPECT_EQ(Item("PictureFrameRatio").GetRawValue().GetType(), Value::Type::Double);
    EXPECT_EQ(Item("PictureFrameRatio").GetValueTypeAsString(), "Real");
    EXPECT_EQ(Item("PictureFrameDark").GetRawValue().GetType(), Value::Type::Bool);
    EXPECT_EQ(Item("PictureFrameDark").GetValueTypeAsString(), "Boolean");
    EXPECT_EQ(Names().size(), 7u);
}

TEST_F(LytroTest, ArraysAndEmptyObjectsYieldNothing) {
    std::string const json = LytroJson(
        "\"frameArray\" : [ { \"frame\" : { \"imageRef\" : \"sha1-1\" } } ],\n"
        "\t\"values\" : [ 1, 2, 3 ],\n\t\"applied\" : {},\n\t\"kept\" : { \"inner\" : [], \"x\" : 1 }");
    ASSERT_TRUE(ReadBytes(LytroBuilder().Metadata(json).Build()));
    EXPECT_EQ(Names(), std::vector<std::string>{"KeptX"});
}

TEST_F(LytroTest, DevicesWordIsDroppedOnlyWithoutDefinition) {
    std::string const json = LytroJson(
        "\"devices\" : { \"lens\" : { \"focusStep\" : 721 }, \"sensor\" : { \"iso\" : 87 } },\n"
        "\t\"devicesExtra\" : 1,\n\t\"picture\" : { \"devices\" : 2 }");
    ASSERT_TRUE(ReadBytes(LytroBuilder().Metadata(json).Build()));
    EXPECT_EQ(Display("LensFocusStep"), "721");
    EXPECT_FALSE(Item("DevicesLensFocusStep"));
    // DevicesSensorIso has a definition: its name, not a shortened path.
    EXPECT_EQ(Display("ISO"), "87");
    EXPECT_EQ(Item("ISO").GetId(), "DevicesSensorIso");
    EXPECT_FALSE(Item("SensorIso"));
    // The rule looks at the start of the whole name only.
    EXPECT_EQ(Display("Extra"), "1");
    EXPECT_EQ(Display("PictureDevices"), "2");

    // A scalar named just "Devices" keeps its name.
    ASSERT_TRUE(ReadBytes(LytroBuilder().Metadata(LytroJson("\"devices\" : 5")).Build()));
    EXPECT_EQ(Display("Devices"), "5");
}

TEST_F(LytroTest, MemberNamesGetTheirFirstLetterUpperCased) {
    // Each expected name comes from the library's Unicode-aware helper; the
    // reader's own path for plain ASCII names must agree with it.
    std::vector<std::string> const members = {"make", "Model", "_under", "9lives", "\xC3\xA9lan", "x"};
    std::string text = "\"o\" : { ";
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (i != 0) text += ", ";
        text += "\"" + members[i] + "\" : " + std::to_string(i);
    }
    text += " }";
    ASSERT_TRUE(ReadBytes(LytroBuilder().Metadata(LytroJson(text)).Build()));
    for (std::size_t i = 0; i < members.size(); ++i) {
        std::string const name = "O" + strings::utf8::UcFirst(members[i]);
        EXPECT_EQ(metadata_.Find(FieldGroup::Lytro, name).GetDisplayValueAsString(), std::to_string(i))
            << name;
    }
}

TEST_F(LytroTest, FieldTableConvertsCameraUnits) {
    std::string const json = LytroJson(
        "\"devices\" : {\n"
        "\t\t\"clock\" : { \"zuluTime\" : \"2012-04-12T14:10:55.000Z\" },\n"
        "\t\t\"lens\" : { \"fNumber\" : 1.9099999666213989258, \"focalLength\" : 0.0064499998092651363371,"
        " \"temperature\" : 34.07342529296875 },\n"
        "\t\t\"sensor\" : { \"pixelPitch\" : 1.3999999761581419596e-06 },\n"
        "\t\t\"shutter\" : { \"pixelExposureDuration\" : 0.0040000001899898052216,"
        " \"frameExposureDuration\" : 2 },\n"
        "\t\t\"soc\" : { \"temperature\" : 43.461944580078125 }\n\t},\n"
        "\t\"image\" : { \"orientation\" : 1, \"limitExposureBias\" : 0,"
        " \"modulationExposureBias\" : -1.152003169059753418 },\n"
        "\t\"type\" : \"lightField\"");
    ASSERT_TRUE(ReadBytes(LytroBuilder().Metadata(json).Build()));
    EXPECT_EQ(Display("DateTimeOriginal"), "2012:04:12 14:10:55.000Z");
    EXPECT_EQ(Display("FNumber"), "1.9");
    EXPECT_EQ(Display("FocalLength"), "6.4 mm");
    EXPECT_NEAR(Item("FocalLength").GetValue().Get<double>(), 6.45, 1e-6);
    EXPECT_NEAR(Item("FocalLength").GetRawValue().Get<double>(), 0.00645, 1e-9);
    EXPECT_EQ(Display("LensTemperature"), "34.1 C");
    EXPECT_EQ(Display("SocTemperature"), "43.5 C");
    EXPECT_NEAR(Item("FocalPlaneXResolution").GetValue().Get<double>(), 18142.857, 1e-3);
    EXPECT_EQ(Display("ExposureTime"), "1/250");
    EXPECT_EQ(Display("FrameExposureTime"), "2");
    EXPECT_EQ(Display("Orientation"), "Horizontal (normal)");
    EXPECT_EQ(Display("ImageLimitExposureBias"), "+0.0");
    EXPECT_EQ(Display("ImageModulationExposureBias"), "-1.2");
    EXPECT_EQ(Display("CameraType"), "lightField");
}

TEST_F(LytroTest, UnitConversionsLeaveUnexpectedValuesAlone) {
    std::string const json = LytroJson(
        "\"devices\" : { \"lens\" : { \"focalLength\" : \"n/a\" }, \"sensor\" : { \"pixelPitch\" : 0 },"
        " \"clock\" : { \"zuluTime\" : \"yesterday\" } }");
    ASSERT_TRUE(ReadBytes(LytroBuilder().Metadata(json).Build()));
    EXPECT_EQ(Display("FocalLength"), "n/a");
    EXPECT_EQ(Display("FocalPlaneXResolution"), "0");
    EXPECT_EQ(Display("DateTimeOriginal"), "yesterday");
}

TEST_F(LytroTest, WalksEverySectionAndParsesOnlyJsonObjects) {
    std::string big = LytroJson("\"big\" : \"" + std::string(10241 - 16, 'x') + "\"");
    std::string fits = LytroJson("\"fits\" : \"" + std::string(10240 - 17, 'y') + "\"");
    ASSERT_EQ(big.size(), 10241u);
    ASSERT_EQ(fits.size(), 10240u);
    Bytes const file = LytroBuilder()
                           .Metadata(LytroJson("\"first\" : 1"))
                           .Content("\x01\x02 image bytes")
                           .Metadata("{\"compact\" : 1}")  // no white space after the brace
                           .Metadata("  {\n\"indented\" : 1}")
                           .Section('M', "")  // empty: no hash field
                           .Metadata(big)
                           .Metadata(fits)
                           .Content(LytroJson("\"inContent\" : 2"))
                           .Metadata("{\n\"a\":1}")  // shorter than the sniffed head
                           .Build();
    ASSERT_TRUE(ReadBytes(file));
    std::vector<std::string> const expected = {"First", "Fits", "InContent", "A"};
    EXPECT_EQ(Names(), expected);
    ASSERT_TRUE(ReadStream(file));
    EXPECT_EQ(Names(), expected);
}

TEST_F(LytroTest, BrokenHeadersAreErrors) {
    Bytes good = LytroBuilder().Metadata(LytroJson("\"a\" : 1")).Build();
    Bytes badFile = good;
    badFile[3] = 'X';
    EXPECT_FALSE(ReadBytes(badFile));
    EXPECT_FALSE(ReadBytes(Bytes(good.begin(), good.begin() + 10)));
    EXPECT_FALSE(ReadBytes(Bytes{}));

    Bytes badSection = good;
    badSection[16 + 3] = 'Q';
    EXPECT_FALSE(ReadBytes(badSection));

    // A length with the top bit set; items of earlier sections stay.
    Bytes negative = LytroBuilder().Metadata(LytroJson("\"a\" : 1")).SectionHeader('M', 0x80000010u).Build();
    EXPECT_FALSE(ReadBytes(negative));
    EXPECT_TRUE(Item("A"));
    EXPECT_FALSE(ReadStream(negative));
}

TEST_F(LytroTest, EndsOfFileAnywhereEndTheWalkQuietly) {
    std::string const json = LytroJson("\"a\" : 1");
    // Only the file header; ending right after a section's padding.
    EXPECT_TRUE(ReadBytes(LytroBuilder().Build()));
    Bytes const whole = LytroBuilder().Metadata(json).Build();
    ASSERT_EQ(whole.size() % 16, 0u);
    EXPECT_TRUE(ReadBytes(whole));
    EXPECT_EQ(Names(), std::vector<std::string>{"A"});

    // Cut anywhere: inside a section header, the hash, the data or the
    // padding. Data that is cut short is not parsed; what came before stays.
    std::string const second = LytroJson("\"b\" : 2");
    Bytes const two = LytroBuilder().Metadata(json).Metadata(second).Build();
    std::size_t const secondDataEnd = whole.size() + 16 + 80 + second.size();
    for (std::size_t size = whole.size() + 1; size < two.size(); ++size) {
        Bytes const cut(two.begin(), two.begin() + static_cast<std::ptrdiff_t>(size));
        bool const complete = size >= secondDataEnd;
        ASSERT_TRUE(ReadBytes(cut)) << size;
        EXPECT_TRUE(Item("A")) << size;
        EXPECT_EQ(static_cast<bool>(Item("B")), complete) << size;
        ASSERT_TRUE(ReadStream(cut)) << size;
        EXPECT_TRUE(Item("A")) << size;
        EXPECT_EQ(static_cast<bool>(Item("B")), complete) << size;
    }

    // Lengths far beyond the file, for a JSON-sized and an image-sized section.
    for (std::uint32_t declared : {200u, 0x7FFFFFF0u}) {
        Bytes const absurd =
            LytroBuilder().Metadata(json).SectionHeader('M', declared, "{\n\t\"b\" : 2").Build();
        EXPECT_TRUE(ReadBytes(absurd)) << declared;
        EXPECT_EQ(Names(), std::vector<std::string>{"A"}) << declared;
        EXPECT_TRUE(ReadStream(absurd)) << declared;
        EXPECT_EQ(Names(), std::vector<std::string>{"A"}) << declared;
    }
}

TEST_F(LytroTest, JsonThatDoesNotParseIsSkipped) {
    std::string deep = "{\n\t\"deep\" : ";
    for (int i = 0; i < 2000; ++i) deep += '[';
    Bytes const file = LytroBuilder()
                           .Metadata("{\n\t\"broken\" : ")
                           .Metadata(deep)
                           .Metadata(LytroJson("\"after\" : true"))
                           .Build();
    ASSERT_TRUE(ReadBytes(file));
    EXPECT_EQ(Names(), std::vector<std::string>{"After"});
    EXPECT_EQ(Display("After"), "true");
}

TEST_F(LytroTest, NullBecomesAnEmptyItem) {
    ASSERT_TRUE(ReadBytes(LytroBuilder().Metadata(LytroJson("\"nothing\" : null")).Build()));
    Metadatum const item = Item("Nothing");
    ASSERT_TRUE(item.HasItem());
    EXPECT_TRUE(item.IsNull());
    EXPECT_EQ(item.GetValueTypeAsString(), "Null");
    EXPECT_EQ(item.GetDisplayValueAsString(), "");
    EXPECT_EQ(item.As<LytroMetadatum>().GetValueType(), LytroType::Null);
}

TEST_F(LytroTest, RecordsItsBlockInTheStructuralMap) {
    data_.clear();
    Bytes const file = LytroBuilder().Metadata(LytroJson("\"a\" : 1")).Build();
    data_.assign(file.begin(), file.end());
    Options options;
    options.recordStructure = true;
    ASSERT_TRUE(metadata_.Read(data_.data(), data_.size(), ReadSource::Lytro, options));
    std::ostringstream dump;
    metadata_.DumpStructure(dump);
    EXPECT_NE(dump.str().find("Lytro"), std::string::npos) << dump.str();
}

TEST(LytroCorpusTest, SampleFilesReadLikeTheReference) {
    auto const files = test::CorpusFiles("files", {".lfp"});
    if (files.empty()) GTEST_SKIP() << "corpus absent";
    for (auto const& path : files) {
        SCOPED_TRACE(path.string());
        Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
        ASSERT_TRUE(metadata.Read(path.string(), Options{}));
        auto const expected =
            test::ReadWholeFile(std::filesystem::path(VARROW_CORPUS_DIR) / "expected" /
                                path.parent_path().filename() / (path.filename().string() + ".json"));
        if (expected.empty()) continue;
        std::size_t compared = 0;
        for (char const* name :
             {"Make", "Model", "FNumber", "FocalLength", "ExposureTime", "DateTimeOriginal", "Orientation",
              "SerialNumber", "SensorSerialNumber", "LensTemperature", "ImageLimitExposureBias",
              "ImageModulationExposureBias", "CameraType", "LensFocusStep", "ImageWidth"}) {
            auto const want = test::ExpectedText(expected, std::string("Lytro:") + name);
            if (!want) continue;
            ++compared;
            EXPECT_EQ(metadata.Find(FieldGroup::Lytro, name).GetDisplayValueAsString(), *want) << name;
        }
        EXPECT_GT(compared, 0u);
    }
}

}  // namespace
}  // namespace meta
