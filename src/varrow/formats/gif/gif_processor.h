#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

class DataSource;

// Reads a GIF87a/GIF89a file: the header and logical screen descriptor give
// "ImageWidth", "ImageHeight", "ColorResolutionDepth" and "BitsPerPixel"
// (group Gif); the blocks up to the trailer are walked, and an XMP packet
// carried in an "XMP DataXMP" application extension goes to the XMP
// processor. Nothing else becomes an item.
//
// A file that ends before its trailer, or holds an unknown block, reads as
// Error; the items found up to there stay.
class VARROW_API GifProcessor : public Processor {
  public:
    enum class GifVersion : std::uint8_t { Unknown = 0, Gif87a = 1, Gif89a = 2 };

    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;

    // The six signature bytes; false unless they are "GIF87a" or "GIF89a".
    static bool ReadHeader(std::istream& in, GifVersion& version);
    // The screen descriptor, skipping a global colour table; false when the
    // input ends inside it.
    static bool ReadLogicalScreenDescriptor(std::istream& in, std::uint16_t& width, std::uint16_t& height,
                                            std::uint8_t& colorResolution, std::uint8_t& bitsPerPixel);

    // Block readers of the walk (the introducer byte already read); false
    // when the block is damaged or cut short.
    static bool ReadImageBlock(std::istream& in);
    bool ReadExtensionBlock(std::istream& in, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                            FieldGroup group);
    static bool ReadGraphicControlExtensionBlock(std::istream& in);
    static bool ReadCommentsExtensionBlock(std::istream& in);
    static bool ReadPlainTextExtensionBlock(std::istream& in);
    bool ReadApplicationExtensionBlock(std::istream& in, std::shared_ptr<ReadStore> const& store,
                                       Metadata& metadata, FieldGroup group);

    // Skips a run of data sub-blocks up to its empty terminator.
    static bool SkipSubBlocks(std::istream& in);

  private:
    // Set when a sub-read reported Fatal: the whole read ends with it.
    bool fatal_ = false;
};

VARROW_API std::string_view ToString(GifProcessor::GifVersion version);

namespace detail {
// The end of the first XMP packet trailer in `text`: the index just after
// what the pattern <\?xpacket end=['"][wr]['"]\?> matches, or npos.
VARROW_API std::size_t FindXmpPacketEnd(std::string_view text);
}  // namespace detail

}  // namespace meta
