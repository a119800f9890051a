#include <gtest/gtest.h>

#include <sstream>

#include "varrow/io/data_source.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_result.h"
#include "varrow/processors/read_store.h"
#include "varrow/processors/trailer_detection.h"

namespace meta {
namespace {

class RegistryProbe : public Processor {
public:
    using Processor::Processor;
    ReadResult Read(DataSource&, std::shared_ptr<ReadStore> const&, Metadata&, FieldGroup) override {
        return ReadResult::Success;
    }
};

class RegistryImpostor : public RegistryProbe {
public:
    using RegistryProbe::RegistryProbe;
    ReadResult Read(DataSource&, std::shared_ptr<ReadStore> const&, Metadata&, FieldGroup) override {
        return ReadResult::Fatal;
    }
};

class NeverRegistered : public RegistryProbe {
    using RegistryProbe::RegistryProbe;
};

ProcessorRegistration<RegistryProbe> const kProbe("Registry probe");
// A second registration of the same type must not replace the first.
ProcessorRegistration<RegistryProbe> const kProbeAgain("Registry probe, second");

TEST(ProcessorRegistry, CreatesRegisteredTypesWithTheirOptions) {
    Options options;
    options.stopOnError = true;
    options.recordStructure = true;
    auto processor = ProcessorRegistry::CreateProcessor(&typeid(RegistryProbe), options);
    ASSERT_NE(processor, nullptr);
    EXPECT_NE(dynamic_cast<RegistryProbe*>(processor.get()), nullptr);
    EXPECT_EQ(processor->GetOptions(), options);

    EXPECT_EQ(ProcessorRegistry::CreateProcessor(&typeid(NeverRegistered), options), nullptr);
    EXPECT_EQ(ProcessorRegistry::CreateProcessor(nullptr, options), nullptr);
}

TEST(ProcessorRegistry, FirstRegistrationWins) {
    EXPECT_STREQ(ProcessorRegistry::GetName(&typeid(RegistryProbe)), "Registry probe");
    EXPECT_EQ(ProcessorRegistry::FindByName("Registry probe"), &typeid(RegistryProbe));
    EXPECT_EQ(ProcessorRegistry::FindByName("Registry probe, second"), nullptr);
    EXPECT_EQ(ProcessorRegistry::GetName(&typeid(NeverRegistered)), nullptr);
}

TEST(ProcessorDefaults, VirtualDefaults) {
    RegistryProbe probe(Options{});
    EXPECT_EQ(probe.RequiredInitialCursorPosition(), 0);
    EXPECT_TRUE(probe.RequiresProvisionedData());
    EXPECT_EQ(probe.GetProcessedSize(), 0u);
}

TEST(ReadResult, PrintingAndPropagationRule) {
    std::ostringstream out;
    out << DataFencingStrategy::Full << ',' << DataFencingStrategy::Mark << ','
        << DataFencingStrategy::Passthrough << ',' << DataFencingStrategy(3) << ',' << ReadResult::NotHandled;
    EXPECT_EQ(out.str(), "Full,Mark,Passthrough,Unknown (3),NotHandled");

    EXPECT_TRUE(EndsEnclosingRead(ReadResult::Fatal, false));
    EXPECT_TRUE(EndsEnclosingRead(ReadResult::Error, true));
    EXPECT_FALSE(EndsEnclosingRead(ReadResult::Error, false));
    EXPECT_FALSE(EndsEnclosingRead(ReadResult::NotHandled, true));
    EXPECT_FALSE(EndsEnclosingRead(ReadResult::Success, true));
}

TEST(ScopedStoreSetter, RestoresOnEveryExit) {
    ReadStore store;
    store.ParentTagName = "ExifOffset";
    {
        ScopedStoreSetter<&ReadStore::currentGroup> group(store, FieldGroup::Gps);
        ScopedStoreSetter<&ReadStore::ParentTagName> parent(store, "GPSInfo");
        EXPECT_EQ(store.currentGroup, FieldGroup::Gps);
        EXPECT_EQ(store.ParentTagName, "GPSInfo");
    }
    EXPECT_EQ(store.currentGroup, FieldGroup::Unknown);
    EXPECT_EQ(store.ParentTagName, "ExifOffset");

    try {
        ScopedStoreSetter<&ReadStore::byteOrder> order(store, ByteOrder::BigEndian);
        throw std::runtime_error("reader failed");
    } catch (std::runtime_error const&) {
    }
    EXPECT_EQ(store.byteOrder, ByteOrder::LittleEndian);
}

TEST(ReadStore, MoveAssignmentResets) {
    auto store = std::make_shared<ReadStore>();
    store->model = "EOS D30";
    store->visitedOffsets[8] = 2;
    store->zeroPriorityGroups.insert(FieldGroup::Ifd1);
    *store = ReadStore();
    EXPECT_TRUE(store->model.empty());
    EXPECT_TRUE(store->visitedOffsets.empty());
    EXPECT_TRUE(store->zeroPriorityGroups.empty());
    EXPECT_EQ(store->readSource, ReadSource::Jpeg);
    EXPECT_EQ(store->preferredGroup, FieldGroup::Unknown);
}

class FakeTrailer : public RegistryProbe {
    using RegistryProbe::RegistryProbe;
};
ProcessorRegistration<FakeTrailer> const kFakeTrailer("Canon VRD");

TEST(TrailerDetection, RecognisesSignatures) {
    std::string photoMechanic(56, 'x');
    photoMechanic += "cbipcbbl";
    auto [pmGroup, pmProcessor] = CreateTrailerProcessor(photoMechanic.data(), photoMechanic.size(), Options{});
    EXPECT_EQ(pmGroup, FieldGroup::Photomechanic);

    std::string vrd("CANON OPTIONAL DATA", 19);
    vrd += '\0';
    vrd.resize(64, 'y');
    auto [vrdGroup, vrdProcessor] = CreateTrailerProcessor(vrd.data(), vrd.size(), Options{});
    EXPECT_EQ(vrdGroup, FieldGroup::CanonVrd);
    // The processor comes from the registry by its display name.
    EXPECT_NE(dynamic_cast<FakeTrailer*>(vrdProcessor.get()), nullptr);

    std::string noNul(64, 'z');
    noNul.replace(0, 19, "CANON OPTIONAL DATA");
    for (std::string const& other : {noNul, std::string(64, '\0'), std::string("cbipcbbl "), std::string()}) {
        auto [group, processor] = CreateTrailerProcessor(other.data(), other.size(), Options{});
        EXPECT_EQ(group, FieldGroup::Unknown);
        EXPECT_EQ(processor, nullptr);
    }
    auto [nullGroup, nullProcessor] = CreateTrailerProcessor(nullptr, 0, Options{});
    EXPECT_EQ(nullGroup, FieldGroup::Unknown);
}

}  // namespace
}  // namespace meta
