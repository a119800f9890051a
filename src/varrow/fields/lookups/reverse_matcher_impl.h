#pragma once

// Internal to the lookups: mapping a display text back to its code.

#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>
#include <vector>

#include "varrow/fields/lookups/unknown_text.h"
#include "varrow/util/strings_basic.h"

namespace meta::detail {

// Maps one text to the code of the first dictionary entry (in key order)
// whose text equals it, then equals it ignoring case, then begins with it
// ignoring case, then contains it ignoring case. For a bit-mask lookup the
// code is the entry's bit (1 << key), and "[b]" (the text shown for a bit
// without an entry) stands for bit b. Failing all that, "Unknown (N)" and
// "Unknown (0xN)" give N; anything else gives nothing.
template <typename T>
class ReverseMatcher {
  public:
    using DictionaryType = std::multimap<T, const char*>;

    ReverseMatcher(const DictionaryType& dictionary, bool bitMask) noexcept
        : dictionary_(dictionary), bitMask_(bitMask) {}

    // Only the two equality passes.
    std::optional<T> MatchWhole(std::string_view text) const {
        if (text.empty()) return std::nullopt;
        if (auto code = Search(text, Pass::Exact)) return code;
        return Search(text, Pass::Equivalent);
    }

    std::optional<T> Match(std::string_view text) const {
        // Every entry begins with and contains the empty text: it names nothing.
        if (text.empty()) return std::nullopt;
        if constexpr (std::is_integral_v<T>) {
            if (bitMask_) {
                if (auto bit = BracketedBit(text)) return static_cast<T>(std::uint64_t{1} << *bit);
            }
        }
        for (Pass pass : {Pass::Exact, Pass::Equivalent, Pass::Prefix, Pass::Contains}) {
            if (auto code = Search(text, pass)) return code;
        }
        return FromUnknownText(text);
    }

  private:
    enum class Pass { Exact, Equivalent, Prefix, Contains };

    static bool Matches(std::string_view text, std::string_view entry, Pass pass) {
        switch (pass) {
            case Pass::Exact: return entry == text;
            case Pass::Equivalent: return strings::basic::Equivalent(text, entry, false);
            case Pass::Prefix: return strings::basic::StartsWith(text, entry, false);
            case Pass::Contains: return strings::basic::Contains(text, entry, false);
        }
        return false;
    }

    std::optional<T> Search(std::string_view text, Pass pass) const {
        for (const auto& [key, entry] : dictionary_) {
            if (!Matches(text, entry, pass)) continue;
            if constexpr (std::is_integral_v<T>) {
                if (bitMask_) {
                    // A key that is no bit number cannot be part of a mask.
                    if constexpr (std::is_signed_v<T>) {
                        if (key < 0) continue;
                    }
                    if (static_cast<std::uint64_t>(key) >= 64) continue;
                    return static_cast<T>(std::uint64_t{1} << static_cast<unsigned>(key));
                }
            }
            return key;
        }
        return std::nullopt;
    }

    static std::optional<unsigned> BracketedBit(std::string_view text) noexcept {
        if (text.size() < 3 || text.front() != '[' || text.back() != ']') return std::nullopt;
        const std::string_view digits = text.substr(1, text.size() - 2);
        unsigned bit = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), bit);
        if (error != std::errc() || end != digits.data() + digits.size() || bit >= 64) return std::nullopt;
        return bit;
    }

    static std::optional<T> FromUnknownText(std::string_view text) {
        if constexpr (std::is_same_v<T, std::string>) {
            // Text codes come back as written.
            const auto inner = MatchUnknownText(text);
            if (!inner) return std::nullopt;
            return std::string(*inner);
        } else {
            const auto number = ParseUnknownText(text);
            if (!number) return std::nullopt;
            if constexpr (std::is_integral_v<T>) {
                return static_cast<T>(*number);
            } else {
                return T{static_cast<long long>(*number)};
            }
        }
    }

    const DictionaryType& dictionary_;
    bool bitMask_;
};

}  // namespace meta::detail
