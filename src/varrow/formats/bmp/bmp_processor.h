#pragma once

#include <cstdint>
#include <ios>
#include <memory>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

// Windows and OS/2 bitmaps: the facts of the info header, in group Bmp.
//
//   offset  size  field
//        0     2  "BM"
//        2    12  file size, reserved, pixel-data offset
//       14     4  info-header size (12: OS/2 1.x with 16-bit sizes; 40 and
//                 up: Windows V3, V4 (108), V5 (124); 64: OS/2 2.x)
//       18     4  width (signed, little-endian)
//       22     4  height (signed; negative for a top-down bitmap)
//       26 ...    planes, depth, compression, resolution, palette, and in
//                 V4/V5 headers the channel masks, colour space and profile
//
// "ImageWidth" and "ImageHeight" (the height's absolute value) are always
// added; the other facts when the header holds them. An embedded ICC profile
// goes to the ICC reader; a linked one is named. Error for a short file or
// a missing signature.
class VARROW_API BmpProcessor : public Processor {
  public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;

  private:
    ReadResult ReadProfile(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                           std::streamoff at, std::uint32_t size, bool linked);
};

}  // namespace meta
