#include "varrow/xmp_out/xmp_tree_edit.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "varrow/blocks/xmp/xmp_deserialise.h"

namespace meta::xmp {
namespace {

constexpr char const* kExifNs = "http://ns.adobe.com/exif/1.0/";

constexpr std::array<char const*, 26> kExifGpsProperties{
    "GPSVersionID",       "GPSLatitude",
    "GPSLongitude",       "GPSAltitudeRef",
    "GPSAltitude",        "GPSTimeStamp",
    "GPSSatellites",      "GPSStatus",
    "GPSMeasureMode",     "GPSDOP",
    "GPSSpeedRef",        "GPSSpeed",
    "GPSTrackRef",        "GPSTrack",
    "GPSImgDirectionRef", "GPSImgDirection",
    "GPSMapDatum",        "GPSDestLatitude",
    "GPSDestLongitude",   "GPSDestBearingRef",
    "GPSDestBearing",     "GPSDestDistanceRef",
    "GPSDestDistance",    "GPSProcessingMethod",
    "GPSAreaInformation", "GPSDifferential",
};

std::vector<std::string> SchemaUris(TXMPMeta<std::string> const& meta) {
    std::vector<std::string> uris;
    TXMPIterator<std::string> it(meta, nullptr, nullptr, options::kIterJustChildren);
    std::string ns;
    while (it.Next(&ns, nullptr, nullptr, nullptr)) uris.push_back(ns);
    return uris;
}

// Qualified paths ("xmp:Rating") of the top-level properties of one schema.
// Collected before anything is deleted: the tree must not change while it
// is walked.
std::vector<std::string> TopLevelProperties(TXMPMeta<std::string> const& meta, char const* nsUri) {
    std::vector<std::string> paths;
    if (nsUri == nullptr || *nsUri == '\0') return paths;
    std::vector<std::string> const schemas = SchemaUris(meta);
    if (std::find(schemas.begin(), schemas.end(), nsUri) == schemas.end()) return paths;
    TXMPIterator<std::string> it(meta, nsUri, nullptr, options::kIterJustChildren);
    std::string path;
    while (it.Next(nullptr, &path, nullptr, nullptr)) paths.push_back(path);
    return paths;
}

std::string_view LocalName(std::string_view name) {
    std::size_t const colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool Contains(std::vector<char const*> const& uris, std::string_view uri) {
    return std::any_of(uris.begin(), uris.end(), [&](char const* u) { return u != nullptr && uri == u; });
}

}  // namespace

bool Correct(TXMPMeta<std::string>& meta) {
    return NormaliseParsedTree(meta);
}

void RemoveExifGpsFields(TXMPMeta<std::string>& meta) {
    for (char const* name : kExifGpsProperties) meta.DeleteProperty(kExifNs, name);
}

void RemoveAllInNamespace(TXMPMeta<std::string>& meta, char const* nsUri) {
    RemoveAllInNamespaceExcept(meta, nsUri, {});
}

void RemoveAllInNamespaces(TXMPMeta<std::string>& meta, std::vector<char const*> const& nsUris) {
    for (char const* uri : nsUris) RemoveAllInNamespace(meta, uri);
}

void RemoveAllNotInNamespace(TXMPMeta<std::string>& meta, char const* nsUri) {
    RemoveAllNotInNamespaces(meta, {nsUri});
}

void RemoveAllNotInNamespaces(TXMPMeta<std::string>& meta, std::vector<char const*> const& nsUris) {
    for (std::string const& uri : SchemaUris(meta)) {
        if (!Contains(nsUris, uri)) RemoveAllInNamespace(meta, uri.c_str());
    }
}

void RemoveAllInNamespaceExcept(TXMPMeta<std::string>& meta, char const* nsUri,
                                std::vector<char const*> const& keep) {
    for (std::string const& path : TopLevelProperties(meta, nsUri)) {
        std::string_view const name = LocalName(path);
        bool const kept = std::any_of(keep.begin(), keep.end(),
                                      [&](char const* k) { return k != nullptr && LocalName(k) == name; });
        if (!kept) meta.DeleteProperty(nsUri, path.c_str());
    }
}

void MergeToplevelProperties(TXMPMeta<std::string>& target, TXMPMeta<std::string> const& source) {
    for (std::string const& uri : SchemaUris(source)) {
        for (std::string const& path : TopLevelProperties(source, uri.c_str())) {
            target.DeleteProperty(uri.c_str(), path.c_str());
            TXMPUtils<std::string>::DuplicateSubtree(source, &target, uri.c_str(), path.c_str());
        }
    }
}

}  // namespace meta::xmp
