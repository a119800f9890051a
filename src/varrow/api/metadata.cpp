#include "varrow/api/metadata.h"

#include <ios>
#include <ostream>

#include "varrow/processors/processor_registry.h"

namespace meta {

Metadata::Metadata(Initialiser::Mode mode) : Metadata(Initialiser::Create(mode)) {}

Metadata::Metadata(std::shared_ptr<Initialiser> initialiser)
    : initialiser_(std::move(initialiser)), structureRoot_(std::make_shared<StructuralMapNode>()) {
    structureStack_.push_back(structureRoot_);
    Clear();
}

Metadata::~Metadata() = default;

void Metadata::Clear() {
    readStore_ = std::make_shared<ReadStore>();
    // The indices view into the items: drop them first.
    keyIndex_.Clear();
    nameIndex_.Clear();
    items_.clear();
}

void Metadata::PushStructuralNode(std::shared_ptr<StructuralMapNode> const& node) {
    structureStack_.back()->children.push_back(node);
    structureStack_.push_back(node);
}

void Metadata::PopStructuralNode() {
    // The root stays at the bottom whatever an unbalanced caller does.
    if (structureStack_.size() > 1) structureStack_.pop_back();
}

void Metadata::AttachStructuralNodes(Metadata const& other) {
    auto& children = structureStack_.back()->children;
    children.insert(children.end(), other.structureRoot_->children.begin(),
                    other.structureRoot_->children.end());
}

void Metadata::DumpStructure(std::ostream& out) const {
    for (auto const& child : structureRoot_->children) DumpStructure(out, 0, *child);
}

void Metadata::DumpStructure(std::ostream& out, unsigned int depth, StructuralMapNode const& node) const {
    for (unsigned int i = 0; i < depth; ++i) out << "   ";
    out.fill('0');
    out << "[0x" << std::hex;
    out.width(8);
    out << node.start << " - 0x";
    out.width(8);
    out << node.end << std::dec << "] ";
    char const* name = ProcessorRegistry::GetName(node.processor);
    out << (name ? name : "(unregistered)");
    char const* group = ToString(node.group);
    out << " (" << node.count << " metadatums, " << (group ? group : "") << ")\n";
    for (auto const& child : node.children) DumpStructure(out, depth + 1, *child);
}

}  // namespace meta
