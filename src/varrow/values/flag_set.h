#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace meta {

// A set of up to 64 flags of an enumeration whose values are bit numbers
// 0 .. N-1. A literal type, so named combinations can be constants:
//   constexpr FlagSet<Colour, 3> warm{Colour::Red, Colour::Yellow};
template <typename Enum, std::size_t N>
class FlagSet {
    static_assert(std::is_enum_v<Enum>, "FlagSet holds enumeration flags");
    static_assert(N > 0 && N <= 64, "FlagSet holds 1 to 64 flags");

  public:
    static constexpr std::size_t kSize = N;
    static constexpr std::uint64_t kMask = N == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << N) - 1;

    constexpr FlagSet() noexcept = default;
    constexpr FlagSet(Enum flag) noexcept : bits_(Bit(flag)) {}
    constexpr FlagSet(std::initializer_list<Enum> flags) noexcept {
        for (Enum f : flags) bits_ |= Bit(f);
    }
    // From the numeric form returned by GetValue(); bits beyond N are dropped.
    static constexpr FlagSet FromValue(std::uint64_t value) noexcept {
        FlagSet s;
        s.bits_ = value & kMask;
        return s;
    }

    constexpr std::uint64_t GetValue() const noexcept { return bits_; }
    constexpr bool IsSet(Enum flag) const noexcept { return (bits_ & Bit(flag)) != 0; }
    constexpr bool Any() const noexcept { return bits_ != 0; }
    constexpr bool None() const noexcept { return bits_ == 0; }
    constexpr std::size_t Count() const noexcept { return static_cast<std::size_t>(std::popcount(bits_)); }

    constexpr FlagSet& Set(Enum flag, bool on = true) noexcept {
        bits_ = on ? (bits_ | Bit(flag)) : (bits_ & ~Bit(flag));
        return *this;
    }
    constexpr FlagSet& Reset(Enum flag) noexcept { return Set(flag, false); }
    constexpr FlagSet& Clear() noexcept {
        bits_ = 0;
        return *this;
    }

    constexpr FlagSet& operator|=(FlagSet o) noexcept {
        bits_ |= o.bits_;
        return *this;
    }
    constexpr FlagSet& operator&=(FlagSet o) noexcept {
        bits_ &= o.bits_;
        return *this;
    }
    constexpr FlagSet& operator^=(FlagSet o) noexcept {
        bits_ ^= o.bits_;
        return *this;
    }
    friend constexpr FlagSet operator|(FlagSet a, FlagSet b) noexcept { return a |= b; }
    friend constexpr FlagSet operator&(FlagSet a, FlagSet b) noexcept { return a &= b; }
    friend constexpr FlagSet operator^(FlagSet a, FlagSet b) noexcept { return a ^= b; }
    constexpr FlagSet operator~() const noexcept { return FromValue(~bits_); }

    friend constexpr bool operator==(FlagSet, FlagSet) noexcept = default;

  private:
    // A flag outside 0 .. N-1 selects no bit rather than shifting out of range.
    static constexpr std::uint64_t Bit(Enum flag) noexcept {
        const auto n = static_cast<std::uint64_t>(static_cast<std::underlying_type_t<Enum>>(flag));
        return n < N ? std::uint64_t{1} << n : 0;
    }

    std::uint64_t bits_ = 0;
};

}  // namespace meta
