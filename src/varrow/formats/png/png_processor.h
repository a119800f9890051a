#pragma once

#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

class DataSource;

// Walks the chunks of a PNG file and of the MNG and JNG formats that share
// its layout:
//
//   signature  8 bytes (89 "PNG", 8A "MNG" or 8B "JNG", then 0D 0A 1A 0A)
//   chunk      length (u32, big-endian, top bit clear), type (4 ASCII
//              bytes), data, CRC (never checked)
//
// The format's header chunk (IHDR, MHDR, JHDR) must come first; a PNG may
// put an Apple CgBI chunk before it. The read ends successfully at the end
// chunk (IEND, MEND for MNG) and with Error when the file ends before it,
// keeping the items read so far.
//
// Only the chunks that carry metadata are read: IHDR gives "ImageWidth" and
// "ImageHeight" (group Png); iCCP gives "ProfileName" and the ICC profile;
// iTXt and zTXt give "Comment", XMP ("XML:com.adobe.xmp") and the
// "Raw profile type exif/APP1/xmp/iptc" blocks written by common image
// tools; eXIf goes to the TIFF reader. Every other chunk, tEXt included, is
// passed over. Compressed data is inflated with zlib, bounded by
// detail::kMaxInflatedSize.
//
// A failing chunk never stops the walk; a Fatal result from a chunk ends the
// read with Success.
class VARROW_API PngProcessor : public Processor {
  public:
    // What a compressed chunk's inflated data is handed to, with the
    // chunk's keyword (or profile name).
    using InflatedHandler = std::function<ReadResult(
        std::string_view, DataSource&, std::shared_ptr<ReadStore> const&, Metadata&, FieldGroup)>;

    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;

    // Reads the 8-byte signature; on a match names the format's group (Png,
    // Mng or Jng), its header chunk and its end chunk.
    static bool ReadHeader(std::istream& in, FieldGroup& group, std::string& headerChunk,
                           std::string& endChunk);

    // One chunk whose `length` data bytes start at input position `at`.
    // Chunks that are not read here are Success without touching the input.
    ReadResult ReadChunk(std::string_view type, std::streampos at, long long length, DataSource& source,
                         std::shared_ptr<ReadStore> const& store, Metadata& metadata, FieldGroup group);

    // A text whose keyword is `keyword` and whose value is the rest of the
    // source (from the cursor to the usable end). NotHandled for a keyword
    // that is not read.
    ReadResult ReadTextChunk(std::string_view keyword, DataSource& source,
                             std::shared_ptr<ReadStore> const& store, Metadata& metadata);

    // Inflates the rest of the source and calls `handler` with the keyword
    // and a source over the inflated bytes. Error for data that zlib rejects,
    // that ends before the stream does, or that inflates beyond the limit.
    ReadResult ReadCompressedTextChunk(std::string_view keyword, DataSource& source,
                                       std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                                       FieldGroup group, InflatedHandler const& handler);

    // Adds "ProfileName" and reads the profile in `source` with the ICC
    // processor.
    ReadResult ReadIccProfileChunk(std::string_view name, DataSource& source,
                                   std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                                   FieldGroup group);

  private:
    ReadResult ReadRawProfile(std::string_view keyword, std::string_view text,
                              std::shared_ptr<ReadStore> const& store, Metadata& metadata);
    ReadResult Hand(char const* processorName, DataSource& source, std::shared_ptr<ReadStore> const& store,
                    Metadata& metadata, FieldGroup group, bool fenced) const;
    // The sub-read rule: Error counts as NotHandled unless stopOnError.
    ReadResult Judge(ReadResult result) const;
};

}  // namespace meta
