#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "fixtures/byte_writer.h"
#include "varrow/api/metadata.h"

namespace meta::test {

// Reads a file our fixture builders made as `Source` and looks at its items;
// `Group` is the container's own group.
template <ReadSource Source, FieldGroup Group>
class ContainerReadTest : public ::testing::Test {
  protected:
    bool ReadBytes(fixtures::Bytes const& bytes, Options const& options = {}) {
        data_.assign(bytes.begin(), bytes.end());
        return metadata_.Read(data_.data(), data_.size(), Source, options);
    }
    std::string Display(char const* name) const { return metadata_.FindAny(name).GetDisplayValueAsString(); }
    bool Has(char const* name) const { return static_cast<bool>(metadata_.Find(Group, name)); }

    // Items of the read itself, without the composites computed after it.
    std::size_t ReadItems() const {
        std::size_t n = 0;
        for (Metadatum const& item : metadata_.GetAllValues())
            n += item.GetNamespace() != FieldNamespace::Generated;
        return n;
    }

    std::string data_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

}  // namespace meta::test
