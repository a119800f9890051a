#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/api/options.h"
#include "varrow/blocks/xmp/xmp_node.h"
#include "varrow/blocks/xmp/xmp_value.h"
#include "varrow/fields/field.h"
#include "varrow/fields/field_group.h"

namespace meta {

// Chooses, for one XMP property or compound member, its group, its field
// definition and the value class that reads it. A generator is bound to the
// packet's namespace map, to a group (the member table of the structure
// being read, or Unknown) and to the definition of the compound being read
// (or null), which its array items and structure members are looked up by.
class VARROW_API XmpValueGenerator {
  public:
    struct ResultType {
        std::string prefix;
        std::string name;
        FieldGroup group = FieldGroup::Unknown;
        std::unique_ptr<XmpValue> value;  // null: the property is skipped
        XmpField const* field = nullptr;  // null: no definition

        explicit operator bool() const { return value != nullptr; }
    };

    XmpValueGenerator(XmpNamespaceMap const& namespaces, FieldGroup group, XmpField const* parent)
        : namespaces_(namespaces), group_(group), parent_(parent) {}

    XmpNamespaceMap const& GetNamespaces() const { return namespaces_; }
    FieldGroup GetGroup() const { return group_; }
    XmpField const* GetParentField() const { return parent_; }

    // A real group's definition of `name` decides (a definition of type 0
    // gives nothing); without one the node's shape decides, unless the
    // property has a name and Options::dropUnknownXmp is set.
    ResultType Generate(std::string prefix, std::string name, FieldGroup group, XmpNode const& node,
                        Options const& options) const;
    // 'prefix:name', with the group of the prefix's namespace.
    ResultType operator()(std::string_view qualifiedName, XmpNode const& node, Options const& options) const;
    // By shape alone.
    ResultType operator()(XmpNode const& node, Options const& options) const;
    // The shape-based choice: simple text, structure, bag, sequence or
    // alternative (a language alternative when every item is a text with an
    // xml:lang qualifier); nothing for a node of no known form.
    static ResultType GenerateUnknown(std::string prefix, std::string name, FieldGroup group,
                                      XmpNode const& node);

    // An item of the array this generator is bound to: typed by the array
    // definition's item entry (id "") when it declares a type, else by shape.
    ResultType GenerateItem(XmpNode const& node, Options const& options) const;
    // A member of the structure this generator is bound to: by the member
    // table of the bound group first, then by the member's own namespace.
    ResultType GenerateMember(std::string_view qualifiedName, XmpNode const& node,
                              Options const& options) const;

    // The generator that reads a value chosen by a result: bound to the
    // same namespaces, to the definition's first sub-directory group and to
    // the definition itself.
    XmpValueGenerator ForResult(ResultType const& result) const;

  private:
    XmpNamespaceMap const& namespaces_;
    FieldGroup group_;
    XmpField const* parent_;
};

// The first sub-directory group of a definition (the member table of a
// structure); Unknown when there is none.
VARROW_API FieldGroup GetMemberGroup(XmpField const* field);

}  // namespace meta
