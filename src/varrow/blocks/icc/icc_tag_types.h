#pragma once

// How the tag types of an ICC profile that become items are laid out. Tag
// data starts with a 4-byte type signature and 4 reserved bytes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "varrow/values/exif_type.h"

namespace meta::detail {

// Where the value of a fixed-layout tag lies within the tag's data and how
// it is read.
struct IccTagLayout {
    ExifType format = ExifType::Unknown;
    std::uint32_t count = 0;
    std::uint32_t offset = 0;  // from the tag's first byte
};

// The layout of a tag of `type` whose data (`tag`, type signature first) is
// the tag's bytes. Nothing for types that are passed over, for tags too
// short for their type and for "desc" text whose length field claims more
// than 4 bytes beyond the tag (a smaller excess is cut at the tag's end). "mluc" is not a fixed layout (see
// icc_mluc.h).
std::optional<IccTagLayout> GetIccTagLayout(std::string_view tag) noexcept;

// Type signature of multi-localised Unicode text.
inline constexpr std::string_view kIccMlucType = "mluc";

// Big-endian 32-bit number at `at`; the caller checks the bounds.
inline std::uint32_t IccBigEndian32(std::string_view bytes, std::size_t at) noexcept {
    auto const b = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i]));
    };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

}  // namespace meta::detail
