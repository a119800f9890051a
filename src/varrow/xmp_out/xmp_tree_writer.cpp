// The output side of XmpProcessor: a collection turned into an XMP tree.
#include <cstdint>
#include <exception>
#include <map>
#include <string>
#include <string_view>
#include <typeinfo>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_processor.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/fields/field.h"
#include "varrow/fields/field_database.h"
#include "varrow/items/xmp_metadatum.h"
#include "varrow/values/value.h"
#include "varrow/values/xmp_type.h"
#include "varrow/xmp_out/rdf_serialisation.h"
#include "varrow/xmp_out/xmp_namespaces.h"
#include "varrow/xmp_out/xmp_property_map.h"
#include "varrow/xmp_out/xmp_tree_edit.h"

namespace meta {
namespace {

using Tree = xmp::TXMPMeta<std::string>;

constexpr char const* kExifNs = "http://ns.adobe.com/exif/1.0/";

// Step 8: the namespace is registered when the toolkit does not know it; a
// value without text is not written.
void WriteProperty(Tree& tree, std::string const& nsUri, std::string_view prefix, std::string const& name,
                   Value const& value) {
    if (!Tree::GetNamespacePrefix(nsUri.c_str(), nullptr)) {
        Tree::RegisterNamespace(nsUri.c_str(), std::string(prefix).c_str());
    }
    if (value.ToString().empty()) return;
    tree.DeleteProperty(nsUri.c_str(), name.c_str());
    value.ToXmpTree(tree, nsUri.c_str(), name);
}

// The declared type of an array's items (the definition's entry of id "").
XmpType ItemType(XmpField const& field) {
    auto const it = field.children.find(std::string_view());
    return it != field.children.end() ? it->second.overrideFormat : XmpType::Unknown;
}

// A list of E; a display string ("100") that the list conversion refuses
// is read as one element.
template <class E>
Value ToList(Value const& value) {
    try {
        return Value(value.Convert<std::vector<E>>());
    } catch (ValueException const&) {
        if (!value.Exists(Value::Type::String)) throw;
        return Value(std::vector<E>{value.Convert<E>()});
    }
}

// Step 7: the value in the shape the property is declared with; None when
// it cannot take that shape. Conversions may throw ValueException.
Value Shape(Value value, XmpField const& field) {
    using T = Value::Type;
    switch (field.overrideFormat) {
        case XmpType::OrderedArray:
            if (value.Exists(T::Sequence)) return value;
            switch (ItemType(field)) {
                case XmpType::Unknown:
                    return value.IsCollection() ? Value() : Value(value.Convert<ValueSequence>());
                case XmpType::Integer: return ToList<std::int64_t>(value);
                case XmpType::Real: return ToList<double>(value);
                case XmpType::Rational: return ToList<Fraction>(value);
                default: return Value();
            }
        case XmpType::UnorderedArray:
            if (value.Exists(T::Set)) return value;
            return value.IsCollection() ? Value() : Value(value.Convert<ValueSet>());
        case XmpType::Structure: return Value();
        case XmpType::Date:
            if (value.Exists(T::DateTime)) return value;
            return value.Exists(T::String) ? Value(value.Convert<DateTime>()) : Value();
        case XmpType::Integer:
            if (value.IsArithmetic()) return value;
            return value.Exists(T::String) ? Value(value.Convert<std::int64_t>()) : Value();
        case XmpType::LanguageAlternative:
            if (value.Exists(T::LString)) return value;
            return value.Exists(T::String) ? Value(value.Convert<LocalisedString>()) : Value();
        case XmpType::Rational:
            if (value.Exists(T::Fraction)) return value;
            return value.Exists(T::String) || value.IsArithmetic() ? Value(value.Convert<Fraction>())
                                                                   : Value();
        default: return value;
    }
}

// Step 6: the item's display value taken back through the XMP field's
// inverse conversions, as far as the item's affinity asks.
Value InverseConvert(Metadatum const& item, XmpField const& field) {
    int steps = 0;
    switch (item.GetAffinity()) {
        case ValueAffinity::Display: steps = 3; break;
        case ValueAffinity::Value: steps = 2; break;
        case ValueAffinity::Raw: steps = 1; break;
        default: return Value();
    }
    Value value = item.GetDisplayValue();
    if (steps >= 3 && field.inverseDisplayConversion) value = field.inverseDisplayConversion(value);
    if (steps >= 2 && field.inverseValueConversion) value = field.inverseValueConversion(value);
    if (field.inverseRawConversion) value = field.inverseRawConversion(value);
    return value;
}

// The XmpMetadatum an item holds, if it is one. Only items of the XMP
// namespace are asked, so a failed cast stays rare.
XmpMetadatum const* AsXmpItem(Metadatum const& item) {
    if (item.GetNamespace() != FieldNamespace::Xmp) return nullptr;
    try {
        return &item.As<XmpMetadatum>();
    } catch (std::bad_cast const&) {
        return nullptr;
    }
}

// Step 5: an XMP item goes back to its own namespace, at its own name, with
// the value as read.
void WriteXmpItem(Tree& tree, Metadatum const& item, XmpMetadatum const& xmpItem) {
    std::string nsUri;
    std::string const prefix(xmpItem.GetOriginalNsPrefix());
    if (prefix.empty() || !Tree::GetNamespaceURI(prefix.c_str(), &nsUri)) {
        // A prefix the toolkit gave to another schema's URI: the group's own
        // namespace is the one the property was read from.
        nsUri = std::string(xmp::GetNsUriFromFieldGroup(item.GetGroup()));
        if (nsUri.empty()) return;
    }
    WriteProperty(tree, nsUri, xmp::GetNsPreferredPrefix(nsUri), item.GetId(), item.GetRawValue());
}

// Steps 6 and 7 for every other item.
void WriteMappedItem(Tree& tree, Metadatum const& item, xmp::FieldNameMapEntry const& entry) {
    XmpField const* field = FieldDatabase<XmpField>::UnconditionalFind(entry.name, entry.group);
    std::string_view const nsUri = xmp::GetNsUriFromFieldGroup(entry.group);
    if (field == nullptr || nsUri.empty()) return;
    std::string_view const prefix = xmp::GetNsPreferredPrefix(nsUri);
    if (prefix.empty()) return;
    Value value;
    try {
        value = InverseConvert(item, *field);
        if (value.Exists()) value = Shape(std::move(value), *field);
    } catch (std::exception const&) {
        return;  // a value that takes neither conversion nor shape is left out
    }
    WriteProperty(tree, std::string(nsUri), prefix, std::string(entry.name), value);
}

}  // namespace

xmp::TXMPMeta<std::string> XmpProcessor::WriteTree(Metadata const& metadata) const {
    Tree tree;
    // Which item owns each property; a later item takes a property over only
    // when it would replace the owner in the collection.
    std::map<xmp::FieldNameMapEntry, Metadatum> owners;
    bool const skipCompositeIso =
        !GetOptions().xmpKeepCompositeIso && static_cast<bool>(metadata.Find(FieldGroup::Exif, "ISO"));

    for (Metadatum const& item : metadata.GetOrderedView()) {
        if (skipCompositeIso && item.GetGroup() == FieldGroup::Composite && item.GetName() == "ISO") continue;
        xmp::FieldNameMapEntry const& entry = xmp::MapGroupToField(item.GetGroup(), item.GetName());
        if (entry.group == FieldGroup::Unknown) continue;
        auto const owner = owners.find(entry);
        if (owner != owners.end()) {
            if (!item.Replaces(owner->second)) continue;
            owner->second = item;
        } else {
            owners.emplace(entry, item);
        }
        if (XmpMetadatum const* xmpItem = AsXmpItem(item)) {
            WriteXmpItem(tree, item, *xmpItem);
        } else {
            WriteMappedItem(tree, item, entry);
        }
    }

    BuildExifFlashStructure(metadata, tree);
    xmp::Correct(tree);
    tree.Sort();
    return tree;
}

std::string XmpProcessor::Write(Metadata const& metadata, xmp::RdfSerialisationMode mode) const {
    return xmp::SerialiseToRdf(WriteTree(metadata), mode);
}

void XmpProcessor::BuildExifFlashStructure(Metadata const& metadata, xmp::TXMPMeta<std::string>& tree) {
    Metadatum flash = metadata.Find(FieldGroup::Exif, "Flash");
    if (!flash) flash = metadata.Find(FieldGroup::XmpExif, "Flash");
    Value const& value = flash.GetValue();
    if (!value.Exists(Value::Type::U16)) return;
    unsigned const bits = value.Get<std::uint16_t>();
    ValueStore structure;
    structure.Set("Fired", Value((bits & 0x01u) != 0));
    structure.Set("Return", Value(static_cast<std::uint8_t>((bits >> 1) & 0x03u)));
    structure.Set("Mode", Value(static_cast<std::uint8_t>((bits >> 3) & 0x03u)));
    structure.Set("Function", Value((bits & 0x20u) != 0));
    structure.Set("RedEyeMode", Value((bits & 0x40u) != 0));
    tree.DeleteProperty(kExifNs, "Flash");
    Value(std::move(structure)).ToXmpTree(tree, kExifNs, "Flash");
}

}  // namespace meta
