#include "varrow/formats/png/png_chunks.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "varrow/fields/display_lookups.h"
#include "varrow/processors/read_store.h"
#include "varrow/util/byte.h"

namespace meta {
namespace {

constexpr std::array<std::string_view, 11> kPackedChunks{"gAMA", "sRGB", "bKGD", "sBIT", "tIME", "oFFs",
                                                         "sTER", "sCAL", "PLTE", "tRNS", "hIST"};

// Chunks shown only as binary data, with their item names.
constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kBinaryChunks{{
    {"sPLT", "SuggestedPalette"},
    {"pCAL", "PixelCalibration"},
    {"fRAc", "FractalParameters"},
    {"dSIG", "DigitalSignature"},
    {"gIFg", "GIFGraphicControlExtension"},
    {"gIFt", "GIFPlainTextExtension"},
    {"gIFx", "GIFApplicationExtension"},
}};

// Byte-wise data of at most this many elements is shown as its numbers.
constexpr std::size_t kMaxListedElements = 3;

std::uint8_t U8(std::string_view d, std::size_t at) {
    return static_cast<std::uint8_t>(d[at]);
}
std::uint16_t U16(std::string_view d, std::size_t at) {
    return static_cast<std::uint16_t>(U8(d, at) << 8 | U8(d, at + 1));
}
std::uint32_t U32(std::string_view d, std::size_t at) {
    return static_cast<std::uint32_t>(U16(d, at)) << 16 | U16(d, at + 2);
}

template <class T>
std::string Join(std::vector<T> const& values, char const* separator = " ") {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i != 0) out += separator;
        out += std::to_string(values[i]);
    }
    return out;
}

std::vector<meta::byte> Bytes(std::string_view data) {
    std::vector<meta::byte> bytes(data.size());
    for (std::size_t i = 0; i < data.size(); ++i) bytes[i] = static_cast<meta::byte>(data[i]);
    return bytes;
}

std::vector<std::uint16_t> Words(std::string_view data) {
    std::vector<std::uint16_t> words(data.size() / 2);
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = U16(data, 2 * i);
    return words;
}

// Raw bytes; shown as numbers (of `wordSized` 16-bit elements or bytes) when
// short, else summarised.
PackedChunkItem Listed(std::string_view name, std::string_view data, bool wordSized) {
    std::size_t const elements = wordSized ? data.size() / 2 : data.size();
    Value display = PackedBinarySummary(data.size());
    if (elements != 0 && elements <= kMaxListedElements) {
        if (wordSized) {
            display = Value(Join(Words(data)));
        } else {
            std::vector<unsigned> values;
            for (char c : data) values.push_back(static_cast<unsigned char>(c));
            display = Value(Join(values));
        }
    }
    return {name, Value(Bytes(data)), std::move(display)};
}

std::optional<PackedChunkItem> Gamma(std::string_view data) {
    if (data.size() < 4) return std::nullopt;
    std::uint32_t const stored = U32(data, 0);
    if (stored == 0) return PackedChunkItem{"Gamma", Value(stored), Value(stored)};
    // Five significant digits: 45455 is shown as 2.2, 45453 as 2.2001.
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.5g", 100000.0 / stored);
    return PackedChunkItem{"Gamma", Value(stored), Value(std::strtod(text.data(), nullptr))};
}

// A one-byte code named by the display lookup `lookupName`.
PackedChunkItem Named(std::string_view name, char const* lookupName, std::uint8_t code, ReadStore& store) {
    Value raw(code);
    Value display = raw;
    try {
        display = detail::BindDisplayLookup(lookupName)(raw, store);
    } catch (std::exception const&) {
        // Without the lookup the number is shown.
    }
    return PackedChunkItem{name, std::move(raw), std::move(display)};
}

std::optional<PackedChunkItem> Rendering(std::string_view data, ReadStore& store) {
    if (data.empty()) return std::nullopt;
    return Named("SRGBRendering", "PngSRGBRendering", U8(data, 0), store);
}

std::optional<PackedChunkItem> Stereo(std::string_view data, ReadStore& store) {
    if (data.empty()) return std::nullopt;
    return Named("StereoMode", "PngStereoMode", U8(data, 0), store);
}

// Unit byte, then width and height as ASCII numbers separated by a NUL.
std::vector<PackedChunkItem> SubjectScale(std::string_view data, ReadStore& store) {
    std::vector<PackedChunkItem> items;
    std::size_t const separator = data.find('\0', 1);
    if (data.size() < 4 || separator == std::string_view::npos) return items;
    std::string_view const height = data.substr(separator + 1);
    Value const width{std::string(data.substr(1, separator - 1))};
    Value const heightValue{std::string(height.substr(0, height.find('\0')))};
    items.push_back(Named("SubjectUnits", "PngSubjectUnits", U8(data, 0), store));
    items.push_back({"SubjectPixelWidth", width, width});
    items.push_back({"SubjectPixelHeight", heightValue, heightValue});
    return items;
}

std::optional<PackedChunkItem> Background(std::string_view data) {
    // Palette index, grey level, or red, green and blue levels.
    if (data.size() == 1) return PackedChunkItem{"BackgroundColor", Value(U8(data, 0)), Value(U8(data, 0))};
    if (data.size() == 2) return PackedChunkItem{"BackgroundColor", Value(U16(data, 0)), Value(U16(data, 0))};
    if (data.size() >= 6) {
        std::vector<std::uint16_t> levels = Words(data.substr(0, 6));
        std::string display = Join(levels);
        return PackedChunkItem{"BackgroundColor", Value(std::move(levels)), Value(std::move(display))};
    }
    return std::nullopt;
}

std::optional<PackedChunkItem> SignificantBits(std::string_view data) {
    if (data.empty() || data.size() > 4) return std::nullopt;
    std::vector<std::uint8_t> bits(data.begin(), data.end());
    std::vector<unsigned> shown(bits.begin(), bits.end());
    return PackedChunkItem{"SignificantBits", Value(std::move(bits)), Value(Join(shown))};
}

std::optional<PackedChunkItem> ModifyDate(std::string_view data) {
    if (data.size() < 7) return std::nullopt;
    std::array<char, 48> text{};
    std::snprintf(text.data(), text.size(), "%.4u:%.2u:%.2u %.2u:%.2u:%.2u",
                  static_cast<unsigned>(U16(data, 0)), static_cast<unsigned>(U8(data, 2)),
                  static_cast<unsigned>(U8(data, 3)), static_cast<unsigned>(U8(data, 4)),
                  static_cast<unsigned>(U8(data, 5)), static_cast<unsigned>(U8(data, 6)));
    Value value{std::string(text.data())};
    return PackedChunkItem{"ModifyDate", value, value};
}

std::optional<PackedChunkItem> Offset(std::string_view data) {
    if (data.size() < 9) return std::nullopt;
    auto const x = static_cast<std::int32_t>(U32(data, 0));
    auto const y = static_cast<std::int32_t>(U32(data, 4));
    std::uint8_t const unit = U8(data, 8);
    std::string display = std::to_string(x) + ", " + std::to_string(y) +
                          (unit == 0   ? " (pixels)"
                           : unit == 1 ? " (microns)"
                                       : " (unknown)");
    return PackedChunkItem{"ImageOffset", Value(std::vector<std::int32_t>{x, y}), Value(std::move(display))};
}

std::optional<PackedChunkItem> Transparency(std::string_view data, int colourType) {
    if (data.empty()) return std::nullopt;
    // Grey and RGB images store 16-bit levels, palette images one alpha
    // byte per entry.
    bool const words = colourType == 0 || colourType == 2;
    if (words && data.size() < 2) return std::nullopt;
    return Listed("Transparency", data, words);
}

}  // namespace

bool IsPackedPngChunk(std::string_view type) {
    for (std::string_view known : kPackedChunks) {
        if (known == type) return true;
    }
    for (auto const& entry : kBinaryChunks) {
        if (entry.first == type) return true;
    }
    return false;
}

Value PackedBinarySummary(std::size_t size) {
    return Value("(Binary data " + std::to_string(size) + " bytes, use -b option to extract)");
}

std::vector<PackedChunkItem> DecodePackedChunk(std::string_view type, std::string_view data, int colourType,
                                               ReadStore& store) {
    if (type == "sCAL") return SubjectScale(data, store);
    std::optional<PackedChunkItem> item;
    if (type == "gAMA") {
        item = Gamma(data);
    } else if (type == "sRGB") {
        item = Rendering(data, store);
    } else if (type == "bKGD") {
        item = Background(data);
    } else if (type == "sBIT") {
        item = SignificantBits(data);
    } else if (type == "tIME") {
        item = ModifyDate(data);
    } else if (type == "oFFs") {
        item = Offset(data);
    } else if (type == "sTER") {
        item = Stereo(data, store);
    } else if (type == "tRNS") {
        item = Transparency(data, colourType);
    } else if (type == "PLTE") {
        if (!data.empty()) item = Listed("Palette", data, false);
    } else if (type == "hIST") {
        if (!data.empty()) item = Listed("PaletteHistogram", data, true);
    } else {
        for (auto const& [chunk, name] : kBinaryChunks) {
            if (chunk == type)
                item = PackedChunkItem{name, Value(Bytes(data)), PackedBinarySummary(data.size())};
        }
    }
    std::vector<PackedChunkItem> items;
    if (item) items.push_back(std::move(*item));
    return items;
}

}  // namespace meta
