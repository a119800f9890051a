#pragma once

#include <memory>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

class DataSource;

// Walks the chunks of a RIFF WebP file. The frame headers give items of
// group Webp: "VP8 " the version, size and scale factors, "VP8L" and
// "VP8X" the size. "EXIF" goes to the TIFF reader and "XMP " to the XMP
// processor, each fenced to its chunk; other chunks are passed over.
//
// A chunk whose reader fails ends the walk only through the usual sub-read
// rule (Fatal, or Error under stopOnError); a file that ends between or
// inside chunks has simply been read to its end.
class VARROW_API WebpProcessor : public Processor {
  public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;

    // Frame header chunks. Each reads from the source's input position, the
    // chunk's first data byte, and returns Success when every item was
    // added, Error when the chunk is short or malformed.
    static ReadResult ReadVp8Chunk(DataSource& source, Metadata& metadata);
    static ReadResult ReadVp8LChunk(DataSource& source, Metadata& metadata);
    static ReadResult ReadVp8XChunk(DataSource& source, Metadata& metadata);
};

}  // namespace meta
