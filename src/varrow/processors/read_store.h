#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "varrow/api/options.h"
#include "varrow/api/read_source.h"
#include "varrow/fields/field_group.h"
#include "varrow/values/byte_order.h"
#include "varrow/values/exif_type.h"
#include "varrow/values/fraction.h"

namespace meta {

class DataSource;

// Context of one read, shared (std::shared_ptr) by the collection, every
// processor of the read and every item it creates, so conversions run long
// after the read still see the camera model and the options. Readers add the
// members they need, each with a default.
struct ReadStore {
    std::string path;
    Options options;
    ReadSource readSource = ReadSource::Jpeg;

    // Describe the block being read; set for the duration of a sub-read.
    ByteOrder byteOrder = ByteOrder::LittleEndian;
    std::uint32_t valueCount = 0;
    FieldGroup currentGroup = FieldGroup::Unknown;
    std::string ParentTagName;
    ExifType valueFormat = ExifType::Unknown;

    // Item priorities: priority-0 definitions still win in preferredGroup;
    // every item of a zero-priority group gets priority 0.
    FieldGroup preferredGroup = FieldGroup::Unknown;
    std::set<FieldGroup> zeroPriorityGroups;

    // Document offsets of directories already entered, with visit counts:
    // every TIFF reader of one read consults it to break offset loops.
    std::map<std::uint64_t, unsigned> visitedOffsets;

    // The source being read, for definitions that look at the data itself.
    DataSource* dataSource = nullptr;

    // Camera identification, matched by conditions of the field tables.
    std::string make;
    std::string model;
    // The EXIF focal plane resolutions as stored: Canon writes the sensor's
    // size into the two rationals, which an XMP copy of the tags (a plain
    // number) no longer shows.
    std::optional<Fraction> focalPlaneXResolution;
    std::optional<Fraction> focalPlaneYResolution;

    // What the TIFF directory being read has said about its image so far;
    // the conditions that name its image locators depend on it.
    std::optional<std::uint64_t> directoryCompression;
    std::optional<std::uint64_t> directorySubfileType;

    // Units per second of the movie header's times and durations (0: not
    // read). Kept after the read: the durations are converted lazily.
    std::uint32_t movieTimeScale = 0;
};

// Sets one ReadStore member for a scope and restores the old value on every
// way out, exceptions included:
//   ScopedStoreSetter<&ReadStore::currentGroup> group(store, FieldGroup::Exif);
template <auto Member>
class ScopedStoreSetter;

template <class T, T ReadStore::*Member>
class ScopedStoreSetter<Member> {
  public:
    ScopedStoreSetter(ReadStore& store, T value) : store_(store), saved_(std::move(store.*Member)) {
        store_.*Member = std::move(value);
    }
    ~ScopedStoreSetter() { store_.*Member = std::move(saved_); }

    ScopedStoreSetter(ScopedStoreSetter const&) = delete;
    ScopedStoreSetter& operator=(ScopedStoreSetter const&) = delete;

  private:
    ReadStore& store_;
    T saved_;
};

}  // namespace meta
