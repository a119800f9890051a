#include "varrow/blocks/icc/icc_tag_types.h"

#include <array>

namespace meta::detail {

namespace {

constexpr std::uint32_t kTypeHeader = 8;  // type signature and reserved bytes

// Arrays of one element type that fill the tag after its type header.
struct ArrayType {
    std::string_view signature;
    ExifType format;
    std::uint32_t elementSize;
};

constexpr std::array<ArrayType, 5> kArrayTypes = {{
    {"sf32", ExifType::SLongFixed, 4},
    {"uf32", ExifType::LongFixed, 4},
    {"ui08", ExifType::Byte, 1},
    {"ui32", ExifType::Long, 4},
    {"text", ExifType::Ascii, 1},
}};

}  // namespace

std::optional<IccTagLayout> GetIccTagLayout(std::string_view tag) noexcept {
    if (tag.size() < kTypeHeader) return std::nullopt;
    std::string_view const type = tag.substr(0, 4);
    auto const size = static_cast<std::uint32_t>(tag.size());
    for (ArrayType const& array : kArrayTypes) {
        if (type == array.signature) {
            return IccTagLayout{array.format, (size - kTypeHeader) / array.elementSize, kTypeHeader};
        }
    }
    if (type == "desc") {
        // Classic text description: ASCII length (with its NUL), then the
        // text; Unicode and ScriptCode parts follow and are not read.
        constexpr std::uint32_t kTextAt = kTypeHeader + 4;
        if (size < kTextAt) return std::nullopt;
        // Writers get the length slightly wrong now and then: a claim of up
        // to 4 bytes beyond the tag is read up to the tag's end, a larger one
        // is not trusted at all.
        std::uint64_t const length = IccBigEndian32(tag, kTypeHeader);
        if (length > std::uint64_t{size} + 4) return std::nullopt;
        std::uint32_t const available = size - kTextAt;
        return IccTagLayout{ExifType::Ascii,
                            length < available ? static_cast<std::uint32_t>(length) : available, kTextAt};
    }
    return std::nullopt;
}

}  // namespace meta::detail
