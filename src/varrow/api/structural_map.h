#pragma once

#include <memory>
#include <typeinfo>

#include "varrow/api/export.h"
#include "varrow/api/metadata.h"
#include "varrow/fields/field_group.h"

namespace meta {

class DataSource;

// Opens a block of the structural map for the lifetime of a processor's Read
// and closes it on every way out. Created only when Options::recordStructure
// is set:
//   std::optional<StructuralMapEntryReg> reg;
//   if (GetOptions().recordStructure) reg.emplace(metadata, source, &typeid(*this), group);
class VARROW_API StructuralMapEntryReg {
public:
    StructuralMapEntryReg(Metadata& metadata, DataSource const& source, std::type_info const* processor,
                          FieldGroup group);
    ~StructuralMapEntryReg();

    StructuralMapEntryReg(StructuralMapEntryReg const&) = delete;
    StructuralMapEntryReg& operator=(StructuralMapEntryReg const&) = delete;

private:
    Metadata& metadata_;
    DataSource const& source_;
    std::shared_ptr<Metadata::StructuralMapNode> node_;
};

}  // namespace meta
