#pragma once

#include "varrow/api/export.h"
#include "varrow/formats/isobmff/box.h"

namespace meta::isobmff {

// The item properties of "ipco" this reader knows. Reading one appends an
// items::ItemProperty to the model; it adds its items (group IsoBaseMedia)
// only when the property turns out to belong to the primary item.

// "ispe" (version 0, flags 0): "ImageWidth", "ImageHeight".
class VARROW_API IspeBox : public Box {
  public:
    using Box::Box;

  protected:
    bool HasFlags() const override { return true; }
    bool IsSupported() const override { return GetVersion() == 0 && GetFlags() == 0; }
    ReadResult Open() override;
};

// "pasp": "PixelAspectRatio", horizontal over vertical spacing.
class VARROW_API PaspBox : public Box {
  public:
    using Box::Box;

  protected:
    ReadResult Open() override;
};

// "pixi" (version 0, flags 0): "SamplesPerPixel", "BitsPerSample".
class VARROW_API PixiBox : public Box {
  public:
    using Box::Box;

  protected:
    bool HasFlags() const override { return true; }
    bool IsSupported() const override { return GetVersion() == 0 && GetFlags() == 0; }
    ReadResult Open() override;
};

// "colr": an ICC profile ("prof", "rICC") goes to the ICC reader; "nclx"
// is not handled; any other colour type fails.
class VARROW_API ColrBox : public Box {
  public:
    using Box::Box;

  protected:
    ReadResult Open() override;
};

// Reads an ICC profile held in memory (group IccProfile).
VARROW_API ReadResult ReadIccProfile(ParseContext& context, std::string_view profile);

}  // namespace meta::isobmff
