#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

class DataSource;

// How the text of a PNG text chunk is stored.
struct PngTextAttributes {
    bool latin1 = false;        // tEXt, zTXt; iTXt text is UTF-8
    std::string_view language;  // iTXt language tag, may be empty
};

// Walks the chunks of a PNG file and of the MNG and JNG formats that share
// its layout:
//
//   signature  8 bytes (89 "PNG", 8A "MNG" or 8B "JNG", then 0D 0A 1A 0A)
//   chunk      length (u32, big-endian, top bit clear), type (4 ASCII
//              bytes), data, CRC (never checked)
//
// The header chunk (IHDR, MHDR, JHDR) must come first (an Apple CgBI chunk
// may precede IHDR); the read ends successfully at IEND (MEND for MNG) and
// with Error when the file ends before it, keeping the items read so far.
//
// Header fields go through the field tables of groups Png, Mng and Jng;
// the other fixed-layout chunks (gAMA, cHRM, pHYs, sRGB, bKGD, sBIT, tIME,
// oFFs, vpAg, PLTE, tRNS, hIST) and the tEXt, zTXt and iTXt texts become
// items of group Png. EXIF (eXIf), XMP (iTXt "XML:com.adobe.xmp"), the ICC
// profile (iCCP) and the "Raw profile type ..." texts written by common
// image tools go to the processors of their blocks. Compressed data is
// inflated with zlib, bounded by detail::kMaxInflatedSize.
//
// A failing chunk never stops the walk; a Fatal result from a chunk ends the
// read with Success.
class VARROW_API PngProcessor : public Processor {
  public:
    // The function a compressed chunk's inflated data is handed to.
    using InflatedHandler = std::function<ReadResult(
        std::string_view, DataSource&, std::shared_ptr<ReadStore> const&, Metadata&, FieldGroup)>;

    using TextAttributes = PngTextAttributes;

    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;

    // Reads the 8-byte signature; on a match names the format's group (Png,
    // Mng or Jng), its header chunk and its end chunk.
    static bool ReadHeader(std::istream& in, FieldGroup& group, std::string& headerChunk,
                           std::string& endChunk);

    // One chunk whose `length` data bytes start at input position `at`.
    // Types not read here are Success without touching the input.
    ReadResult ReadChunk(std::string_view type, std::streampos at, long long length, DataSource& source,
                         std::shared_ptr<ReadStore> const& store, Metadata& metadata, FieldGroup group);

    // A text whose keyword is `keyword` and whose value is the rest of the
    // source (from the cursor to the usable end). NotHandled for a profile
    // that is not recognised or an empty text.
    ReadResult ReadTextChunk(std::string_view keyword, DataSource& source,
                             std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                             TextAttributes attributes = TextAttributes());

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
    // What a compressed chunk that does not inflate leaves behind.
    enum class Undecoded { Dropped, TextItem, ProfileName };

    ReadResult ReadCompressed(std::string_view keyword, DataSource& source,
                              std::shared_ptr<ReadStore> const& store, Metadata& metadata, FieldGroup group,
                              InflatedHandler const& handler, Undecoded keep);
    ReadResult ReadRawProfile(std::string_view keyword, std::string_view text, bool latin1,
                              std::shared_ptr<ReadStore> const& store, Metadata& metadata);
    ReadResult ReadFields(std::string_view type, DataSource& source, std::shared_ptr<ReadStore> const& store,
                          Metadata& metadata);
    void ReadPackedChunk(std::string_view type, std::string_view data,
                         std::shared_ptr<ReadStore> const& store, Metadata& metadata) const;
    ReadResult ReadHeaderChunk(DataSource& source, std::shared_ptr<ReadStore> const& store,
                               Metadata& metadata, FieldGroup group, std::size_t length);
    ReadResult Hand(char const* processorName, DataSource& source, std::shared_ptr<ReadStore> const& store,
                    Metadata& metadata, FieldGroup group, bool safe) const;
    ReadResult Judge(ReadResult result) const;

    // IHDR's colour type, which tRNS and bKGD need; -1 before IHDR.
    int colourType_ = -1;
};

}  // namespace meta
