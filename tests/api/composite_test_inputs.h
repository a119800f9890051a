// Runs a composite's computation on inputs given once for all three levels
// (value, display and raw), the way the generator hands them over.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "varrow/processors/read_store.h"
#include "varrow/values/value.h"

namespace meta::test {

using CompositeComputation = Value (*)(Value const&, ReadStore&);

inline Value Compute(CompositeComputation computation, std::vector<Value> const& inputs, ReadStore& store) {
    ValueRefSequence refs;
    for (int level = 0; level < 3; ++level) {
        for (Value const& input : inputs) refs.push_back(&input);
    }
    return computation(Value(std::move(refs)), store);
}

inline Value Compute(CompositeComputation computation, std::vector<Value> const& inputs,
                     std::string make = {}) {
    ReadStore store;
    store.make = std::move(make);
    return Compute(computation, inputs, store);
}

}  // namespace meta::test
