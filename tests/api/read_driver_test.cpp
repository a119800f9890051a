#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "varrow/api/metadata.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

// Stand-ins for the top-level readers, registered under the display names
// the image readers look up. Each checks a two-byte signature.
template <char A, char B>
class SignatureReader : public Processor {
  public:
    using Processor::Processor;
    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata& metadata,
                    FieldGroup group) override {
        lastGroup = group;
        store->model = "seen by " + std::string{A, B};
        std::istream& in = source.Yield();
        char sig[2] = {};
        if (!in.read(sig, 2)) return ReadResult::Error;
        if (sig[0] != A || sig[1] != B) {
            metadata.Add(FieldGroup::Unknown, "Leftover", Value("from a failed attempt"),
                         ValueAffinity::Display);
            return ReadResult::Error;
        }
        if (throwAfterAdding) {
            metadata.Add(FieldGroup::Unknown, "BeforeThrow", Value(1), ValueAffinity::Display);
            throw std::runtime_error("reader blew up");
        }
        metadata.Add(FieldGroup::Unknown, std::string{'S', 'i', 'g', A, B}, Value(std::string{A, B}),
                     ValueAffinity::Display);
        return ReadResult::Success;
    }
    static inline FieldGroup lastGroup = FieldGroup::Composite;
    static inline bool throwAfterAdding = false;
};

using FakeTiff = SignatureReader<'I', 'I'>;
using FakeJpeg = SignatureReader<'\xFF', '\xD8'>;
using FakeX3f = SignatureReader<'F', 'O'>;
using FakeCiff = SignatureReader<'C', 'I'>;

ProcessorRegistration<FakeTiff> const kTiff("TIFF document");
ProcessorRegistration<FakeJpeg> const kJpeg("JPEG document");
ProcessorRegistration<FakeX3f> const kX3f("X3F");
ProcessorRegistration<FakeCiff> const kCiff("CIFF");

class ReadDriverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (ProcessorRegistry::FindByName("TIFF document") != &typeid(FakeTiff) ||
            ProcessorRegistry::FindByName("JPEG document") != &typeid(FakeJpeg) ||
            ProcessorRegistry::FindByName("X3F") != &typeid(FakeX3f) ||
            ProcessorRegistry::FindByName("CIFF") != &typeid(FakeCiff)) {
            GTEST_SKIP() << "a real reader is linked under a stand-in's name";
        }
    }

    std::string WriteTemp(std::string const& name, std::string const& bytes) {
        std::string const path = ::testing::TempDir() + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(ReadDriverTest, PathReadRecordsContext) {
    std::string const path = WriteTemp("driver.x3f", "FOVb....");
    Options options;
    options.readUnknownTags = true;
    ASSERT_TRUE(metadata_.Read(path, options));
    EXPECT_TRUE(metadata_.FindAny("SigFO"));
    auto const& store = *metadata_.GetReadStore();
    EXPECT_EQ(store.path, path);
    EXPECT_EQ(store.options, options);
    EXPECT_EQ(store.readSource, ReadSource::X3f);
    EXPECT_EQ(FakeX3f::lastGroup, FieldGroup::Unknown);

    // CRW files start their walk in group CanonRaw.
    ASSERT_TRUE(metadata_.Read(WriteTemp("driver.crw", "CIFF"), Options{}));
    EXPECT_EQ(FakeCiff::lastGroup, FieldGroup::CanonRaw);
}

TEST_F(ReadDriverTest, UnopenablePathKeepsTheCollection) {
    ASSERT_TRUE(metadata_.Read(WriteTemp("keep.x3f", "FO"), Options{}));
    auto const store = metadata_.GetReadStore();
    EXPECT_FALSE(metadata_.Read(::testing::TempDir() + "/does/not/exist.x3f", Options{}));
    EXPECT_TRUE(metadata_.FindAny("SigFO"));
    EXPECT_EQ(metadata_.GetReadStore(), store);
}

TEST_F(ReadDriverTest, UnsupportedTypeClearsTheCollection) {
    ASSERT_TRUE(metadata_.Read(WriteTemp("clear.x3f", "FO"), Options{}));
    EXPECT_FALSE(metadata_.Read(WriteTemp("clear.txt", "FO"), Options{}));
    EXPECT_EQ(metadata_.Size(), 0u);
    // A known type whose reader is not in this build fails cleanly too.
    EXPECT_FALSE(metadata_.Read("FO", 2, ReadSource::Lytro, Options{}));
}

TEST_F(ReadDriverTest, FailedReadKeepsWhatWasAdded) {
    EXPECT_FALSE(metadata_.Read("XY", 2, ReadSource::X3f, Options{}));
    EXPECT_TRUE(metadata_.FindAny("Leftover"));
}

TEST_F(ReadDriverTest, ExceptionsReachTheCallerAfterItemsWereAdded) {
    FakeX3f::throwAfterAdding = true;
    EXPECT_THROW(metadata_.Read("FO", 2, ReadSource::X3f, Options{}), std::runtime_error);
    FakeX3f::throwAfterAdding = false;
    EXPECT_TRUE(metadata_.FindAny("BeforeThrow"));
}

TEST_F(ReadDriverTest, NefFallsBackToJpeg) {
    Options options;
    options.stopOnError = true;
    std::string const path = WriteTemp("really_a.jpg.NEF", "\xFF\xD8\xFF\xE0 rest");
    ASSERT_TRUE(metadata_.Read(path, options));
    // Nothing of the failed TIFF attempt survives.
    EXPECT_FALSE(metadata_.FindAny("Leftover"));
    EXPECT_TRUE(metadata_.FindAny(std::string("Sig\xFF\xD8")));
    // The reader's item and the derived Path composite.
    EXPECT_EQ(metadata_.Size(), 2u);
    EXPECT_EQ(metadata_.Find(FieldGroup::Composite, "Path").GetValueAsString(), path);
    auto const& store = *metadata_.GetReadStore();
    EXPECT_EQ(store.model, "seen by \xFF\xD8");
    EXPECT_EQ(store.readSource, ReadSource::Jpeg);
    EXPECT_EQ(store.path, path);
    EXPECT_EQ(store.options, options);

    // A real TIFF NEF does not fall back; garbage fails both ways.
    EXPECT_TRUE(metadata_.Read("II*\0", 4, ReadSource::Nrw, Options{}));
    EXPECT_EQ(metadata_.GetReadStore()->readSource, ReadSource::Nrw);
    EXPECT_FALSE(metadata_.Read("GARBAGE", 7, ReadSource::Nef, Options{}));
}

TEST_F(ReadDriverTest, StreamAndBufferOverloads) {
    std::string const bytes = "FO";
    std::istringstream stream(bytes);
    EXPECT_TRUE(metadata_.Read(stream, ReadSource::X3f, Options{}));
    EXPECT_TRUE(metadata_.GetReadStore()->path.empty());

    InMemoryStream memory(bytes.data(), bytes.size());
    EXPECT_TRUE(metadata_.Read(memory, ReadSource::X3f, Options{}));

    InMemoryStreamInterface handle(bytes.data(), bytes.size());
    EXPECT_TRUE(metadata_.Read(handle, ReadSource::X3f, Options{}));
    EXPECT_EQ(metadata_.Size(), 1u);

    // A stream already failed is refused without touching the collection.
    std::istringstream failed(bytes);
    failed.setstate(std::ios::failbit);
    EXPECT_FALSE(metadata_.Read(failed, ReadSource::X3f, Options{}));
    EXPECT_EQ(metadata_.Size(), 1u);
    InMemoryStream bad(bytes.data(), bytes.size());
    bad.setstate(std::ios::badbit);
    EXPECT_FALSE(metadata_.Read(bad, ReadSource::X3f, Options{}));
    EXPECT_EQ(metadata_.Size(), 1u);
}

}  // namespace
}  // namespace meta
