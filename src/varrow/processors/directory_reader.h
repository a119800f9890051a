#pragma once

// Table-driven reading of one tag of a directory or record: the value at the
// buffer cursor becomes an item, or the sub-directories its definition names
// are handed to their processors. Templates over the definition type, so the
// same rules serve TIFF-style directories, binary and serial records, ICC
// tags and camera-specific records.

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <typeinfo>
#include <utility>

#include "varrow/api/metadata.h"
#include "varrow/fields/field.h"
#include "varrow/fields/field_group.h"
#include "varrow/fields/table_keys.h"
#include "varrow/io/data_source.h"
#include "varrow/items/exif_metadatum.h"
#include "varrow/items/item_priority.h"
#include "varrow/processors/processor.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_result.h"
#include "varrow/processors/read_store.h"
#include "varrow/values/exif_type_info.h"
#include "varrow/values/exif_values.h"

namespace meta {

// The default value reader: `count` elements of `format` from the source's
// buffer stream in the read store's byte order. Null on failure. A custom
// reader has the same call signature.
template <class Tag, class ValueT = ExifValue>
struct StreamValueReader {
    std::unique_ptr<ValueT> operator()(DataSource& source, ExifType format, std::uint32_t count,
                                       ReadStore const& store) const {
        std::unique_ptr<ValueT> value = CreateExifValue(format);
        if (!value || !value->Read(source.AsStream(), count, store.byteOrder) || !source.AsStream())
            return nullptr;
        return value;
    }
};

namespace detail {

// Saves the store members a sub-directory read changes and restores them on
// every way out.
class SubDirectoryContext {
  public:
    explicit SubDirectoryContext(ReadStore& store)
        : store_(store),
          group_(store.currentGroup),
          format_(store.valueFormat),
          count_(store.valueCount),
          order_(store.byteOrder) {}
    ~SubDirectoryContext() {
        store_.currentGroup = group_;
        store_.valueFormat = format_;
        store_.valueCount = count_;
        store_.byteOrder = order_;
    }
    SubDirectoryContext(SubDirectoryContext const&) = delete;
    SubDirectoryContext& operator=(SubDirectoryContext const&) = delete;

  private:
    ReadStore& store_;
    FieldGroup group_;
    ExifType format_;
    std::uint32_t count_;
    ByteOrder order_;
};

inline std::uint64_t ValueBytes(ExifType format, std::uint64_t count) {
    return static_cast<std::uint64_t>(GetExifTypeSize(format)) * count;
}

inline bool SkipValue(DataSource& source, ExifType format, std::uint64_t count) {
    std::uint64_t const bytes = ValueBytes(format, count);
    if (bytes > static_cast<std::uint64_t>(std::numeric_limits<long long>::max())) return false;
    return source.SeekBufferBy(static_cast<long long>(bytes), true);
}

}  // namespace detail

// Runs the processor that the first of `specifiers` names over the
// sub-directory at the buffer cursor (plus the specifier's offset). The
// trailing argument is not used; record readers pass 1.
template <class Tag>
ReadResult ProcessSubDirectories(Processor& self, DataSource& source, std::shared_ptr<ReadStore> const& store,
                                 Metadata& metadata, typename Tag::SubDirectoriesType const& specifiers,
                                 FieldGroup group, typename Tag::FormatType format,
                                 typename Tag::CountType count, DataFencingStrategy fencing, unsigned long) {
    detail::SubDirectoryContext const context(*store);
    store->currentGroup = group;
    store->valueFormat = format;
    store->valueCount = count;
    if (specifiers.empty()) return ReadResult::Success;
    SubDirectorySpecifier const& s = specifiers.front();
    if (s.byteOrder) store->byteOrder = *s.byteOrder;

    std::unique_ptr<Processor> created;
    Processor* processor = &self;
    if (s.processor != nullptr && *s.processor != typeid(self)) {
        created = ProcessorRegistry::CreateProcessor(s.processor, self.GetOptions());
        if (!created) return ReadResult::Error;
        processor = created.get();
    }

    switch (fencing) {
        case DataFencingStrategy::Full:
            return Processor::SafeRead(processor, source, store, metadata, s.group, s.offset);
        case DataFencingStrategy::Mark: {
            auto const limit = source.HoldUsableBytes();
            auto const cursor = static_cast<std::size_t>(std::streamoff(source.GetBufferPos()));
            source.MarkAsUsable(cursor + static_cast<std::size_t>(detail::ValueBytes(format, count)));
            if (s.offset != 0 && !source.SeekBufferBy(static_cast<long long>(s.offset), true))
                return ReadResult::Error;
            return processor->Read(source, store, metadata, s.group);
        }
        case DataFencingStrategy::Passthrough:
            if (s.offset != 0 && !source.SeekBufferBy(static_cast<long long>(s.offset), true))
                return ReadResult::Error;
            return processor->Read(source, store, metadata, s.group);
    }
    return ReadResult::Fatal;
}

// Reads one tag whose value starts at the buffer cursor against its
// definition `field` (null for a tag without one) and adds the item, or
// follows the definition's sub-directories.
template <class Tag, class Item = ExifMetadatum<Tag>, class ValueReader = StreamValueReader<Tag>>
ReadResult GenerateMetadatum(Processor& self, DataSource& source, std::shared_ptr<ReadStore> const& store,
                             Metadata& metadata, std::optional<typename Tag::IdType> id, Tag const* field,
                             FieldGroup group, typename Tag::FormatType format, typename Tag::CountType count,
                             DataFencingStrategy fencing, unsigned long tail,
                             ValueReader reader = ValueReader()) {
    auto const start = source.GetBufferPos();
    bool const readUnknown = self.GetOptions().readUnknownTags;

    bool const visible =
        field == nullptr ? readUnknown : field->visibility == 0 || (field->visibility == 1 && readUnknown);
    if (!visible) {
        detail::SkipValue(source, format, count);
        return ReadResult::NotHandled;
    }

    if (field != nullptr && !field->children.empty()) {
        bool any = false;
        for (auto const& [childId, child] : field->children) {
            source.SeekBufferTo(start, true);
            ReadResult const r = GenerateMetadatum<Tag, Item, ValueReader>(
                self, source, store, metadata, id, &child, group, format, count, fencing, tail, reader);
            if (r == ReadResult::Error) return ReadResult::Error;
            any = any || r == ReadResult::Success;
        }
        return any ? ReadResult::Success : ReadResult::NotHandled;
    }

    bool const hasSubDirectories = field != nullptr && !field->subDirectories.empty();
    if (!hasSubDirectories || field->valueHook) {
        std::unique_ptr<ExifValue> value;
        if (!hasSubDirectories) {
            value = reader(source, format, count, *store);
            if (!value || !source.AsStream()) return ReadResult::Error;
        }
        if (field != nullptr && field->valueHook) {
            bool accepted = false;
            if (field->delayed) {
                auto const hold = source.HoldBufferPos();
                source.SeekBufferTo(start, true);
                accepted = field->valueHook(value.get(), count, *store);
            } else {
                accepted = field->valueHook(value.get(), count, *store);
            }
            if (!accepted) return ReadResult::NotHandled;
        }
        if (!hasSubDirectories) {
            int const priority = ComputeItemPriority(group, field != nullptr ? field->priority : 1, *store);
            bool const added = metadata.Add<Item>(ExifKey<Tag>(std::move(id), group, field), store,
                                                  std::move(*value), priority);
            return added ? ReadResult::Success : ReadResult::NotHandled;
        }
    }

    ReadResult const r = ProcessSubDirectories<Tag>(self, source, store, metadata, field->subDirectories,
                                                    group, format, count, fencing, tail);
    if (r == ReadResult::Success || r == ReadResult::NotHandled) return ReadResult::Success;
    if (r == ReadResult::Error && !self.GetOptions().stopOnError) return ReadResult::Success;
    return r;
}

}  // namespace meta
