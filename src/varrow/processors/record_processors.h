#pragma once

#include <memory>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

// A record whose fields sit at fixed positions: field id n is element n of
// the record (negative ids count back from its end). The element format
// and the record length in elements come from the read store's valueFormat
// (UNDEFINED read as BYTE) and valueCount, i.e. the tag that pointed here.
// Definitions are RecordField tables of the group being read.
class VARROW_API BinaryProcessor : public Processor {
  public:
    using Processor::Processor;
    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;
};

// A record whose fields follow each other in id order, each as long as its
// definition's count; valueCount elements in all. Definitions are
// UnsignedRecordField tables of the group being read.
class VARROW_API SerialProcessor : public Processor {
  public:
    using Processor::Processor;
    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;
};

}  // namespace meta
