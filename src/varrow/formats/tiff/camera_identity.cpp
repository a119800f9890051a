#include "varrow/formats/tiff/camera_identity.h"

#include <string>

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

}  // namespace

bool NoteMake(ExifValue const* value, std::uint32_t, ReadStore& store) {
    NoteOnce(value, store.make);
    return true;
}

bool NoteModel(ExifValue const* value, std::uint32_t, ReadStore& store) {
    NoteOnce(value, store.model);
    return true;
}

}  // namespace meta::detail
