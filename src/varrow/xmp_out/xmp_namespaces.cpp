#include "varrow/xmp_out/xmp_namespaces.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

namespace meta::xmp {
namespace {

struct NamespaceRow {
    FieldGroup group;
    const char* uri;
    // The first prefix is the preferred one; the second, when present, is an
    // alias met in files written by older software.
    std::array<const char*, 2> prefixes;
};

constexpr std::array kNamespaces{
    NamespaceRow{FieldGroup::Xmp, "http://ns.adobe.com/xap/1.0/", {"xmp"}},
    NamespaceRow{FieldGroup::XmpX, "adobe:ns:meta/", {"x"}},
    NamespaceRow{FieldGroup::XmpDc, "http://purl.org/dc/elements/1.1/", {"dc"}},
    NamespaceRow{FieldGroup::XmpRights, "http://ns.adobe.com/xap/1.0/rights/", {"xmpRights"}},
    NamespaceRow{FieldGroup::XmpNote, "http://ns.adobe.com/xmp/note/", {"xmpNote"}},
    NamespaceRow{FieldGroup::XmpMM, "http://ns.adobe.com/xap/1.0/mm/", {"xmpMM"}},
    NamespaceRow{FieldGroup::XmpBJ, "http://ns.adobe.com/xap/1.0/bj/", {"xmpBJ"}},
    NamespaceRow{FieldGroup::XmpTPg, "http://ns.adobe.com/xap/1.0/t/pg/", {"xmpTPg"}},
    NamespaceRow{FieldGroup::XmpPdf, "http://ns.adobe.com/pdf/1.3/", {"pdf"}},
    NamespaceRow{FieldGroup::XmpPhotoshop, "http://ns.adobe.com/photoshop/1.0/", {"photoshop"}},
    NamespaceRow{FieldGroup::XmpCrs, "http://ns.adobe.com/camera-raw-settings/1.0/", {"crs"}},
    NamespaceRow{FieldGroup::XmpTiff, "http://ns.adobe.com/tiff/1.0/", {"tiff"}},
    NamespaceRow{FieldGroup::XmpExif, "http://ns.adobe.com/exif/1.0/", {"exif"}},
    NamespaceRow{FieldGroup::XmpExifEx, "http://cipa.jp/exif/1.0/", {"exifEX"}},
    NamespaceRow{FieldGroup::XmpAux, "http://ns.adobe.com/exif/1.0/aux/", {"aux"}},
    NamespaceRow{FieldGroup::XmpIptcCore, "http://iptc.org/std/Iptc4xmpCore/1.0/xmlns/", {"Iptc4xmpCore"}},
    NamespaceRow{FieldGroup::XmpLightroom, "http://ns.adobe.com/lightroom/1.0/", {"lr", "lightroom"}},
    NamespaceRow{FieldGroup::XmpAlbum, "http://ns.adobe.com/album/1.0/", {"album"}},
    NamespaceRow{
        FieldGroup::PhotomechanicXmp, "http://ns.camerabits.com/photomechanic/1.0/", {"photomechanic"}},
    NamespaceRow{FieldGroup::XmpGPano, "http://ns.google.com/photos/1.0/panorama/", {"GPano"}},
    NamespaceRow{FieldGroup::XmpGSpherical, "http://ns.google.com/videos/1.0/spherical/", {"GSpherical"}},
    NamespaceRow{FieldGroup::XmpGFocus, "http://ns.google.com/photos/1.0/focus/", {"GFocus"}},
    NamespaceRow{FieldGroup::XmpCreativeCommons, "http://creativecommons.org/ns#", {"cc"}},
    NamespaceRow{FieldGroup::XmpMwgCollections,
                 "http://www.metadataworkinggroup.com/schemas/collections/",
                 {"mwg-coll"}},
};

// A key and the row it belongs to, kept in arrays sorted by key so that a
// look-up is a binary search over static data.
struct KeyedRow {
    std::string_view key;
    std::uint8_t row;
};

constexpr std::size_t CountPrefixes() {
    std::size_t n = 0;
    for (const auto& row : kNamespaces)
        for (const char* prefix : row.prefixes) n += prefix ? 1 : 0;
    return n;
}

constexpr bool KeyLess(const KeyedRow& a, const KeyedRow& b) {
    return a.key < b.key;
}

constexpr auto BuildUriIndex() {
    std::array<KeyedRow, kNamespaces.size()> index{};
    for (std::size_t i = 0; i < kNamespaces.size(); ++i)
        index[i] = {kNamespaces[i].uri, static_cast<std::uint8_t>(i)};
    std::sort(index.begin(), index.end(), KeyLess);
    return index;
}

constexpr auto BuildPrefixIndex() {
    std::array<KeyedRow, CountPrefixes()> index{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < kNamespaces.size(); ++i)
        for (const char* prefix : kNamespaces[i].prefixes)
            if (prefix) index[n++] = {prefix, static_cast<std::uint8_t>(i)};
    std::sort(index.begin(), index.end(), KeyLess);
    return index;
}

constexpr auto kUriIndex = BuildUriIndex();
constexpr auto kPrefixIndex = BuildPrefixIndex();

constexpr bool HasUniqueKeys(std::span<const KeyedRow> index) {
    return std::adjacent_find(index.begin(), index.end(), [](const KeyedRow& a, const KeyedRow& b) {
               return a.key == b.key;
           }) == index.end();
}
static_assert(HasUniqueKeys(kUriIndex), "two namespace rows share a URI");
static_assert(HasUniqueKeys(kPrefixIndex), "two namespace rows share a prefix");

const NamespaceRow* Find(std::span<const KeyedRow> index, std::string_view key) {
    auto it = std::lower_bound(index.begin(), index.end(), KeyedRow{key, 0}, KeyLess);
    if (it == index.end() || it->key != key) return nullptr;
    return &kNamespaces[it->row];
}

}  // namespace

FieldGroup GetFieldGroupFromNsUri(std::string_view uri) {
    const NamespaceRow* row = Find(kUriIndex, uri);
    return row ? row->group : FieldGroup::Unknown;
}

std::string_view GetNsUriFromFieldGroup(FieldGroup group) {
    // Few enough rows that a scan beats any index.
    for (const auto& row : kNamespaces)
        if (row.group == group) return row.uri;
    return {};
}

std::string_view GetNsPreferredPrefix(std::string_view uri) {
    const NamespaceRow* row = Find(kUriIndex, uri);
    return row ? row->prefixes[0] : std::string_view{};
}

FieldGroup GetFieldGroupFromNsPrefix(std::string_view prefix) {
    const NamespaceRow* row = Find(kPrefixIndex, prefix);
    return row ? row->group : FieldGroup::Unknown;
}

std::vector<const char*> GetExifNamespaces() {
    std::vector<const char*> uris;
    uris.reserve(5);
    for (FieldGroup group : {FieldGroup::XmpExif, FieldGroup::XmpAux, FieldGroup::XmpExifEx,
                             FieldGroup::XmpCrs, FieldGroup::XmpTiff})
        uris.push_back(GetNsUriFromFieldGroup(group).data());
    return uris;
}

}  // namespace meta::xmp
