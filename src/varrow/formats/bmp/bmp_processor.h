#pragma once

#include <memory>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

// Windows bitmaps: the image size, in group Bmp.
//
//   offset  size  field
//        0     2  "BM"
//        2    16  file size, reserved, pixel-data offset, info-header size
//       18     4  width (signed, little-endian)
//       22     4  height (signed; negative for a top-down bitmap)
//
// "ImageWidth" and "ImageHeight" (the height's absolute value) are added as
// unsigned 32-bit numbers. Error for a short file or a missing signature.
class VARROW_API BmpProcessor : public Processor {
  public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;
};

}  // namespace meta
