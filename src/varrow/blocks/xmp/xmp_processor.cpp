#include "varrow/blocks/xmp/xmp_processor.h"

#include <optional>
#include <string_view>
#include <utility>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/blocks/xmp/xmp_deserialise.h"
#include "varrow/blocks/xmp/xmp_node.h"
#include "varrow/blocks/xmp/xmp_packet.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/blocks/xmp/xmp_value.h"
#include "varrow/blocks/xmp/xmp_value_generator.h"
#include "varrow/fields/field_database.h"
#include "varrow/fields/field_keys.h"
#include "varrow/io/data_source.h"
#include "varrow/items/item_priority.h"
#include "varrow/items/xmp_metadatum.h"
#include "varrow/processors/processor_registry.h"

namespace meta {

namespace {

ProcessorRegistration<XmpProcessor> const kRegistration("XMP document");

// Whether a definition's visibility lets its property through.
bool Visible(XmpField const* field, Options const& options) {
    if (field == nullptr) return !options.dropUnknownXmp;
    if (field->visibility == 0) return true;
    return field->visibility == 1 && !options.dropUnknownXmp;
}

// The subject the packet describes (rdf:about), when it names one. The RDF
// namespace has no group of its own: the item passes through, like the
// properties of unregistered namespaces.
void AddAboutName(std::string_view packet, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                  Options const& options) {
    if (options.dropUnknownXmp) return;
    std::optional<std::string> about = xmp::FindAboutName(packet);
    if (!about) return;
    int const priority = ComputeItemPriority(FieldGroup::XmpPassthrough, 1, *store);
    metadata.Add<XmpMetadatum>(XmpKey{FieldGroup::XmpPassthrough, "about", nullptr}, store,
                               TextXmpValue(std::move(*about)), priority, "rdf");
}

}  // namespace

ReadResult XmpProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                              FieldGroup group) {
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);
    if (GetOptions().skipXmp) return ReadResult::NotHandled;

    std::string_view text;
    if (source.GetBytesProvisioned() > 0) {
        if (!source) return ReadResult::Error;
        std::streamoff const cursor = source.GetBufferPos();
        std::size_t const usable = source.GetBytesUsable(true);
        if (cursor < 0 || static_cast<std::size_t>(cursor) > usable) return ReadResult::Error;
        if (source.GetBytesProvisioned() < usable) return ReadResult::Fatal;
        text = source.AsStringView().substr(static_cast<std::size_t>(cursor),
                                            usable - static_cast<std::size_t>(cursor));
    } else {
        // A whole file or stream. Memory inputs are bound in place; streams
        // are copied once into the window.
        if (!source.AutoProvision(0, 0)) return ReadResult::Error;
        text = source.AsStringView();
        if (text.empty()) return ReadResult::Error;
    }

    std::shared_ptr<Initialiser> const initialiser = metadata.GetInitialiser();
    if (!initialiser || !initialiser->XmpOkay()) return ReadResult::Error;

    // Wide packets are read as UTF-8: the packet finding, trailer cutting
    // and toolkit-name scanning all work on 8-bit text.
    std::optional<std::string> const utf8 = xmp::TranscodeWidePacket(text);
    if (utf8) text = *utf8;
    std::string_view const packet = xmp::FindPacket(text);
    xmp::TXMPMeta<std::string> const meta = xmp::DeserialiseRdf(xmp::DropTrailer(packet), nullptr);
    ReadResult const result = Read(meta, store, metadata, group);
    if (result == ReadResult::Success) {
        AddToolkitName(packet, store, metadata);
        AddAboutName(packet, store, metadata, GetOptions());
    }
    return result;
}

void XmpProcessor::AddToolkitName(std::string_view packet, std::shared_ptr<ReadStore> const& store,
                                  Metadata& metadata) const {
    std::optional<std::string> name = xmp::FindToolkitName(packet);
    if (!name) return;
    XmpField const* field = FieldDatabase<XmpField>::UnconditionalFind("xmptk", FieldGroup::XmpX, true);
    if (field == nullptr && GetOptions().dropUnknownXmp) return;
    int const priority =
        ComputeItemPriority(FieldGroup::XmpX, field != nullptr ? field->priority : 1, *store);
    metadata.Add<XmpMetadatum>(XmpKey{FieldGroup::XmpX, "xmptk", field}, store,
                               TextXmpValue(std::move(*name)), priority, "x");
}

ReadResult XmpProcessor::Read(xmp::TXMPMeta<std::string> const& meta, std::shared_ptr<ReadStore> const& store,
                              Metadata& metadata, FieldGroup /*group*/) {
    Options const& options = GetOptions();
    XmpNamespaceMap namespaces;
    XmpNode root(meta, options, namespaces);
    XmpValueGenerator const properties(namespaces, FieldGroup::Unknown, nullptr);
    ReadStore& context = *store;

    for (auto& [qualifiedName, node] : root.GetStructureValue()) {
        XmpValueGenerator::ResultType property = properties(qualifiedName, node, options);
        if (!property.value) continue;
        FieldGroup itemGroup = property.group;
        if (itemGroup == FieldGroup::Unknown) {
            if (options.dropUnknownXmp) continue;
            itemGroup = FieldGroup::XmpPassthrough;
        }
        XmpField const* const field = property.field;
        // The tree is ours: the value takes the node's data over.
        if (!property.value->Read(std::move(node), properties.ForResult(property), options)) continue;
        if (field != nullptr && field->valueHook && !field->valueHook(property.value.get(), 1, context))
            continue;
        if (!Visible(field, options)) continue;

        int const priority = ComputeItemPriority(itemGroup, field != nullptr ? field->priority : 1, context);
        metadata.Add<XmpMetadatum>(XmpKey{itemGroup, std::move(property.name), field}, store,
                                   std::move(*property.value), priority, std::move(property.prefix));
    }
    return ReadResult::Success;
}

}  // namespace meta
