#include "varrow/formats/bmp/bmp_processor.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/fields/display_lookups.h"
#include "varrow/fields/lookups/typed_enum_values.h"
#include "varrow/formats/webp/little_endian.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

ProcessorRegistration<BmpProcessor> const kRegistration("BMP document");

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoAt = kFileHeaderSize;  // the info header follows the file header
constexpr std::size_t kMinimumSize = 26;          // through the height of every layout
constexpr std::size_t kLargestInfoHeader = 124;   // BITMAPV5HEADER
constexpr std::uint32_t kOs2V1HeaderSize = 12;

// The info header as far as it was read; fields past its end are absent.
class InfoHeader {
  public:
    InfoHeader(std::string_view bytes, std::size_t declared)
        : bytes_(bytes.substr(0, std::min(bytes.size(), declared))) {}

    bool Has(std::size_t at, std::size_t width) const { return at + width <= bytes_.size(); }
    std::uint16_t U16(std::size_t at) const { return detail::LittleEndian16(bytes_, at); }
    std::uint32_t U32(std::size_t at) const { return detail::LittleEndian32(bytes_, at); }
    std::string_view Bytes(std::size_t at, std::size_t n) const { return bytes_.substr(at, n); }

  private:
    std::string_view bytes_;
};

std::string LookUp(char const* lookup, long long code, EnumValuesOnFail onFail) {
    return DisplayLookups::SafeGetImpl<detail::EnumValuesImpl<long long>>(lookup).DirectLookup(code, onFail);
}

std::string Hex32(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", v);
    return text;
}

// A colour space type is either a small code or four letters stored as a
// little-endian number ("sRGB" reads "BGRs").
std::string ColourSpaceText(std::uint32_t v) {
    std::string code;
    if (v < 256) {
        code = std::to_string(v);
    } else {
        for (int shift = 24; shift >= 0; shift -= 8) code.push_back(static_cast<char>((v >> shift) & 0xFFu));
    }
    auto const& lookup = DisplayLookups::SafeGetImpl<detail::EnumValuesImpl<std::string>>("BmpColorSpace");
    return lookup.DirectLookup(code, EnumValuesOnFail::Identity);
}

// A CIE XYZ triple of 2.30 fixed-point numbers.
std::string Endpoint(InfoHeader const& info, std::size_t at) {
    char text[96];
    std::snprintf(text, sizeof text, "%.6f %.6f %.6f", info.U32(at) / 1073741824.0,
                  info.U32(at + 4) / 1073741824.0, info.U32(at + 8) / 1073741824.0);
    return text;
}

// A 16.16 fixed-point gamma, to the five decimals it can carry.
double Gamma(std::uint32_t v) {
    return std::round(v / 65536.0 * 1e5) / 1e5;
}

}  // namespace

ReadResult BmpProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                              FieldGroup group) {
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);

    std::istream& in = source.Yield();
    std::array<char, kFileHeaderSize + kLargestInfoHeader> header{};
    in.read(header.data(), static_cast<std::streamsize>(header.size()));
    auto const got = static_cast<std::size_t>(in.gcount());
    // A short file has hit its end; the profile reader positions again.
    in.clear();
    if (got < kMinimumSize || header[0] != 'B' || header[1] != 'M') return ReadResult::Error;
    std::string_view const bytes(header.data(), got);
    std::uint32_t const declared = detail::LittleEndian32(bytes, kInfoAt);
    InfoHeader const info(bytes.substr(kInfoAt), declared);

    auto const add = [&metadata](char const* name, Value value) {
        return metadata.Add(FieldGroup::Bmp, name, std::move(value), ValueAffinity::Display);
    };
    bool ok = true;
    if (declared == kOs2V1HeaderSize) {
        // OS/2 1.x: 16-bit unsigned sizes.
        ok = add("ImageWidth", std::uint32_t{detail::LittleEndian16(bytes, 18)});
        ok = add("ImageHeight", std::uint32_t{detail::LittleEndian16(bytes, 20)}) && ok;
    } else {
        auto const width = static_cast<std::int32_t>(detail::LittleEndian32(bytes, 18));
        auto const height = static_cast<std::int32_t>(detail::LittleEndian32(bytes, 22));
        // A top-down bitmap stores a negative height; |INT32_MIN| still fits
        // the unsigned item.
        auto const absHeight = static_cast<std::uint32_t>(std::llabs(static_cast<long long>(height)));
        ok = add("ImageWidth", static_cast<std::uint32_t>(width));
        ok = add("ImageHeight", absHeight) && ok;
    }
    if (!ok) return ReadResult::Error;

    // The remaining header facts, each only when the header holds it.
    if (info.Has(0, 4)) add("BMPVersion", LookUp("BmpBMPVersion", declared, EnumValuesOnFail::Identity));
    if (declared == kOs2V1HeaderSize) {
        if (info.Has(8, 2)) add("Planes", info.U16(8));
        if (info.Has(10, 2)) add("BitDepth", info.U16(10));
        return ReadResult::Success;
    }
    if (info.Has(12, 2)) add("Planes", info.U16(12));
    if (info.Has(14, 2)) add("BitDepth", info.U16(14));
    // OS/2 2.x headers share the Windows layout only this far.
    if (declared == 64) return ReadResult::Success;
    if (info.Has(16, 4))
        add("Compression", LookUp("BmpCompression", info.U32(16), EnumValuesOnFail::Identity));
    if (info.Has(20, 4)) add("ImageLength", info.U32(20));
    if (info.Has(24, 4)) add("PixelsPerMeterX", info.U32(24));
    if (info.Has(28, 4)) add("PixelsPerMeterY", info.U32(28));
    if (info.Has(32, 4)) {
        std::uint32_t const colours = info.U32(32);
        add("NumColors", colours == 0 ? Value("Use BitDepth") : Value(colours));
    }
    if (info.Has(36, 4)) {
        std::uint32_t const important = info.U32(36);
        add("NumImportantColors", important == 0 ? Value("All") : Value(important));
    }
    // A plain V3 header ends here; the masks after it belong to the pixel data.
    if (declared <= 40) return ReadResult::Success;
    char const* const masks[] = {"RedMask", "GreenMask", "BlueMask", "AlphaMask"};
    for (std::size_t i = 0; i < 4; ++i) {
        if (info.Has(40 + 4 * i, 4)) add(masks[i], Hex32(info.U32(40 + 4 * i)));
    }
    if (!info.Has(56, 4)) return ReadResult::Success;
    std::uint32_t const colourSpace = info.U32(56);
    add("ColorSpace", ColourSpaceText(colourSpace));
    // Endpoints and gamma matter only for a calibrated space.
    if (colourSpace == 0 && info.Has(60, 48)) {
        add("RedEndpoint", Endpoint(info, 60));
        add("GreenEndpoint", Endpoint(info, 72));
        add("BlueEndpoint", Endpoint(info, 84));
        add("GammaRed", Gamma(info.U32(96)));
        add("GammaGreen", Gamma(info.U32(100)));
        add("GammaBlue", Gamma(info.U32(104)));
    }
    if (!info.Has(108, 16)) return ReadResult::Success;
    add("RenderingIntent", LookUp("BmpRenderingIntent", info.U32(108), EnumValuesOnFail::Identity));
    std::uint32_t const profileOffset = info.U32(112);
    std::uint32_t const profileSize = info.U32(116);
    bool const linked = colourSpace == 0x4C494E4Bu;    // "LINK"
    bool const embedded = colourSpace == 0x4D424544u;  // "MBED"
    if (!linked && !embedded) return ReadResult::Success;
    add("ProfileDataOffset", profileOffset);
    add("ProfileSize", profileSize);
    return ReadProfile(source, store, metadata,
                       static_cast<std::streamoff>(kInfoAt) + std::streamoff{profileOffset}, profileSize,
                       linked);
}

ReadResult BmpProcessor::ReadProfile(DataSource& source, std::shared_ptr<ReadStore> const& store,
                                     Metadata& metadata, std::streamoff at, std::uint32_t size, bool linked) {
    // A profile that is not there (cut off, or pointing outside the file) is
    // not worth failing the read for: the header has been read.
    if (size == 0 || !source.AutoProvision(std::streampos(at), size)) return ReadResult::Success;
    source.MarkAsUsable(size);
    if (linked) {
        // The file name of the profile, NUL-terminated.
        std::string_view name = source.AsStringView().substr(0, size);
        name = name.substr(0, name.find('\0'));
        if (!name.empty())
            metadata.Add(FieldGroup::Bmp, "LinkedProfileName", std::string(name), ValueAffinity::Display);
        return ReadResult::Success;
    }
    std::unique_ptr<Processor> const icc =
        ProcessorRegistry::CreateProcessor(ProcessorRegistry::FindByName("ICC Profile"), GetOptions());
    if (!icc) return ReadResult::Success;
    ReadResult const result = SafeRead(icc.get(), source, store, metadata, FieldGroup::IccProfile, 0);
    if (result == ReadResult::Fatal || (result == ReadResult::Error && GetOptions().stopOnError))
        return result;
    return ReadResult::Success;
}

}  // namespace meta
