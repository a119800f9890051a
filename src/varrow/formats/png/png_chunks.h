#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/values/value.h"

namespace meta {

struct ReadStore;

// One item decoded from a small fixed-layout chunk: the stored numbers (or
// bytes) and the text ExifTool-style output shows.
struct PackedChunkItem {
    std::string_view name;
    Value raw;
    Value display;
};

// Whether `type` is one of the chunks DecodePackedChunk knows: gAMA, sRGB,
// bKGD, sBIT, tIME, oFFs, sTER, sCAL, PLTE, tRNS, hIST and the chunks kept
// as binary data (sPLT, pCAL, fRAc, dSIG, gIFg, gIFt, gIFx).
VARROW_API bool IsPackedPngChunk(std::string_view type);

// Decodes such a chunk into its items. `colourType` is IHDR's colour type
// (-1 when unknown), which decides the layout of tRNS. Nothing for data too
// short for its layout.
//   gAMA  Gamma: 100000 / stored value, five significant digits
//   sRGB  SRGBRendering: the rendering intent, named by lookup
//   bKGD  BackgroundColor: palette index, grey level or RGB levels
//   sBIT  SignificantBits: one byte per channel
//   tIME  ModifyDate: "YYYY:MM:DD hh:mm:ss", not validated
//   oFFs  ImageOffset: "x, y (pixels)" or "(microns)"
//   sTER  StereoMode, named by lookup
//   sCAL  SubjectUnits (named by lookup), SubjectPixelWidth and
//         SubjectPixelHeight as the stored texts
//   PLTE, tRNS, hIST: the values when there are at most three, else a
//         binary summary
VARROW_API std::vector<PackedChunkItem> DecodePackedChunk(std::string_view type, std::string_view data,
                                                          int colourType, ReadStore& store);

// "(Binary data <size> bytes, use -b option to extract)".
VARROW_API Value PackedBinarySummary(std::size_t size);

}  // namespace meta
