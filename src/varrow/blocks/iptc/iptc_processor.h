#pragma once

#include <cstddef>
#include <memory>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

// Reads an IPTC Information Interchange Model block: a run of datasets
//
//   0x1C  record  dataset  length (u16, big-endian)  data
//
// where a length with its top bit set gives the number of following length
// octets instead (an extended dataset). The window must hold exactly the
// block. Each record goes to its own group (GetIptcFieldGroup); records
// without a group are skipped. Datasets that the field database knows are
// read as their definition's IptcType; unknown ones only with
// Options::readUnknownTags, their type guessed from the data. Repetitions of
// a dataset become one item holding every value in file order.
//
// A block handed over under the group Photomechanic (a Photo Mechanic
// trailer) keeps that group for its record-2 datasets: they are the
// application's own, numbered like the IPTC application record but meaning
// something else, and must not replace the image's IPTC items.
//
// Error for damage (a bad extended length, a dataset past the window end);
// the datasets read before it still become items.
class VARROW_API IptcProcessor : public Processor {
  public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;
};

}  // namespace meta
