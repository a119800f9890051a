#pragma once

#include <cstddef>
#include <memory>

#include "varrow/api/export.h"
#include "varrow/api/options.h"
#include "varrow/fields/field_group.h"
#include "varrow/processors/read_result.h"
#include "varrow/processors/read_store.h"

namespace meta {

class DataSource;
class Metadata;

// Reads one kind of block (a whole file format, an embedded block or a
// camera-specific directory) from a DataSource and adds items to a Metadata
// collection. Damage is reported through the ReadResult, never by throwing.
class VARROW_API Processor {
public:
    explicit Processor(Options const& options) : options_(options) {}
    virtual ~Processor() = default;

    Processor(Processor const&) = delete;
    Processor& operator=(Processor const&) = delete;

    // Reads one block; `group` is the group the caller assigns to it
    // (Unknown for a top-level read).
    virtual ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store,
                            Metadata& metadata, FieldGroup group) = 0;

    // 0: the processor starts at the block's first byte and the caller fences
    // it; 1: it positions itself (trailers parse from the end) and is not fenced.
    virtual int RequiredInitialCursorPosition() const { return 0; }
    // true: the caller provisions the block before Read; false: the caller
    // only seeks the input there and the processor provisions what it needs.
    virtual bool RequiresProvisionedData() const { return true; }
    // Bytes the last Read consumed (reported by trailer processors).
    virtual std::size_t GetProcessedSize() const { return 0; }

    Options const& GetOptions() const { return options_; }

    // Runs `processor` on the parent's bytes that start `offset` bytes after
    // the parent's cursor and end at its usable-byte limit (or window end),
    // through a DataSource of its own over the same memory: the sub-reader
    // cannot move the parent or read past that end. Document positions inside
    // stay true. An offset past the end yields Error without reading.
    static ReadResult SafeRead(Processor* processor, DataSource& parent,
                               std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                               FieldGroup group, std::size_t offset);

private:
    Options const options_;
};

}  // namespace meta
