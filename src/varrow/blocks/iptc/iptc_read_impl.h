#pragma once

// Bounded stream reads shared by the IPTC value classes.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <istream>
#include <limits>

namespace meta::detail {

// Largest piece read from a stream at a time: storage grows by at most this
// much beyond what the stream has delivered.
inline constexpr std::size_t kIptcReadChunk = 64 * 1024;

// Calls sink(pointer, n) for consecutive pieces of the next `length` bytes.
// False when the stream ends or fails first.
template <class Sink>
bool ReadIptcPieces(std::istream& is, unsigned long length, Sink&& sink) {
    std::array<char, 4096> piece{};
    unsigned long left = length;
    while (left != 0) {
        auto const n = static_cast<std::size_t>(std::min<unsigned long>(left, piece.size()));
        if (!is.read(piece.data(), static_cast<std::streamsize>(n))) return false;
        sink(piece.data(), n);
        left -= n;
    }
    return true;
}

// Skips `length` bytes; false when the stream ends first.
inline bool SkipIptcBytes(std::istream& is, unsigned long length) {
    constexpr auto kMax = static_cast<unsigned long>(std::numeric_limits<std::streamsize>::max());
    unsigned long left = length;
    while (left != 0) {
        auto const n = static_cast<std::streamsize>(std::min(left, kMax));
        is.ignore(n);
        if (is.gcount() != n) {
            is.setstate(std::ios_base::failbit);
            return false;
        }
        left -= static_cast<unsigned long>(n);
    }
    return true;
}

// Big-endian number of the first min(length, 8) bytes at p.
inline std::uint64_t FoldBigEndian(unsigned char const* p, std::size_t n) noexcept {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
}

}  // namespace meta::detail
