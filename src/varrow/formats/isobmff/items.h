#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/formats/isobmff/identifier.h"
#include "varrow/processors/read_result.h"

namespace meta::isobmff {
struct ParseContext;
}

namespace meta::isobmff::items {

// An item declared by "infe".
struct Item {
    std::uint32_t id = 0;
    FourCc type;
    std::string contentType;  // items of type "mime" only
};

struct Extent {
    std::uint64_t index = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// Where an item's data lies ("iloc"). Only the first extent is kept: an item
// split over several extents is never extracted, and keeping just the count
// bounds what a hostile extent count can cost.
struct ItemLocation {
    std::uint8_t constructionMethod = 0;  // 0 file offset, 1 idat offset, 2 item offset
    std::uint16_t dataReferenceIndex = 0;
    std::uint64_t baseOffset = 0;
    std::uint32_t extentCount = 0;
    std::optional<Extent> firstExtent;
};

// A property of "ipco"; applying it adds the property's items.
struct ItemProperty {
    FourCc type;
    std::function<ReadResult(ParseContext&)> apply;  // null: passed over
};

struct Association {
    std::uint16_t propertyIndex = 0;  // 1-based; 0 means none
    bool essential = false;
};

struct Reference {
    FourCc type;
    std::uint32_t fromItemId = 0;
};

enum class ExtractionKind : std::uint8_t { Exif = 0, Xmp = 1, CanonTimedMetadata = 2 };

// One block to read from an item's data (or a CR3 track's samples).
struct DataExtractionInstruction {
    ExtractionKind kind = ExtractionKind::Exif;
    std::uint8_t constructionMethod = 0;
    std::uint32_t extentCount = 0;
    std::optional<Extent> firstExtent;
    std::uint64_t baseOffset = 0;
    std::uint64_t idatPosition = 0;
    std::uint32_t recordCount = 0;
    bool done = false;
};

// Everything the "meta" box says about the items of a file.
struct ItemModel {
    std::optional<std::uint32_t> primaryItemId;
    std::map<std::uint32_t, Item> items;
    std::map<std::uint32_t, ItemLocation> locations;
    std::vector<ItemProperty> properties;                    // index 1 is properties[0]
    std::multimap<std::uint32_t, Association> associations;  // by item id, in file order
    std::multimap<std::uint32_t, Reference> references;      // by referenced item id
    std::optional<std::uint64_t> idatPosition;               // input position of the idat payload
    std::vector<DataExtractionInstruction> instructions;
    // Items already turned into instructions: repeated references to one
    // item must not read it again and again.
    std::set<std::uint32_t> extractedItems;

    // Turns the "cdsc" references to the primary item from Exif and XMP
    // items into instructions; references whose data is not yet reachable
    // (idat not seen) stay for a later call. Error when the primary item is
    // unknown or a location is unusable.
    VARROW_API ReadResult ResolveInstructions();
};

}  // namespace meta::isobmff::items
