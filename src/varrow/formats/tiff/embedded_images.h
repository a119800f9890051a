#pragma once

#include <cstddef>

namespace meta {

class DataSource;
class Metadata;
class TiffReader;

// Adds the images that directories point to by an offset/length pair (the
// IFD1 thumbnail) as binary items of their own, so callers can extract
// them without decoding the pair themselves. Only items added since
// `firstItem` are considered, so earlier reads of the same collection do
// not leak offsets into this one. Regions outside the input are ignored.
void AddEmbeddedImages(TiffReader const& reader, DataSource& source, Metadata& metadata,
                       std::size_t firstItem);

}  // namespace meta
