#pragma once

#include <memory>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

class DataSource;

// Walks the chunks of a RIFF WebP file. Frame headers (VP8, VP8L, VP8X) and
// the alpha and animation chunks become items of group Webp; EXIF goes to
// the TIFF reader, XMP to the XMP processor and ICCP to the ICC reader, each
// fenced to its chunk. A chunk whose reader fails ends the walk only through
// the usual sub-read rule (Fatal, or Error under stopOnError); a file that
// ends inside a chunk has simply been read to its end.
class VARROW_API WebpProcessor : public Processor {
  public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;

    // Frame and feature chunks. Each reads from the source's input position,
    // the chunk's first data byte, and returns Success when every item was
    // added, Error when the chunk is short or malformed. Without `sizes` the
    // frame readers leave the image size alone: after a VP8X chunk the
    // canvas size is the image size, whatever the first frame says.
    static ReadResult ReadVp8Chunk(DataSource& source, Metadata& metadata, bool sizes = true);
    static ReadResult ReadVp8LChunk(DataSource& source, Metadata& metadata, bool sizes = true);
    static ReadResult ReadVp8XChunk(DataSource& source, Metadata& metadata);
    static ReadResult ReadAlphChunk(DataSource& source, Metadata& metadata);
    static ReadResult ReadAnimChunk(DataSource& source, Metadata& metadata);
};

}  // namespace meta
