#pragma once

#include <memory>
#include <string>

#include "varrow/api/export.h"
#include "varrow/processors/processor.h"

namespace Json {
class Value;
}  // namespace Json

namespace meta {

// Lytro light-field pictures (.lfp): a 16-byte file header followed by
// sections, all numbers big-endian.
//
//   file header     16  89 "LFP" 0D 0A 1A 0A, then 8 bytes
//   section header  16  89 "LFM" (metadata) or 89 "LFC" (content) 0D 0A 1A 0A,
//                       4 bytes, the data length L (top bit clear)
//   hash            80  present when L is not 0
//   data             L
//   padding             up to a multiple of 16
//
// Sections whose data is a JSON object (smaller than 10241 bytes) become one
// item of group Lytro per scalar JSON value, named by the path of member
// names that leads to it ("camera": {"make": ...} gives CameraMake). Other
// sections are stepped over unread. Error for a bad file or section header or
// a negative length; a JSON section that does not parse adds nothing, and a
// file that ends, even inside a section, ends the walk with Success.
class VARROW_API LytroProcessor : public Processor {
  public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override;
    // Reads the input itself, from the section structure's start.
    bool RequiresProvisionedData() const override { return false; }

    // Adds an item for every scalar under `value`, named `prefix` followed by
    // the member names on the way, each with its first letter upper-cased.
    // Arrays yield nothing. A name with a definition in the Lytro table takes
    // the definition's name; one without that begins with "Devices" loses
    // that word.
    void ExtractMetadata(Json::Value const& value, std::shared_ptr<ReadStore> const& store,
                         Metadata& metadata, std::string prefix);
};

}  // namespace meta
