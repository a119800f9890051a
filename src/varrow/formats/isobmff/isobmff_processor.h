#pragma once

#include <memory>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

// Reads files made of ISO base media boxes: HEIF/HEIC and AVIF stills,
// Canon CR3 raw files and JPEG 2000 files. The Exif and XMP items of the
// primary image go to the TIFF and XMP readers, its properties (size,
// pixel aspect, bit depth, ICC profile) become items of group IsoBaseMedia;
// the Canon blocks of a CR3 file go to the TIFF reader with their groups.
//
// Registered as "ISO Base Media File Format". A damaged box ends the walk
// with Error only under stopOnError; otherwise it is passed over.
class VARROW_API IsobmffProcessor : public Processor {
  public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;
};

}  // namespace meta
