#include "info_printer.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "varrow/values/localised_string.h"
#include "varrow/values/value.h"

namespace varrow_info {
namespace {

constexpr char const* kDefaultLanguage = "x-default";

meta::ValueAffinity Affinity(ValueLevel level) {
    switch (level) {
        case ValueLevel::Raw: return meta::ValueAffinity::Raw;
        case ValueLevel::Value: return meta::ValueAffinity::Value;
        case ValueLevel::Display: break;
    }
    return meta::ValueAffinity::Display;
}

meta::Value const& Selected(meta::Metadatum const& item, ValueLevel level) {
    switch (level) {
        case ValueLevel::Raw: return item.GetRawValue();
        case ValueLevel::Value: return item.GetValue();
        case ValueLevel::Display: break;
    }
    return item.GetDisplayValue();
}

// The texts of a language alternative under their language tags, the default
// language ("x-default", or none given) left out.
std::vector<std::pair<std::string, std::string>> LanguageAlternatives(meta::LocalisedString const& text) {
    std::vector<std::pair<std::string, std::string>> out;
    auto add = [&out](meta::LocaleIdentifier const& locale, std::string const& value) {
        std::string const& tag = locale.GetName();
        if (!tag.empty() && tag != kDefaultLanguage) out.emplace_back(tag, value);
    };
    add(text.GetDefaultLocale(), text.GetDefaultValue());
    for (auto const& [locale, value] : text.GetAlternatives()) add(locale, value);
    return out;
}

// XMP text is shown as stored: its line breaks and trailing blanks are part
// of the value, unlike the padding of fixed-size EXIF strings.
std::string LeafText(meta::Value const& value, bool xmp) {
    if (xmp && value.GetType() == meta::Value::Type::String) return value.Get<std::string>();
    return value.ToExifToolString(false, '\0');
}

}  // namespace

void AppendJsonValue(std::string& out, meta::Value const& value, bool xmp) {
    switch (value.GetType()) {
        case meta::Value::Type::Sequence:
        case meta::Value::Type::Set: {
            out += '[';
            for (std::size_t i = 0; i < value.Length(); ++i) {
                if (i != 0) out += ',';
                AppendJsonValue(out, value.at(i), xmp);
            }
            out += ']';
            return;
        }
        case meta::Value::Type::Structure: {
            auto const& store = value.Get<meta::ValueStore>();
            std::vector<std::pair<std::string const*, meta::Value const*>> members;
            members.reserve(store.size());
            for (auto const& [name, member] : store) {
                if (member != nullptr) members.emplace_back(&name, member.get());
            }
            std::sort(members.begin(), members.end(),
                      [](auto const& a, auto const& b) { return *a.first < *b.first; });
            out += '{';
            bool first = true;
            for (auto const& [name, member] : members) {
                if (!first) out += ',';
                first = false;
                out += JsonQuote(*name);
                out += ':';
                AppendJsonValue(out, *member, xmp);
            }
            out += '}';
            return;
        }
        case meta::Value::Type::LString: {
            // Nested language alternatives have no name of their own to
            // suffix: an object led by the default text.
            auto const& text = value.Get<meta::LocalisedString>();
            auto const translations = LanguageAlternatives(text);
            if (translations.empty()) break;
            out += '{';
            out += JsonQuote(kDefaultLanguage);
            out += ':';
            out += JsonQuote(text.GetDefaultValue());
            for (auto const& [tag, translation] : translations) {
                out += ',';
                out += JsonQuote(tag);
                out += ':';
                out += JsonQuote(translation);
            }
            out += '}';
            return;
        }
        default: break;
    }
    out += JsonQuote(LeafText(value, xmp));
}

std::string JsonQuote(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (char c : text) {
        auto const u = static_cast<unsigned char>(c);
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (u < 0x20 || u == 0x7f) {
                    out += "\\u00";
                    out += kHex[u >> 4];
                    out += kHex[u & 0xf];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

void PrintItems(std::ostream& out, meta::Metadata const& metadata, ValueLevel level) {
    constexpr std::size_t kNameWidth = 40;
    meta::Metadata::Finder const finder(Affinity(level), false);
    for (meta::Metadatum const& item : metadata.GetOrderedView()) {
        std::string const name = item.GetKey().GetFullName();
        out << name << std::string(name.size() < kNameWidth ? kNameWidth - name.size() : 1, ' ')
            << finder.GetSelectedValueAsString(item) << '\n';
    }
}

void PrintJson(std::ostream& out, std::string_view sourceFile, meta::Metadata const& metadata,
               ValueLevel level) {
    meta::Metadata::Finder const finder(Affinity(level), true);
    std::unordered_map<std::string, int> seen;
    std::string text;
    out << "{\"SourceFile\":" << JsonQuote(sourceFile);
    auto key = [&](std::string name) {
        if (int const n = ++seen[name]; n > 1) name += " #" + std::to_string(n);
        out << ',' << JsonQuote(name) << ':';
    };
    for (meta::Metadatum const& item : metadata.GetOrderedView()) {
        std::string const name = item.GetKey().GetFullName();
        meta::Value const& value = Selected(item, level);
        bool const xmp = item.GetNamespace() == meta::FieldNamespace::Xmp;
        key(name);
        if (value.IsCollection() || (xmp && value.GetType() == meta::Value::Type::String)) {
            text.clear();
            AppendJsonValue(text, value, xmp);
            out << text;
        } else if (xmp && value.GetType() == meta::Value::Type::LString) {
            out << JsonQuote(value.Get<meta::LocalisedString>().GetDefaultValue());
        } else {
            out << JsonQuote(finder.GetSelectedValueAsString(item));
        }
        // Translations get names of their own, as "Title-de".
        if (value.GetType() == meta::Value::Type::LString) {
            for (auto const& [locale, translation] :
                 LanguageAlternatives(value.Get<meta::LocalisedString>())) {
                key(name + '-' + locale);
                out << JsonQuote(translation);
            }
        }
    }
    out << "}\n";
}

}  // namespace varrow_info
