#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/blocks/xmp/xmp_value.h"
#include "varrow/values/localised_string.h"

namespace meta {

// The items of an XMP array, each read by the value class that its
// definition (the array field's item entry) or its own shape selects.
// Items that cannot be read are dropped. A simple text where an array was
// expected is taken as a comma-separated list.
class VARROW_API BaseArrayXmpValue : public XmpValue {
  public:
    using Items = std::vector<std::unique_ptr<XmpValue>>;

    bool Read(XmpNode node, XmpValueGenerator const& generator, Options const& options) override;
    std::ostream& Write(std::ostream& out) const override;

    Items const& GetData() const { return items_; }
    void SetData(Items items) { items_ = std::move(items); }

  protected:
    ValueSequence ItemValues() const&;
    ValueSequence ItemValues() &&;

  private:
    Items items_;
};

// rdf:Seq: a Sequence of the items' values.
class VARROW_API OrderedArrayXmpValue : public BaseArrayXmpValue {
  public:
    XmpType GetType() const override { return XmpType::OrderedArray; }
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;
};

// rdf:Bag: a Set of the items' values.
class VARROW_API UnorderedArrayXmpValue : public BaseArrayXmpValue {
  public:
    XmpType GetType() const override { return XmpType::UnorderedArray; }
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;
};

// rdf:Alt: a Sequence marked with the qualifier kArrayIsAltQualifier so that
// it is written back as an alternative.
class VARROW_API AlternativeArrayXmpValue : public BaseArrayXmpValue {
  public:
    static constexpr char const* kArrayIsAltQualifier = "_xmpArrayIsAlt";

    XmpType GetType() const override { return XmpType::AlternativeArray; }
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;
};

// An rdf:Alt of texts keyed by their xml:lang qualifiers: an LString whose
// default is the first item. Items without xml:lang get the unknown (empty)
// locale. A plain text is taken as a single item.
class VARROW_API LanguageAlternativeXmpValue : public AlternativeArrayXmpValue {
  public:
    bool Read(XmpNode node, XmpValueGenerator const& generator, Options const& options) override;
    XmpType GetType() const override { return XmpType::LanguageAlternative; }
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;

    // The locale an item's "xml:lang" qualifier names; unknown without one.
    static LocaleIdentifier IdentFromQualifier(Qualifiers const& qualifiers);
};

// Fields by local name ("action" of stEvt:action), in name order; each read
// by its definition in the structure's member table when it has one.
class VARROW_API StructureXmpValue : public XmpValue {
  public:
    using Fields = std::map<std::string, std::unique_ptr<XmpValue>, std::less<>>;

    bool Read(XmpNode node, XmpValueGenerator const& generator, Options const& options) override;
    XmpType GetType() const override { return XmpType::Structure; }
    std::ostream& Write(std::ostream& out) const override;
    Value ToMetaValue() const& override;
    Value ToMetaValue() && override;

    Fields const& GetData() const { return fields_; }
    void SetData(Fields fields) { fields_ = std::move(fields); }

  private:
    Fields fields_;
};

}  // namespace meta
