#include "varrow/values/localised_string.h"

#include <gtest/gtest.h>

#include <sstream>

namespace meta {
namespace {

TEST(LocalisedString, AddValueRules) {
    // Same text as the default under an unknown locale: names the locale.
    LocalisedString named(LocaleIdentifier(), "A");
    named.AddValue("en", "A");
    EXPECT_EQ(named.GetDefaultLocale(), LocaleIdentifier("en"));
    EXPECT_TRUE(named.GetAlternatives().empty());

    // A text for the default locale replaces the default text.
    LocalisedString replaced("en", "colour");
    replaced.AddValue("en", "color");
    EXPECT_EQ(replaced.GetDefaultValue(), "color");
    EXPECT_TRUE(replaced.GetAlternatives().empty());

    // Otherwise a translation, and the first text for a locale wins.
    LocalisedString translated("en", "hello");
    translated.AddValue("de", "hallo");
    translated.AddValue("de", "servus");
    translated.AddValue("fr", "bonjour");
    ASSERT_EQ(translated.GetAlternatives().size(), 2U);
    EXPECT_EQ(translated.GetAlternatives().at(LocaleIdentifier("de")), "hallo");

    // With a known default locale, equal text is still a translation.
    LocalisedString same("en", "OK");
    same.AddValue("de", "OK");
    EXPECT_TRUE(same.HasValue("de"));
}

TEST(LocalisedString, Lookup) {
    LocalisedString s("x-default", "Title");
    s.AddValue("de", "Titel");
    EXPECT_EQ(s.GetValue("de"), "Titel");
    EXPECT_EQ(s.GetValue("x-default"), "Title");
    EXPECT_EQ(s.GetValue("fr"), "Title");
    EXPECT_TRUE(s.HasValue("x-default"));
    EXPECT_TRUE(s.HasValue("de"));
    EXPECT_FALSE(s.HasValue("fr"));
    // The process locale in tests is "C", which has no translation here.
    EXPECT_EQ(s.GetValue(), "Title");
    std::ostringstream os;
    os << s;
    EXPECT_EQ(os.str(), "Title");
}

TEST(LocalisedString, OrderingIsLexicographic) {
    const LocalisedString a("de", "z"), b("en", "a"), c("en", "b");
    EXPECT_LT(a, b);  // locale first
    EXPECT_LT(b, c);  // then text
    LocalisedString withAlt("en", "a");
    withAlt.AddValue("fr", "x");
    EXPECT_LT(b, withAlt);  // then translations
    EXPECT_GT(withAlt, b);
    EXPECT_LE(b, LocalisedString("en", "a"));
    EXPECT_EQ(b, LocalisedString("en", "a"));
    EXPECT_NE(b, withAlt);
}

}  // namespace
}  // namespace meta
