#include "varrow/values/conversions/bits.h"

namespace meta::detail {

namespace {

template <typename Name>
std::string JoinSetBits(const std::vector<int>& words, std::uint8_t bitsPerWord, const char* separator,
                        Name name) {
    const unsigned width = bitsPerWord == 0 || bitsPerWord > 32 ? 32U : bitsPerWord;
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto word = static_cast<std::uint32_t>(words[i]);
        for (unsigned b = 0; b < width; ++b) {
            if ((word >> b & 1U) == 0) continue;
            if (!out.empty()) out += separator;
            out += name(static_cast<int>(i * width + b));
        }
    }
    return out.empty() ? "(none)" : out;
}

}  // namespace

std::string DecodeBits(const std::vector<int>& words, std::uint8_t bitsPerWord) {
    return JoinSetBits(words, bitsPerWord, ", ", [](int n) { return std::to_string(n); });
}

std::string DecodeBitsAsStr(const std::vector<int>& words, const std::map<int, std::string>& names,
                            std::uint8_t bitsPerWord, const char* separator) {
    return JoinSetBits(words, bitsPerWord, separator != nullptr ? separator : ", ", [&](int n) {
        const auto it = names.find(n);
        if (it != names.end()) return it->second;
        // Appended piecewise: g++ 12 at -O3 warns falsely (-Wrestrict) on
        // a literal + std::string concatenation here.
        std::string unnamed = "[";
        unnamed += std::to_string(n);
        unnamed += ']';
        return unnamed;
    });
}

std::string UnpackHexBits(const meta::byte* data, std::size_t size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string out;
    if (data == nullptr) return out;
    out.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned>(data[i]);
        out += kDigits[b >> 4];
        out += kDigits[b & 15U];
    }
    return out;
}

}  // namespace meta::detail
