#pragma once

#include <iosfwd>
#include <memory>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

class DataSource;

// Walks the marker segments of a JPEG file (or of a JPEG 2000 codestream
// that starts with SOC) up to the first scan. Application segments go to the
// processors of their payloads, found by display name in the processor
// registry: EXIF to the TIFF reader, XMP packets to the XMP processor,
// Photoshop resources to theirs, JFIF to the binary record reader. Frame
// properties ("ImageWidth", ... in group JpegSof) and the comment ("Comment"
// in JpegCom) are added directly. ICC profiles and extended XMP, which JPEG
// splits over several segments, are reassembled and read after the walk.
//
// A damaged segment structure ends the read with Error, keeping the items
// added so far; a sub-processor's result follows the usual sub-read rule. A
// payload whose processor is not linked in is skipped.
class VARROW_API JpegProcessor : public Processor {
  public:
    // Display names of the processors the segments are handed to.
    struct SubProcessorNames {
        char const* tiff = "TIFF document";
        char const* xmp = "XMP document";
        char const* icc = "ICC Profile";
        char const* photoshop = "Photoshop Image Resources";
        char const* binary = "Binary directory";
    };

    explicit JpegProcessor(Options const& options) : Processor(options) {}
    // Hands the payloads to other processors (tests route them to recorders).
    JpegProcessor(Options const& options, SubProcessorNames names) : Processor(options), names_(names) {}

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;

    // Whether the stream starts with FF D8 (SOI), FF 4F (SOC) or FF 01.
    // Consumes the two bytes.
    static bool ReadHeader(std::istream& in);

    SubProcessorNames const& GetSubProcessorNames() const noexcept { return names_; }

  private:
    SubProcessorNames names_;
};

// Whether the bytes at the source's cursor are "JFIF\0"; on success the
// cursor moves past them. False when fewer than 5 bytes can be provisioned.
VARROW_API bool ReadJfifHeader(DataSource& source);
// The same for "Exif\0\0" (6 bytes).
VARROW_API bool ReadExifHeader(DataSource& source);

}  // namespace meta
