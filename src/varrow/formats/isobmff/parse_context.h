#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "varrow/formats/isobmff/identifier.h"
#include "varrow/formats/isobmff/items.h"

namespace meta {
class DataSource;
class Metadata;
class Processor;
struct ReadStore;
}  // namespace meta

namespace meta::isobmff {

// What every box of one read shares; lives on the stack of one Read call.
struct ParseContext {
    DataSource& source;
    Processor const& processor;  // for its options
    Metadata& metadata;
    std::shared_ptr<ReadStore> const& store;
    std::uint64_t inputLength = 0;
    FourCc majorBrand;
    items::ItemModel model;
    // Frame area of the largest CR3 raw frame reported so far.
    std::optional<std::uint64_t> largestRawArea;
};

}  // namespace meta::isobmff
