#include "varrow/formats/isobmff/root_box.h"

#include <istream>
#include <optional>
#include <set>
#include <utility>

#include "varrow/formats/isobmff/jp2_boxes.h"
#include "varrow/formats/isobmff/meta_boxes.h"
#include "varrow/formats/isobmff/movie_boxes.h"
#include "varrow/formats/isobmff/provision.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/read_store.h"

namespace meta::isobmff {
namespace {

constexpr std::string_view kExifPrefix("Exif\0\0", 6);

}  // namespace

ReadResult RootBox::HandleChild(std::istream& /*in*/, BoxHeader const& child) {
    BoxType const& type = child.GetTypeBytes();
    if (!child.HasExtendedType()) {
        if (type == Type("ftyp")) return DelegateBox<FtypBox>(child);
        if (type == Type("meta")) return DelegateBox<MetaBox>(child);
        if (type == Type("mdat")) return DelegateBox<MdatOrIdatBox>(child, false);
        if (type == Type("moov")) return DelegateBox<MoovBox>(child);
        if (type == Type("jp2h")) return DelegateBox<Jp2hBox>(child);
        if (type == Type("xml ")) return DelegateXmp(child, FieldGroup::Xmp);
        return SkipChild(child);
    }
    if (type == kXmpUuid) return DelegateXmp(child, FieldGroup::Xmp);
    if (type == kJp2ExifAsciiUuid || type == kJp2ExifUuid || type == kGeoJp2Uuid) {
        // A GeoJP2 box is a degenerate 1x1 GeoTIFF: its image tags describe a
        // placeholder, so they must not outrank the JPEG 2000 header's.
        std::optional<ScopedStoreSetter<&ReadStore::zeroPriorityGroups>> geo;
        if (type == kGeoJp2Uuid) {
            std::set<FieldGroup> groups = GetContext().store->zeroPriorityGroups;
            groups.insert(FieldGroup::Ifd0);
            geo.emplace(*GetContext().store, std::move(groups));
        }
        // Some writers keep the JPEG "Exif\0\0" marker before the TIFF header.
        if (child.GetPayloadSize() > kExifPrefix.size() &&
            ProvideRegion(GetContext(), child.GetPayloadOffset(), kExifPrefix.size()) &&
            GetContext().source.AsStringView().substr(0, kExifPrefix.size()) == kExifPrefix) {
            BoxHeader const tiff(type, child.GetSize() - kExifPrefix.size(),
                                 child.GetOffset() + kExifPrefix.size(), true, child.IsLargeSize());
            return DelegateTiff(tiff, FieldGroup::Unknown);
        }
        return DelegateTiff(child, FieldGroup::Unknown);
    }
    return SkipChild(child);
}

ReadResult RootBox::PostRead() {
    GetContext().source.GetInputStream().clear();
    return Follow(GetContext().model.instructions, -1);
}

}  // namespace meta::isobmff
