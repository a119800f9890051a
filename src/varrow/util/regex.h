#pragma once

#include <concepts>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <iterator>
#include <memory>
#include <regex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "varrow/api/export.h"

// Regular-expression helpers over std::regex with the ECMAScript grammar. A
// pattern that does not compile, or a match that the engine gives up on, is
// reported as "no match" and never as an exception.
namespace meta {

// The outcome of one search: the sub-matches of std::match_results (empty when
// nothing matched) and, for searches over a stream, the buffer the iterators
// point into, kept alive as long as any copy of the result.
template <typename Iterator>
class RegexMatchResults : public std::match_results<Iterator> {
  public:
    RegexMatchResults() = default;
    RegexMatchResults(std::match_results<Iterator> match, std::shared_ptr<const std::string> buffer = {})
        : std::match_results<Iterator>(std::move(match)), buffer_(std::move(buffer)) {}

    // Implicit so that a result can be returned where a condition expects bool.
    operator bool() const noexcept { return !this->empty(); }

    const std::shared_ptr<const std::string>& Buffer() const noexcept { return buffer_; }

  private:
    std::shared_ptr<const std::string> buffer_;
};

namespace detail {

// The compiled form of `pattern` (ECMAScript, optionally case-insensitive), or
// null when the pattern is invalid. Compilations are kept in a small per-thread
// cache, so a pattern used over and over is compiled once per thread; the
// shared pointer keeps a regex alive even if the cache drops it meanwhile.
VARROW_API std::shared_ptr<const std::regex> CompileRegex(std::string_view pattern, bool icase);

}  // namespace detail

// Searches [first, last) for the first occurrence of `pattern` (a search, not
// a whole-range match).
template <std::bidirectional_iterator Iterator>
RegexMatchResults<Iterator> RegexMatch(Iterator first, Iterator last, std::string_view pattern,
                                       bool icase = false) {
    RegexMatchResults<Iterator> results;
    const auto regex = detail::CompileRegex(pattern, icase);
    if (!regex) return results;
    try {
        std::regex_search(first, last, results, *regex);
    } catch (const std::regex_error&) {
        results = RegexMatchResults<Iterator>();
    }
    return results;
}

// The iterators of the result point into `s`, which must outlive the result.
inline RegexMatchResults<std::string::const_iterator> RegexMatch(const std::string& s,
                                                                 std::string_view pattern,
                                                                 bool icase = false) {
    return RegexMatch(s.cbegin(), s.cend(), pattern, icase);
}

// Reads exactly `count` bytes from `in` and searches them. With `rewind` the
// stream is put back where it was (also after a short read); a stream that
// cannot report or restore its position, or holds fewer than `count` bytes,
// gives no match. The bytes are held by the result.
VARROW_API RegexMatchResults<const char*> RegexMatch(std::istream& in, std::size_t count,
                                                     std::string_view pattern, bool rewind = true,
                                                     bool icase = false);

// Every successive non-overlapping match, in order.
template <std::bidirectional_iterator Iterator>
std::vector<RegexMatchResults<Iterator>> RegexMatchG(Iterator first, Iterator last, std::string_view pattern,
                                                     bool icase = false) {
    std::vector<RegexMatchResults<Iterator>> matches;
    const auto regex = detail::CompileRegex(pattern, icase);
    if (!regex) return matches;
    try {
        for (std::regex_iterator<Iterator> it(first, last, *regex), end; it != end; ++it) {
            matches.emplace_back(*it);
        }
    } catch (const std::regex_error&) {
        matches.clear();
    }
    return matches;
}

inline std::vector<RegexMatchResults<std::string::const_iterator>> RegexMatchG(const std::string& s,
                                                                               std::string_view pattern,
                                                                               bool icase = false) {
    return RegexMatchG(s.cbegin(), s.cend(), pattern, icase);
}

// std::regex_replace with the ECMAScript format syntax ("$1", "$&", "$$", ...);
// only the first match is replaced unless `global` is set. An invalid pattern
// gives an empty string.
VARROW_API std::string RegexReplace(const std::string& s, std::string_view pattern,
                                    std::string_view replacement, bool global = true, bool icase = false);

// Replaces every match by what `callback` returns for it (anything that can be
// appended to a std::string). An invalid pattern gives an empty string.
template <typename Callback>
requires std::invocable<Callback&, const std::smatch&> std::string RegexReplace(const std::string& s,
                                                                                std::string_view pattern,
                                                                                Callback&& callback,
                                                                                bool icase = false) {
    const auto regex = detail::CompileRegex(pattern, icase);
    if (!regex) return {};
    std::string out;
    try {
        auto tail = s.cbegin();
        for (std::sregex_iterator it(s.cbegin(), s.cend(), *regex), end; it != end; ++it) {
            const std::smatch& match = *it;
            out.append(tail, match[0].first);
            out += std::invoke(callback, match);
            tail = match[0].second;
        }
        out.append(tail, s.cend());
    } catch (const std::regex_error&) {
        return {};
    }
    return out;
}

}  // namespace meta
