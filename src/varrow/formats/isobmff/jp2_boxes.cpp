#include "varrow/formats/isobmff/jp2_boxes.h"

#include "varrow/formats/isobmff/box_data.h"
#include "varrow/formats/isobmff/property_boxes.h"
#include "varrow/formats/isobmff/provision.h"
#include "varrow/io/data_source.h"

namespace meta::isobmff {
namespace {

// A bits-per-component byte: the low 7 bits are the depth less one, the top
// bit marks signed samples; 255 says the depths differ (see "bpcc").
constexpr std::uint8_t kDepthsVary = 0xFF;

std::uint32_t Depth(std::uint8_t byte) {
    return (byte & 0x7Fu) + 1u;
}

}  // namespace

std::optional<std::string_view> Jp2hBox::Load(BoxHeader const& child) {
    std::uint64_t const size = child.GetPayloadSize();
    if (size > kMaxBoxPayload) return std::nullopt;
    if (size == 0) return std::string_view();
    if (!ProvideRegion(GetContext(), child.GetPayloadOffset(), size)) return std::nullopt;
    return GetContext().source.AsStringView().substr(0, static_cast<std::size_t>(size));
}

ReadResult Jp2hBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    if (child.GetTypeBytes() == Type("ihdr")) return ReadHeader(child);
    if (child.GetTypeBytes() == Type("bpcc")) return ReadComponentDepths(child);
    if (child.GetTypeBytes() == Type("colr")) return ReadColour(child);
    return SkipChild(child);
}

ReadResult Jp2hBox::ReadHeader(BoxHeader const& child) {
    std::optional<std::string_view> const bytes = Load(child);
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    if (!data.Read(height_) || !data.Read(width_) || !data.Read(components_) || !data.Read(depthByte_)) {
        return ReadResult::Error;
    }
    sawHeader_ = true;
    return ReadResult::Success;
}

ReadResult Jp2hBox::ReadComponentDepths(BoxHeader const& child) {
    std::optional<std::string_view> const bytes = Load(child);
    if (!bytes) return ReadResult::Error;
    depths_.clear();
    depths_.reserve(bytes->size());
    for (char const c : *bytes) depths_.push_back(Depth(static_cast<std::uint8_t>(c)));
    return ReadResult::Success;
}

ReadResult Jp2hBox::ReadColour(BoxHeader const& child) {
    std::optional<std::string_view> const bytes = Load(child);
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::uint8_t method = 0;
    if (!data.Read(method) || !data.Skip(2)) return ReadResult::Error;
    // Methods 2 (restricted) and 3 (any) carry an ICC profile.
    if (method != 2 && method != 3) return ReadResult::Success;
    std::string const profile(data.Rest());
    return ReadIccProfile(GetContext(), profile);
}

ReadResult Jp2hBox::PostRead() {
    if (!sawHeader_) return ReadResult::Error;
    AddItem(FieldGroup::IsoBaseMedia, "ImageWidth", width_);
    AddItem(FieldGroup::IsoBaseMedia, "ImageHeight", height_);
    AddItem(FieldGroup::IsoBaseMedia, "SamplesPerPixel", std::uint32_t{components_});
    std::vector<std::uint32_t> depths = depths_;
    if (depthByte_ != kDepthsVary || depths.size() != components_) {
        depths.assign(components_, Depth(depthByte_));
    }
    AddItem(FieldGroup::IsoBaseMedia, "BitsPerSample", std::move(depths));
    return ReadResult::Success;
}

}  // namespace meta::isobmff
