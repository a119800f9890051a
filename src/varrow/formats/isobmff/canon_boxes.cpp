#include "varrow/formats/isobmff/canon_boxes.h"

#include "varrow/formats/isobmff/box_data.h"
#include "varrow/formats/isobmff/provision.h"
#include "varrow/io/data_source.h"

namespace meta::isobmff {
namespace {

// A visual sample entry up to its child boxes: reserved (6), data reference
// index (2), pre-defined and reserved (16), width and height (2 each),
// resolutions (8), reserved (4), frame count (2), compressor name (32),
// depth (2), pre-defined (2), and 4 bytes Canon adds.
constexpr std::uint64_t kCrawPreamble = 82;
constexpr std::size_t kCrawWidthAt = 24;

}  // namespace

ReadResult CanonBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    BoxType const& type = child.GetTypeBytes();
    if (type == Type("CNCV")) return DelegateBox<CncvBox>(child);
    if (type == Type("CCTP")) return DelegateBox<CctpBox>(child);
    if (type == Type("CTBO")) return DelegateBox<CtboBox>(child);
    if (type == Type("CMT1")) return DelegateTiff(child, FieldGroup::Ifd0);
    if (type == Type("CMT2")) return DelegateTiff(child, FieldGroup::Exif);
    if (type == Type("CMT3")) return DelegateTiff(child, FieldGroup::Canon);
    if (type == Type("CMT4")) return DelegateTiff(child, FieldGroup::Gps);
    return SkipChild(child);
}

ReadResult CncvBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::string_view const text = data.CString();
    if (text.empty()) return ReadResult::NotHandled;
    AddItem(FieldGroup::CanonCr3, "CompressorVersion", std::string(text));
    return ReadResult::Success;
}

ReadResult CctpBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    if (child.GetTypeBytes() == Type("CCDT")) return DelegateBox<CcdtBox>(child);
    return SkipChild(child);
}

ReadResult CcdtBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::uint64_t imageType = 0;
    std::uint32_t dualPixel = 0;
    std::uint32_t trackIndex = 0;
    if (!data.Read(imageType) || !data.Read(dualPixel) || !data.Read(trackIndex)) return ReadResult::Error;
    return ReadResult::Success;
}

ReadResult CtboBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::uint32_t count = 0;
    if (!data.Read(count)) return ReadResult::Error;
    // Index (4), offset (8) and size (8) per record.
    if (std::uint64_t{count} * 20 > data.Remaining()) return ReadResult::Error;
    return ReadResult::Success;
}

ReadResult CRAWBox::Open() {
    if (GetDataSize() < kCrawPreamble) return ReadResult::Error;
    if (!ProvideRegion(GetContext(), GetDataOffset(), kCrawPreamble)) return ReadResult::Error;
    BoxData data(GetContext().source.AsStringView().substr(kCrawWidthAt));
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    if (!data.Read(width) || !data.Read(height)) return ReadResult::Error;
    return OpenImpl(kCrawPreamble);
}

ReadResult CRAWBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    if (child.GetTypeBytes() == Type("CMP1")) return DelegateBox<CMP1Box>(child, Track());
    if (child.GetTypeBytes() == Type("CDI1")) return DelegateBox<CDI1Box>(child, Track());
    return SkipChild(child);
}

ReadResult CMP1Box::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    TrackInfo::RawFrame frame;
    std::uint8_t planes = 0;
    if (!data.Skip(8) || !data.Read(frame.frameWidth) || !data.Read(frame.frameHeight) ||
        !data.Read(frame.tileWidth) || !data.Read(frame.tileHeight) || !data.Read(frame.bitDepth) ||
        !data.Read(planes)) {
        return ReadResult::Error;
    }
    frame.planes = static_cast<std::uint8_t>(planes >> 4);
    Track().rawFrame = frame;
    return ReadResult::Success;
}

ReadResult CDI1Box::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    if (child.GetTypeBytes() == Type("IAD1")) return DelegateBox<IAD1Box>(child, Track());
    return SkipChild(child);
}

ReadResult IAD1Box::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    if (!data.Read(width) || !data.Read(height)) return ReadResult::Error;
    Track().sensorWidth = width;
    Track().sensorHeight = height;
    return ReadResult::Success;
}

ReadResult CTMDBox::Open() {
    std::optional<std::string_view> const bytes = LoadData();
    if (!bytes) return ReadResult::Error;
    BoxData data(*bytes);
    // Reserved (6) and data reference index (2) come first.
    if (!data.Skip(8) || !data.Read(Track().timedMetadataRecords)) return ReadResult::Error;
    return ReadResult::Success;
}

}  // namespace meta::isobmff
