#include "varrow/api/structural_map.h"

#include "varrow/io/data_source.h"

namespace meta {
namespace {

std::uint64_t ToUnsigned(std::streampos pos) {
    auto const offset = static_cast<std::streamoff>(pos);
    return offset < 0 ? Metadata::StructuralMapNode::kUnknownEnd : static_cast<std::uint64_t>(offset);
}

// Document position of the input's current position (a sub-read's input
// starts at some document offset).
std::uint64_t InputPosInDoc(DataSource const& source) {
    auto const pos = static_cast<std::streamoff>(source.GetInputStreamPos());
    if (pos < 0) return Metadata::StructuralMapNode::kUnknownEnd;
    return ToUnsigned(std::streampos(pos + static_cast<std::streamoff>(source.GetInputOffset())));
}

std::uint64_t CurrentPosition(DataSource const& source) {
    return source.GetBytesProvisioned() != 0 ? ToUnsigned(source.GetBufferPosInDoc()) : InputPosInDoc(source);
}

}  // namespace

StructuralMapEntryReg::StructuralMapEntryReg(Metadata& metadata, DataSource const& source,
                                             std::type_info const* processor, FieldGroup group)
    : metadata_(metadata), source_(source), node_(std::make_shared<Metadata::StructuralMapNode>()) {
    if (source.GetBytesProvisioned() != 0) {
        node_->start = ToUnsigned(source.GetBufferPosInDoc());
        node_->end = node_->start + source.GetBytesUsable(true);
    } else {
        node_->start = InputPosInDoc(source);
        node_->end = Metadata::StructuralMapNode::kUnknownEnd;
    }
    node_->processor = processor;
    node_->group = group;
    metadata_.PushStructuralNode(node_);
}

StructuralMapEntryReg::~StructuralMapEntryReg() {
    if (node_->end == Metadata::StructuralMapNode::kUnknownEnd) node_->end = CurrentPosition(source_);
    metadata_.PopStructuralNode();
}

}  // namespace meta
