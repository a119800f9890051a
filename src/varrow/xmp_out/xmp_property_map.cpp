#include "varrow/xmp_out/xmp_property_map.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <span>
#include <tuple>

#include "varrow/xmp_out/xmp_property_map_impl.h"

namespace meta::xmp {
namespace {

struct DirectRow {
    FieldGroup source;
    std::string_view name;  // the item name, matched exactly
    FieldNameMapEntry entry;
};

constexpr bool DirectLess(const DirectRow& a, const DirectRow& b) {
    return std::tie(a.source, a.name) < std::tie(b.source, b.name);
}

// Items whose names say nothing about the property they belong to: the IPTC
// IIM datasets and the lens-correction flags of some makers.
constexpr auto BuildDirectRows() {
    using G = FieldGroup;
    std::array rows{
        DirectRow{G::IptcApplication, "City", {G::XmpPhotoshop, "City"}},
        DirectRow{G::IptcApplication, "Country-PrimaryLocationName", {G::XmpPhotoshop, "Country"}},
        DirectRow{G::IptcApplication, "Country-PrimaryLocationCode", {G::XmpIptcCore, "CountryCode"}},
        DirectRow{G::IptcApplication, "Caption-Abstract", {G::XmpDc, "description"}},
        DirectRow{G::IptcApplication, "Headline", {G::XmpPhotoshop, "Headline"}},
        DirectRow{G::IptcApplication, "ObjectAttributeReference", {G::XmpIptcCore, "IntellectualGenre"}},
        DirectRow{G::IptcApplication, "Keywords", {G::XmpDc, "subject"}},
        DirectRow{G::IptcApplication, "Province-State", {G::XmpPhotoshop, "State"}},
        DirectRow{G::IptcApplication, "SubjectReference", {G::XmpIptcCore, "SubjectCode"}},
        DirectRow{G::IptcApplication, "Sub-location", {G::XmpIptcCore, "Location"}},
        DirectRow{G::IptcApplication, "DateCreated", {G::XmpPhotoshop, "DateCreated"}},
        DirectRow{G::IptcApplication, "Writer-Editor", {G::XmpPhotoshop, "CaptionWriter"}},
        DirectRow{G::IptcApplication, "SpecialInstructions", {G::XmpPhotoshop, "Instructions"}},
        DirectRow{
            G::IptcApplication, "OriginalTransmissionReference", {G::XmpPhotoshop, "TransmissionReference"}},
        DirectRow{G::IptcApplication, "ObjectName", {G::XmpDc, "title"}},
        DirectRow{G::IptcApplication, "CopyrightNotice", {G::XmpDc, "rights"}},
        DirectRow{G::IptcApplication, "By-line", {G::XmpDc, "creator"}},
        DirectRow{G::IptcApplication, "By-lineTitle", {G::XmpPhotoshop, "AuthorsPosition"}},
        DirectRow{G::IptcApplication, "Credit", {G::XmpPhotoshop, "Credit"}},
        DirectRow{G::IptcApplication, "Source", {G::XmpPhotoshop, "Source"}},
        DirectRow{G::IptcApplication, "Contact", {G::XmpIptcCore, "ContactInfoDetails"}},
        DirectRow{
            G::PentaxLensCorr, "DistortionCorrection", {G::XmpAux, "DistortionCorrectionAlreadyApplied"}},
        DirectRow{G::PentaxLensCorr,
                  "ChromaticAberrationCorrection",
                  {G::XmpAux, "LateralChromaticAberrationCorrectionAlreadyApplied"}},
        DirectRow{
            G::PentaxLensCorr, "PeripheralIlluminationCorr", {G::XmpAux, "VignetteCorrectionAlreadyApplied"}},
        DirectRow{G::Composite,
                  "SonyDistortionCorrectionApplied",
                  {G::XmpAux, "DistortionCorrectionAlreadyApplied"}},
        DirectRow{G::Composite,
                  "SonyChromaticAberrationCorrectionApplied",
                  {G::XmpAux, "LateralChromaticAberrationCorrectionAlreadyApplied"}},
        DirectRow{
            G::Composite, "SonyVignettingCorrectionApplied", {G::XmpAux, "VignetteCorrectionAlreadyApplied"}},
        DirectRow{G::Composite,
                  "NikonVignettingCorrectionApplied",
                  {G::XmpAux, "VignetteCorrectionAlreadyApplied"}},
    };
    std::sort(rows.begin(), rows.end(), DirectLess);
    return rows;
}

constexpr auto kDirectRows = BuildDirectRows();

constexpr bool HasUniqueDirectKeys() {
    for (std::size_t i = 1; i < kDirectRows.size(); ++i)
        if (!DirectLess(kDirectRows[i - 1], kDirectRows[i])) return false;
    return true;
}
static_assert(HasUniqueDirectKeys(), "an item is mapped twice");

constexpr FieldNameMapEntry kNoMatch{};

const FieldNameMapEntry* FindDirect(FieldGroup group, std::string_view name) {
    const DirectRow probe{group, name, {}};
    auto it = std::lower_bound(kDirectRows.begin(), kDirectRows.end(), probe, DirectLess);
    if (it == kDirectRows.end() || it->source != group || it->name != name) return nullptr;
    return &it->entry;
}

constexpr char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

const FieldNameMapEntry* FindGeneral(std::string_view name) {
    if (name.size() > detail::kPropertyKeyCapacity) return nullptr;  // longer than every key
    std::array<char, detail::kPropertyKeyCapacity> buffer;
    std::transform(name.begin(), name.end(), buffer.begin(), AsciiLower);
    const std::string_view key(buffer.data(), name.size());

    const auto rows = detail::GeneralPropertyRows();
    auto [first, last] = std::equal_range(rows.begin(), rows.end(), detail::PropertyMapRow{key, {}},
                                          [](const auto& a, const auto& b) { return a.key < b.key; });
    if (first == last) return nullptr;
    // Rows of one key in the order they are tried: the first current one
    // wins, and only when every row is deprecated the last of them.
    auto current = std::find_if(first, last, [](const auto& row) { return !row.entry.deprecated; });
    return current != last ? &current->entry : &std::prev(last)->entry;
}

}  // namespace

const FieldNameMapEntry& MapGroupToField(FieldGroup group, std::string_view name) {
    if (const FieldNameMapEntry* entry = FindDirect(group, name)) return *entry;
    if (const FieldNameMapEntry* entry = FindGeneral(name)) return *entry;
    return kNoMatch;
}

}  // namespace meta::xmp
