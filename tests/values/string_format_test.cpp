#include "varrow/values/string_format.h"

#include <gtest/gtest.h>

#include <sstream>

namespace meta {
namespace {

TEST(StringFormat, StrprintfFormatsIntoTheString) {
    std::string out = "previous contents";
    EXPECT_TRUE(strprintf(out, "%.2f mm", 12.345));
    EXPECT_EQ(out, "12.35 mm");
    EXPECT_TRUE(strprintf(out, "1/%d", 250));
    EXPECT_EQ(out, "1/250");
    EXPECT_TRUE(strprintf(out, "%c%.2d:%.2d", '+', 5, 30));
    EXPECT_EQ(out, "+05:30");
    EXPECT_TRUE(strprintf(out, "100%%"));
    EXPECT_EQ(out, "100%");
    EXPECT_TRUE(strprintf(out, ""));
    EXPECT_EQ(out, "");

    // Longer than any fixed buffer, and a format taken from a view that is
    // not terminated where it ends.
    const std::string long_text(1000, 'x');
    EXPECT_TRUE(strprintf(out, "[%s]", long_text.c_str()));
    EXPECT_EQ(out.size(), 1002U);
    const std::string_view view = std::string_view("%d and more").substr(0, 2);
    EXPECT_TRUE(strprintf(out, view, 42));
    EXPECT_EQ(out, "42");
}

TEST(StringFormat, WrapperFormatsTheNextNumber) {
    std::ostringstream os;
    os << sprintf_f(2, false) << 3.14159 << " | ";
    os << sprintf_f(0, false) << 2.5 << " | ";
    os << sprintf_f(1, true) << 0.25 << " | ";
    os << sprintf_f(3, true) << -1.0;
    EXPECT_EQ(os.str(), "3.14 | 2 | +0.2 | -1.000");

    EXPECT_EQ(sprintf_f(3, false).GetFormat(), "%.3f");
    EXPECT_EQ(sprintf_f(1, true).GetFormat(), "%+.1f");

    std::ostringstream other;
    const sprintf_wrapper hex("%a");
    const auto proxy = other << hex;
    EXPECT_EQ(proxy.Resolve(1.0), "0x1p+0");
    proxy << 1.0;
    EXPECT_EQ(other.str(), "0x1p+0");
}

}  // namespace
}  // namespace meta
