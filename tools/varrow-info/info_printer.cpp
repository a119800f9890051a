#include "info_printer.h"

#include <ostream>
#include <string>
#include <unordered_map>

namespace varrow_info {
namespace {

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

}  // namespace

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
    out << "{\"SourceFile\":" << JsonQuote(sourceFile);
    for (meta::Metadatum const& item : metadata.GetOrderedView()) {
        std::string name = item.GetKey().GetFullName();
        if (int const n = ++seen[name]; n > 1) name += " #" + std::to_string(n);
        out << ',' << JsonQuote(name) << ':';
        meta::Value const& value = Selected(item, level);
        if (value.GetType() == meta::Value::Type::Sequence || value.GetType() == meta::Value::Type::Set) {
            out << '[';
            for (std::size_t i = 0; i < value.Length(); ++i) {
                if (i != 0) out << ',';
                out << JsonQuote(value.at(i).ToExifToolString(false, '\0'));
            }
            out << ']';
        } else {
            out << JsonQuote(finder.GetSelectedValueAsString(item));
        }
    }
    out << "}\n";
}

}  // namespace varrow_info
