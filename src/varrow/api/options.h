#pragma once

namespace meta {

// What a caller can choose about one read. A plain aggregate of one-byte
// flags: it is copied into every processor and into the read store, and the
// library never changes it during a read. Everything defaults to false.
struct Options {
    // Also read tags that have no field definition (named by their number),
    // and tags whose definition is hidden by default.
    bool readUnknownTags = false;
    // A damaged sub-block ends the whole read instead of being skipped.
    bool stopOnError = false;
    // Bytes 2, 5 and 10 keep the aggregate's layout stable for flags to
    // come; no reader looks at them.
    bool reserved2 = false;
    // Do not read XMP packets (an .xmp file then fails to read).
    bool skipXmp = false;
    // Read JPEG APP1 extended-XMP segments.
    bool readExtendedXmp = false;
    bool reserved5 = false;
    // Drop XMP properties of namespaces the library does not know.
    bool dropUnknownXmp = false;
    // Drop XMP nodes that have more than 99 direct children.
    bool xmpChildLimit = false;
    // Do not derive composite items after a successful read.
    bool noCompositeTags = false;
    // XMP output keeps the composite "ISO" even when an EXIF "ISO" exists.
    bool xmpKeepCompositeIso = false;
    bool reserved10 = false;
    // Record which processor read which byte range (Metadata::DumpStructure).
    bool recordStructure = false;

    friend bool operator==(Options const&, Options const&) = default;
};

static_assert(sizeof(Options) == 12, "Options is twelve one-byte flags");

}  // namespace meta
