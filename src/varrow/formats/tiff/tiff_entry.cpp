#include "varrow/formats/tiff/tiff_entry.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "varrow/api/metadata.h"
#include "varrow/fields/field_database.h"
#include "varrow/fields/table_keys.h"
#include "varrow/formats/tiff/tiff_io.h"
#include "varrow/formats/tiff/tiff_reader.h"
#include "varrow/io/data_source.h"
#include "varrow/items/exif_metadatum.h"
#include "varrow/items/item_priority.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/values/exif_values.h"

namespace meta {

namespace {

// Saves the per-entry members of the read store and puts them back.
class EntryContext {
  public:
    explicit EntryContext(ReadStore& store)
        : store_(store),
          order_(store.byteOrder),
          count_(store.valueCount),
          group_(store.currentGroup),
          format_(store.valueFormat) {}
    ~EntryContext() {
        store_.byteOrder = order_;
        store_.valueCount = count_;
        store_.currentGroup = group_;
        store_.valueFormat = format_;
    }
    EntryContext(EntryContext const&) = delete;
    EntryContext& operator=(EntryContext const&) = delete;

  private:
    ReadStore& store_;
    ByteOrder order_;
    std::uint32_t count_;
    FieldGroup group_;
    ExifType format_;
};

bool IsVisible(ExifTag const* definition, Options const& options) {
    if (definition == nullptr) return options.readUnknownTags;
    if (definition->visibility == 0) return true;
    return definition->visibility == 1 && options.readUnknownTags;
}

// A TIFF reader can follow a specifier that names a processor, or one whose
// group has a directory table; anything else (blocks whose processor is not
// part of the build) is kept as a plain value.
bool CanFollow(SubDirectorySpecifier const& s) {
    return s.processor != nullptr || FieldDatabase<ExifTag>::GetTable(s.group) != nullptr;
}

TiffEntryPackMethod PackingOf(ExifTag const* definition) {
    if (definition == nullptr) return TiffEntryPackMethod::Auto;
    if (definition->packing == 2) return TiffEntryPackMethod::Offset;
    if (definition->packing == 1) return TiffEntryPackMethod::InPlace;
    return TiffEntryPackMethod::Auto;
}

// Offsets stored relative to the TIFF header become positions in the
// document, so callers can find the data without knowing where the block
// sat. A position past 4 GiB does not fit the field; such an element is
// left as stored rather than wrapped into a wrong position.
void RebaseOffsets(ExifValue& value, std::uint64_t shift) {
    auto* offsets = dynamic_cast<ExifLongValue*>(&value);
    if (offsets == nullptr || shift == 0) return;
    for (std::size_t i = 0; i < offsets->GetValueCount(); ++i) {
        std::uint64_t const moved = std::uint64_t{offsets->GetData(i)} + shift;
        if (moved <= std::numeric_limits<std::uint32_t>::max()) {
            offsets->SetData(i, static_cast<std::uint32_t>(moved));
        }
    }
}

}  // namespace

bool TiffEntryHeader::Read(std::basic_istream<char>& in, ByteOrder order) {
    return detail::ReadTiffU16(in, order, format) && detail::ReadTiffU32(in, order, count) &&
           detail::ReadTiffU32(in, order, valueOrOffset);
}

TiffEntry::TiffEntry(std::uint16_t t, ExifTag const* def, TiffGroup* p, TiffEntryHeader const& header,
                     TiffEntryPackMethod pack)
    : tag(t),
      definition(def),
      parent(p),
      format(static_cast<ExifType>(header.format)),
      count(header.count),
      valueOrOffset(header.valueOrOffset),
      packMethod(pack) {
    if (parent != nullptr) {
        offsetBase = parent->offsetBase;
        byteOrderOverride_ = parent->GetByteOrderOverride();
    }
}

TiffEntry::~TiffEntry() = default;

std::uint64_t TiffEntry::GetValueSize() const {
    return static_cast<std::uint64_t>(GetExifTypeSize(format)) * count;
}

ByteOrder TiffEntry::GetByteOrder(TiffReader const& reader) const {
    return byteOrderOverride_ ? *byteOrderOverride_ : reader.GetByteOrder();
}

FieldGroup TiffEntry::ParentGroup() const {
    return parent != nullptr ? parent->GetFieldGroup() : FieldGroup::Unknown;
}

void TiffEntry::ApplyFormatOverride(ExifTag const* def, ExifType& fmt, std::uint32_t& n) {
    if (def == nullptr || def->overrideFormat == ExifType::Unknown || def->overrideFormat == fmt) return;
    std::size_t const oldSize = GetExifTypeSize(fmt);
    std::size_t const newSize = GetExifTypeSize(def->overrideFormat);
    if (newSize == 0) return;
    n = static_cast<std::uint32_t>(static_cast<std::uint64_t>(n) * oldSize / newSize);
    fmt = def->overrideFormat;
}

bool TiffEntry::PostRead(ExifValue const* value, ReadStore& store) const {
    ExifTag const* hookOwner = definition;
    if (hookOwner != nullptr && !hookOwner->valueHook) {
        // A variant without a hook falls back to the unconditional definition's.
        hookOwner = FieldDatabase<ExifTag>::UnconditionalFind(tag, ParentGroup());
    }
    if (hookOwner == nullptr || !hookOwner->valueHook) return true;
    return hookOwner->valueHook(value, count, store);
}

ReadResult TiffEntry::GenerateMetadatum(std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    if (!value_) return ReadResult::NotHandled;
    FieldGroup const group = ParentGroup();
    int const priority = ComputeItemPriority(group, definition != nullptr ? definition->priority : 1, *store);
    bool const added = metadata.Add<ExifMetadatum<ExifTag>>(
        ExifKey<ExifTag>(std::optional<std::uint16_t>(tag), group, definition), store, std::move(*value_),
        priority);
    value_.reset();
    return added ? ReadResult::Success : ReadResult::NotHandled;
}

ReadResult TiffEntry::Read(TiffReader& reader, DataSource& source, std::shared_ptr<ReadStore> const& store,
                           Metadata& metadata) {
    if (!IsVisible(definition, reader.GetOptions())) return ReadResult::NotHandled;
    ApplyFormatOverride(definition, format, count);
    if (definition != nullptr && definition->countFunction) count = definition->countFunction(*store);

    switch (packMethod) {
        case TiffEntryPackMethod::InPlace: return ReadImpl(reader, source, store, metadata);
        case TiffEntryPackMethod::Offset: return ReadResult::Success;
        case TiffEntryPackMethod::Auto: break;
    }
    if (GetValueSize() > 4) {
        packMethod = TiffEntryPackMethod::Offset;
        return ReadResult::Success;
    }
    // The value sits in the entry's own value field, just behind the cursor;
    // the directory carries on after the entry whatever the value reader does.
    auto const hold = source.HoldBufferPos();
    if (!source.SeekBufferBy(-4, false)) return ReadResult::Error;
    packMethod = TiffEntryPackMethod::InPlace;
    return ReadImpl(reader, source, store, metadata);
}

ReadResult TiffEntry::ReadOffset(TiffReader& reader, DataSource& source,
                                 std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    if (!needsRead) return ReadResult::Fatal;
    if (RequiresProvisionedData() && !source) return ReadResult::Error;
    return ReadImpl(reader, source, store, metadata);
}

ReadResult TiffEntry::ReadImpl(TiffReader& reader, DataSource& source,
                               std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    std::unique_ptr<ExifValue> value = CreateExifValue(format);
    if (!value) return ReadResult::Fatal;
    if (!value->Read(source.AsStream(), count, GetByteOrder(reader))) return ReadResult::Fatal;
    if (format == ExifType::RelOffset || format == ExifType::AbsOffset) {
        std::uint64_t shift = offsetBase;
        if (format == ExifType::AbsOffset) {
            shift += static_cast<std::uint64_t>(std::max<std::streamoff>(source.GetInputOffset(), 0));
        }
        RebaseOffsets(*value, shift);
    }
    needsRead = false;
    if (!PostRead(value.get(), *store)) return ReadResult::NotHandled;
    value_ = std::move(value);
    return GenerateMetadatum(store, metadata);
}

// --- Directories ---------------------------------------------------------

TiffDirectory::TiffDirectory(FieldGroup group, ExifTag const* def, TiffGroup* p,
                             TiffEntryHeader const& header, TiffEntryPackMethod pack)
    : TiffGroup(0, def, p, header, pack), group_(group) {}

TiffDirectory::TiffDirectory(FieldGroup group)
    : TiffGroup(0, nullptr, nullptr, TiffEntryHeader{3, 1, 0}, TiffEntryPackMethod::Auto), group_(group) {}

ReadResult TiffDirectory::Read(TiffReader&, DataSource&, std::shared_ptr<ReadStore> const&, Metadata&) {
    // A directory is always reached through the queue.
    packMethod = TiffEntryPackMethod::Offset;
    return ReadResult::Success;
}

ReadResult TiffDirectory::ReadImpl(TiffReader& reader, DataSource& source,
                                   std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    needsRead = false;
    std::istream& in = source.AsStream();
    auto const start = static_cast<std::size_t>(std::streamoff(source.GetBufferPos()));
    bool const kodak = reader.IsKodakPatchEnabled();
    std::size_t const countBytes = kodak ? 4 : 2;
    if (!detail::ProvisionWindow(source, start + countBytes)) return ReadResult::Error;

    ByteOrder order = GetByteOrder(reader);
    std::uint16_t first = 0;
    if (!detail::ReadTiffU16(in, order, first)) return ReadResult::Error;
    std::uint32_t entries = first;
    if (kodak) {
        std::uint16_t second = 0;
        if (!detail::ReadTiffU16(in, order, second)) return ReadResult::Error;
        if ((first != 0) == (second != 0)) return ReadResult::Error;
        entries = first != 0 ? first : second;
    } else if (reader.SkippingHeader() && first >= 256 && (first >> 8) > (first & 0xff)) {
        // A headerless directory (maker note) written in the other byte order.
        reader.InvertByteOrder();
        if (byteOrderOverride_) {
            byteOrderOverride_ = *byteOrderOverride_ == ByteOrder::LittleEndian ? ByteOrder::BigEndian
                                                                                : ByteOrder::LittleEndian;
        }
        order = GetByteOrder(reader);
        entries = static_cast<std::uint16_t>((first >> 8) | (first << 8));
    }
    format = ExifType::Long;
    count = entries;

    if (entries > 100000 || !reader.ConsumeEntryBudget(entries)) return ReadResult::Error;
    if (!detail::ProvisionWindow(source, start + countBytes + 12 * std::size_t{entries} + 4)) {
        return ReadResult::Error;
    }
    EntryContext const context(*store);
    store->byteOrder = order;
    store->currentGroup = group_;
    if (!PostRead(nullptr, *store)) return ReadResult::NotHandled;

    // Each directory starts without facts about its image; nested reads
    // (maker notes in place) give the outer directory's back when they end.
    ScopedStoreSetter<&ReadStore::directoryCompression> const compression(*store, std::nullopt);
    ScopedStoreSetter<&ReadStore::directorySubfileType> const subfileType(*store, std::nullopt);
    Options const& options = reader.GetOptions();
    children.reserve(std::min<std::size_t>(entries, 64));
    for (std::uint32_t i = 0; i < entries; ++i) {
        std::uint16_t entryTag = 0;
        TiffEntryHeader header;
        if (!detail::ReadTiffU16(in, order, entryTag) || !header.Read(in, order)) return ReadResult::Error;
        if (header.format == 257 || header.format == 258) {
            header.format = 4;
        } else if (header.format > 25) {
            header.format = 0;
        }
        if (header.format == 0) {
            if (header.count == 0 && header.valueOrOffset == 0) continue;  // padding
            return ReadResult::Error;
        }
        store->valueCount = header.count;
        store->valueFormat = static_cast<ExifType>(header.format);
        store->currentGroup = group_;

        ExifTag const* def = FieldDatabase<ExifTag>::Find(entryTag, group_, *store);
        if (!IsVisible(def, options)) continue;
        std::shared_ptr<TiffEntry> entry;
        if (def != nullptr && def->delayed) {
            entry =
                std::make_shared<TiffDelayedEntry>(entryTag, def, this, header, TiffEntryPackMethod::Auto);
        } else {
            entry = CreateTiffEntry(entryTag, def, this, header, TiffEntryPackMethod::Auto);
        }
        if (!entry) return ReadResult::Error;
        ReadResult const r = reader.MapResult(entry->Read(reader, source, store, metadata));
        if (r == ReadResult::NotHandled) continue;
        if (r != ReadResult::Success) return r;
        children.push_back(std::move(entry));
    }

    std::uint32_t next = 0;
    if (detail::ReadTiffU32(in, order, next)) nextIfdPosition = next != 0 ? next + offsetBase : 0;
    return source ? ReadResult::Success : ReadResult::Error;
}

// --- Pointers ------------------------------------------------------------

FieldGroup TiffPointer::GetFieldGroup() const {
    return ParentGroup();
}

ReadResult TiffPointer::ReadImpl(TiffReader& reader, DataSource& source,
                                 std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    needsRead = false;
    if (definition == nullptr) return ReadResult::NotHandled;
    auto const& specifiers = definition->subDirectories;
    ByteOrder const order = GetByteOrder(reader);
    std::size_t const n = std::min<std::size_t>(count, specifiers.size());
    for (std::size_t i = 0; i < n; ++i) {
        SubDirectorySpecifier const& s = specifiers[i];
        std::shared_ptr<TiffGroup> group;
        if (s.processor != nullptr) {
            TiffEntryHeader const header{static_cast<std::uint16_t>(format), count, valueOrOffset};
            group = std::make_shared<TiffContainer>(s.group, s.processor, tag, definition, this, header,
                                                    PackingOf(definition), reader.GetOptions());
        } else {
            std::uint32_t offset = valueOrOffset;
            if (format != ExifType::Ifd || count != 1) {
                if (!detail::ReadTiffU32(source.AsStream(), order, offset)) return ReadResult::Error;
            }
            TiffEntryHeader const header{static_cast<std::uint16_t>(format), 1, offset};
            group = std::make_shared<TiffSubDirectory>(s.group, definition, this, header,
                                                       TiffEntryPackMethod::Offset);
        }
        if (s.byteOrder) group->SetByteOrderOverride(*s.byteOrder);
        ReadResult const r = reader.MapResult(group->Read(reader, source, store, metadata));
        if (r == ReadResult::NotHandled) continue;
        if (r != ReadResult::Success) return r;
        if (group->needsRead) reader.AddOffsetEntry(group->valueOrOffset + group->offsetBase, group);
        children.push_back(std::move(group));
    }
    return ReadResult::Success;
}

// --- Containers ----------------------------------------------------------

TiffContainer::TiffContainer(FieldGroup group, std::type_info const* processorType, std::uint16_t t,
                             ExifTag const* def, TiffGroup* p, TiffEntryHeader const& header,
                             TiffEntryPackMethod pack, Options const& options)
    : TiffGroup(t, def, p, header, pack), group_(group), processorType_(processorType), options_(options) {}

TiffContainer::~TiffContainer() = default;

Processor* TiffContainer::GetProcessor() {
    if (!processor_) processor_ = ProcessorRegistry::CreateProcessor(processorType_, options_);
    return processor_.get();
}

bool TiffContainer::RequiresProvisionedData() const {
    return processor_ ? processor_->RequiresProvisionedData() : false;
}

ReadResult TiffContainer::ReadImpl(TiffReader& reader, DataSource& source,
                                   std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    EntryContext const context(*store);
    store->valueCount = count;
    store->currentGroup = group_;
    store->valueFormat = format;
    store->byteOrder = GetByteOrder(reader);
    PostRead(nullptr, *store);

    Processor* processor = GetProcessor();
    if (processor == nullptr) return ReadResult::Error;
    std::uint64_t const position = std::uint64_t{valueOrOffset} + offsetBase;
    std::uint64_t const size = GetValueSize();
    ReadResult r = ReadResult::Success;
    if (processor->RequiresProvisionedData()) {
        if (packMethod != TiffEntryPackMethod::InPlace && !reader.ProvisionAt(source, position, size)) {
            return ReadResult::Error;
        }
        if (processor->RequiredInitialCursorPosition() == 0) {
            // The block gets a source of its own, so neither its cursor moves
            // nor its provisioning disturb the directory being read.
            auto const limit = source.HoldUsableBytes();
            auto const cursor = static_cast<std::size_t>(std::streamoff(source.GetBufferPos()));
            source.MarkAsUsable(cursor + static_cast<std::size_t>(size));
            r = Processor::SafeRead(processor, source, store, metadata, group_, 0);
        } else {
            r = processor->Read(source, store, metadata, group_);
        }
    } else {
        if (packMethod != TiffEntryPackMethod::InPlace &&
            !source.SeekInputTo(std::streampos(static_cast<std::streamoff>(position)))) {
            return ReadResult::Error;
        }
        r = processor->Read(source, store, metadata, group_);
    }
    r = reader.MapResult(r);
    if (r != ReadResult::Success) return r;
    processedSize_ = processor->GetProcessedSize();
    needsRead = false;
    return ReadResult::Success;
}

// --- Delayed entries -----------------------------------------------------

ReadResult TiffDelayedEntry::ReadImpl(TiffReader& reader, DataSource& source,
                                      std::shared_ptr<ReadStore> const& store, Metadata& metadata) {
    ScopedStoreSetter<&ReadStore::dataSource> const data(*store, &source);
    ScopedStoreSetter<&ReadStore::valueCount> const valueCount(*store, count);
    ExifTag const* def = FieldDatabase<ExifTag>::Find(tag, ParentGroup(), *store);
    if (!IsVisible(def, reader.GetOptions())) return ReadResult::NotHandled;
    ExifType fmt = format;
    std::uint32_t n = count;
    ApplyFormatOverride(def, fmt, n);
    if (def != nullptr && def->fixedCount != 0) n = def->fixedCount;
    if (def != nullptr && def->countFunction) n = def->countFunction(*store);
    if (fmt == ExifType::Unknown || GetExifTypeSize(fmt) == 0) return ReadResult::Error;
    // The resolved definition may not claim more bytes than the entry has.
    if (static_cast<std::uint64_t>(GetExifTypeSize(fmt)) * n > std::max<std::uint64_t>(GetValueSize(), 4)) {
        return ReadResult::Error;
    }
    TiffEntryHeader const header{static_cast<std::uint16_t>(fmt), n, valueOrOffset};
    resolved = CreateTiffEntry(tag, def, parent, header, TiffEntryPackMethod::InPlace);
    if (!resolved) return ReadResult::Error;
    resolved->offsetBase = offsetBase;
    if (byteOrderOverride_) resolved->SetByteOrderOverride(*byteOrderOverride_);
    auto const hold = source.HoldBufferPos();
    ReadResult const r = resolved->ReadOffset(reader, source, store, metadata);
    if (r == ReadResult::Success) needsRead = false;
    return r;
}

std::shared_ptr<TiffEntry> CreateTiffEntry(std::uint16_t tag, ExifTag const* definition, TiffGroup* parent,
                                           TiffEntryHeader const& header, TiffEntryPackMethod pack) {
    if (definition != nullptr && !definition->subDirectories.empty()) {
        auto const& specifiers = definition->subDirectories;
        bool const followable = std::any_of(specifiers.begin(), specifiers.end(), CanFollow);
        if (followable) {
            bool const named = specifiers.front().processor != nullptr;
            for (auto const& s : specifiers) {
                if ((s.processor != nullptr) != named) return nullptr;
            }
            return std::make_shared<TiffPointer>(tag, definition, parent, header,
                                                 named ? TiffEntryPackMethod::InPlace : pack);
        }
    }
    return std::make_shared<TiffEntry>(tag, definition, parent, header, pack);
}

}  // namespace meta
