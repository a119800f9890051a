// Reading XMP toolkit trees and .xmp files through Metadata.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "blocks/xmp_test_packets.h"
#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"

namespace meta {
namespace {

using test::XmpPacket;

TEST(XmpRead, ToolkitTreeIsAddedOnTopOfAPreviousRead) {
    Metadata md(test::XmpToolkit());
    ASSERT_TRUE(md.GetInitialiser()->XmpOkay());
    std::string const file = XmpPacket(R"(<xmp:Label>from file</xmp:Label>)");
    ASSERT_TRUE(md.Read(file.data(), file.size(), ReadSource::Xmp, Options{}));
    ASSERT_TRUE(md.Find(FieldGroup::Xmp, "Label"));
    std::size_t const before = md.Size();

    std::string const packet = XmpPacket(R"(<xmp:Rating>2</xmp:Rating><foo:x>1</foo:x>)");
    xmp::TXMPMeta<std::string> const tree(packet.data(), packet.size());
    ASSERT_TRUE(md.Read(tree, Options{}));
    EXPECT_EQ(md.Size(), before + 2);
    EXPECT_TRUE(md.Find(FieldGroup::Xmp, "Label"));
    EXPECT_EQ(md.Find(FieldGroup::Xmp, "Rating").GetRawValue(), Value(2.0));

    Options drop;
    drop.dropUnknownXmp = true;
    Metadata fresh(test::XmpToolkit());
    ASSERT_TRUE(fresh.Read(tree, drop));
    EXPECT_EQ(fresh.Size(), 1u);
    // An empty tree reads successfully and adds nothing.
    EXPECT_TRUE(fresh.Read(xmp::TXMPMeta<std::string>(), Options{}));
    EXPECT_EQ(fresh.Size(), 1u);
}

TEST(XmpRead, SidecarFilesReadThroughTheirExtension) {
    std::string const path = ::testing::TempDir() + "varrow_sidecar_test.XMP";
    {
        std::ofstream out(path, std::ios::binary);
        out << XmpPacket(
            R"(<dc:title><rdf:Alt><rdf:li xml:lang="x-default">Sidecar</rdf:li></rdf:Alt></dc:title>)");
    }
    Metadata md(test::XmpToolkit());
    ASSERT_TRUE(md.Read(path, Options{}));
    EXPECT_EQ(md.Find(FieldGroup::XmpDc, "Title").GetValueAsString(), "Sidecar");
    Options skip;
    skip.skipXmp = true;
    EXPECT_FALSE(md.Read(path, skip));
    std::remove(path.c_str());
}

}  // namespace
}  // namespace meta
