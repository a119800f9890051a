// XMP items shown the way the packet wrote them: properties the toolkit
// would fold into their alias bases, dates with every sub-second digit,
// codes a writer sign-extended, and base64 thumbnails as binary data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "blocks/xmp_test_packets.h"
#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_conversions.h"
#include "varrow/processors/read_store.h"
#include "varrow/util/byte.h"
#include "varrow/values/date_time.h"

namespace meta {
namespace {

using test::XmpPacket;

class XmpShownAsWritten : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(md_.GetInitialiser()->XmpOkay()); }

    void Read(std::string const& body) {
        std::string const text = XmpPacket(body);
        ASSERT_TRUE(md_.Read(text.data(), text.size(), ReadSource::Xmp, Options{}));
    }
    std::string Shown(FieldGroup group, std::string_view name) const {
        Metadatum const item = md_.Find(group, name);
        return item ? item.GetDisplayValue().ToExifToolString() : "<missing>";
    }

    Metadata md_{test::XmpToolkit()};
};

TEST_F(XmpShownAsWritten, DatesShowEveryDigitAndOnlyTheGivenParts) {
    Read(R"(<xmp:ModifyDate>2003-03-03T03:33:33.333+03:00</xmp:ModifyDate>)"
         R"(<xmp:MetadataDate>2011-01-09T21:31:56.078-01:00</xmp:MetadataDate>)"
         R"(<exif:DateTimeOriginal>2009-09-09T17:00:00, 2009-09-09</exif:DateTimeOriginal>)");
    EXPECT_EQ(Shown(FieldGroup::Xmp, "ModifyDate"), "2003:03:03 03:33:33.333+03:00");
    // A leading zero of the fraction is a digit like any other.
    EXPECT_EQ(Shown(FieldGroup::Xmp, "MetadataDate"), "2011:01:09 21:31:56.078-01:00");
    EXPECT_EQ(Shown(FieldGroup::XmpExif, "DateTimeOriginal"), "2009-09-09T17:00:00, 2009-09-09");
    // The value stays a date.
    EXPECT_EQ(md_.Find(FieldGroup::Xmp, "MetadataDate").GetValue().Get<DateTime>().subSecondDigits, 3);

    // Through the conversion alone: partial dates (top-level ones are
    // normalised to full dates before they get here), a time, the inverse.
    ReadStore store;
    EXPECT_EQ(xmp::ShowDate(Value(DateTime::FromString("2024")), store), Value("2024"));
    EXPECT_EQ(xmp::ShowDate(Value(DateTime::FromString("2024-03")), store), Value("2024:03"));
    EXPECT_EQ(xmp::ShowDate(Value(DateTime::FromString("2024-03-05")), store), Value("2024:03:05"));
    DateTime longYear;
    longYear.year = 12345;
    longYear.hasYear = true;
    EXPECT_EQ(xmp::ShowDate(Value(longYear), store), Value("12345"));
    EXPECT_EQ(xmp::ShowDate(Value(DateTime()), store), Value(""));
    EXPECT_EQ(xmp::ShowDate(Value(DateTime::FromString("10:20:30.5Z")), store), Value("10:20:30.5Z"));
    EXPECT_EQ(xmp::ShowDate(Value(7), store), Value(7));
    EXPECT_EQ(xmp::DateFromText(Value("2011:01:09 21:31:56.078-01:00")),
              Value(DateTime::FromString("2011-01-09T21:31:56.078-01:00")));
    EXPECT_EQ(xmp::DateFromText(Value("soon")), Value("soon"));
}

TEST_F(XmpShownAsWritten, CodesAndTextsOfOtherWriters) {
    Read(
        R"(<exif:ColorSpace>4294967295</exif:ColorSpace><tiff:Orientation>1</tiff:Orientation>)"
        R"(<photomechanic:Prefs xmlns:photomechanic="http://ns.camerabits.com/photomechanic/1.0/">0:3:5:-00001)"
        R"(</photomechanic:Prefs>)"
        R"(<photomechanic:TimeCreated xmlns:photomechanic="http://ns.camerabits.com/photomechanic/1.0/">)"
        R"(062751-0500</photomechanic:TimeCreated>)");
    EXPECT_EQ(Shown(FieldGroup::XmpExif, "ColorSpace"), "Uncalibrated");
    EXPECT_EQ(md_.Find(FieldGroup::XmpExif, "ColorSpace").GetRawValue(), Value(std::int64_t{4294967295}));
    EXPECT_EQ(Shown(FieldGroup::PhotomechanicXmp, "Prefs"),
              "Tagged:0, ColorClass:3, Rating:5, FrameNum:-00001");
    EXPECT_EQ(Shown(FieldGroup::PhotomechanicXmp, "TimeCreated"), "06:27:51-05:00");

    // Only a sign-extended 16-bit code folds.
    ReadStore store;
    EXPECT_EQ(xmp::FoldSignExtendedShort(Value(std::int64_t{0xFFFFFFFD}), store),
              Value(std::int64_t{0xFFFD}));
    EXPECT_EQ(xmp::FoldSignExtendedShort(Value(std::int64_t{0xFFFF7FFF}), store),
              Value(std::int64_t{0xFFFF7FFF}));
    EXPECT_EQ(xmp::FoldSignExtendedShort(Value(std::int64_t{0x1FFFFFFFF}), store),
              Value(std::int64_t{0x1FFFFFFFF}));
    EXPECT_EQ(xmp::FoldSignExtendedShort(Value(std::int64_t{-1}), store), Value(std::int64_t{-1}));
    EXPECT_EQ(xmp::FoldSignExtendedShort(Value("4294967295"), store), Value("4294967295"));
}

std::vector<meta::byte> Bytes(std::string_view text) {
    std::vector<meta::byte> out;
    for (char c : text) out.push_back(static_cast<meta::byte>(c));
    return out;
}

TEST_F(XmpShownAsWritten, Base64ThumbnailsAreBinaryData) {
    // 66 bytes: long enough to be summarised.
    std::string const image = "/9j/" + std::string(80, 'A') + "\n" + std::string(4, 'A');
    Read(R"(<xmp:Thumbnails xmlns:xmpGImg="http://ns.adobe.com/xap/1.0/g/img/"><rdf:Alt>)"
         R"(<rdf:li rdf:parseType="Resource"><xmpGImg:format>JPEG</xmpGImg:format><xmpGImg:image>)" +
         image + R"(</xmpGImg:image></rdf:li></rdf:Alt></xmp:Thumbnails>)");
    Value const& thumbnails = md_.Find(FieldGroup::Xmp, "Thumbnails").GetDisplayValue();
    ASSERT_EQ(thumbnails.GetType(), Value::Type::Sequence);
    Value const* shown = thumbnails.at(0).Get<ValueStore>().at("image").get();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->ToExifToolString(), "(Binary data 66 bytes, use -b option to extract)");

    ReadStore store;
    // Every length of the last group, and the way back.
    for (std::string_view const text : {"M", "Ma", "Man", "Many"}) {
        Value const encoded = xmp::BinaryToBase64(Value(Bytes(text)));
        EXPECT_EQ(xmp::Base64ToBinary(encoded, store), Value(Bytes(text))) << text;
    }
    EXPECT_EQ(xmp::BinaryToBase64(Value(Bytes("Ma"))), Value("TWE="));
    EXPECT_EQ(xmp::Base64ToBinary(Value("TW\r\nE ="), store), Value(Bytes("Ma")));
    // Not base64: outside the alphabet, digits after padding, a lone digit.
    EXPECT_FALSE(xmp::Base64ToBinary(Value("TW*="), store));
    EXPECT_FALSE(xmp::Base64ToBinary(Value("TQ==TQ=="), store));
    EXPECT_FALSE(xmp::Base64ToBinary(Value("TWFuT"), store));
    EXPECT_FALSE(xmp::Base64ToBinary(Value(""), store));
}

}  // namespace
}  // namespace meta
