#include "varrow/api/read_source.h"

#include <array>
#include <cstring>
#include <ostream>
#include <string_view>
#include <unordered_map>

namespace meta {
namespace {

struct ExtensionMapping {
    char const* extension;
    ReadSource source;
};

// Lower-case extensions (without the dot) and the type each one selects.
constexpr std::array<ExtensionMapping, 55> kExtensions{{
    {"jpg", ReadSource::Jpeg},    {"jpeg", ReadSource::Jpeg},   {"png", ReadSource::Png},
    {"bmp", ReadSource::Bmp},     {"tif", ReadSource::Tiff},    {"tiff", ReadSource::Tiff},
    {"gif", ReadSource::Gif},     {"xmp", ReadSource::Xmp},     {"exr", ReadSource::Exr},
    {"hdr", ReadSource::Hdr},     {"webp", ReadSource::Webp},   {"lfp", ReadSource::Lytro},
    {"crw", ReadSource::Crw},     {"x3f", ReadSource::X3f},     {"3fr", ReadSource::_fr},
    {"arw", ReadSource::Arw},     {"cr2", ReadSource::Cr2},     {"dcr", ReadSource::Dcr},
    {"dng", ReadSource::Dng},     {"gpr", ReadSource::Dng},     {"erf", ReadSource::Erf},
    {"fff", ReadSource::Fff},     {"iiq", ReadSource::Iiq},     {"k25", ReadSource::K25},
    {"kdc", ReadSource::Kdc},     {"mef", ReadSource::Mef},     {"mrw", ReadSource::Mrw},
    {"mos", ReadSource::Mos},     {"nef", ReadSource::Nef},     {"nefx", ReadSource::Nef},
    {"nrw", ReadSource::Nrw},     {"orf", ReadSource::Orf},     {"pef", ReadSource::Pef},
    {"r3d", ReadSource::R3d},     {"raf", ReadSource::Raf},     {"raw", ReadSource::Raw},
    {"rw2", ReadSource::Rw2},     {"rwl", ReadSource::Rwl},     {"srf", ReadSource::Srf},
    {"sr2", ReadSource::Sr2},     {"srw", ReadSource::Srw},     {"jpegxr", ReadSource::Jpegxr},
    {"jxr", ReadSource::Jpegxr},  {"hdp", ReadSource::Jpegxr},  {"wdp", ReadSource::Jpegxr},
    {"jp2", ReadSource::Jpeg2k},  {"j2k", ReadSource::Jpeg2k},  {"jpf", ReadSource::Jpeg2k},
    {"jpx", ReadSource::Jpeg2k},  {"jpm", ReadSource::Jpeg2k},  {"mj2", ReadSource::Jpeg2k},
    {"cr3", ReadSource::Cr3},     {"heic", ReadSource::Heic},   {"hif", ReadSource::Heic},
    {"heif", ReadSource::Heif},
}};

constexpr std::array<char const*, kReadSourceCount> kNames{
    "Jpeg", "Png", "Bmp", "Tiff", "Gif",  "Xmp",  "Exr",    "Hdr",    "Webp", "Lytro", "Crw",
    "X3f",  "_fr", "Arw", "Cr2",  "Dcr",  "Dng",  "Erf",    "Fff",    "Iiq",  "K25",   "Kdc",
    "Mef",  "Mrw", "Mos", "Nef",  "Nrw",  "Orf",  "Pef",    "R3d",    "Raf",  "Raw",   "Rw2",
    "Rwl",  "Srf", "Sr2", "Srw",  "Jpegxr", "Jpeg2k", "Cr3", "Heic", "Heif"};

using ExtensionMap = std::unordered_map<std::string, ReadSource>;

ExtensionMap const& FileTypeMappings() {
    static ExtensionMap const map = [] {
        ExtensionMap m;
        m.max_load_factor(1.0f);
        for (auto const& [extension, source] : kExtensions) m.emplace(extension, source);
        return m;
    }();
    return map;
}

// Only A-Z are folded: extensions are ASCII, and any other byte simply fails
// the lookup.
void LowerAscii(std::string& text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
}

// Build the table at library load, as the extension registry always was.
[[maybe_unused]] ExtensionMap const& kWarmMappings = FileTypeMappings();

}  // namespace

ReadSource GetFileTypeFromExtension(std::string extension) {
    LowerAscii(extension);
    auto const& map = FileTypeMappings();
    auto const found = map.find(extension);
    return found == map.end() ? ReadSource::Unknown : found->second;
}

ReadSource GetFileTypeFromPath(std::string const& path) {
    auto const dot = path.rfind('.');
    if (dot == std::string::npos || dot + 1 == path.size()) return ReadSource::Unknown;
    std::string_view extension(path.data() + dot + 1, path.size() - dot - 1);
    // A path may carry an embedded NUL (from a C string buffer): the
    // extension ends there.
    extension = extension.substr(0, extension.find('\0'));
    return GetFileTypeFromExtension(std::string(extension));
}

char const* ToString(ReadSource source) {
    auto const n = static_cast<int>(source);
    if (n < 0 || n >= kReadSourceCount) return "Unknown";
    return kNames[static_cast<std::size_t>(n)];
}

std::ostream& operator<<(std::ostream& out, ReadSource source) { return out << ToString(source); }

}  // namespace meta
