#pragma once

#include <memory>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

// Walks a block of Photoshop image resources (the payload of a JPEG APP13
// "Photoshop 3.0" segment or of the TIFF tag that carries the same block)
// from the buffer cursor to the end of the usable bytes, and hands the
// "8BIM" resources that carry metadata to their readers:
//
//   1005  resolution record (binary record, group PhotoshopResolution)
//   1028  IPTC IIM
//   1039  ICC profile
//   1058  EXIF (TIFF structure)
//   1060  XMP
//
// Every other resource is skipped. Each reader sees exactly the resource's
// data through a source of its own, so it can neither run into the next
// resource nor move this walk. A reader that is not linked in is skipped.
//
// Success at the end of the block, at data that is not a resource and at a
// last resource whose data runs past the end (trailing data); Error for a
// header cut short. A reader's Fatal, or its Error under stopOnError, ends
// the walk with it; other reader failures are ignored.
class VARROW_API PirProcessor : public Processor {
  public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;
};

}  // namespace meta
