// How XMP items are shown: structure members and array items through their
// own definitions, the conversions shared with the EXIF tags, language
// alternatives, and packets in wide encodings.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "blocks/xmp_test_packets.h"
#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_conversions.h"
#include "varrow/blocks/xmp/xmp_packet.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/fraction.h"
#include "varrow/values/localised_string.h"

namespace meta {
namespace {

using test::XmpPacket;

class XmpDisplay : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(md_.GetInitialiser()->XmpOkay()); }

    void Read(std::string const& body) {
        std::string const text = XmpPacket(body);
        ASSERT_TRUE(md_.Read(text.data(), text.size(), ReadSource::Xmp, Options{}));
    }
    Value const& Shown(FieldGroup group, std::string_view name) const {
        return md_.Find(group, name).GetDisplayValue();
    }
    std::string Member(Value const& structure, std::string const& name) const {
        auto const& store = structure.Get<ValueStore>();
        auto const it = store.find(name);
        return it == store.end() || it->second == nullptr ? "<missing>" : it->second->ToExifToolString();
    }

    Metadata md_{test::XmpToolkit()};
};

TEST_F(XmpDisplay, StructureMembersAreShownThroughTheirDefinitions) {
    Read(
        R"(<exif:Flash rdf:parseType="Resource"><exif:Fired>False</exif:Fired><exif:Return>0</exif:Return>)"
        R"(<exif:Mode>2</exif:Mode><exif:Function>False</exif:Function><exif:RedEyeMode>False</exif:RedEyeMode>)"
        R"(<exif:Extra>kept</exif:Extra></exif:Flash>)"
        R"(<xmpMM:DerivedFrom rdf:parseType="Resource" xmlns:stRef="http://ns.adobe.com/xap/1.0/sType/ResourceRef#">)"
        R"(<stRef:instanceID>uuid:1</stRef:instanceID></xmpMM:DerivedFrom>)");
    Value const& flash = Shown(FieldGroup::XmpExif, "Flash");
    ASSERT_EQ(flash.GetType(), Value::Type::Structure);
    EXPECT_EQ(Member(flash, "Return"), "No return detection");
    EXPECT_EQ(Member(flash, "Mode"), "Off");
    EXPECT_EQ(Member(flash, "Fired"), "False");
    // A member no definition names is shown as read.
    EXPECT_EQ(Member(flash, "Extra"), "kept");
    // The raw value keeps the codes.
    EXPECT_EQ(Member(md_.Find(FieldGroup::XmpExif, "Flash").GetRawValue(), "Mode"), "2");

    Value const& derived = Shown(FieldGroup::XmpMM, "DerivedFrom");
    ASSERT_EQ(derived.GetType(), Value::Type::Structure);
    EXPECT_EQ(Member(derived, "instanceID"), "uuid:1");
}

TEST_F(XmpDisplay, ArrayItemsAndStructuresInArraysAreShownItemByItem) {
    Read(R"(<exif:ComponentsConfiguration><rdf:Seq><rdf:li>1</rdf:li><rdf:li>2</rdf:li><rdf:li>3</rdf:li>)"
         R"(<rdf:li>0</rdf:li><rdf:li>9</rdf:li></rdf:Seq></exif:ComponentsConfiguration>)"
         R"(<xmpMM:History><rdf:Seq><rdf:li rdf:parseType="Resource"><stEvt:action>saved</stEvt:action>)"
         R"(<stEvt:when>2010-12-14T16:26:48+01:00</stEvt:when></rdf:li></rdf:Seq></xmpMM:History>)");
    Value const& components = Shown(FieldGroup::XmpExif, "ComponentsConfiguration");
    ASSERT_EQ(components.GetType(), Value::Type::Sequence);
    ASSERT_EQ(components.Length(), 5u);
    EXPECT_EQ(components.at(0).ToExifToolString(), "Y");
    EXPECT_EQ(components.at(2).ToExifToolString(), "Cr");
    EXPECT_EQ(components.at(3).ToExifToolString(), "-");
    EXPECT_EQ(components.at(4).ToExifToolString(), "Unknown (9)");

    Value const& history = Shown(FieldGroup::XmpMM, "History");
    ASSERT_EQ(history.GetType(), Value::Type::Sequence);
    ASSERT_EQ(history.Length(), 1u);
    EXPECT_EQ(Member(history.at(0), "action"), "saved");
    EXPECT_EQ(Member(history.at(0), "when"), "2010:12:14 16:26:48+01:00");
}

TEST_F(XmpDisplay, ExifPropertiesUseTheExifConversions) {
    Read(
        R"(<exif:ShutterSpeedValue>21/16</exif:ShutterSpeedValue><exif:ApertureValue>95/32</exif:ApertureValue>)"
        R"(<exif:FocalLength>58/10</exif:FocalLength><exif:FocalPlaneXResolution>71000/7</exif:FocalPlaneXResolution>)"
        R"(<exif:ExposureTime>1/160</exif:ExposureTime><exif:GPSLatitude>52,1.2N</exif:GPSLatitude>)"
        R"(<exif:GPSLongitude>12,1,12W</exif:GPSLongitude><exif:ColorSpace>-1</exif:ColorSpace>)"
        R"(<aux:LensInfo xmlns:aux="http://ns.adobe.com/exif/1.0/aux/">18/1 55/1 35/10 56/10</aux:LensInfo>)");
    auto shown = [&](std::string_view name) { return Shown(FieldGroup::XmpExif, name).ToExifToolString(); };
    EXPECT_EQ(shown("ShutterSpeedValue"), "0.4");
    EXPECT_EQ(shown("ApertureValue"), "2.8");
    EXPECT_EQ(shown("FocalLength"), "5.8 mm");
    EXPECT_EQ(shown("FocalPlaneXResolution"), "10142.8571428571");
    EXPECT_EQ(shown("ExposureTime"), "1/160");
    EXPECT_EQ(shown("GPSLatitude"), "52 deg 1' 12.00\" N");
    EXPECT_EQ(shown("GPSLongitude"), "12 deg 1' 12.00\" W");
    EXPECT_EQ(shown("ColorSpace"), "Unknown (-1)");
    EXPECT_EQ(Shown(FieldGroup::XmpAux, "LensInfo").ToExifToolString(), "18-55mm f/3.5-5.6");
    // The value level sits between: APEX already converted, coordinates signed.
    EXPECT_NEAR(md_.Find(FieldGroup::XmpExif, "ShutterSpeedValue").GetValue().Convert<double>(),
                std::exp2(-21.0 / 16), 1e-12);
    EXPECT_NEAR(md_.Find(FieldGroup::XmpExif, "GPSLongitude").GetValue().Convert<double>(), -12.02, 1e-9);
}

TEST_F(XmpDisplay, LanguageAlternativesKeepEveryTranslation) {
    // (Three items each: with x-default and one language only, the toolkit
    // gives the language the default's text while parsing.)
    Read(R"(<dc:rights><rdf:Alt><rdf:li xml:lang="x-default">c</rdf:li><rdf:li xml:lang="fr">d</rdf:li>)"
         R"(<rdf:li xml:lang="de">e</rdf:li></rdf:Alt></dc:rights>)"
         R"(<foo:label><rdf:Alt><rdf:li xml:lang="de">m</rdf:li><rdf:li xml:lang="x-default">l</rdf:li>)"
         R"(<rdf:li xml:lang="fr">n</rdf:li></rdf:Alt></foo:label>)"
         R"(<foo:choice><rdf:Alt><rdf:li>a</rdf:li><rdf:li>b</rdf:li></rdf:Alt></foo:choice>)");
    Value const& rights = Shown(FieldGroup::XmpDc, "Rights");
    ASSERT_EQ(rights.GetType(), Value::Type::LString);
    EXPECT_EQ(rights.Get<LocalisedString>().GetDefaultValue(), "c");
    EXPECT_EQ(rights.Get<LocalisedString>().GetDefaultLocale().GetName(), "x-default");
    EXPECT_EQ(rights.Get<LocalisedString>().GetValue(LocaleIdentifier("fr")), "d");

    // Without a definition an rdf:Alt of texts that all name their language
    // is still a language alternative; other alternatives stay sequences.
    Value const& label = Shown(FieldGroup::XmpPassthrough, "label");
    ASSERT_EQ(label.GetType(), Value::Type::LString);
    EXPECT_EQ(label.Get<LocalisedString>().GetValue(LocaleIdentifier("de")), "m");
    EXPECT_EQ(Shown(FieldGroup::XmpPassthrough, "choice").GetType(), Value::Type::Sequence);
}

TEST_F(XmpDisplay, AboutNameBecomesAnItemWhenNotEmpty) {
    std::string text = XmpPacket("<dc:format>image/jpeg</dc:format>");
    ASSERT_TRUE(md_.Read(text.data(), text.size(), ReadSource::Xmp, Options{}));
    EXPECT_FALSE(md_.Find(FieldGroup::XmpPassthrough, "about"));

    std::string const about = R"(rdf:about="uuid:a&amp;b")";
    text.replace(text.find(R"(rdf:about="")"), 12, about);
    ASSERT_TRUE(md_.Read(text.data(), text.size(), ReadSource::Xmp, Options{}));
    EXPECT_EQ(md_.Find(FieldGroup::XmpPassthrough, "about").GetValueAsString(), "uuid:a&b");

    Options drop;
    drop.dropUnknownXmp = true;
    ASSERT_TRUE(md_.Read(text.data(), text.size(), ReadSource::Xmp, drop));
    EXPECT_FALSE(md_.Find(FieldGroup::XmpPassthrough, "about"));
}

TEST(XmpPacketText, NamesSkipMentionsOutsideTheirElements) {
    // The element named in a comment first; other prefixes than x: count.
    EXPECT_EQ(xmp::FindToolkitName("<!-- \"xmp:xmpmeta\" --><xmp:xmpmeta xmlns:xmp='adobe:ns:meta/' "
                                   "xmp:xmptk='Tk 9.97'><rdf:RDF/>"),
              "Tk 9.97");
    EXPECT_FALSE(xmp::FindToolkitName("<!-- x:xmpmeta x:xmptk='no' -->"));
    // The first description that names its subject.
    EXPECT_EQ(xmp::FindAboutName(R"(<rdf:Description rdf:about=""/><rdf:Description rdf:about = 'uuid:1'/>)"),
              "uuid:1");
    EXPECT_FALSE(xmp::FindAboutName(R"(<rdf:Description rdf:about=""/><rdf:Description rdf:about="open)"));
    EXPECT_EQ(xmp::FindAboutName("<rdf:Description\n about='uuid:2'>"), "uuid:2");
    // Only as an attribute name.
    EXPECT_FALSE(xmp::FindAboutName("<foo:about>x</foo:about><foo:whereabouts='y'/>"));
}

// The packet in one of the four wide encodings.
std::string Encode(std::string_view ascii, bool bigEndian, std::size_t unit) {
    std::string out;
    for (char c : ascii) {
        std::string code(unit, '\0');
        code[bigEndian ? unit - 1 : 0] = c;
        out += code;
    }
    return out;
}

TEST(XmpWidePacket, EveryWideEncodingIsReadAsUtf8) {
    std::string const packet = XmpPacket("<dc:format>image/jpeg</dc:format>");
    for (std::size_t unit : {2u, 4u}) {
        for (bool big : {true, false}) {
            SCOPED_TRACE(std::to_string(unit) + (big ? " BE" : " LE"));
            auto const utf8 = xmp::TranscodeWidePacket(Encode(packet, big, unit));
            ASSERT_TRUE(utf8.has_value());
            EXPECT_EQ(*utf8, packet);
        }
    }
    // 8-bit text is left to the caller untouched, also after binary bytes
    // that look like a byte order mark.
    EXPECT_FALSE(xmp::TranscodeWidePacket(packet).has_value());
    EXPECT_FALSE(xmp::TranscodeWidePacket(std::string("\xFF\xFE\0\x01", 4) + packet).has_value());
}

TEST(XmpWidePacket, MarksSurrogatesJunkAndTerminators) {
    // A byte order mark decides the encoding; a surrogate pair is one
    // character, a lone surrogate the replacement character; a NUL ends.
    std::string const utf16be = std::string("\xFE\xFF\0<\xD8\x3D\xDE\x00\xDC\x00\0a\0\0\0b", 16);
    auto const utf8 = xmp::TranscodeWidePacket(utf16be);
    ASSERT_TRUE(utf8.has_value());
    EXPECT_EQ(*utf8,
              "<\xF0\x9F\x98\x80\xEF\xBF\xBD"
              "a");

    // Leading characters are skipped. The marker of the other byte order
    // also occurs, one byte off the grid, and must not be taken.
    std::string const shifted = Encode("\n<x:xmpmeta/>", false, 2);
    auto const found = xmp::TranscodeWidePacket(shifted);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(*found, "<x:xmpmeta/>");
    EXPECT_FALSE(xmp::TranscodeWidePacket("\x01" + Encode("<x:xmpmeta/>", false, 2)).has_value());

    // An odd byte count leaves a half unit, which is dropped.
    EXPECT_EQ(xmp::TranscodeWidePacket("\xFE\xFF" + Encode("<a", true, 2) + "\x01").value_or("none"), "<a");
    EXPECT_FALSE(xmp::TranscodeWidePacket(std::string("ab\0\0", 4)).has_value());
}

TEST_F(XmpDisplay, WidePacketInAFileIsRead) {
    std::string const text = Encode(XmpPacket("<dc:format>image/png</dc:format>"), true, 2);
    ASSERT_TRUE(md_.Read(text.data(), text.size(), ReadSource::Xmp, Options{}));
    EXPECT_EQ(md_.Find(FieldGroup::XmpDc, "Format").GetValueAsString(), "image/png");
}

TEST(XmpConversions, InversesRestoreTheStoredForms) {
    ReadStore store;
    Value const degrees = xmp::CoordinateToDegrees(Value(std::string("48,9,0.19N")), store);
    EXPECT_NEAR(degrees.Convert<double>(), 48.0 + 9.0 / 60 + 0.19 / 3600, 1e-12);
    EXPECT_FALSE(xmp::CoordinateToDegrees(Value(std::string("north")), store).Exists());
    EXPECT_EQ(xmp::DegreesToLatitude(Value(-52.02)).ToString(), "52,1.200000S");
    EXPECT_EQ(xmp::DegreesToLongitude(Value(std::string("12 deg 1' 12.00\" E"))).ToString(), "12,1.200000E");
    EXPECT_NEAR(xmp::DegreesFromText(Value(std::string("52 deg 1' 12.00\" S"))).Convert<double>(), -52.02,
                1e-9);

    Value const lens = xmp::TextToFractions(Value(std::string(" 18/1 55/1  0/0 0/0")), store);
    ASSERT_EQ(lens.GetType(), Value::Type::FractionArray);
    EXPECT_EQ(xmp::FractionsToText(lens).ToString(), "18/1 55/1 0/0 0/0");
    EXPECT_FALSE(xmp::TextToFractions(Value(std::string("18/1 55mm")), store).Exists());
    EXPECT_FALSE(xmp::TextToFractions(Value(std::string("18/1x")), store).Exists());

    EXPECT_EQ(xmp::ToDecimalText(Value(Fraction(71000, 7)), store).ToString(), "10142.8571428571");
    EXPECT_EQ(xmp::ToDecimalText(Value(Fraction(2272, 2272)), store).ToString(), "1");
    EXPECT_FALSE(xmp::ToDecimalText(Value(Fraction(1, 0)), store).Exists());
    EXPECT_EQ(xmp::DecimalTextToFraction(Value(std::string("0.25"))), Value(Fraction(1, 4)));

    // APEX: 1/8 s is shutter speed value 3, f/4 aperture value 4.
    EXPECT_NEAR(xmp::ExposureTimeToApex(Value(0.125)).Convert<double>(), 3.0, 1e-12);
    EXPECT_NEAR(xmp::FNumberToApex(Value(4.0)).Convert<double>(), 4.0, 1e-12);
    EXPECT_FALSE(xmp::FNumberToApex(Value(0.0)).Exists());
}

}  // namespace
}  // namespace meta
