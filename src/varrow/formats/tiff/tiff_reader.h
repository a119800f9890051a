#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/formats/tiff/tiff_entry.h"
#include "varrow/processors/processor.h"

namespace meta {

// Walks a TIFF structure: header, the chain of root IFDs, every
// sub-directory the field database names, and trailers at the end of the
// input. Offsets are queued and visited in ascending order so that a
// forward-only input is read in one pass wherever the layout allows.
class VARROW_API TiffReader : public Processor {
  public:
    explicit TiffReader(Options const& options);
    ~TiffReader() override;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;
    bool RequiresProvisionedData() const override { return false; }

    virtual std::vector<FieldGroup> GetRootGroups() const { return rootGroups_; }
    // Parses the header at the cursor: byte order and first IFD offset out.
    virtual bool ReadHeader(DataSource& source, ByteOrder& order, unsigned int& offset);
    virtual bool IsValidFormatIdentifier(unsigned short identifier) const { return identifier == 42; }

    bool ReadTiffHeaderImpl(DataSource& source, ByteOrder& order, unsigned int& offset,
                            unsigned short& identifier);

    // For readers of headerless directories (maker notes, raw containers).
    void SkipHeader(ByteOrder order, std::vector<FieldGroup> rootGroups, unsigned int position,
                    FieldGroup group);
    void SetRootGroups(std::vector<FieldGroup> groups) { rootGroups_ = std::move(groups); }
    void SetOffsetDelta(long long delta) { offsetDelta_ = delta; }
    long long GetOffsetDelta() const { return offsetDelta_; }
    void EnableKodakPatch() { kodakPatch_ = true; }
    bool IsKodakPatchEnabled() const { return kodakPatch_; }
    void SkipTrailers() { readTrailers_ = false; }
    bool SkippingHeader() const { return !readHeader_; }
    FieldGroup GetFirstGroup() const;
    bool IsRootGroup(FieldGroup group) const;
    FieldGroup GetNextGroup(FieldGroup group) const;
    static constexpr unsigned int TiffHeaderSize() { return 8; }
    std::uint64_t GetCurrentPosition(DataSource& source) const;
    ByteOrder GetByteOrder() const { return byteOrder_; }
    void SetByteOrder(ByteOrder order) { byteOrder_ = order; }
    void InvertByteOrder();

    void QueueRootDirectory(std::uint64_t position, FieldGroup group, FieldGroup = FieldGroup::Unknown);
    void AddOffsetEntry(std::uint64_t position, std::shared_ptr<TiffEntry> entry);
    void FinaliseRead(std::shared_ptr<TiffEntry> const& entry, FieldGroup group, ReadResult result);

    // Error downgraded to NotHandled unless Options::stopOnError.
    ReadResult MapResult(ReadResult result) const;

    // Puts the window at input position `position` with at least `size`
    // bytes (one at least), cursor at its start; false for a region that
    // runs past the input.
    bool ProvisionAt(DataSource& source, std::uint64_t position, std::uint64_t size) const;
    // Charges a directory's entries to the read's budget, which is tied to
    // the input's size so overlapping hostile directories cannot make the
    // walk quadratic; false once it is spent.
    bool ConsumeEntryBudget(std::uint64_t entries);

  private:
    bool ReadOffsets(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata);
    bool ReadTrailers(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata);

    struct OffsetEntry {
        std::uint64_t position;
        std::shared_ptr<TiffEntry> entry;
    };
    struct OffsetEntrySorter {
        bool operator()(OffsetEntry const& a, OffsetEntry const& b) const {
            if (a.position != b.position) return a.position < b.position;
            return a.entry.get() < b.entry.get();
        }
    };

    bool readHeader_ = true;
    bool kodakPatch_ = false;
    bool readTrailers_ = true;
    long long offsetDelta_ = 0;
    ByteOrder byteOrder_ = ByteOrder::LittleEndian;
    std::vector<FieldGroup> rootGroups_{FieldGroup::Ifd0, FieldGroup::Ifd1};
    std::set<OffsetEntry, OffsetEntrySorter> queue_;
    std::vector<std::shared_ptr<TiffEntry>> retained_;
    // Input length, when known; values that would run past it are not read.
    long long inputLength_ = -1;
    std::uint64_t entryBudget_ = 0;
};

}  // namespace meta
