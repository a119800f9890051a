#include "varrow/processors/record_processors.h"

#include <algorithm>
#include <optional>

#include "varrow/api/structural_map.h"
#include "varrow/fields/field_database.h"
#include "varrow/processors/directory_reader.h"

namespace meta {

namespace {

ProcessorRegistration<BinaryProcessor> const binary("Binary directory");
ProcessorRegistration<SerialProcessor> const serial("Serial directory");

// Fields beyond this offset are not part of any record layout we know.
constexpr std::size_t kMaxFieldOffset = 65536;

ExifType RecordFormat(ExifType format) {
    return format == ExifType::Undefined ? ExifType::Byte : format;
}

}  // namespace

ReadResult BinaryProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store,
                                 Metadata& metadata, FieldGroup group) {
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);
    if (source.GetBytesProvisioned() == 0) source.ProvisionRemainingData();

    ExifType const f = RecordFormat(store->valueFormat);
    std::size_t const e = GetExifTypeSize(f);
    long long const recordLength = store->valueCount;
    ScopedStoreSetter<&ReadStore::dataSource> const data(*store, &source);

    auto const start = static_cast<std::size_t>(std::streamoff(source.GetBufferPos()));
    std::size_t const usable = source.GetBytesUsable(true);
    std::size_t const available = usable > start ? usable - start : 0;

    for (FieldDatabase<RecordField>::FieldIterator it(group, *store); it.Advance();) {
        int const id = it.GetId();
        RecordField const* field = it.GetField();
        long long const index = id < 0 ? id + recordLength : id;
        if (index < 0) continue;  // counts back past the record's start
        auto const offset = static_cast<std::size_t>(index) * e;

        ExifType const format = field->overrideFormat != ExifType::Unknown ? field->overrideFormat : f;
        std::uint32_t count = field->fixedCount != 0 ? field->fixedCount : 1;
        if (field->countFunction) {
            if (field->delayed)
                source.SeekBufferTo(std::streampos(static_cast<std::streamoff>(start + offset)), false);
            count = field->countFunction(*store);
        }
        bool const text = format == ExifType::Ascii && field->subDirectories.empty() &&
                          field->fixedCount == 0 && !field->countFunction;
        if (text) {
            if (!source.AsStream()) return ReadResult::Error;
            std::string_view const window = source.AsStringView(false);
            std::size_t const from = std::min(start + offset, std::min(window.size(), usable));
            std::size_t const end = std::min(window.size(), usable);
            char const* const first = window.data() + from;
            char const* const last = window.data() + end;
            count = static_cast<std::uint32_t>(std::find(first, last, '\0') - first);
        } else if (count == 0) {
            continue;
        }

        if (offset > kMaxFieldOffset) break;
        if (available < GetExifTypeSize(format) * std::uint64_t{count} + offset) break;
        source.SeekBufferTo(std::streampos(static_cast<std::streamoff>(start + offset)), false);
        ReadResult const r =
            GenerateMetadatum<RecordField>(*this, source, store, metadata, std::optional<int>(id), field,
                                           group, format, count, DataFencingStrategy::Passthrough, 1);
        if (r == ReadResult::Error || r == ReadResult::Fatal) return r;
    }
    return source ? ReadResult::Success : ReadResult::Error;
}

ReadResult SerialProcessor::Read(DataSource& source, std::shared_ptr<ReadStore> const& store,
                                 Metadata& metadata, FieldGroup group) {
    if (source.GetBytesProvisioned() == 0) source.ProvisionRemainingData();
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);

    ExifType const f = RecordFormat(store->valueFormat);
    std::uint64_t const limit = source.GetBytesUsable(false);
    std::uint32_t const total = store->valueCount;
    ScopedStoreSetter<&ReadStore::dataSource> const data(*store, &source);

    std::uint64_t consumed = 0;
    std::uint64_t elements = 0;
    for (unsigned int id = 0; elements < total; ++id) {
        if (!source) return ReadResult::Error;
        UnsignedRecordField const* field = nullptr;
        {
            auto const hold = source.HoldBufferPos();
            field = FieldDatabase<UnsignedRecordField>::Find(id, group, *store, true);
        }
        bool read = GetOptions().readUnknownTags;
        std::uint32_t count = 1;
        ExifType format = f;
        if (field != nullptr) {
            if (field->visibility != 1) read = field->visibility == 0;
            if (field->fixedCount != 0) count = field->fixedCount;
            if (field->overrideFormat != ExifType::Unknown) format = field->overrideFormat;
            if (field->countFunction) {
                count = field->countFunction(*store);
                if (count == 0) continue;
            }
        }
        std::uint64_t const size = GetExifTypeSize(format) * std::uint64_t{count};
        consumed += size;
        if (consumed > limit) break;
        elements += count;
        if (read) {
            ReadResult const r = GenerateMetadatum<UnsignedRecordField>(
                *this, source, store, metadata, std::optional<unsigned int>(id), field, group, format, count,
                DataFencingStrategy::Passthrough, 1);
            if (r == ReadResult::Error || r == ReadResult::Fatal) return r;
        } else {
            source.SeekBufferBy(static_cast<long long>(size), true);
        }
        // An id the loop cannot leave must not spin: ids are bounded by the
        // elements a record can hold.
        if (id == std::numeric_limits<unsigned int>::max()) break;
    }
    return source ? ReadResult::Success : ReadResult::Error;
}

}  // namespace meta
