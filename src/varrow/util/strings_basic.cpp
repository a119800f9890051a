#include "varrow/util/strings_basic.h"

#include <algorithm>
#include <cstring>

namespace meta::strings::basic {
namespace {

// The "C" locale's rules, independent of the locale the host application set.
constexpr bool IsSpace(char c) noexcept {
    return c == ' ' || (c >= '\t' && c <= '\r');
}
constexpr char Lower(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}
constexpr char Upper(char c) noexcept {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

bool EqualBytes(std::string_view a, std::string_view b, bool caseSensitive) noexcept {
    if (a.size() != b.size()) return false;
    if (caseSensitive) return a == b;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

}  // namespace

void TrimStart(std::string& s) {
    const auto first = std::find_if_not(s.begin(), s.end(), IsSpace);
    s.erase(s.begin(), first);
}

void TrimEnd(std::string& s) {
    const auto last = std::find_if_not(s.rbegin(), s.rend(), IsSpace);
    s.erase(last.base(), s.end());
}

void Trim(std::string& s) {
    TrimEnd(s);
    TrimStart(s);
}

std::string ToLower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), Lower);
    return s;
}

std::string ToUpper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), Upper);
    return s;
}

std::string UcFirst(std::string s) {
    if (!s.empty()) s.front() = Upper(s.front());
    return s;
}

std::string Replace(std::string s, std::string_view from, std::string_view to) {
    if (from.empty()) return s;
    std::size_t hit = s.find(from);
    if (hit == std::string::npos) return s;
    if (from.size() == to.size()) {
        for (; hit != std::string::npos; hit = s.find(from, hit + to.size())) {
            s.replace(hit, from.size(), to);
        }
        return s;
    }
    std::string out;
    out.reserve(to.size() > from.size() ? s.size() + 2 * (to.size() - from.size()) : s.size());
    std::size_t done = 0;
    for (; hit != std::string::npos; hit = s.find(from, done)) {
        out.append(s, done, hit - done);
        out.append(to);
        done = hit + from.size();
    }
    out.append(s, done);
    return out;
}

std::string Replace(std::string s, char from, std::string_view to) {
    return Replace(std::move(s), std::string_view(&from, 1), to);
}

std::string Replace(std::string s, char from, char to) {
    std::replace(s.begin(), s.end(), from, to);
    return s;
}

std::string EscapeChars(const char* set, std::string s) {
    if (set == nullptr || *set == '\0' || s.empty()) return s;
    const std::string_view chars(set);
    // One pass gives the same text as one pass per character as long as no
    // pass can meet a backslash inserted by an earlier one and no character
    // is listed twice.
    const std::size_t backslash = chars.find('\\');
    bool singlePass = backslash == std::string_view::npos || backslash == 0;
    for (std::size_t i = 0; singlePass && i < chars.size(); ++i) {
        singlePass = chars.find(chars[i], i + 1) == std::string_view::npos;
    }
    if (!singlePass) {
        for (const char c : chars) {
            const char escaped[2] = {'\\', c};
            s = Replace(std::move(s), c, std::string_view(escaped, 2));
        }
        return s;
    }
    const std::size_t count = static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [&](char c) { return chars.find(c) != std::string_view::npos; }));
    if (count == 0) return s;
    std::string out;
    out.reserve(s.size() + count);
    for (const char c : s) {
        if (chars.find(c) != std::string_view::npos) out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

std::string EscapeForRegex(std::string s) {
    return EscapeChars("\\[^$.|?*+(){}", std::move(s));
}

bool StartsWith(std::string_view prefix, std::string_view subject, bool caseSensitive) {
    return subject.size() >= prefix.size() &&
           EqualBytes(prefix, subject.substr(0, prefix.size()), caseSensitive);
}

bool StartsWith(std::string_view prefix, std::size_t pos, std::string_view subject, bool caseSensitive) {
    if (pos > subject.size()) return false;
    return StartsWith(prefix, subject.substr(pos), caseSensitive);
}

bool EndsWith(std::string_view suffix, std::string_view subject, bool caseSensitive) {
    return subject.size() >= suffix.size() &&
           EqualBytes(suffix, subject.substr(subject.size() - suffix.size()), caseSensitive);
}

bool Contains(std::string_view needle, std::string_view haystack, bool caseSensitive) {
    if (caseSensitive) return haystack.find(needle) != std::string_view::npos;
    const auto equal = [](char a, char b) { return Lower(a) == Lower(b); };
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(), equal) !=
               haystack.end() ||
           needle.empty();
}

bool Equivalent(std::string_view a, std::string_view b, bool caseSensitive) {
    return EqualBytes(a, b, caseSensitive);
}

std::vector<std::string_view> Split(std::string_view s, char sep) {
    return Split(s, std::string_view(&sep, 1));
}

std::vector<std::string_view> Split(std::string_view s, std::string_view sep) {
    std::vector<std::string_view> pieces;
    if (s.empty()) return pieces;
    if (sep.empty()) {
        pieces.push_back(s);
        return pieces;
    }
    std::size_t start = 0;
    for (std::size_t hit = s.find(sep); hit != std::string_view::npos; hit = s.find(sep, start)) {
        pieces.push_back(s.substr(start, hit - start));
        start = hit + sep.size();
    }
    pieces.push_back(s.substr(start));
    return pieces;
}

std::size_t FindNthChar(std::string_view s, char c, std::size_t n) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < n; ++i) {
        pos = s.find(c, pos + 1);
        if (pos == std::string_view::npos) return std::string::npos;
    }
    return pos;
}

}  // namespace meta::strings::basic
