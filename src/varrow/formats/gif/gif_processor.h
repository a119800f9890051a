#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

class DataSource;

// Reads a GIF87a/GIF89a file: the header and logical screen descriptor, then
// every block up to the trailer. Items of group Gif: the screen facts, the
// first transparent colour index, the loop count of a looping animation,
// comments, and after the walk the frame count and the play time. XMP and
// ICC profiles carried in application extensions go to their processors.
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
    bool ReadImageBlock(std::istream& in);
    bool ReadExtensionBlock(std::istream& in, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                            FieldGroup group);
    bool ReadGraphicControlExtensionBlock(std::istream& in, std::shared_ptr<ReadStore> const& store,
                                          Metadata& metadata);
    bool ReadCommentsExtensionBlock(std::istream& in, std::shared_ptr<ReadStore> const& store,
                                    Metadata& metadata);
    bool ReadPlainTextExtensionBlock(std::istream& in);
    bool ReadApplicationExtensionBlock(std::istream& in, std::shared_ptr<ReadStore> const& store,
                                       Metadata& metadata, FieldGroup group);

    // Skips a run of data sub-blocks up to its empty terminator.
    static bool SkipSubBlocks(std::istream& in);

  private:
    bool ReadXmp(std::istream& in, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                 FieldGroup group);
    bool ReadIcc(std::istream& in, std::shared_ptr<ReadStore> const& store, Metadata& metadata);
    bool ReadLoopCount(std::istream& in, std::shared_ptr<ReadStore> const& store, Metadata& metadata);
    ReadResult Walk(std::istream& in, std::shared_ptr<ReadStore> const& store, Metadata& metadata);
    // The sub-read rule: whether the walk may go on after `result`.
    bool Judge(ReadResult result);
    void AddSummary(std::shared_ptr<ReadStore> const& store, Metadata& metadata) const;

    // Per read; a processor serves one read.
    std::uint32_t frames_ = 0;
    std::uint64_t centiseconds_ = 0;  // delays of the frames shown
    std::uint16_t pendingDelay_ = 0;  // from a graphic control block, for the next frame
    bool transparentSeen_ = false;
    bool fatal_ = false;  // a sub-read said the whole read must end
};

VARROW_API std::string_view ToString(GifProcessor::GifVersion version);

namespace detail {
// The end of the XMP packet trailer ("<?xpacket end='w'?>", either quote,
// 'w' or 'r') in `text`: the index just after it, or npos.
VARROW_API std::size_t FindXmpPacketEnd(std::string_view text);
}  // namespace detail

}  // namespace meta
