#include "varrow/blocks/xmp/xmp_deserialise.h"

#include <utility>
#include <vector>

#include "varrow/fields/field_database.h"
#include "varrow/values/date_time.h"
#include "varrow/values/xmp_type.h"
#include "varrow/xmp_out/xmp_namespaces.h"

namespace meta::xmp {

namespace {

constexpr char const* kDublinCore = "http://purl.org/dc/elements/1.1/";

bool IsCompound(std::uint32_t bits) {
    return (bits & options::kPropCompositeMask) != 0;
}

bool RemoveStructuredDescription(TXMPMeta<std::string>& meta) {
    std::uint32_t bits = 0;
    if (!meta.GetProperty(kDublinCore, "description", nullptr, &bits)) return false;
    if ((bits & options::kPropArrayIsAltText) == 0) return false;
    std::uint32_t first = 0;
    if (!meta.GetProperty(kDublinCore, "description[1]", nullptr, &first)) return false;
    if ((first & (options::kPropValueIsStruct | options::kPropValueIsArray)) == 0) return false;
    meta.DeleteProperty(kDublinCore, "description");
    return true;
}

struct Fix {
    std::string ns;
    std::string path;
    std::string value;  // replacement text; empty for a removal
    bool remove = false;
};

// Checks the top-level simple properties of known schemas against their
// definitions. Changes are collected first: the tree must not change while
// it is walked.
std::vector<Fix> CollectFixes(TXMPMeta<std::string> const& meta) {
    std::vector<Fix> fixes;
    std::vector<std::string> schemas;
    {
        TXMPIterator<std::string> it(meta, nullptr, nullptr, options::kIterJustChildren);
        std::string ns;
        while (it.Next(&ns, nullptr, nullptr, nullptr)) schemas.push_back(ns);
    }
    for (std::string const& ns : schemas) {
        FieldGroup const group = GetFieldGroupFromNsUri(ns);
        if (group == FieldGroup::Unknown) continue;
        TXMPIterator<std::string> it(meta, ns.c_str(), nullptr, options::kIterJustChildren);
        std::string path, value;
        std::uint32_t bits = 0;
        while (it.Next(nullptr, &path, &value, &bits)) {
            if (IsCompound(bits)) continue;
            std::size_t const colon = path.find(':');
            std::string_view const name = colon == std::string::npos
                                              ? std::string_view(path)
                                              : std::string_view(path).substr(colon + 1);
            XmpField const* field = FieldDatabase<XmpField>::UnconditionalFind(name, group);
            if (field == nullptr) continue;
            XmpType const type = field->overrideFormat;
            if (type == XmpType::Date) {
                DateTime const date = DateTime::FromString(value);
                if (!date) continue;
                std::string normalised = ToString(date, '-', 'T');
                if (normalised != value) fixes.push_back({ns, path, std::move(normalised), false});
            } else if (type == XmpType::OrderedArray || type == XmpType::UnorderedArray ||
                       type == XmpType::AlternativeArray || type == XmpType::Structure) {
                fixes.push_back({ns, path, std::string(), true});
            }
        }
    }
    return fixes;
}

}  // namespace

bool NormaliseParsedTree(TXMPMeta<std::string>& meta) {
    bool changed = RemoveStructuredDescription(meta);
    for (Fix const& fix : CollectFixes(meta)) {
        if (fix.remove) {
            meta.DeleteProperty(fix.ns.c_str(), fix.path.c_str());
        } else {
            meta.SetProperty(fix.ns.c_str(), fix.path.c_str(), fix.value.c_str());
        }
        changed = true;
    }
    return changed;
}

TXMPMeta<std::string> DeserialiseRdf(char const* packet, unsigned long size, bool* changed) {
    TXMPMeta<std::string> meta(packet, size);
    bool const normalised = NormaliseParsedTree(meta);
    if (changed != nullptr) *changed = normalised;
    return meta;
}

TXMPMeta<std::string> DeserialiseRdf(std::string const& packet, bool* changed) {
    return DeserialiseRdf(packet.data(), packet.size(), changed);
}

TXMPMeta<std::string> DeserialiseRdf(std::string_view const& packet, bool* changed) {
    return DeserialiseRdf(packet.data(), packet.size(), changed);
}

void DeserialiseRdfChunk(TXMPMeta<std::string>& meta, char const* chunk, unsigned long size) {
    meta.ParseFromBuffer(chunk, size, options::kParseMoreBuffers);
}

void DeserialiseRdfComplete(TXMPMeta<std::string>& meta, bool* changed) {
    meta.ParseFromBuffer(nullptr, 0, 0);
    bool const normalised = NormaliseParsedTree(meta);
    if (changed != nullptr) *changed = normalised;
}

}  // namespace meta::xmp
