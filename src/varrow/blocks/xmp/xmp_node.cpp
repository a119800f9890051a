#include "varrow/blocks/xmp/xmp_node.h"

#include <optional>
#include <utility>

#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/fields/field_group.h"
#include "varrow/xmp_out/xmp_namespaces.h"

namespace meta {

namespace {

// Deeper nesting than any real packet has; it only guards the stack
// against crafted input.
constexpr int kMaxDepth = 64;

std::string_view PrefixOf(std::string_view qualifiedName) {
    std::size_t const colon = qualifiedName.find(':');
    return colon == std::string_view::npos ? std::string_view() : qualifiedName.substr(0, colon);
}

}  // namespace

// Copies a toolkit tree into XmpNodes, one direct-children walk per
// compound node.
class XmpNode::Builder {
  public:
    Builder(xmp::TXMPMeta<std::string> const& meta, Options const& options, XmpNamespaceMap& namespaces)
        : meta_(meta), options_(options), namespaces_(namespaces) {}

    void BuildRoot(XmpNode& root) {
        root.SetForm(XmpGroupForm::Structure);
        std::vector<std::string> schemas;
        {
            xmp::TXMPIterator<std::string> it(meta_, nullptr, nullptr, xmp::options::kIterJustChildren);
            std::string ns;
            while (it.Next(&ns, nullptr, nullptr, nullptr)) schemas.push_back(ns);
        }
        for (std::string const& ns : schemas) {
            std::vector<Entry> properties = Children(ns.c_str(), nullptr);
            for (Entry& p : properties) {
                std::string_view const prefix = PrefixOf(p.path);
                if (!prefix.empty() && namespaces_.find(prefix) == namespaces_.end()) {
                    namespaces_.emplace(std::string(prefix), ns);
                }
                if (std::optional<XmpNode> node = MakeNode(ns.c_str(), p, 1)) {
                    root.StoreChild(p.path, std::move(*node));
                }
            }
        }
    }

  private:
    struct Entry {
        std::string path;
        std::string value;
        std::uint32_t options = 0;
    };

    std::vector<Entry> Children(char const* ns, char const* path) const {
        std::vector<Entry> entries;
        xmp::TXMPIterator<std::string> it(meta_, ns, path, xmp::options::kIterJustChildren);
        Entry e;
        while (it.Next(nullptr, &e.path, &e.value, &e.options)) entries.push_back(std::move(e));
        return entries;
    }

    void NotePrefix(std::string_view name) {
        std::string_view const prefix = PrefixOf(name);
        if (prefix.empty() || namespaces_.find(prefix) != namespaces_.end()) return;
        std::string uri;
        std::string const key(prefix);
        if (xmp::TXMPMeta<std::string>::GetNamespaceURI(key.c_str(), &uri))
            namespaces_.emplace(key, std::move(uri));
    }

    // The photoshop:DocumentAncestors list can hold hundreds of thousands of
    // ids and carries nothing worth an item.
    bool IsSkippedArray(std::string_view name) {
        if (!NameEquals(name, "DocumentAncestors")) return false;
        auto const it = namespaces_.find(PrefixOf(name));
        return it != namespaces_.end() && xmp::GetFieldGroupFromNsUri(it->second) == FieldGroup::XmpPhotoshop;
    }

    std::optional<XmpNode> MakeNode(char const* ns, Entry& entry, int depth) {
        std::uint32_t const bits = entry.options;
        XmpNode node;
        if ((bits & xmp::options::kPropValueIsStruct) != 0) {
            node.SetForm(XmpGroupForm::Structure);
        } else if ((bits & xmp::options::kPropValueIsArray) != 0) {
            if (IsSkippedArray(DecomposePath(entry.path))) return std::nullopt;
            node.SetForm((bits & xmp::options::kPropArrayIsAlternate) != 0 ? XmpGroupForm::Alternative
                         : (bits & xmp::options::kPropArrayIsOrdered) != 0 ? XmpGroupForm::Sequence
                                                                           : XmpGroupForm::Bag);
        } else if ((bits & xmp::options::kPropCompositeMask) == 0) {
            node.SetForm(XmpGroupForm::Simple);
            node.GetSimpleValue() = std::move(entry.value);
            if ((bits & xmp::options::kPropHasQualifiers) == 0) return node;
        } else {
            return std::nullopt;
        }
        if (depth > kMaxDepth || !ReadChildren(ns, entry.path, node, depth)) return std::nullopt;
        return node;
    }

    bool ReadChildren(char const* ns, std::string const& path, XmpNode& node, int depth) {
        std::vector<Entry> entries = Children(ns, path.c_str());
        if (options_.xmpChildLimit) {
            std::size_t count = 0;
            for (Entry const& e : entries) count += (e.options & xmp::options::kPropIsQualifier) == 0 ? 1 : 0;
            if (count > kChildLimit) return false;
        }
        for (Entry& e : entries) {
            std::string_view const name = DecomposePath(e.path);
            NotePrefix(name);
            if ((e.options & xmp::options::kPropIsQualifier) != 0) {
                node.qualifiers_.emplace(std::string(name),
                                         std::make_unique<ValueQualifier>(std::move(e.value)));
            } else if (node.form_ != XmpGroupForm::Simple) {
                if (std::optional<XmpNode> child = MakeNode(ns, e, depth + 1)) {
                    node.StoreChild(name, std::move(*child));
                }
            }
        }
        return true;
    }

    xmp::TXMPMeta<std::string> const& meta_;
    Options const& options_;
    XmpNamespaceMap& namespaces_;
};

XmpNode::XmpNode(xmp::TXMPMeta<std::string> const& meta, Options const& options,
                 XmpNamespaceMap& namespaces) {
    Builder(meta, options, namespaces).BuildRoot(*this);
}

XmpNode::XmpNode(XmpNode const& other)
    : form_(other.form_), data_(other.data_), qualifiers_(Clone(other.qualifiers_)) {}

XmpNode& XmpNode::operator=(XmpNode const& other) {
    if (this != &other) *this = XmpNode(other);
    return *this;
}

XmpNode XmpNode::Synthesise(std::string text) {
    XmpNode node(XmpGroupForm::Simple);
    node.GetSimpleValue() = std::move(text);
    return node;
}

std::string_view XmpNode::DecomposePath(std::string_view path) {
    std::size_t const slash = path.rfind('/');
    std::string_view step = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (!step.empty() && step.front() == '?') step.remove_prefix(1);
    if (!step.empty() && step.back() == ']') {
        std::size_t const open = step.rfind('[');
        if (open != std::string_view::npos) step = step.substr(0, open);
    }
    return step;
}

bool XmpNode::NameEquals(std::string_view qualifiedName, std::string_view name) {
    std::size_t const colon = qualifiedName.find(':');
    std::string_view const local =
        colon == std::string_view::npos ? qualifiedName : qualifiedName.substr(colon + 1);
    return local == name;
}

void XmpNode::SetForm(XmpGroupForm form) {
    if (form == form_) return;
    form_ = form;
    InitialiseData();
}

void XmpNode::InitialiseData() {
    switch (form_) {
        case XmpGroupForm::Structure: data_.emplace<Structure>(); break;
        case XmpGroupForm::Bag:
        case XmpGroupForm::Sequence:
        case XmpGroupForm::Alternative: data_.emplace<Array>(); break;
        default: data_.emplace<std::string>(); break;
    }
}

void XmpNode::StoreChild(std::string_view name, XmpNode child) {
    if (form_ == XmpGroupForm::Structure) {
        auto& children = std::get<Structure>(data_);
        if (children.find(name) == children.end()) children.emplace(std::string(name), std::move(child));
    } else if (IsArray()) {
        std::get<Array>(data_).push_back(std::move(child));
    }
}

}  // namespace meta
