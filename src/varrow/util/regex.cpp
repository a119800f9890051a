#include "varrow/util/regex.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <istream>

namespace meta {
namespace detail {
namespace {

// Field conditions and parsers test the same few hundred patterns over and
// over; compiling a std::regex costs far more than matching a short model
// string. A set-associative table keeps lookups to a handful of comparisons
// with no allocation on a hit and bounds the memory of each thread.
constexpr std::size_t kSets = 64;
constexpr std::size_t kWays = 4;

struct CacheEntry {
    std::size_t hash = 0;
    std::uint64_t lastUse = 0;  // 0: slot never filled
    bool icase = false;
    std::string pattern;
    std::shared_ptr<const std::regex> regex;  // null: the pattern is invalid
};

struct RegexCache {
    std::array<CacheEntry, kSets * kWays> entries;
    std::uint64_t clock = 0;
};

std::shared_ptr<const std::regex> CompileUncached(std::string_view pattern, bool icase) {
    auto flags = std::regex::ECMAScript;
    if (icase) flags |= std::regex::icase;
    try {
        return std::make_shared<const std::regex>(pattern.begin(), pattern.end(), flags);
    } catch (const std::regex_error&) {
        return nullptr;
    }
}

}  // namespace

std::shared_ptr<const std::regex> CompileRegex(std::string_view pattern, bool icase) {
    thread_local RegexCache cache;
    const std::size_t hash = std::hash<std::string_view>{}(pattern);
    CacheEntry* const set = cache.entries.data() + (hash % kSets) * kWays;
    CacheEntry* victim = set;
    for (std::size_t way = 0; way < kWays; ++way) {
        CacheEntry& entry = set[way];
        if (entry.lastUse != 0 && entry.hash == hash && entry.icase == icase && entry.pattern == pattern) {
            entry.lastUse = ++cache.clock;
            return entry.regex;
        }
        if (entry.lastUse < victim->lastUse) victim = &entry;
    }
    auto regex = CompileUncached(pattern, icase);
    victim->hash = hash;
    victim->icase = icase;
    victim->pattern.assign(pattern);
    victim->regex = regex;
    victim->lastUse = ++cache.clock;
    return regex;
}

}  // namespace detail

namespace {

// Grows the buffer only as data actually arrives, so a huge `count` against a
// short stream costs no more memory than the stream holds.
bool ReadExactly(std::istream& in, std::size_t count, std::string& buffer) {
    constexpr std::size_t kChunk = 64 * 1024;
    while (buffer.size() < count) {
        const std::size_t old = buffer.size();
        const std::size_t want = std::min(count - old, std::max(kChunk, old));
        buffer.resize(old + want);
        in.read(buffer.data() + old, static_cast<std::streamsize>(want));
        const auto got = static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0));
        if (got != want) {
            buffer.resize(old + got);
            return false;
        }
    }
    return true;
}

}  // namespace

RegexMatchResults<const char*> RegexMatch(std::istream& in, std::size_t count, std::string_view pattern,
                                          bool rewind, bool icase) {
    std::istream::pos_type start{};
    if (rewind) {
        start = in.tellg();
        if (start == std::istream::pos_type(-1)) return {};
    }
    auto buffer = std::make_shared<std::string>();
    const bool complete = ReadExactly(in, count, *buffer);
    if (rewind) {
        if (!complete && !in.bad()) in.clear();
        in.seekg(start);
        if (in.fail()) return {};
    }
    if (!complete) return {};

    const auto regex = detail::CompileRegex(pattern, icase);
    if (!regex) return {};
    std::match_results<const char*> match;
    try {
        const char* const begin = buffer->data();
        if (!std::regex_search(begin, begin + buffer->size(), match, *regex)) return {};
    } catch (const std::regex_error&) {
        return {};
    }
    return {std::move(match), std::move(buffer)};
}

std::string RegexReplace(const std::string& s, std::string_view pattern, std::string_view replacement,
                         bool global, bool icase) {
    const auto regex = detail::CompileRegex(pattern, icase);
    if (!regex) return {};
    // The loop std::regex_replace is defined by, with a format that need not be
    // NUL-terminated.
    std::string out;
    try {
        auto tail = s.cbegin();
        for (std::sregex_iterator it(s.cbegin(), s.cend(), *regex), end; it != end; ++it) {
            const std::smatch& match = *it;
            out.append(tail, match[0].first);
            match.format(std::back_inserter(out), replacement.data(),
                         replacement.data() + replacement.size());
            tail = match[0].second;
            if (!global) break;
        }
        out.append(tail, s.cend());
    } catch (const std::regex_error&) {
        return {};
    }
    return out;
}

}  // namespace meta
