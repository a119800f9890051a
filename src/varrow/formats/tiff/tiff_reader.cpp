#include "varrow/formats/tiff/tiff_reader.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <set>

#include "varrow/api/structural_map.h"
#include "varrow/formats/tiff/embedded_images.h"
#include "varrow/formats/tiff/tiff_io.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/trailer_detection.h"

namespace meta {

namespace {

ProcessorRegistration<TiffReader> const registration("TIFF document");

constexpr std::size_t kTrailerProbe = 64;
// Directory entries one read may parse for every 12 input bytes (a directory
// may be read up to three times), plus a floor for small inputs.
constexpr std::uint64_t kEntryBudgetFloor = 200000;

}  // namespace

TiffReader::TiffReader(Options const& options) : Processor(options) {}

TiffReader::~TiffReader() = default;

FieldGroup TiffReader::GetFirstGroup() const {
    return rootGroups_.empty() ? FieldGroup::Unknown : rootGroups_.front();
}

bool TiffReader::IsRootGroup(FieldGroup group) const {
    return std::find(rootGroups_.begin(), rootGroups_.end(), group) != rootGroups_.end();
}

FieldGroup TiffReader::GetNextGroup(FieldGroup group) const {
    auto const it = std::find(rootGroups_.begin(), rootGroups_.end(), group);
    if (it == rootGroups_.end() || std::next(it) == rootGroups_.end()) return FieldGroup::Unknown;
    return *std::next(it);
}

std::uint64_t TiffReader::GetCurrentPosition(DataSource& source) const {
    std::streamoff const pos = source.GetBytesProvisioned() != 0
                                   ? std::streamoff(source.GetBufferPosInInput())
                                   : std::streamoff(source.PrimeInputPosReckoning());
    return pos < 0 ? 0 : static_cast<std::uint64_t>(pos);
}

void TiffReader::InvertByteOrder() {
    byteOrder_ = byteOrder_ == ByteOrder::LittleEndian ? ByteOrder::BigEndian : ByteOrder::LittleEndian;
}

void TiffReader::SkipHeader(ByteOrder order, std::vector<FieldGroup> rootGroups, unsigned int position,
                            FieldGroup group) {
    byteOrder_ = order;
    rootGroups_ = std::move(rootGroups);
    readHeader_ = false;
    QueueRootDirectory(position, GetFirstGroup(), group);
}

void TiffReader::QueueRootDirectory(std::uint64_t position, FieldGroup group, FieldGroup) {
    auto directory = std::make_shared<TiffRootDirectory>(group);
    directory->retain = true;
    directory->offsetBase = static_cast<std::uint64_t>(std::max<long long>(offsetDelta_, 0));
    AddOffsetEntry(position, std::move(directory));
}

void TiffReader::AddOffsetEntry(std::uint64_t position, std::shared_ptr<TiffEntry> entry) {
    queue_.insert(OffsetEntry{position, std::move(entry)});
}

ReadResult TiffReader::MapResult(ReadResult result) const {
    if (result == ReadResult::Error && !GetOptions().stopOnError) return ReadResult::NotHandled;
    return result;
}

bool TiffReader::ProvisionAt(DataSource& source, std::uint64_t position, std::uint64_t size) const {
    if (inputLength_ >= 0) {
        auto const length = static_cast<std::uint64_t>(inputLength_);
        if (position > length || size > length - position) return false;
    }
    if (position > static_cast<std::uint64_t>(std::numeric_limits<std::streamoff>::max())) return false;
    std::size_t const want = static_cast<std::size_t>(std::max<std::uint64_t>(size, 1));
    if (!source.AutoProvision(std::streampos(static_cast<std::streamoff>(position)),
                              static_cast<long long>(std::min(want, DataSource::MaxProvisionStep)))) {
        return false;
    }
    if (!detail::ProvisionWindow(source, want)) return false;
    return source.SeekBufferTo(0, false);
}

bool TiffReader::ConsumeEntryBudget(std::uint64_t entries) {
    if (entries > entryBudget_) return false;
    entryBudget_ -= entries;
    return true;
}

bool TiffReader::ReadTiffHeaderImpl(DataSource& source, ByteOrder& order, unsigned int& offset,
                                    unsigned short& identifier) {
    if (source.GetBytesProvisioned() == 0) {
        if (!source.AutoProvision(source.PrimeInputPosReckoning(), TiffHeaderSize())) return false;
    } else if (!source.EnsureProvisionLocal(TiffHeaderSize())) {
        return false;
    }
    std::istream& in = source.AsStream();
    char mark[2];
    if (!in.read(mark, 2)) return false;
    if (mark[0] == 'I' && mark[1] == 'I') {
        order = ByteOrder::LittleEndian;
    } else if (mark[0] == 'M' && mark[1] == 'M') {
        order = ByteOrder::BigEndian;
    } else {
        return false;
    }
    std::uint16_t id = 0;
    std::uint32_t first = 0;
    if (!detail::ReadTiffU16(in, order, id) || !detail::ReadTiffU32(in, order, first)) return false;
    identifier = id;
    offset = first;
    return true;
}

bool TiffReader::ReadHeader(DataSource& source, ByteOrder& order, unsigned int& offset) {
    unsigned short identifier = 0;
    return ReadTiffHeaderImpl(source, order, offset, identifier) && IsValidFormatIdentifier(identifier);
}

ReadResult TiffReader::Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                            FieldGroup group) {
    std::optional<StructuralMapEntryReg> structure;
    if (GetOptions().recordStructure) structure.emplace(metadata, source, &typeid(*this), group);

    std::size_t const firstItem = metadata.Size();
    if (group == FieldGroup::Ifd0) {
        rootGroups_ = {FieldGroup::Ifd0, FieldGroup::Ifd1};
    } else if (group != FieldGroup::Unknown) {
        rootGroups_ = {group};
    }
    if (readHeader_) {
        offsetDelta_ = static_cast<long long>(GetCurrentPosition(source));
        ByteOrder order = byteOrder_;
        unsigned int first = 0;
        if (!ReadHeader(source, order, first)) return ReadResult::Error;
        byteOrder_ = order;
        QueueRootDirectory(std::uint64_t{first} + static_cast<std::uint64_t>(offsetDelta_), GetFirstGroup());
        if (!source) return ReadResult::Error;
    }

    std::streamoff const length = source.GetInputStreamLen();
    inputLength_ = length;
    std::uint64_t const scale = length > 0 ? static_cast<std::uint64_t>(length) / 4 : 0;
    entryBudget_ = kEntryBudgetFloor + scale;

    {
        ScopedStoreSetter<&ReadStore::byteOrder> const order(*store, byteOrder_);
        // The first root directory describes the image; the ones its link
        // leads to (a thumbnail, a further page) must not outrank it when a
        // name is looked up across groups.
        std::set<FieldGroup> zero = store->zeroPriorityGroups;
        for (std::size_t i = 1; i < rootGroups_.size(); ++i) zero.insert(rootGroups_[i]);
        ScopedStoreSetter<&ReadStore::zeroPriorityGroups> const later(*store, std::move(zero));
        if (!ReadOffsets(source, store, metadata)) return ReadResult::Error;
    }
    AddEmbeddedImages(*this, source, metadata, firstItem);
    if (readTrailers_ && !ReadTrailers(source, store, metadata)) return ReadResult::Error;
    return ReadResult::Success;
}

bool TiffReader::ReadOffsets(DataSource& source, std::shared_ptr<ReadStore> const& store,
                             Metadata& metadata) {
    auto const docBase =
        static_cast<std::uint64_t>(std::max<std::streamoff>(std::streamoff(source.GetInputOffset()), 0));
    while (!queue_.empty()) {
        OffsetEntry item = std::move(queue_.extract(queue_.begin()).value());
        TiffEntry& entry = *item.entry;

        auto [visit, fresh] = store->visitedOffsets.try_emplace(docBase + item.position, 0u);
        if (!fresh && visit->second > 2) continue;
        if (dynamic_cast<TiffGroup*>(&entry) != nullptr) ++visit->second;

        if (entry.RequiresProvisionedData() && !ProvisionAt(source, item.position, entry.GetValueSize())) {
            source.AsStream().clear();
            continue;
        }

        ReadResult r = ReadResult::Success;
        {
            ScopedStoreSetter<&ReadStore::byteOrder> const order(*store, entry.GetByteOrder(*this));
            ScopedStoreSetter<&ReadStore::valueCount> const count(*store, entry.count);
            ScopedStoreSetter<&ReadStore::valueFormat> const format(*store, entry.format);
            FieldGroup const owner =
                entry.parent != nullptr ? entry.parent->GetFieldGroup() : GetFirstGroup();
            ScopedStoreSetter<&ReadStore::currentGroup> const current(*store, owner);
            r = MapResult(entry.ReadOffset(*this, source, store, metadata));
        }
        if (r == ReadResult::Fatal || r == ReadResult::Error) return false;

        std::shared_ptr<TiffEntry> target = item.entry;
        if (auto* delayed = dynamic_cast<TiffDelayedEntry*>(&entry)) target = delayed->resolved;
        if (target)
            FinaliseRead(target,
                         target->parent != nullptr ? target->parent->GetFieldGroup() : GetFirstGroup(), r);
    }
    return true;
}

void TiffReader::FinaliseRead(std::shared_ptr<TiffEntry> const& entry, FieldGroup, ReadResult result) {
    if (auto* group = dynamic_cast<TiffGroup*>(entry.get())) {
        for (auto const& child : group->children) {
            if (child->needsRead)
                AddOffsetEntry(std::uint64_t{child->valueOrOffset} + child->offsetBase, child);
        }
    }
    auto* directory = dynamic_cast<TiffDirectory*>(entry.get());
    if (directory == nullptr) return;
    if (result == ReadResult::Success && directory->nextIfdPosition != 0) {
        FieldGroup const own = directory->GetFieldGroup();
        FieldGroup const next = GetNextGroup(own);
        if (IsRootGroup(own) && next != FieldGroup::Unknown)
            QueueRootDirectory(directory->nextIfdPosition, next);
    }
    if (directory->retain) retained_.push_back(entry);
}

bool TiffReader::ReadTrailers(DataSource& source, std::shared_ptr<ReadStore> const& store,
                              Metadata& metadata) {
    if (!source.GetInputStream() || inputLength_ < 0) return true;
    auto const length = static_cast<std::uint64_t>(inputLength_);
    std::uint64_t consumed = 0;
    while (length >= kTrailerProbe + consumed) {
        std::uint64_t const at = length - kTrailerProbe - consumed;
        if (!ProvisionAt(source, at, kTrailerProbe) || source.GetBytesProvisioned() < kTrailerProbe)
            return true;
        std::string_view const probe = source.AsStringView(false).substr(0, kTrailerProbe);
        auto [group, processor] = CreateTrailerProcessor(probe.data(), probe.size(), GetOptions());
        if (!processor) return true;
        Processor const& found = *processor;

        TiffEntryHeader const header{3, 1, static_cast<std::uint32_t>(at)};
        auto container = std::make_shared<TiffContainer>(group, &typeid(found), 0, nullptr, nullptr, header,
                                                         TiffEntryPackMethod::InPlace, GetOptions());
        container->SetProcessor(std::move(processor));
        if (container->ReadImpl(*this, source, store, metadata) != ReadResult::Success) return true;
        if (container->GetProcessedSize() == 0) return false;
        consumed += container->GetProcessedSize();
    }
    return true;
}

}  // namespace meta
