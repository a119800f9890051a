#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

#include "varrow/api/metadata.h"
#include "varrow/api/structural_map.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

class InnerBlock : public Processor {
  public:
    using Processor::Processor;
    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const&, Metadata& metadata,
                    FieldGroup group) override {
        if (!source.ProvisionRemainingData()) return ReadResult::Error;
        std::optional<StructuralMapEntryReg> reg;
        if (GetOptions().recordStructure) reg.emplace(metadata, source, &typeid(*this), group);
        metadata.Add(FieldGroup::Exif, "Inner", Value(1), ValueAffinity::Display);
        return ReadResult::Success;
    }
};
ProcessorRegistration<InnerBlock> const kInner("Inner block");

class OuterBlock : public Processor {
  public:
    using Processor::Processor;
    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override {
        std::optional<StructuralMapEntryReg> reg;
        if (GetOptions().recordStructure) reg.emplace(metadata, source, &typeid(*this), group);
        metadata.Add(FieldGroup::Ifd0, "Outer", Value(1), ValueAffinity::Display);
        if (!source.SeekBufferTo(16, false)) return ReadResult::Error;
        source.MarkAsUsable(32);
        InnerBlock inner(GetOptions());
        ReadResult const result = SafeRead(&inner, source, store, metadata, FieldGroup::Exif, 0);
        metadata.Add(FieldGroup::Ifd0, "AfterInner", Value(2), ValueAffinity::Display);
        return result;
    }
};

TEST(Structure, NestedBlocksDumpIndentedWithOwnCounts) {
    Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
    std::string const bytes(64, '\0');
    InMemoryStream stream(bytes.data(), bytes.size());
    DataSource source(stream, std::streampos(0x100));
    ASSERT_TRUE(source.ProvisionData(64));

    Options options;
    options.recordStructure = true;
    OuterBlock outer(options);
    ASSERT_EQ(outer.Read(source, metadata.GetReadStore(), metadata, FieldGroup::Unknown),
              ReadResult::Success);

    std::ostringstream out;
    metadata.DumpStructure(out);
    EXPECT_EQ(out.str(),
              "[0x00000100 - 0x00000140] (unregistered) (2 metadatums, Unknown)\n"
              "   [0x00000110 - 0x00000120] Inner block (1 metadatums, Exif)\n");
}

TEST(Structure, UnknownEndPrintsAllOnes) {
    Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
    auto node = std::make_shared<Metadata::StructuralMapNode>();
    node->start = 0x2a;
    node->end = Metadata::StructuralMapNode::kUnknownEnd;
    node->processor = &typeid(InnerBlock);
    node->group = FieldGroup::Gps;
    metadata.PushStructuralNode(node);
    metadata.Add(FieldGroup::Gps, "GPSLatitude", Value(1.5), ValueAffinity::Display);
    metadata.PopStructuralNode();
    metadata.PopStructuralNode();  // never pops the root

    std::ostringstream out;
    metadata.DumpStructure(out);
    EXPECT_EQ(out.str(), "[0x0000002a - 0xffffffffffffffff] Inner block (1 metadatums, Gps)\n");

    // Another collection's blocks can be attached under this one's open block.
    Metadata other(Initialiser::Mode::HostInitialisesXmp);
    other.AttachStructuralNodes(metadata);
    std::ostringstream again;
    other.DumpStructure(again);
    EXPECT_EQ(again.str(), out.str());
}

TEST(Structure, NothingRecordedWithoutTheOption) {
    Metadata metadata(Initialiser::Mode::HostInitialisesXmp);
    std::string const bytes(64, '\0');
    InMemoryStream stream(bytes.data(), bytes.size());
    DataSource source(stream, std::streampos(0));
    ASSERT_TRUE(source.ProvisionData(64));
    OuterBlock outer(Options{});
    ASSERT_EQ(outer.Read(source, metadata.GetReadStore(), metadata, FieldGroup::Unknown),
              ReadResult::Success);
    std::ostringstream out;
    metadata.DumpStructure(out);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(metadata.Size(), 3u);
}

}  // namespace
}  // namespace meta
