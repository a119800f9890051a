#include "varrow/items/metadatum.h"

#include <algorithm>

namespace meta {
namespace {

constexpr bool IsLower(char c) {
    return c >= 'a' && c <= 'z';
}
constexpr bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
constexpr bool IsHexLower(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f');
}
constexpr bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Length of a trailing " (0x<lower-case hex digits>)", or 0.
std::size_t HexSuffixLength(std::string_view text) {
    if (text.size() < 6 || text.back() != ')') return 0;
    std::size_t i = text.size() - 1;
    std::size_t digits = 0;
    while (i > 0 && IsHexLower(text[i - 1])) {
        --i;
        ++digits;
    }
    if (digits == 0 || i < 4 || text.substr(i - 4, 4) != " (0x") return 0;
    return text.size() - (i - 4);
}

// The three word-splitting rules, applied one after the other: a space goes
// between the two marked parts of every non-overlapping, leftmost match of
//   [a-z] | [A-Z0-9]      (word ends, capital or digit starts)
//   [A-Z] | [A-Z][a-z]    (acronym ends before a capitalised word)
//   [0-9] | [A-Z]\S       (number ends before a capitalised word)
std::string SplitLowerToUpperOrDigit(std::string_view in) {
    std::string out;
    out.reserve(in.size() + 8);
    for (std::size_t i = 0; i < in.size();) {
        if (i + 1 < in.size() && IsLower(in[i]) && (IsUpper(in[i + 1]) || IsDigit(in[i + 1]))) {
            out += in[i];
            out += ' ';
            out += in[i + 1];
            i += 2;
        } else {
            out += in[i++];
        }
    }
    return out;
}

template <bool (*First)(char), bool (*Third)(char)>
std::string SplitBeforeCapitalisedWord(std::string_view in) {
    std::string out;
    out.reserve(in.size() + 8);
    for (std::size_t i = 0; i < in.size();) {
        if (i + 2 < in.size() && First(in[i]) && IsUpper(in[i + 1]) && Third(in[i + 2])) {
            out += in[i];
            out += ' ';
            out += in[i + 1];
            out += in[i + 2];
            i += 3;
        } else {
            out += in[i++];
        }
    }
    return out;
}

bool IsUpperChar(char c) {
    return IsUpper(c);
}
bool IsLowerChar(char c) {
    return IsLower(c);
}
bool IsDigitChar(char c) {
    return IsDigit(c);
}
bool IsNotSpaceChar(char c) {
    return !IsSpace(c);
}

}  // namespace

// A name that is only a tag number ("0x8769") is not made of words.
static bool IsHexId(std::string_view name) {
    return name.size() > 2 && name[0] == '0' && name[1] == 'x' &&
           std::all_of(name.begin() + 2, name.end(), IsHexLower);
}

std::string MakeTitleFromName(std::string_view name) {
    if (name.empty() || IsHexId(name)) return std::string(name);
    std::string text(name);
    if (IsLower(text[0])) text[0] = static_cast<char>(text[0] - 'a' + 'A');
    for (char& c : text) {
        if (c == '_') c = ' ';
    }
    std::size_t const suffixLength = HexSuffixLength(text);
    std::string const suffix = text.substr(text.size() - suffixLength);
    text.resize(text.size() - suffixLength);

    text = SplitLowerToUpperOrDigit(text);
    text = SplitBeforeCapitalisedWord<IsUpperChar, IsLowerChar>(text);
    text = SplitBeforeCapitalisedWord<IsDigitChar, IsNotSpaceChar>(text);
    return text + suffix;
}

std::string Metadatum::GetTitle() const {
    if (!model_) return {};
    std::string title = model_->GetTitle();
    if (!title.empty()) return title;
    return MakeTitleFromName(model_->GetName());
}

bool Metadatum::Replaces(Metadatum const& other) const {
    int const mine = GetPriority();
    int const theirs = other.GetPriority();
    return theirs != 0 ? mine >= theirs : mine > 0;
}

}  // namespace meta
