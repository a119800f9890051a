#pragma once

#include "varrow/api/export.h"
#include "varrow/formats/isobmff/box.h"

namespace meta::isobmff {

// The whole file as a box without header. After the walk, PostRead runs
// the extraction instructions that no "mdat" or "idat" box took.
class VARROW_API RootBox : public ContainerBox {
  public:
    explicit RootBox(ParseContext& context) noexcept : ContainerBox(context, 0, context.inputLength) {}
    ReadResult PostRead() override;

  protected:
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
    bool IsLenient() const override { return true; }
};

}  // namespace meta::isobmff
