#include "varrow/values/localised_string.h"

#include <algorithm>
#include <locale>
#include <ostream>

namespace meta {

void LocalisedString::AddValue(LocaleIdentifier locale, std::string text) {
    if (text == defaultText_ && !defaultLocale_.IsKnown()) {
        defaultLocale_ = std::move(locale);
    } else if (locale == defaultLocale_) {
        defaultText_ = std::move(text);
    } else {
        alternatives_.try_emplace(std::move(locale), std::move(text));
    }
}

const std::string& LocalisedString::GetValue(const LocaleIdentifier& locale) const {
    if (locale == defaultLocale_) return defaultText_;
    const auto it = alternatives_.find(locale);
    return it != alternatives_.end() ? it->second : defaultText_;
}

const std::string& LocalisedString::GetValue() const {
    // Read on every call: the application may change the global locale.
    return GetValue(LocaleIdentifier(std::locale().name()));
}

bool LocalisedString::HasValue(const LocaleIdentifier& locale) const {
    return locale == defaultLocale_ || alternatives_.find(locale) != alternatives_.end();
}

std::strong_ordering operator<=>(const LocalisedString& a, const LocalisedString& b) {
    if (const auto c = a.defaultLocale_ <=> b.defaultLocale_; c != 0) return c;
    if (const auto c = a.defaultText_.compare(b.defaultText_) <=> 0; c != 0) return c;
    return std::lexicographical_compare_three_way(a.alternatives_.begin(), a.alternatives_.end(),
                                                  b.alternatives_.begin(), b.alternatives_.end(),
                                                  [](const auto& x, const auto& y) {
                                                      if (const auto c = x.first <=> y.first; c != 0)
                                                          return c;
                                                      return x.second.compare(y.second) <=> 0;
                                                  });
}

std::ostream& operator<<(std::ostream& os, const LocaleIdentifier& locale) {
    return os << locale.GetName();
}

std::ostream& operator<<(std::ostream& os, const LocalisedString& text) {
    return os << text.GetValue();
}

}  // namespace meta
