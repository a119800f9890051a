#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/fields/field_keys.h"
#include "varrow/items/metadatum.h"
#include "varrow/items/metadatum_base.h"

namespace meta {

// A value the library derives from other items after a read (ImageSize,
// ShutterSpeed, GPSPosition, ...). Its raw value starts as references to
// its inputs' values, display values and raw values, in that order, which
// the definition's raw conversion turns into the composite's own value.
class VARROW_API CompositeMetadatum : public MetadatumBase<CompositeKey> {
    using Base = MetadatumBase<CompositeKey>;

  public:
    static CompositeMetadatum Create(CompositeKey key, std::shared_ptr<ReadStore> const& store,
                                     std::vector<Metadatum> inputs, std::size_t priority);

    bool KeyIsKnown() const { return GetKey().GetField() != nullptr; }
    std::string GetId() const { return "-"; }
    std::string GetTitle() const { return {}; }
    std::string GetDescription() const { return {}; }
    int GetPriority() const { return priority_; }
    std::size_t GetValueCount() const { return 1; }
    std::string GetValueTypeAsString() const { return "-"; }
    ValueAffinity GetAffinity() const { return ValueAffinity::Display; }

  private:
    CompositeMetadatum(CompositeKey key, std::shared_ptr<ReadStore> const& store)
        : Base(std::move(key), store) {}

    int priority_ = 2;
};

}  // namespace meta
