#include <gtest/gtest.h>

#include <stdexcept>

#include "varrow/api/initialiser.h"
#include "varrow/api/metadata.h"
#include "varrow/fields/table_builders.h"

namespace meta {
namespace {

TEST(Initialiser, HostModeLeavesTheToolkitAlone) {
    auto const init = Initialiser::Create(Initialiser::Mode::HostInitialisesXmp);
    EXPECT_TRUE(init->DbOkay());
    EXPECT_TRUE(init->XmpOkay());
    EXPECT_FALSE(init->ShouldInitLibXmp());
}

TEST(Initialiser, XmpModeInitialisesTheToolkit) {
    auto const init = Initialiser::Create(Initialiser::Mode::InitialiseXmp);
    EXPECT_TRUE(init->ShouldInitLibXmp());
    EXPECT_TRUE(init->DbOkay());
    EXPECT_TRUE(init->XmpOkay());
    // Several initialisers pair their initialise and terminate calls.
    auto const second = Initialiser::Create(Initialiser::Mode::InitialiseXmp);
    EXPECT_TRUE(second->XmpOkay());
    // Any other mode value behaves like host mode.
    Initialiser const other(static_cast<Initialiser::Mode>(7));
    EXPECT_FALSE(other.ShouldInitLibXmp());
    EXPECT_TRUE(other.XmpOkay());
}

TEST(Initialiser, CollectionsShareOneInitialiser) {
    auto const init = Initialiser::Create(Initialiser::Mode::HostInitialisesXmp);
    Metadata a(init);
    Metadata b(init);
    EXPECT_EQ(a.GetInitialiser(), init);
    EXPECT_EQ(b.GetInitialiser(), init);
    EXPECT_EQ(init.use_count(), 3);
    Metadata own(Initialiser::Mode::HostInitialisesXmp);
    EXPECT_NE(own.GetInitialiser(), init);
    EXPECT_TRUE(own.GetInitialiser()->DbOkay());
}

// Registered at load time like a real table; the test switches it to failing.
bool gFailBuilding = false;
int gBuildCount = 0;
void FailingBuilder() {
    ++gBuildCount;
    if (gFailBuilding) throw std::runtime_error("table broken");
}
TableBuilderRegistration const kFailing(TableStage::FieldDatabases, &FailingBuilder);

TEST(Initialiser, TableFailureIsReportedNotThrown) {
    int const before = gBuildCount;
    gFailBuilding = true;
    testing::internal::CaptureStderr();
    Initialiser const broken(Initialiser::Mode::HostInitialisesXmp);
    std::string const err = testing::internal::GetCapturedStderr();
    gFailBuilding = false;

    EXPECT_FALSE(broken.DbOkay());
    EXPECT_TRUE(broken.XmpOkay());
    EXPECT_EQ(err, "Caught exception during libvarrow initialisation: table broken\n");
    EXPECT_EQ(gBuildCount, before + 1);
    EXPECT_GE(CountTableBuilders(TableStage::FieldDatabases), 1);

    // A collection whose initialiser failed refuses to read, and is cleared.
    gFailBuilding = true;
    testing::internal::CaptureStderr();
    auto const failed = Initialiser::Create(Initialiser::Mode::HostInitialisesXmp);
    testing::internal::GetCapturedStderr();
    gFailBuilding = false;
    Metadata metadata(failed);
    metadata.Add(FieldGroup::Bmp, "ImageWidth", Value(std::uint32_t{1}), ValueAffinity::Display);
    char const bytes[] = "BM";
    EXPECT_FALSE(metadata.Read(bytes, 2, ReadSource::Bmp, Options{}));
    EXPECT_EQ(metadata.Size(), 0u);
}

}  // namespace
}  // namespace meta
