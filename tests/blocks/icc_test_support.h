#pragma once

// Runs the ICC and Photoshop resource readers directly on fixture bytes.

#include <string>
#include <vector>

#include "fixtures/byte_writer.h"
#include "varrow/api/metadata.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/processors/processor.h"

namespace meta::test {

class BlockReadTest {
  protected:
    template <class P>
    ReadResult ReadBlock(fixtures::Bytes const& bytes, FieldGroup group, Options const& options = {}) {
        data_.assign(bytes.begin(), bytes.end());
        stream_ = std::make_unique<InMemoryStream>(data_.data(), data_.size());
        source_ = std::make_unique<DataSource>(*stream_, 0);
        source_->ProvisionRemainingData();
        P processor(options);
        return processor.Read(*source_, metadata_.GetReadStore(), metadata_, group);
    }

    // As ReadBlock, with the block inside a larger window: `before` bytes
    // precede it (the cursor starts after them) and `after` bytes follow
    // it beyond the usable-byte limit, as when a container hands over a
    // block it has fenced.
    template <class P>
    ReadResult ReadFenced(fixtures::Bytes const& bytes, std::size_t before, std::size_t after,
                          FieldGroup group) {
        data_.assign(before, '\xFF');
        data_.append(bytes.begin(), bytes.end());
        data_.append(after, '8');
        stream_ = std::make_unique<InMemoryStream>(data_.data(), data_.size());
        source_ = std::make_unique<DataSource>(*stream_, 0);
        source_->ProvisionRemainingData();
        source_->SeekBufferTo(static_cast<std::streamoff>(before));
        source_->MarkAsUsable(before + bytes.size());
        P processor(Options{});
        return processor.Read(*source_, metadata_.GetReadStore(), metadata_, group);
    }

    // Display strings of every item named `name`, in the order they were added.
    std::vector<std::string> All(std::string_view name) const {
        std::vector<std::string> texts;
        for (Metadatum const& item : metadata_.GetAllValues()) {
            if (item.GetName() == name) texts.push_back(item.GetDisplayValueAsString());
        }
        return texts;
    }
    std::string Display(std::string_view name) const {
        return metadata_.FindAny(name).GetDisplayValueAsString();
    }
    std::size_t CountInGroup(FieldGroup group) const {
        std::size_t n = 0;
        for (Metadatum const& item : metadata_.GetAllValues()) n += item.GetGroup() == group ? 1 : 0;
        return n;
    }

    std::string data_;
    std::unique_ptr<InMemoryStream> stream_;
    std::unique_ptr<DataSource> source_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

}  // namespace meta::test
