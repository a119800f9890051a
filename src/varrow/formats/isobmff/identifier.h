#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "varrow/api/export.h"

namespace meta::isobmff {

// The type bytes of a box: N = 4 for a four-character code, N = 16 for the
// extended type of a "uuid" box. A four-character code widened to 16 bytes
// keeps its bytes first and zeros after, so both kinds share one key space.
template <std::size_t N>
class Identifier {
  public:
    constexpr Identifier() noexcept = default;
    constexpr explicit Identifier(std::array<std::uint8_t, N> const& bytes) noexcept : bytes_(bytes) {}

    // The first min(N, text.size()) characters; the rest stays zero.
    static constexpr Identifier FromString(std::string_view text) noexcept {
        Identifier id;
        for (std::size_t i = 0; i < N && i < text.size(); ++i)
            id.bytes_[i] = static_cast<std::uint8_t>(text[i]);
        return id;
    }

    constexpr std::array<std::uint8_t, N> const& GetBytes() const noexcept { return bytes_; }

    // The bytes as characters, unprintable ones as '.'.
    std::string GetAsString() const {
        std::string text(N, '.');
        for (std::size_t i = 0; i < N; ++i) {
            if (bytes_[i] >= 0x20 && bytes_[i] < 0x7F) text[i] = static_cast<char>(bytes_[i]);
        }
        return text;
    }
    // Upper-case hex; 16-byte identifiers in the 8-4-4-4-12 grouping of UUIDs.
    std::string GetAsHexString() const {
        constexpr char kDigits[] = "0123456789ABCDEF";
        std::string text;
        text.reserve(N * 2 + 4);
        for (std::size_t i = 0; i < N; ++i) {
            if (N == 16 && (i == 4 || i == 6 || i == 8 || i == 10)) text += '-';
            text += kDigits[bytes_[i] >> 4];
            text += kDigits[bytes_[i] & 0x0F];
        }
        return text;
    }

    // Widens a four-character code (or copies a 16-byte identifier).
    constexpr Identifier<16> Widen() const noexcept {
        std::array<std::uint8_t, 16> wide{};
        for (std::size_t i = 0; i < N && i < 16; ++i) wide[i] = bytes_[i];
        return Identifier<16>(wide);
    }

    // The first four bytes (the code of a widened four-character type).
    constexpr Identifier<4> Narrow() const noexcept {
        std::array<std::uint8_t, 4> code{};
        for (std::size_t i = 0; i < 4 && i < N; ++i) code[i] = bytes_[i];
        return Identifier<4>(code);
    }

    friend constexpr bool operator==(Identifier const&, Identifier const&) noexcept = default;
    friend constexpr auto operator<=>(Identifier const&, Identifier const&) noexcept = default;

  private:
    std::array<std::uint8_t, N> bytes_{};
};

using FourCc = Identifier<4>;
using BoxType = Identifier<16>;

// A four-character box type in the 16-byte key space.
constexpr BoxType Type(std::string_view code) noexcept {
    return FourCc::FromString(code).Widen();
}

// Parses "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" at compile time.
constexpr BoxType Uuid(std::string_view text) noexcept {
    auto nibble = [](char c) -> std::uint8_t {
        if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
        if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
        if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
        return 0;
    };
    std::array<std::uint8_t, 16> bytes{};
    std::size_t out = 0;
    for (std::size_t i = 0; i + 1 < text.size() && out < 16;) {
        if (text[i] == '-') {
            ++i;
            continue;
        }
        bytes[out++] = static_cast<std::uint8_t>(nibble(text[i]) << 4 | nibble(text[i + 1]));
        i += 2;
    }
    return BoxType(bytes);
}

// Extended types of the "uuid" boxes the reader knows.
inline constexpr BoxType kXmpUuid = Uuid("BE7ACFCB-97A9-42E8-9C71-999491E3AFAC");
inline constexpr BoxType kJp2ExifAsciiUuid = BoxType::FromString("JpgTiffExif->JP2");
inline constexpr BoxType kJp2ExifUuid = Uuid("0537CDAB-9D0C-4431-A72A-FA561F2A113E");
inline constexpr BoxType kGeoJp2Uuid = Uuid("B14BF8BD-083D-4B43-A5AE-8CD7D5A6CE03");
inline constexpr BoxType kCanonUuid = Uuid("85C0B687-820F-11E0-8111-F4CE462B6A48");

}  // namespace meta::isobmff
