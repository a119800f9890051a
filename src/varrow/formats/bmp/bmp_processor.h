#pragma once

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

// Windows bitmap: reads the image size from the header.
//
//   offset  size  field
//        0     2  "BM"
//        2    12  file size, reserved, pixel-data offset
//       14     4  info-header size
//       18     4  width (signed, little-endian)
//       22     4  height (signed; negative for a top-down bitmap)
//
// Adds "ImageWidth" and "ImageHeight" (the height's absolute value) in group
// Bmp. Error for a short file or a missing signature.
class VARROW_API BmpProcessor : public Processor {
public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;
};

}  // namespace meta
