#include "varrow/values/conversions/quicktime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "varrow/values/conversions/conv_wrappers.h"
#include "varrow/values/date_time.h"

namespace meta::detail {
namespace {

DateTime DateOf(Value const& v) {
    EXPECT_TRUE(v.Exists(Value::Type::DateTime));
    return v.Exists(Value::Type::DateTime) ? v.Get<DateTime>() : DateTime();
}

TEST(QuickTimeDate, CountsSecondsFrom1904InUtc) {
    // A CR3 movie header's creation time.
    DateTime const dt = DateOf(ConvertQuickTimeDate(3602059736u));
    EXPECT_EQ(ToString(dt, ':', ' ', 0), "2018:02:21 12:08:56Z");
    EXPECT_TRUE(dt.hasZone);
    EXPECT_EQ(dt.zone, 0);

    EXPECT_EQ(ToString(DateOf(ConvertQuickTimeDate(1)), '-', 'T', 0), "1904-01-01T00:00:01Z");
    // The Unix epoch is an ordinary date, not "no date".
    EXPECT_EQ(ToString(DateOf(ConvertQuickTimeDate(kQuickTimeEpochOffset)), '-', 'T', 0),
              "1970-01-01T00:00:00Z");
    // The largest 32-bit time.
    EXPECT_EQ(ToString(DateOf(ConvertQuickTimeDate(0xFFFFFFFFu)), '-', 'T', 0), "2040-02-06T06:28:15Z");
}

TEST(QuickTimeDate, ZeroAndUnrepresentableTimes) {
    DateTime const none = DateOf(ConvertQuickTimeDate(0));
    EXPECT_EQ(ToString(none, ':', ' ', 0), "0000:00:00 00:00:00");
    EXPECT_FALSE(none.hasZone);
    EXPECT_FALSE(ConvertQuickTimeDate(std::numeric_limits<std::uint64_t>::max()).Exists());
    EXPECT_FALSE(ConvertQuickTimeDate(std::uint64_t{1} << 62).Exists());
}

TEST(QuickTimeDate, TextShowsUtcAsAnOffset) {
    DateTime const utc = DateOf(ConvertQuickTimeDate(3602059736u));
    EXPECT_EQ(ToQuickTimeDateString(utc), "2018:02:21 12:08:56+00:00");
    DateTime west = utc;
    west.zone = -330;
    EXPECT_EQ(ToQuickTimeDateString(west), "2018:02:21 12:08:56-03:30");
    DateTime local = utc;
    local.hasZone = false;
    EXPECT_EQ(ToQuickTimeDateString(local), "2018:02:21 12:08:56");
    EXPECT_EQ(ToQuickTimeDateString(DateOf(ConvertQuickTimeDate(0))), "0000:00:00 00:00:00");
    // A zone without a time of day is not written.
    DateTime dateOnly;
    dateOnly.year = 2020;
    dateOnly.month = 5;
    dateOnly.day = 6;
    dateOnly.hasYear = dateOnly.hasMonth = dateOnly.hasDay = dateOnly.hasZone = true;
    EXPECT_EQ(ToQuickTimeDateString(dateOnly), "2020:05:06");
}

TEST(QuickTimeDuration, SecondsBelowHalfAMinuteThenClockTime) {
    EXPECT_EQ(ToDurationString(0), "0 s");
    EXPECT_EQ(ToDurationString(1), "1.00 s");
    EXPECT_EQ(ToDurationString(0.5), "0.50 s");
    EXPECT_EQ(ToDurationString(29.99), "29.99 s");
    EXPECT_EQ(ToDurationString(30), "0:00:30");
    EXPECT_EQ(ToDurationString(75), "0:01:15");
    // Rounded to the nearest second, carrying into minutes and hours.
    EXPECT_EQ(ToDurationString(3723.4), "1:02:03");
    EXPECT_EQ(ToDurationString(3599.5), "1:00:00");
    EXPECT_EQ(ToDurationString(360000), "100:00:00");
    EXPECT_EQ(ToDurationString(-1.5), "-1.50 s");
    EXPECT_EQ(ToDurationString(-90), "-0:01:30");
    // The largest 32-bit count of seconds still prints whole.
    EXPECT_EQ(ToDurationString(4294967295.0), "1193046:28:15");
    EXPECT_THROW(ToDurationString(std::nan("")), ValueException);
    EXPECT_THROW(ToDurationString(std::numeric_limits<double>::infinity()), ValueException);
}

TEST(QuickTimeFixedPoint, VolumeAndMatrix) {
    EXPECT_EQ(ToPercentString(1), "100.00%");
    EXPECT_EQ(ToPercentString(0.5), "50.00%");
    EXPECT_EQ(ToPercentString(0.0039), "0.39%");

    // A 90-degree rotation: a, b, c, d and the translation are 16.16, u, v
    // and w 2.30; read as 16.16 throughout, 1.0 in 2.30 comes out as 16384.
    std::vector<double> const read{0, 1, 0, -1, 0, 0, 100, 50, 16384};
    EXPECT_EQ(ConvertMatrixStructure(read), (std::vector<double>{0, 1, 0, -1, 0, 0, 100, 50, 1}));
    std::vector<double> const perspective{1, 0, 8192, 0, 1, -4096, 0, 0, 16384};
    EXPECT_EQ(ConvertMatrixStructure(perspective), (std::vector<double>{1, 0, 0.5, 0, 1, -0.25, 0, 0, 1}));
    EXPECT_THROW(ConvertMatrixStructure({1, 0, 0}), ValueException);
}

TEST(QuickTimeFixedPoint, BoundAsFieldConversions) {
    // As the field tables bind them: a value of the wrong shape gives None.
    EXPECT_FALSE(
        (InvConvWrapper<std::vector<double>, &ConvertMatrixStructure>(Value(std::vector<double>(8, 1.0))))
            .Exists());
    Value const date =
        InvConvWrapper<std::uint64_t, &ConvertQuickTimeDate>(Value(std::uint32_t{3602059736u}));
    EXPECT_EQ((InvConvWrapper<DateTime, &ToQuickTimeDateString>(date)),
              Value(std::string("2018:02:21 12:08:56+00:00")));
    EXPECT_FALSE((InvConvWrapper<std::uint64_t, &ConvertQuickTimeDate>(Value(std::string("soon")))).Exists());
}

}  // namespace
}  // namespace meta::detail
