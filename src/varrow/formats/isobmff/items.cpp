#include "varrow/formats/isobmff/items.h"

namespace meta::isobmff::items {

ReadResult ItemModel::ResolveInstructions() {
    if (!primaryItemId || items.find(*primaryItemId) == items.end()) return ReadResult::Error;

    ReadResult result = ReadResult::Success;
    auto [first, last] = references.equal_range(*primaryItemId);
    for (auto it = first; it != last;) {
        Reference const& reference = it->second;
        if (reference.type != FourCc::FromString("cdsc")) {
            ++it;
            continue;
        }
        auto const item = items.find(reference.fromItemId);
        if (item == items.end()) {
            ++it;
            continue;
        }
        if (extractedItems.count(reference.fromItemId) != 0) {
            it = references.erase(it);
            continue;
        }
        ExtractionKind kind = ExtractionKind::Exif;
        if (item->second.type == FourCc::FromString("Exif")) {
            kind = ExtractionKind::Exif;
        } else if (item->second.type == FourCc::FromString("mime") &&
                   item->second.contentType == "application/rdf+xml") {
            kind = ExtractionKind::Xmp;
        } else {
            ++it;
            continue;
        }
        auto const location = locations.find(reference.fromItemId);
        if (location == locations.end()) {
            result = ReadResult::Error;
            ++it;
            continue;
        }
        ItemLocation const& where = location->second;
        if (where.constructionMethod == 0) {
            if (where.dataReferenceIndex != 0) {
                result = ReadResult::Error;
                ++it;
                continue;
            }
        } else if (where.constructionMethod == 1) {
            if (!idatPosition) {
                ++it;  // pending until the idat box is seen
                continue;
            }
        } else {
            result = ReadResult::Error;
            ++it;
            continue;
        }
        DataExtractionInstruction instruction;
        instruction.kind = kind;
        instruction.constructionMethod = where.constructionMethod;
        instruction.extentCount = where.extentCount;
        instruction.firstExtent = where.firstExtent;
        instruction.baseOffset = where.baseOffset;
        instruction.idatPosition = idatPosition.value_or(0);
        instructions.push_back(instruction);
        extractedItems.insert(reference.fromItemId);
        it = references.erase(it);
    }
    return result;
}

}  // namespace meta::isobmff::items
