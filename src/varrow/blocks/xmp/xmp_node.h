#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/api/options.h"
#include "varrow/values/value_qualifier.h"

namespace meta {

namespace xmp {
template <class TString>
class TXMPMeta;
}  // namespace xmp

// Namespace prefix to URI, as the prefixes are used in one packet.
using XmpNamespaceMap = std::map<std::string, std::string, std::less<>>;

// The shape of an XMP node.
enum class XmpGroupForm : std::int32_t {
    None = 0,
    Simple = 1,
    Structure = 2,
    Bag = 3,          // unordered array
    Sequence = 4,     // ordered array
    Alternative = 5,  // alternative array
};

// One node of the library's own copy of an XMP tree: a text, a structure
// (child name to node) or an array (items in order), with the node's
// qualifiers. Built from a toolkit tree once, then read by the XMP value
// classes, which take the data over by moving it out.
class VARROW_API XmpNode {
  public:
    using Structure = std::map<std::string, XmpNode, std::less<>>;
    using Array = std::vector<XmpNode>;

    XmpNode() = default;
    explicit XmpNode(XmpGroupForm form) { SetForm(form); }
    // The whole tree: a structure of the top-level properties keyed by
    // qualified name ("dc:subject"). `namespaces` receives every prefix the
    // tree uses with its URI. With Options::xmpChildLimit a property node
    // with more than kChildLimit direct children is left out.
    XmpNode(xmp::TXMPMeta<std::string> const& meta, Options const& options, XmpNamespaceMap& namespaces);

    // Qualifiers are copied deeply.
    XmpNode(XmpNode const& other);
    XmpNode(XmpNode&&) noexcept = default;
    XmpNode& operator=(XmpNode const& other);
    XmpNode& operator=(XmpNode&&) noexcept = default;
    ~XmpNode() = default;

    static constexpr std::size_t kChildLimit = 99;

    // A simple node holding `text`, for values that arrive as text where a
    // compound was expected.
    static XmpNode Synthesise(std::string text);

    // The last step of a toolkit path: "xmpMM:History[2]/stEvt:action" gives
    // "stEvt:action", "dc:subject[3]" gives "dc:subject", "dc:title[1]/?xml:lang"
    // gives "xml:lang".
    static std::string_view DecomposePath(std::string_view path);
    // Whether the local part (after the prefix) of a qualified name is `name`.
    static bool NameEquals(std::string_view qualifiedName, std::string_view name);

    XmpGroupForm GetForm() const noexcept { return form_; }
    // Changing the form resets the data to the new form's empty value.
    void SetForm(XmpGroupForm form);
    bool IsArray() const noexcept {
        return form_ == XmpGroupForm::Bag || form_ == XmpGroupForm::Sequence ||
               form_ == XmpGroupForm::Alternative;
    }

    // Each throws std::bad_variant_access unless the node has that form.
    std::string const& GetSimpleValue() const { return std::get<std::string>(data_); }
    std::string& GetSimpleValue() { return std::get<std::string>(data_); }
    Structure const& GetStructureValue() const { return std::get<Structure>(data_); }
    Structure& GetStructureValue() { return std::get<Structure>(data_); }
    Array const& GetArrayValue() const { return std::get<Array>(data_); }
    Array& GetArrayValue() { return std::get<Array>(data_); }

    ValueQualifierMap const& GetQualifiers() const noexcept { return qualifiers_; }
    ValueQualifierMap& GetQualifiers() noexcept { return qualifiers_; }

    // A structure stores the child under its name (a second child of the
    // same name is dropped); an array appends it; a simple node ignores it.
    void StoreChild(std::string_view name, XmpNode child);

  private:
    class Builder;

    void InitialiseData();

    XmpGroupForm form_ = XmpGroupForm::None;
    std::variant<std::string, Structure, Array> data_;
    ValueQualifierMap qualifiers_;
};

}  // namespace meta
