#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <typeinfo>
#include <vector>

#include "varrow/api/export.h"
#include "varrow/fields/field.h"
#include "varrow/fields/field_group.h"
#include "varrow/processors/processor.h"
#include "varrow/processors/read_result.h"
#include "varrow/values/byte_order.h"
#include "varrow/values/exif_type.h"
#include "varrow/values/exif_value.h"

namespace meta {

class DataSource;
class Metadata;
class TiffReader;
class TiffGroup;

// Where an entry's value is read: from the entry's 4-byte value field when
// it fits (Auto), later at its offset through the reader's queue (Offset),
// or right now at the cursor (InPlace).
enum class TiffEntryPackMethod : std::uint8_t { Auto = 0, Offset = 1, InPlace = 2 };

// The 10 bytes after the tag of an IFD entry.
struct VARROW_API TiffEntryHeader {
    std::uint16_t format = 0;
    std::uint32_t count = 0;
    std::uint32_t valueOrOffset = 0;

    bool Read(std::basic_istream<char>& in, ByteOrder order);
};

// One IFD entry with a value. Entries form a tree (directories own their
// entries, pointers their sub-directories) held by shared pointers, so the
// reader's offset queue can keep an entry alive until its value is read.
class VARROW_API TiffEntry {
  public:
    TiffEntry(std::uint16_t tag, ExifTag const* definition, TiffGroup* parent, TiffEntryHeader const& header,
              TiffEntryPackMethod pack);
    virtual ~TiffEntry();

    TiffEntry(TiffEntry const&) = delete;
    TiffEntry& operator=(TiffEntry const&) = delete;

    virtual bool RequiresProvisionedData() const { return true; }
    // Called while the directory is parsed, cursor just after the entry.
    virtual ReadResult Read(TiffReader& reader, DataSource& source, std::shared_ptr<ReadStore> const& store,
                            Metadata& metadata);
    // Called by the queue with the value provisioned at the cursor.
    virtual ReadResult ReadOffset(TiffReader& reader, DataSource& source,
                                  std::shared_ptr<ReadStore> const& store, Metadata& metadata);
    // Reads the value at the cursor.
    virtual ReadResult ReadImpl(TiffReader& reader, DataSource& source,
                                std::shared_ptr<ReadStore> const& store, Metadata& metadata);

    // Format size times count; 64-bit so hostile counts cannot wrap.
    std::uint64_t GetValueSize() const;
    ByteOrder GetByteOrder(TiffReader const& reader) const;
    void SetByteOrderOverride(ByteOrder order) { byteOrderOverride_ = order; }
    std::optional<ByteOrder> GetByteOrderOverride() const { return byteOrderOverride_; }
    std::unique_ptr<ExifValue> TakeValue() { return std::move(value_); }

    // Replaces the format by the definition's override, keeping the byte size.
    static void ApplyFormatOverride(ExifTag const* definition, ExifType& format, std::uint32_t& count);

    // Runs the definition's value hook; false when it rejects the value.
    bool PostRead(ExifValue const* value, ReadStore& store) const;
    // Moves the value into an item and adds it.
    ReadResult GenerateMetadatum(std::shared_ptr<ReadStore> const& store, Metadata& metadata);

    std::uint16_t tag;
    ExifTag const* definition;
    TiffGroup* parent;
    ExifType format;
    std::uint32_t count;
    std::uint32_t valueOrOffset;
    TiffEntryPackMethod packMethod;
    bool needsRead = true;
    std::uint64_t offsetBase = 0;

  protected:
    FieldGroup ParentGroup() const;

    std::unique_ptr<ExifValue> value_;
    std::optional<ByteOrder> byteOrderOverride_;
};

// An entry that owns child entries.
class VARROW_API TiffGroup : public TiffEntry {
  public:
    using TiffEntry::TiffEntry;
    virtual FieldGroup GetFieldGroup() const = 0;

    std::vector<std::shared_ptr<TiffEntry>> children;
};

// An IFD; its value is the directory itself.
class VARROW_API TiffDirectory : public TiffGroup {
  public:
    TiffDirectory(FieldGroup group, ExifTag const* definition, TiffGroup* parent,
                  TiffEntryHeader const& header, TiffEntryPackMethod pack);
    explicit TiffDirectory(FieldGroup group);

    FieldGroup GetFieldGroup() const override { return group_; }
    ReadResult Read(TiffReader& reader, DataSource& source, std::shared_ptr<ReadStore> const& store,
                    Metadata& metadata) override;
    ReadResult ReadImpl(TiffReader& reader, DataSource& source, std::shared_ptr<ReadStore> const& store,
                        Metadata& metadata) override;

    bool retain = false;
    std::uint64_t nextIfdPosition = 0;

  private:
    FieldGroup group_;
};

class VARROW_API TiffRootDirectory : public TiffDirectory {
  public:
    using TiffDirectory::TiffDirectory;
};

class VARROW_API TiffSubDirectory : public TiffDirectory {
  public:
    using TiffDirectory::TiffDirectory;
};

// A tag whose value holds sub-directory offsets or blocks for other processors.
class VARROW_API TiffPointer : public TiffGroup {
  public:
    using TiffGroup::TiffGroup;
    FieldGroup GetFieldGroup() const override;
    ReadResult ReadImpl(TiffReader& reader, DataSource& source, std::shared_ptr<ReadStore> const& store,
                        Metadata& metadata) override;
};

// A block handed to another processor.
class VARROW_API TiffContainer : public TiffGroup {
  public:
    TiffContainer(FieldGroup group, std::type_info const* processorType, std::uint16_t tag,
                  ExifTag const* definition, TiffGroup* parent, TiffEntryHeader const& header,
                  TiffEntryPackMethod pack, Options const& options);
    ~TiffContainer() override;

    FieldGroup GetFieldGroup() const override { return group_; }
    bool RequiresProvisionedData() const override;
    ReadResult ReadImpl(TiffReader& reader, DataSource& source, std::shared_ptr<ReadStore> const& store,
                        Metadata& metadata) override;
    std::size_t GetProcessedSize() const { return processedSize_; }
    // Lets the trailer scan hand over a processor it already created.
    void SetProcessor(std::unique_ptr<Processor> processor) { processor_ = std::move(processor); }

  private:
    Processor* GetProcessor();

    FieldGroup group_;
    std::type_info const* processorType_;
    Options options_;
    std::unique_ptr<Processor> processor_;
    std::size_t processedSize_ = 0;
};

// An entry whose definition can only be chosen with its value at hand.
class VARROW_API TiffDelayedEntry : public TiffEntry {
  public:
    using TiffEntry::TiffEntry;
    ReadResult ReadImpl(TiffReader& reader, DataSource& source, std::shared_ptr<ReadStore> const& store,
                        Metadata& metadata) override;

    std::shared_ptr<TiffEntry> resolved;
};

// A TiffPointer for a definition with usable sub-directory specifiers, a
// plain TiffEntry otherwise. Null when the specifiers disagree on packing.
VARROW_API std::shared_ptr<TiffEntry> CreateTiffEntry(std::uint16_t tag, ExifTag const* definition,
                                                      TiffGroup* parent, TiffEntryHeader const& header,
                                                      TiffEntryPackMethod pack);

}  // namespace meta
