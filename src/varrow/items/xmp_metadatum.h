#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/fields/field_keys.h"
#include "varrow/items/metadatum_base.h"
#include "varrow/values/xmp_type.h"

namespace meta {

class XmpValue;

// "Simple", "OrderedArray", ... "Rational" for 1 to 22; empty otherwise.
VARROW_API std::string_view GetXmpTypeName(XmpType type);

// A top-level XMP property: keyed by its group and its name after the
// prefix ("subject"), named after its definition ("Subject") when it has
// one. Remembers the prefix the packet used, so that the property can be
// written back into its own namespace.
class VARROW_API XmpMetadatum : public MetadatumBase<XmpKey> {
  public:
    static XmpMetadatum Create(XmpKey key, std::shared_ptr<ReadStore> const& store);
    static XmpMetadatum Create(XmpKey key, std::shared_ptr<ReadStore> const& store, XmpValue&& value,
                               int priority, std::string nsPrefix);

    bool KeyIsKnown() const { return GetKey().GetField() != nullptr; }
    // The property name as read (the key's own string).
    std::string GetId() const { return GetKey().name; }
    std::string GetTitle() const { return std::string(); }
    std::string GetDescription() const { return std::string(); }
    int GetPriority() const { return priority_; }
    std::size_t GetValueCount() const { return 1; }
    std::string GetValueTypeAsString() const { return std::string(GetXmpTypeName(type_)); }
    ValueAffinity GetAffinity() const { return ValueAffinity::Display; }

    std::string_view GetOriginalNsPrefix() const { return nsPrefix_; }
    XmpType GetValueType() const { return type_; }

  private:
    XmpMetadatum(XmpKey key, std::shared_ptr<ReadStore> const& store)
        : MetadatumBase(std::move(key), store) {}

    std::string nsPrefix_;
    XmpType type_ = XmpType::Unknown;
    int priority_ = 1;
};

}  // namespace meta
