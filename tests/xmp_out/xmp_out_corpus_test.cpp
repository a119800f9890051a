// The corpus JPEG files written as XMP and parsed back: every property that
// one item alone maps to must carry that item's text.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

#include "blocks/xmp_test_packets.h"
#include "support/corpus_files.h"
#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/fields/field_database.h"
#include "varrow/items/xmp_metadatum.h"
#include "varrow/values/xmp_type.h"
#include "varrow/xmp_out/xmp_namespaces.h"
#include "varrow/xmp_out/xmp_property_map.h"

namespace meta {
namespace {

namespace fs = std::filesystem;
using Tree = xmp::TXMPMeta<std::string>;
using xmp::TXMPIterator;

bool IsXmpItem(Metadatum const& item) {
    if (item.GetNamespace() != FieldNamespace::Xmp) return false;
    try {
        item.As<XmpMetadatum>();
        return true;
    } catch (std::bad_cast const&) {
        return false;
    }
}

// Properties declared as plain text, which take a display string unchanged.
bool IsTextType(XmpType type) {
    switch (type) {
        case XmpType::Simple:
        case XmpType::Text:
        case XmpType::AgentName:
        case XmpType::Locale:
        case XmpType::MimeType:
        case XmpType::ProperName:
        case XmpType::Uri:
        case XmpType::Url: return true;
        default: return false;
    }
}

// XML 1.0 has no way to hold control characters other than tab, line feed
// and carriage return; a packet carries each of them as a space.
std::string AsXmlText(std::string text) {
    for (char& c : text) {
        auto const u = static_cast<unsigned char>(c);
        if (u < 0x20 && c != '\t' && c != '\n' && c != '\r') c = ' ';
    }
    return text;
}

struct Expectation {
    std::string ns;
    std::string path;
    std::string text;
};

// What the tree must hold for an item that is alone in mapping to its
// property, when its value is plain text; nothing otherwise.
std::optional<Expectation> Expect(Metadatum const& item, xmp::FieldNameMapEntry const& entry) {
    if (IsXmpItem(item)) {
        Value const& raw = item.GetRawValue();
        std::string_view const ns = xmp::GetNsUriFromFieldGroup(item.GetGroup());
        if (ns.empty() || !raw.Exists(Value::Type::String) || raw.Get<std::string>().empty())
            return std::nullopt;
        return Expectation{std::string(ns), item.GetId(), raw.Get<std::string>()};
    }
    XmpField const* field = FieldDatabase<XmpField>::UnconditionalFind(entry.name, entry.group);
    if (field == nullptr || !IsTextType(field->overrideFormat) || field->inverseDisplayConversion ||
        field->inverseValueConversion || field->inverseRawConversion ||
        item.GetAffinity() != ValueAffinity::Display) {
        return std::nullopt;
    }
    Value const& display = item.GetDisplayValue();
    if (!display.Exists(Value::Type::String) || display.Get<std::string>().empty()) return std::nullopt;
    return Expectation{std::string(xmp::GetNsUriFromFieldGroup(entry.group)), std::string(entry.name),
                       display.Get<std::string>()};
}

TEST(XmpOutCorpus, PropertiesCarryTheTextOfTheirItems) {
    std::vector<fs::path> const files = test::CorpusFiles("files", {".jpg", ".jpeg"});
    if (files.empty()) GTEST_SKIP() << "no corpus at " << VARROW_CORPUS_DIR;
    ASSERT_TRUE(test::XmpToolkit()->XmpOkay());
    std::size_t checkedFiles = 0, checkedXmp = 0, checkedMapped = 0;
    for (fs::path const& file : files) {
        Metadata md(test::XmpToolkit());
        try {
            md.Read(file.string(), ReadSource::Jpeg, Options{});
        } catch (xmp::XMP_Error const&) {
            continue;  // a malformed packet ends the read by design
        }
        // Items grouped by the property they map to.
        std::map<xmp::FieldNameMapEntry, std::vector<Metadatum>> byProperty;
        for (Metadatum const& item : md.GetOrderedView()) {
            xmp::FieldNameMapEntry const& entry = xmp::MapGroupToField(item.GetGroup(), item.GetName());
            if (entry.group != FieldGroup::Unknown) byProperty[entry].push_back(item);
        }
        std::string const rdf = md.ToXmp(Options{}, xmp::RdfSerialisationMode::FullPacket);
        if (byProperty.empty()) continue;
        ASSERT_FALSE(rdf.empty()) << file;
        Tree back;
        ASSERT_NO_THROW(back = Tree(rdf.data(), rdf.size())) << file;
        ++checkedFiles;
        // The toolkit's own nodes; a property that reads back without being
        // one is an alias of another schema's (tiff:Software is
        // xmp:CreatorTool), which the item owning that one may overwrite.
        std::set<std::pair<std::string, std::string>> nodes;
        {
            TXMPIterator<std::string> schemas(back, nullptr, nullptr, xmp::options::kIterJustChildren);
            std::string ns, path;
            std::vector<std::string> uris;
            while (schemas.Next(&ns, nullptr, nullptr, nullptr)) uris.push_back(ns);
            for (std::string const& uri : uris) {
                TXMPIterator<std::string> properties(back, uri.c_str(), nullptr,
                                                     xmp::options::kIterJustChildren);
                while (properties.Next(nullptr, &path, nullptr, nullptr))
                    nodes.emplace(uri, path.substr(path.find(':') + 1));
            }
        }
        for (auto const& [entry, items] : byProperty) {
            // Flash becomes a structure; competing items are decided by
            // priority, which the collection tests cover.
            if (items.size() != 1 || entry.name == "Flash") continue;
            std::optional<Expectation> const expected = Expect(items.front(), entry);
            if (!expected) continue;
            std::string text;
            EXPECT_TRUE(back.GetProperty(expected->ns.c_str(), expected->path.c_str(), &text, nullptr))
                << file << ": " << expected->path;
            if (!nodes.contains({expected->ns, expected->path})) continue;
            EXPECT_EQ(text, AsXmlText(expected->text)) << file << ": " << expected->path;
            ++(IsXmpItem(items.front()) ? checkedXmp : checkedMapped);
        }
    }
    // The corpus has hundreds of files with EXIF and XMP: the checks must
    // have run, for both kinds of item.
    EXPECT_GT(checkedFiles, 100u);
    EXPECT_GT(checkedXmp, 100u);
    EXPECT_GT(checkedMapped, 300u);
    std::cout << checkedFiles << " files, " << checkedXmp << " XMP and " << checkedMapped
              << " mapped properties checked\n";
}

}  // namespace
}  // namespace meta
