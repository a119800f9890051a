#pragma once

#include <memory>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

// Reads an ICC colour profile (ICC.1) that fills the source from the buffer
// cursor to the end of its usable bytes:
//
//   offset  size  field (integers big-endian)
//        0     4  profile size: at least 128 and exactly the bytes given
//        0   128  header, read as a binary record in group IccProfileHeader
//      128     4  tag count, 1 to 255
//      132  12*n  tag table: signature, offset from the profile start, size
//
// Tags of the types "sf32", "uf32", "ui08", "ui32", "text" and "desc"
// become one item each and every record of an "mluc" tag one item, keyed by
// the tag's signature in `group` (IccProfile when the caller passes
// Unknown). Of the records, the US English one (else the first) is added
// last, so that it is the text a lookup by name finds. Other types, signatures without a definition (unless
// Options::readUnknownTags) and hidden definitions are passed over.
//
// A damaged header or tag table is an Error before any tag item is added;
// a tag item that fails to read counts only under stopOnError.
class VARROW_API IccProfileProcessor : public Processor {
  public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;
};

}  // namespace meta
