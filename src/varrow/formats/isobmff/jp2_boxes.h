#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/formats/isobmff/box.h"

namespace meta::isobmff {

// "jp2h", the JPEG 2000 header: "ihdr" gives "ImageWidth", "ImageHeight",
// "SamplesPerPixel" and "BitsPerSample" (group IsoBaseMedia), the latter
// from "bpcc" when the components differ; a "colr" box that holds an ICC
// profile goes to the ICC reader.
class VARROW_API Jp2hBox : public ContainerBox {
  public:
    using ContainerBox::ContainerBox;
    ReadResult PostRead() override;

  protected:
    std::set<BoxType> GetMandatoryChildren() const override { return {Type("ihdr")}; }
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;

  private:
    ReadResult ReadHeader(BoxHeader const& child);
    ReadResult ReadComponentDepths(BoxHeader const& child);
    ReadResult ReadColour(BoxHeader const& child);
    std::optional<std::string_view> Load(BoxHeader const& child);

    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
    std::uint16_t components_ = 0;
    std::uint8_t depthByte_ = 0;
    std::vector<std::uint32_t> depths_;  // from "bpcc"
    bool sawHeader_ = false;
};

}  // namespace meta::isobmff
