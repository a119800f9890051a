#include "varrow/formats/jpeg/jpeg_display_texts.h"

#include <array>
#include <string_view>

namespace meta {
namespace {

std::string Unknown(long long n) {
    return "Unknown (" + std::to_string(n) + ")";
}

}  // namespace

std::string JpegEncodingProcessText(std::int32_t process) {
    // Indexed by SOFn marker minus 0xC0; 4, 8 and 12 are not frame markers.
    static constexpr std::array<std::string_view, 16> kTexts{
        "Baseline DCT, Huffman coding",
        "Extended sequential DCT, Huffman coding",
        "Progressive DCT, Huffman coding",
        "Lossless, Huffman coding",
        {},
        "Sequential DCT, differential Huffman coding",
        "Progressive DCT, differential Huffman coding",
        "Lossless, Differential Huffman coding",
        {},
        "Extended sequential DCT, arithmetic coding",
        "Progressive DCT, arithmetic coding",
        "Lossless, arithmetic coding",
        {},
        "Sequential DCT, differential arithmetic coding",
        "Progressive DCT, differential arithmetic coding",
        "Lossless, differential arithmetic coding",
    };
    if (process >= 0 && process < 16 && !kTexts[static_cast<std::size_t>(process)].empty()) {
        return std::string(kTexts[static_cast<std::size_t>(process)]);
    }
    return Unknown(process);
}

std::string JpegSubSamplingText(std::uint32_t horizontal, std::uint32_t vertical) {
    struct Named {
        std::uint32_t h, v;
        std::string_view scheme;
    };
    static constexpr std::array<Named, 8> kSchemes{{
        {1, 1, "4:4:4"},
        {1, 2, "4:4:0"},
        {1, 4, "4:4:1"},
        {2, 1, "4:2:2"},
        {2, 2, "4:2:0"},
        {2, 4, "4:2:1"},
        {4, 1, "4:1:1"},
        {4, 2, "4:1:0"},
    }};
    std::string const pair = std::to_string(horizontal) + ' ' + std::to_string(vertical);
    for (Named const& named : kSchemes) {
        if (named.h == horizontal && named.v == vertical) {
            return "YCbCr" + std::string(named.scheme) + " (" + pair + ")";
        }
    }
    return pair;
}

std::string JfifResolutionUnitText(std::uint32_t unit) {
    switch (unit) {
        case 0: return "None";
        case 1: return "inches";
        case 2: return "cm";
        default: return Unknown(unit);
    }
}

}  // namespace meta
