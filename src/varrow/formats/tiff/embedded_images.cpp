#include "varrow/formats/tiff/embedded_images.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#include "varrow/api/metadata.h"
#include "varrow/formats/tiff/tiff_reader.h"
#include "varrow/io/data_source.h"
#include "varrow/values/value_converter.h"

namespace meta {
namespace {

// The offset/length pairs that locate whole images, matched by name within
// one group. Only the thumbnail is copied: previews and full-size JPEGs of
// raw files run to megabytes, and copying them on every read would cost
// more than most callers want; their offsets and lengths stay available.
struct EmbeddedImage {
    std::string_view offsetName;
    std::string_view lengthName;
    char const* imageName;
};

constexpr std::array<EmbeddedImage, 1> kImages{{
    {"ThumbnailOffset", "ThumbnailLength", "ThumbnailImage"},
}};

struct Location {
    FieldGroup group = FieldGroup::Unknown;
    std::optional<std::uint64_t> offset;
    std::optional<std::uint64_t> length;
};

std::optional<std::uint64_t> FirstNumber(Metadatum const& item) {
    try {
        return item.GetRawValue().Convert<std::uint64_t>();
    } catch (ValueException const&) {
        return std::nullopt;
    }
}

}  // namespace

void AddEmbeddedImages(TiffReader const& reader, DataSource& source, Metadata& metadata,
                       std::size_t firstItem) {
    std::vector<Metadatum> const& items = metadata.GetAllValues();
    for (EmbeddedImage const& image : kImages) {
        // Few groups hold a pair, so a short list beats a map here.
        std::vector<Location> found;
        auto at = [&found](FieldGroup group) -> Location& {
            for (Location& location : found)
                if (location.group == group) return location;
            return found.emplace_back(Location{group, std::nullopt, std::nullopt});
        };
        for (std::size_t i = firstItem; i < items.size(); ++i) {
            std::string_view const name = items[i].GetName();
            if (name == image.offsetName) at(items[i].GetGroup()).offset = FirstNumber(items[i]);
            if (name == image.lengthName) at(items[i].GetGroup()).length = FirstNumber(items[i]);
        }
        for (Location const& location : found) {
            if (!location.offset || !location.length || *location.length == 0) continue;
            // The offset is a document position (the reader rebased it).
            auto const inputStart =
                static_cast<std::uint64_t>(std::max<std::streamoff>(source.GetInputOffset(), 0));
            if (*location.offset < inputStart) continue;
            // ProvisionAt refuses regions past the input, which bounds the copy.
            if (!reader.ProvisionAt(source, *location.offset - inputStart, *location.length) ||
                source.GetBytesProvisioned() < *location.length) {
                source.AsStream().clear();
                continue;
            }
            std::string_view const bytes =
                source.AsStringView(false).substr(0, static_cast<std::size_t>(*location.length));
            std::vector<byte> data(bytes.size());
            if (!bytes.empty()) std::memcpy(data.data(), bytes.data(), bytes.size());
            metadata.Add(location.group, image.imageName, Value(std::move(data)), ValueAffinity::Display);
        }
    }
}

}  // namespace meta
