#include "varrow/formats/tiff/camera_identity.h"

#include <optional>
#include <string>
#include <vector>

#include "varrow/processors/read_store.h"
#include "varrow/values/exif_value.h"

namespace meta::detail {
namespace {

void NoteOnce(ExifValue const* value, std::string& slot) {
    if (value == nullptr || !slot.empty()) return;
    std::string text = value->ToString();
    while (!text.empty() && (text.back() == '\0' || text.back() == ' ')) text.pop_back();
    slot = std::move(text);
}

void NoteRationalOnce(ExifValue const* value, std::optional<Fraction>& slot) {
    if (value == nullptr || slot) return;
    Value const stored = value->ToMetaValue();
    if (stored.GetType() == Value::Type::Fraction) {
        slot = stored.Get<Fraction>();
    } else if (stored.GetType() == Value::Type::FractionArray) {
        auto const& list = stored.Get<std::vector<Fraction>>();
        if (!list.empty()) slot = list.front();
    }
}

}  // namespace

bool NoteMake(ExifValue const* value, std::uint32_t, ReadStore& store) {
    NoteOnce(value, store.make);
    return true;
}

bool NoteModel(ExifValue const* value, std::uint32_t, ReadStore& store) {
    NoteOnce(value, store.model);
    return true;
}

bool NoteFocalPlaneXResolution(ExifValue const* value, std::uint32_t, ReadStore& store) {
    NoteRationalOnce(value, store.focalPlaneXResolution);
    return true;
}

bool NoteFocalPlaneYResolution(ExifValue const* value, std::uint32_t, ReadStore& store) {
    NoteRationalOnce(value, store.focalPlaneYResolution);
    return true;
}

}  // namespace meta::detail
