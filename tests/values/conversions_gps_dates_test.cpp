#include "varrow/values/conversions/dates.h"
#include "varrow/values/conversions/gps.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "varrow/values/date_time.h"

namespace meta::detail {
namespace {

using namespace std::string_literals;

TEST(Dms, DegreesFromThreeParts) {
    EXPECT_DOUBLE_EQ(DMSToDegrees({51, 30, 0}), 51.5);
    EXPECT_DOUBLE_EQ(DMSToDegrees({0, 0, 36}), 0.01);
    EXPECT_EQ(DMSToDegrees({51, 30}), 0);
    EXPECT_EQ(DMSToDegrees({}), 0);
}

TEST(Dms, TextRoundsSecondsAndCarries) {
    EXPECT_EQ(ToDMSString(43.4674483333333), "43 deg 28' 2.81\"");
    EXPECT_EQ(ToDMSString(51.5), "51 deg 30' 0.00\"");
    EXPECT_EQ(ToDMSString(0), "0 deg 0' 0.00\"");
    // 59.999" rounds to the next minute, and 59' 59.999" to the next degree.
    EXPECT_EQ(ToDMSString(10 + 59.0 / 60 + 59.999 / 3600), "11 deg 0' 0.00\"");
    EXPECT_EQ(ToDMSString(-0.5), "-0 deg 30' 0.00\"");
    EXPECT_EQ(ToDMSString(-33.5, DmsStringFormat::DegMinSec, DmsStringDirection::Latitude),
              "33 deg 30' 0.00\" S");
    EXPECT_EQ(ToDMSString(151.25, DmsStringFormat::DegMinSec, DmsStringDirection::Longitude),
              "151 deg 15' 0.00\" E");
    EXPECT_EQ(ToDMSString(48.888726, DmsStringFormat::DegMinSecXmp, DmsStringDirection::Latitude),
              "48,53.323560N");
    EXPECT_EQ(ToDMSString(-1.5, DmsStringFormat::DecimalDegrees, DmsStringDirection::Longitude),
              "1.500000 W");
    EXPECT_EQ(ToDMSString(std::nan("")), "");
}

TEST(Dms, TextBackToDegrees) {
    EXPECT_NEAR(ToDegrees("43 deg 28' 2.81\""), 43.467447, 1e-6);
    EXPECT_DOUBLE_EQ(ToDegrees("51 deg 30' 0.00\" S"), -51.5);
    EXPECT_DOUBLE_EQ(ToDegrees("51,30.0W"), -51.5);
    EXPECT_DOUBLE_EQ(ToDegrees("-12.25"), -12.25);
    EXPECT_DOUBLE_EQ(ToDegrees("12.25", true), -12.25);
    EXPECT_DOUBLE_EQ(ToDegrees("1 30 36"), 1.51);
    EXPECT_TRUE(std::isnan(ToDegrees("north")));
    EXPECT_TRUE(std::isnan(ToDegrees("")));
    // Round trip through the text form.
    for (double d : {0.0, 12.3456789, 89.99999, 179.5})
        EXPECT_NEAR(ToDegrees(ToDMSString(d)), d, 1.0 / 360000);
}

TEST(GpsTimeStamp, JoinsAndCarriesParts) {
    EXPECT_EQ(ConvertGpsTimeStamp(14, 27, 7.24), "14:27:07.24");
    EXPECT_EQ(ConvertGpsTimeStamp(9, 5, 3), "09:05:03");
    // Parts beyond their range carry over.
    EXPECT_EQ(ConvertGpsTimeStamp(0, 61, 75), "01:02:15");
    EXPECT_EQ(ConvertGpsTimeStamp(1, 2, 3.000000001), "01:02:03.000000001");
    EXPECT_EQ(ConvertGpsTimeStamp(1, 2, 59.9999999999), "01:03:00");
    EXPECT_EQ(ConvertGpsTimeStampList({14, 50, 40.9}), "14:50:40.9");
    EXPECT_EQ(ConvertGpsTimeStampList({std::nan(""), std::nan(""), std::nan("")}), "00:00:00");
    EXPECT_THROW(ConvertGpsTimeStampList({1, 2}), ValueException);

    EXPECT_EQ(PrintGpsTimeStamp("14:27:07.243"), "14:27:07.24");
    EXPECT_EQ(PrintGpsTimeStamp("14:27:07.2"), "14:27:07.2");
    EXPECT_EQ(PrintGpsTimeStamp("14:27:07.001"), "14:27:07");
    EXPECT_EQ(PrintGpsTimeStamp("14:27:07"), "14:27:07");
    EXPECT_EQ(PrintGpsTimeStamp("x:7.5"), "x:7.5");
}

// The date pattern the hand-written matcher stands for.
std::string ExifDateByRegex(const std::string& text) {
    static const std::regex pattern(R"((\d{4})[^\d]*(\d{2})[^\d]*(\d{2})[\0\s]*$)"s);
    std::smatch m;
    if (!std::regex_search(text, m, pattern)) return text;
    return m[1].str() + ":" + m[2].str() + ":" + m[3].str();
}

TEST(ExifDate, MatchesTheRegularExpression) {
    const std::vector<std::string> inputs = {"2024:03:05",
                                             "2024-03-05",
                                             "2024/3/05",
                                             "2024:03:05 ",
                                             "2024:03:05\0\0"s,
                                             "2024:03:05 \n\0 "s,
                                             "2024:03:05x",
                                             "202403",
                                             "20240305",
                                             "x2024y03z05",
                                             "12024:03:05",
                                             "2024:03:05:07",
                                             "2024:123:45",
                                             "",
                                             "1999 12 31\t",
                                             "date 2024.01.02",
                                             "2024:03",
                                             "::2024::03::05::",
                                             "123456789012",
                                             "2024:03:05 12:00",
                                             "99992024:01:0",
                                             "2024\0"
                                             "01\0"
                                             "02"s,
                                             "٢٠٢٤:03:05",
                                             "2024:03:055",
                                             "a1234b56c78d"};
    for (const auto& text : inputs) EXPECT_EQ(ExifDate(text), ExifDateByRegex(text)) << text;
    EXPECT_EQ(ExifDate("2008:05:08 09:54:28"), "2008:05:08 09:54:28");
    EXPECT_EQ(ExifDate("2006-05-26"), "2006:05:26");
}

TEST(ExifDate, AgreesWithTheRegularExpressionOnGeneratedText) {
    // Every string of up to five characters over a small alphabet that
    // exercises digits, separators, white space and NUL, with a date prefix.
    const std::string alphabet = "0: \0x"s;
    std::vector<std::string> texts = {""};
    // Breadth first: strings of length 5 are the last ones expanded from.
    for (std::size_t i = 0; i < texts.size() && texts[i].size() < 5; ++i)
        for (char c : alphabet) texts.push_back(texts[i] + c);
    for (const auto& t : texts) {
        for (const std::string& prefix : {"2024:0"s, "2024"s, "12:2024:01:"s}) {
            const std::string text = prefix + t;
            ASSERT_EQ(ExifDate(text), ExifDateByRegex(text)) << text;
        }
    }
}

TEST(UnixTime, UtcAndZeroTimeStamps) {
    const Value epoch = ConvertUnixTime(0LL, false);
    ASSERT_TRUE(epoch.Exists(Value::Type::DateTime));
    EXPECT_EQ(ToString(epoch.Get<DateTime>(), ':', ' ', 0), "0000:00:00 00:00:00");

    const Value t = ConvertUnixTime(1709647629LL, false);
    EXPECT_EQ(ToString(t.Get<DateTime>(), ':', ' ', 0), "2024:03:05 14:07:09");
    EXPECT_FALSE(t.Get<DateTime>().hasZone);
    EXPECT_EQ(ConvertUnixTime(1709647629.9, false), t);
    EXPECT_EQ(ConvertUnixTime(std::nan(""), false), Value::None);

    // A local time carries the host's offset, whatever it is.
    const Value local = ConvertUnixTime(1709647629LL, true);
    ASSERT_TRUE(local.Exists(Value::Type::DateTime));
    EXPECT_TRUE(local.Get<DateTime>().hasZone);
}

TEST(TimeZone, OffsetsAcrossMidnight) {
    std::tm utc{};
    utc.tm_year = 124;
    utc.tm_yday = 10;
    utc.tm_hour = 23;
    utc.tm_min = 30;
    std::tm local = utc;
    local.tm_yday = 11;
    local.tm_hour = 1;
    local.tm_min = 0;
    EXPECT_EQ(GetTimeZone(&local, &utc), 90);
    std::swap(local, utc);
    EXPECT_EQ(GetTimeZone(&local, &utc), -90);
    // New year's eve: the later time has the smaller day of the year.
    std::tm newYear{};
    newYear.tm_year = 125;
    newYear.tm_hour = 2;
    std::tm oldYear{};
    oldYear.tm_year = 124;
    oldYear.tm_yday = 365;
    oldYear.tm_hour = 22;
    EXPECT_EQ(GetTimeZone(&newYear, &oldYear), 240);
    EXPECT_EQ(GetTimeZone(nullptr, &utc), 0);

    EXPECT_EQ(TimeZoneString(90), "+01:30");
    EXPECT_EQ(TimeZoneString(-330), "-05:30");
    EXPECT_EQ(TimeZoneString(0), "+00:00");
    std::tm at{};
    const std::time_t when = 86400;
    gmtime_r(&when, &at);
    EXPECT_EQ(TimeZoneString(&at, 86400), "+00:00");
}

}  // namespace
}  // namespace meta::detail
