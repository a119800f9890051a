#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "varrow/blocks/iptc/iptc_conversions.h"

namespace meta {
namespace {

TEST(IptcConversions, DatesAndTimes) {
    ReadStore store;
    EXPECT_EQ(IptcDateToDisplay(Value("20230115"), store), Value("2023:01:15"));
    EXPECT_EQ(IptcTimeToDisplay(Value("101530+0200"), store), Value("10:15:30+02:00"));
    EXPECT_EQ(IptcTimeToDisplay(Value("020000-0530"), store), Value("02:00:00-05:30"));
    EXPECT_EQ(IptcTimeToDisplay(Value("170000"), store), Value("17:00:00"));

    // Other shapes are shown as they are.
    for (char const* text : {"", "2023011", "202301150", "2023-1-5", "    "}) {
        EXPECT_EQ(detail::FormatIptcDate(text), text);
    }
    for (char const* text : {"", "1015", "101530+02", "101530 0200", "1015x0+0200", "101530+02a0"}) {
        EXPECT_EQ(detail::FormatIptcTime(text), text);
    }
    // Non-text values pass through; repeated datasets convert element-wise.
    EXPECT_EQ(IptcDateToDisplay(Value(std::uint32_t{7}), store), Value(std::uint32_t{7}));
    EXPECT_EQ(IptcDateToDisplay(Value(ValueSet{Value("20000101"), Value("x")}), store),
              Value(ValueSet{Value("2000:01:01"), Value("x")}));
}

TEST(IptcConversions, CharacterSets) {
    ReadStore store;
    EXPECT_EQ(IptcCharacterSetToDisplay(Value("\x1b%G"), store), Value("UTF8"));
    EXPECT_EQ(detail::FormatIptcCharacterSet("\x1b-A"), "ESC - A");
    EXPECT_EQ(detail::FormatIptcCharacterSet("?\x1c\x02"), " ? \x1c \x02");
    EXPECT_EQ(detail::FormatIptcCharacterSet("\x1b%GX"), "ESC % G X");
    EXPECT_EQ(detail::FormatIptcCharacterSet(""), "");

    // NULs are padding wherever they stand; beyond ASCII each character (a
    // whole UTF-8 sequence, or a stray byte) is one "?".
    EXPECT_EQ(detail::FormatIptcCharacterSet(std::string("\0\x1b%G\0", 5)), "UTF8");
    EXPECT_EQ(detail::FormatIptcCharacterSet(std::string("\0\xc3\x84\x1c\x02", 5)), " ? \x1c \x02");
    EXPECT_EQ(detail::FormatIptcCharacterSet("\xe2\x82\xac\x1b(B"), " ?ESC ( B");
    EXPECT_EQ(detail::FormatIptcCharacterSet("\xf0\x9f\x98\x80"
                                             "A"),
              " ? A");
    EXPECT_EQ(detail::FormatIptcCharacterSet("\x80\xc3"
                                             "A\xe2\x82"),
              " ? ? A ? ?");
    EXPECT_EQ(detail::FormatIptcCharacterSet("\xff\xfe"), " ? ?");

    // A repeated declaration is not a list: the last one stands.
    EXPECT_EQ(IptcCharacterSetToDisplay(Value(ValueSet{Value("\x1b-A"), Value("\x1b%G")}), store),
              Value("UTF8"));
    EXPECT_EQ(IptcCharacterSetToDisplay(Value(ValueSet{Value("\x1b%G"), Value("\x1b-A")}), store),
              Value("ESC - A"));
    EXPECT_EQ(IptcCharacterSetToDisplay(Value(ValueSet{}), store), Value(ValueSet{}));
    EXPECT_EQ(IptcCharacterSetToDisplay(Value(std::uint32_t{3}), store), Value(std::uint32_t{3}));
}

TEST(IptcConversions, PhotoMechanicPreferences) {
    ReadStore store;
    EXPECT_EQ(IptcPrefsToDisplay(Value("0:0:0:-00001"), store),
              Value("Tagged:0, ColorClass:0, Rating:0, FrameNum:-00001"));
    EXPECT_EQ(detail::FormatIptcPrefs("1:6:5:0012"), "Tagged:1, ColorClass:6, Rating:5, FrameNum:0012");
    for (char const* text : {"", "0:0:0", "0:0:0:", "0:x:0:1", "0:0:0:1:2", ":0:0:1"}) {
        EXPECT_EQ(detail::FormatIptcPrefs(text), text);
    }
}

}  // namespace
}  // namespace meta
