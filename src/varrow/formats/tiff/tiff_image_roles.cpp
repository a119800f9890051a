#include "varrow/formats/tiff/tiff_image_roles.h"

#include <initializer_list>
#include <optional>

#include "varrow/processors/read_store.h"
#include "varrow/values/exif_value_numeric.h"

namespace meta {

namespace {

constexpr std::uint64_t kJpegCompression = 7;

std::optional<std::uint64_t> FirstInteger(ExifValue const* value) {
    auto const* integral = dynamic_cast<IntegralExifValue const*>(value);
    if (integral == nullptr || integral->GetValueCount() == 0) return std::nullopt;
    std::int64_t const first = integral->GetValueAsInt(0);
    if (first < 0) return std::nullopt;
    return static_cast<std::uint64_t>(first);
}

bool IsAnyOf(ReadSource source, std::initializer_list<ReadSource> sources) {
    for (ReadSource s : sources)
        if (s == source) return true;
    return false;
}

}  // namespace

TiffImageRole StripRole(ReadStore const& store) {
    FieldGroup const group = store.currentGroup;
    if (store.readSource == ReadSource::Cr2 && group == FieldGroup::Ifd0) return TiffImageRole::Preview;
    if (!IsAnyOf(store.readSource, {ReadSource::Dng, ReadSource::Tiff})) return TiffImageRole::ImageData;
    if (store.directoryCompression != kJpegCompression) return TiffImageRole::ImageData;
    // A JPEG-compressed full-resolution image is the image itself; without a
    // subfile type the directory makes no such claim.
    if (store.directorySubfileType == std::uint64_t{0}) return TiffImageRole::ImageData;
    return group == FieldGroup::SubIfd2 ? TiffImageRole::JpgFromRaw : TiffImageRole::Preview;
}

TiffImageRole JpegRole(ReadStore const& store) {
    switch (store.currentGroup) {
        case FieldGroup::Ifd1: return TiffImageRole::Thumbnail;
        case FieldGroup::Ifd0:
            if (store.readSource == ReadSource::Mrw) return TiffImageRole::Thumbnail;
            if (IsAnyOf(store.readSource, {ReadSource::Arw, ReadSource::Sr2})) return TiffImageRole::Preview;
            return TiffImageRole::Other;
        case FieldGroup::SubIfd:
            return store.readSource == ReadSource::Srw ? TiffImageRole::Thumbnail : TiffImageRole::JpgFromRaw;
        case FieldGroup::Ifd2:
            return store.readSource == ReadSource::Pef ? TiffImageRole::JpgFromRaw : TiffImageRole::Other;
        default: return TiffImageRole::Other;
    }
}

namespace detail {

bool NoteSubfileType(ExifValue const* value, std::uint32_t, ReadStore& store) {
    store.directorySubfileType = FirstInteger(value);
    return true;
}

bool NoteCompression(ExifValue const* value, std::uint32_t, ReadStore& store) {
    store.directoryCompression = FirstInteger(value);
    return true;
}

bool StripsArePreview(ReadStore& store) {
    return StripRole(store) == TiffImageRole::Preview;
}

bool StripsAreJpgFromRaw(ReadStore& store) {
    return StripRole(store) == TiffImageRole::JpgFromRaw;
}

bool JpegIsThumbnail(ReadStore& store) {
    return JpegRole(store) == TiffImageRole::Thumbnail;
}

bool JpegIsPreview(ReadStore& store) {
    return JpegRole(store) == TiffImageRole::Preview;
}

bool JpegIsJpgFromRaw(ReadStore& store) {
    return JpegRole(store) == TiffImageRole::JpgFromRaw;
}

bool HoldsLongOffsets(ReadStore& store) {
    return store.valueFormat == ExifType::Long || store.valueFormat == ExifType::Ifd;
}

bool LongStripsArePreview(ReadStore& store) {
    return HoldsLongOffsets(store) && StripsArePreview(store);
}

bool LongStripsAreJpgFromRaw(ReadStore& store) {
    return HoldsLongOffsets(store) && StripsAreJpgFromRaw(store);
}

}  // namespace detail
}  // namespace meta
