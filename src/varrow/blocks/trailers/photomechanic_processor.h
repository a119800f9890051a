#pragma once

#include <cstddef>
#include <memory>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace meta {

// The trailer Photo Mechanic appends to JPEG and TIFF files:
//
//   IPTC IIM datasets (n bytes)  n (u32, big-endian)  "cbipcbbl"
//
// The trailer walk finds it by its signature and calls Read with the input
// standing just after the footer; the processor works backwards from there,
// hands the datasets to the IPTC processor and reports the trailer's size, so
// that the walk can look for another trailer in front of it.
class VARROW_API PhotoMechanicProcessor : public Processor {
  public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;

    // Positions itself from the end of the trailer.
    int RequiredInitialCursorPosition() const override { return 1; }
    // n + 12 after a read that got as far as the datasets; else 0.
    std::size_t GetProcessedSize() const override { return processedSize_; }

  private:
    std::size_t processedSize_ = 0;
};

}  // namespace meta
