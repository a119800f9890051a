#pragma once

// Which image a directory's data locators (StripOffsets, JPEGInterchangeFormat
// and their byte counts) point to. The tag numbers are the same for the main
// image, a thumbnail, a preview and a full-size JPEG; what tells them apart
// is the directory they sit in, the file type and what the directory says
// about its image (compression, subfile type). The field tables choose the
// locators' names with the conditions below.

#include <cstdint>

#include "varrow/api/export.h"

namespace meta {

struct ReadStore;
class ExifValue;

enum class TiffImageRole : std::uint8_t { ImageData, Thumbnail, Preview, JpgFromRaw, Other };

// Role of the strips (StripOffsets/StripByteCounts) of the current directory:
// ImageData, or Preview/JpgFromRaw for the JPEG strips of reduced images in
// DNG and TIFF files and for IFD0 of CR2 files.
VARROW_API TiffImageRole StripRole(ReadStore const& store);
// Role of the JPEG a JPEGInterchangeFormat pair locates: Thumbnail, Preview,
// JpgFromRaw or Other (never ImageData).
VARROW_API TiffImageRole JpegRole(ReadStore const& store);

namespace detail {

// Value hooks of SubfileType and Compression: record the value for the
// conditions below and accept it.
VARROW_API bool NoteSubfileType(ExifValue const* value, std::uint32_t count, ReadStore& store);
VARROW_API bool NoteCompression(ExifValue const* value, std::uint32_t count, ReadStore& store);

// Conditions of the locator variants.
VARROW_API bool StripsArePreview(ReadStore& store);
VARROW_API bool StripsAreJpgFromRaw(ReadStore& store);
VARROW_API bool JpegIsThumbnail(ReadStore& store);
VARROW_API bool JpegIsPreview(ReadStore& store);
VARROW_API bool JpegIsJpgFromRaw(ReadStore& store);
// True while the entry being chosen holds 32-bit elements: only those can be
// rebased to document positions.
VARROW_API bool HoldsLongOffsets(ReadStore& store);
VARROW_API bool LongStripsArePreview(ReadStore& store);
VARROW_API bool LongStripsAreJpgFromRaw(ReadStore& store);

}  // namespace detail
}  // namespace meta
