#include "varrow/items/composite_metadatum.h"

#include <utility>

#include "varrow/values/value.h"

namespace meta {

CompositeMetadatum CompositeMetadatum::Create(CompositeKey key, std::shared_ptr<ReadStore> const& store,
                                              std::vector<Metadatum> inputs, std::size_t priority) {
    CompositeMetadatum item(std::move(key), store);
    item.priority_ = static_cast<int>(priority);
    // The references point into the input items, which `inputs` keeps alive
    // until the raw conversion below has replaced them by the result.
    ValueRefSequence refs;
    refs.reserve(inputs.size() * 3);
    for (Metadatum const& input : inputs) refs.push_back(&input.GetValue());
    for (Metadatum const& input : inputs) refs.push_back(&input.GetDisplayValue());
    for (Metadatum const& input : inputs) refs.push_back(&input.GetRawValue());
    item.SetValue(Value(std::move(refs)));
    // Without a computation the references would outlive their targets.
    if (item.GetRawValue().GetType() == Value::Type::RefSequence) item.SetValue(Value());
    return item;
}

}  // namespace meta
