#pragma once

#include <cstdint>
#include <string>

#include "varrow/api/export.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/values/value.h"

namespace meta::xmp {

// Writes Values into an XMP tree, one alternative at a time:
//   text, binary (as its text), numbers, fractions ('N/D'), dates
//   ('YYYY-MM-DDThh:mm:ss...') -> a simple property;
//   LString -> an alt-text array, "x-default" first;
//   typed arrays and Sequence -> rdf:Seq (rdf:Alt for a Sequence with the
//   qualifier "_xmpArrayIsAlt"), Set -> rdf:Bag, each element recursively;
//   Structure -> a structure whose fields are in the property's namespace
//   unless their names carry a prefix of their own.
// Qualifiers named 'prefix:name' whose prefix the toolkit knows are written
// as XMP qualifiers; others (internal ones such as the display-lookup name)
// are not.
class VARROW_API ValueXmpGenerator {
  public:
    // The qualifier that asks for an rdf:Alt instead of an rdf:Seq.
    static constexpr char const* kArrayIsAltQualifier = "_xmpArrayIsAlt";

    ValueXmpGenerator(TXMPMeta<std::string>& meta, char const* nsUri) : meta_(meta), ns_(nsUri) {}

    // Writes `value` at `path`; throws XMP_Error or ValueException when it
    // cannot, possibly leaving part of it behind.
    void Write(Value const& value, std::string const& path);
    // The value's XMP qualifiers, on the node at `path`.
    void BindQualifiers(Value const& value, std::string const& path);

    // Option bits of the node that `value` becomes: 0 for a simple value.
    static std::uint32_t NodeOptions(Value const& value);

  private:
    template <class Element>
    void WriteTypedArray(std::vector<Element> const& elements, std::string const& path);
    template <class List>
    void WriteList(List const& list, std::uint32_t arrayOptions, std::string const& path);
    void WriteLocalised(LocalisedString const& text, std::string const& path);
    void WriteStructure(ValueStore const& store, std::string const& path);
    std::string ItemPath(std::string const& path, std::size_t index) const;

    TXMPMeta<std::string>& meta_;
    char const* ns_;
};

}  // namespace meta::xmp
