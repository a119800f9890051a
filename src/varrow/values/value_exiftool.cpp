// The structured text form of values: lists as [a,b] and structures as
// {name=value} when nested, with the characters that delimit them escaped by
// '|' inside the values so the text can be split again.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "varrow/values/value.h"

namespace meta {

namespace {

// White space as the C locale classifies it.
bool IsSpace(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Puts '|' before every ',', '|' and `closing` (when not NUL), and before a
// leading white space, '[' or '{'.
std::string EscapeStructural(const std::string& text, char closing) {
    std::string out;
    out.reserve(text.size() + 4);
    for (char c : text) {
        if (c == ',' || c == '|' || (closing != '\0' && c == closing)) out += '|';
        out += c;
    }
    if (!out.empty() && (IsSpace(out.front()) || out.front() == '[' || out.front() == '{'))
        out.insert(0, 1, '|');
    return out;
}

// Control characters become '.', NULs are dropped, trailing white space is
// trimmed.
std::string CleanControlCharacters(std::string text) {
    std::size_t kept = 0;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u == 0) continue;
        text[kept++] = (u < 0x20 || u == 0x7F) ? '.' : c;
    }
    while (kept > 0 && IsSpace(text[kept - 1])) --kept;
    text.resize(kept);
    return text;
}

template <typename List>
std::string JoinNested(const List& list) {
    if (list.empty()) return std::string();
    std::string out = "[";
    bool first = true;
    for (const Value& element : list) {
        if (!first) out += ',';
        first = false;
        out += element.ToExifToolString(true, ']');
    }
    out += ']';
    return out;
}

}  // namespace

std::string Value::ToExifToolString(bool nested, char closing) const {
    switch (GetType()) {
        case Type::Set: return nested ? JoinNested(Get<ValueSet>()) : "(Set data)";
        case Type::Sequence: return nested ? JoinNested(Get<ValueSequence>()) : "(Sequence data)";
        case Type::Structure: {
            if (!nested) return "(Structured data)";
            const ValueStore& store = Get<ValueStore>();
            if (store.empty()) return std::string();
            std::vector<std::pair<const std::string*, const Value*>> fields;
            fields.reserve(store.size());
            for (const auto& [name, value] : store) fields.emplace_back(&name, value.get());
            std::sort(fields.begin(), fields.end(),
                      [](const auto& a, const auto& b) { return *a.first < *b.first; });
            std::string out = "{";
            bool first = true;
            for (const auto& [name, value] : fields) {
                if (!first) out += ',';
                first = false;
                out += *name;
                out += '=';
                out += (value != nullptr ? *value : None).ToExifToolString(true, '}');
            }
            out += '}';
            return out;
        }
        default: break;
    }
    std::string text = ToString(SerialisationPolicies::Exiftool);
    if (nested && (closing != '\0' || GetType() == Type::Binary)) text = EscapeStructural(text, closing);
    return CleanControlCharacters(std::move(text));
}

}  // namespace meta
