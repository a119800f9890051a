#pragma once

#include <compare>
#include <iosfwd>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "varrow/api/export.h"

namespace meta {

// A language tag such as "en-US", or "x-default". An empty name is an
// unknown locale.
class VARROW_API LocaleIdentifier {
  public:
    LocaleIdentifier() = default;
    LocaleIdentifier(std::string name) : name_(std::move(name)) {}
    LocaleIdentifier(const char* name) : name_(name != nullptr ? name : "") {}
    LocaleIdentifier(std::string_view name) : name_(name) {}

    bool IsKnown() const noexcept { return !name_.empty(); }
    const std::string& GetName() const noexcept { return name_; }

    friend bool operator==(const LocaleIdentifier&, const LocaleIdentifier&) = default;
    friend std::strong_ordering operator<=>(const LocaleIdentifier& a, const LocaleIdentifier& b) noexcept {
        return a.name_.compare(b.name_) <=> 0;
    }

  private:
    std::string name_;
};

// A text in a default language plus translations (an XMP language
// alternative). The first text given for a locale wins.
class VARROW_API LocalisedString {
  public:
    using Alternatives = std::map<LocaleIdentifier, std::string>;

    LocalisedString() = default;
    LocalisedString(LocaleIdentifier locale, std::string text)
        : defaultLocale_(std::move(locale)), defaultText_(std::move(text)) {}

    // Adds a translation. A text equal to the default text names the default
    // locale when that is still unknown; a text for the default locale
    // replaces the default text; otherwise the pair is added unless the
    // locale already has a text.
    void AddValue(LocaleIdentifier locale, std::string text);

    // The text for `locale`: the default text for the default locale, else
    // the matching translation, else the default text.
    const std::string& GetValue(const LocaleIdentifier& locale) const;
    // GetValue for the name of the process's current global locale.
    const std::string& GetValue() const;
    bool HasValue(const LocaleIdentifier& locale) const;

    const std::string& GetDefaultValue() const noexcept { return defaultText_; }
    const LocaleIdentifier& GetDefaultLocale() const noexcept { return defaultLocale_; }
    const Alternatives& GetAlternatives() const noexcept { return alternatives_; }

    friend bool operator==(const LocalisedString&, const LocalisedString&) = default;
    // Lexicographic by default locale, default text, then translations.
    friend std::strong_ordering operator<=>(const LocalisedString& a, const LocalisedString& b);

  private:
    LocaleIdentifier defaultLocale_;
    std::string defaultText_;
    Alternatives alternatives_;
};

VARROW_API std::ostream& operator<<(std::ostream& os, const LocaleIdentifier& locale);
// Writes GetValue().
VARROW_API std::ostream& operator<<(std::ostream& os, const LocalisedString& text);

}  // namespace meta
