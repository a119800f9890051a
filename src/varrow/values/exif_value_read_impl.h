#pragma once

// Byte-order and bounded-read helpers shared by the EXIF value classes.

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <istream>
#include <limits>
#include <type_traits>

#include "varrow/values/byte_order.h"

namespace meta::detail {

// Largest piece read from a stream at a time; storage grows by at most this
// much beyond what the stream has delivered.
inline constexpr std::size_t kExifReadChunk = 64 * 1024;

constexpr ByteOrder Opposite(ByteOrder order) noexcept {
    return order == ByteOrder::BigEndian ? ByteOrder::LittleEndian : ByteOrder::BigEndian;
}

constexpr bool NeedsSwap(ByteOrder order) noexcept {
    return order != kHostByteOrder;
}

template <typename T>
T ByteSwap(T value) noexcept {
    static_assert(std::is_trivially_copyable_v<T>);
    if constexpr (sizeof(T) == 1) {
        return value;
    } else if constexpr (sizeof(T) == 2) {
        return std::bit_cast<T>(__builtin_bswap16(std::bit_cast<std::uint16_t>(value)));
    } else if constexpr (sizeof(T) == 4) {
        return std::bit_cast<T>(__builtin_bswap32(std::bit_cast<std::uint32_t>(value)));
    } else {
        static_assert(sizeof(T) == 8);
        return std::bit_cast<T>(__builtin_bswap64(std::bit_cast<std::uint64_t>(value)));
    }
}

// One element of sizeof(T) bytes at p, converted from `swap`ped order.
template <typename T>
T LoadElement(const unsigned char* p, bool swap) noexcept {
    T value;
    std::memcpy(&value, p, sizeof(T));
    return swap ? ByteSwap(value) : value;
}

template <typename T>
void SwapInPlace(T* p, std::size_t n) noexcept {
    if constexpr (sizeof(T) > 1) {
        for (std::size_t i = 0; i < n; ++i) p[i] = ByteSwap(p[i]);
    }
}

// count * unit, or false when that does not fit a size_t (no memory can hold
// it, so a read of it is bound to fail).
inline bool CheckedBytes(std::size_t count, std::size_t unit, std::size_t& bytes) noexcept {
    if (unit != 0 && count > std::numeric_limits<std::size_t>::max() / unit) return false;
    bytes = count * unit;
    return true;
}

// Elements of `unit` bytes worth reserving before reading `count` of them:
// what the stream's buffer says it can deliver (an in-memory stream knows its
// remaining length), but never less than one chunk's worth or more than
// `count`.
inline std::size_t ReserveHint(std::istream& is, std::size_t count, std::size_t unit) {
    std::size_t available = 0;
    if (std::streambuf* buf = is.rdbuf(); buf != nullptr && is.good()) {
        const std::streamsize n = buf->in_avail();
        if (n > 0) available = static_cast<std::size_t>(n) / unit;
    }
    return std::min(count, std::max(available, std::max<std::size_t>(1, kExifReadChunk / unit)));
}

// Appends `count` elements of sizeof(value_type) bytes, as stored, to `out`
// (a std::vector of a trivially copyable type or a std::string), one chunk
// at a time. On a short read `out` keeps only the complete elements and the
// result is false.
template <typename Container>
bool AppendRaw(std::istream& is, std::size_t count, Container& out) {
    using T = typename Container::value_type;
    static_assert(std::is_trivially_copyable_v<T>);
    constexpr std::size_t kChunkElements = std::max<std::size_t>(1, kExifReadChunk / sizeof(T));
    if (count == 0) return true;
    out.reserve(out.size() + ReserveHint(is, count, sizeof(T)));
    while (count > 0) {
        const std::size_t n = std::min(count, kChunkElements);
        const std::size_t old = out.size();
        out.resize(old + n);
        is.read(reinterpret_cast<char*>(out.data() + old), static_cast<std::streamsize>(n * sizeof(T)));
        const std::size_t got = static_cast<std::size_t>(is.gcount()) / sizeof(T);
        if (got < n) {
            out.resize(old + got);
            return false;
        }
        count -= n;
    }
    return true;
}

// Reads `count` elements of `unit` bytes through a small fixed buffer,
// calling consume(const unsigned char* bytes, std::size_t elements) for each
// piece. Returns false on a short read; only complete elements are consumed.
template <std::size_t kUnit, typename Consume>
bool ReadPieces(std::istream& is, std::size_t count, Consume&& consume) {
    constexpr std::size_t kBufferElements = std::max<std::size_t>(1, 4096 / kUnit);
    std::array<unsigned char, kBufferElements * kUnit> buffer;
    while (count > 0) {
        const std::size_t n = std::min(count, kBufferElements);
        is.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(n * kUnit));
        const std::size_t got = static_cast<std::size_t>(is.gcount()) / kUnit;
        if (got > 0) consume(static_cast<const unsigned char*>(buffer.data()), got);
        if (got < n) return false;
        count -= n;
    }
    return true;
}

}  // namespace meta::detail
