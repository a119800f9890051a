#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "varrow/fields/field_group.h"

namespace meta {
namespace {

TEST(FieldGroup, NamesCoverExactlyTheEnumeration) {
    EXPECT_STREQ(ToString(FieldGroup::Unknown), "Unknown");
    EXPECT_STREQ(ToString(FieldGroup(428)), "IptcFotoStation");
    EXPECT_STREQ(ToString(FieldGroup::Ifd0), "Ifd0");
    EXPECT_EQ(ToString(FieldGroup(429)), nullptr);
    EXPECT_EQ(ToString(FieldGroup(-2)), nullptr);

    std::set<std::string> names;
    for (int g = -1; g < kFieldGroupCount; ++g) {
        char const* name = ToString(FieldGroup(g));
        ASSERT_NE(name, nullptr) << g;
        EXPECT_TRUE(names.insert(name).second) << "duplicate group name " << name;
    }
    EXPECT_EQ(names.size(), 430u);
}

TEST(FieldGroup, NamespaceOfGroup) {
    EXPECT_EQ(GetGroupNamespace(FieldGroup::Gps), FieldNamespace::Tiff);
    EXPECT_EQ(GetGroupNamespace(FieldGroup::Hdr), FieldNamespace::Radiance);
    EXPECT_EQ(GetGroupNamespace(FieldGroup::Webp), FieldNamespace::Riff);
    EXPECT_EQ(GetGroupNamespace(FieldGroup::Xml), FieldNamespace::Xmp);
    EXPECT_EQ(GetGroupNamespace(FieldGroup::CanonCr3), FieldNamespace::Canon);
    EXPECT_EQ(GetGroupNamespace(FieldGroup::DngAdobeData), FieldNamespace::Adobe);
    EXPECT_EQ(GetGroupNamespace(FieldGroup::Composite), FieldNamespace::Generated);
    EXPECT_EQ(GetGroupNamespace(FieldGroup::Unknown), FieldNamespace::Unknown);
    EXPECT_EQ(GetGroupNamespace(FieldGroup(429)), FieldNamespace::Unknown);

    // Every XmpStruct* group is in the Xmp namespace, and the groups of one
    // namespace are contiguous.
    FieldNamespace previous = FieldNamespace::Unknown;
    std::set<FieldNamespace> finished;
    for (int g = 0; g < kFieldGroupCount; ++g) {
        std::string const name = ToString(FieldGroup(g));
        FieldNamespace const ns = GetGroupNamespace(FieldGroup(g));
        if (name.rfind("XmpStruct", 0) == 0) {
            EXPECT_EQ(ns, FieldNamespace::Xmp) << name;
        }
        if (ns != previous) {
            EXPECT_TRUE(finished.insert(previous).second) << "namespace split at " << name;
            previous = ns;
        }
    }
}

TEST(FieldGroup, IptcRecordGroups) {
    EXPECT_EQ(GetIptcFieldGroup(1), FieldGroup::IptcEnvelope);
    EXPECT_EQ(GetIptcFieldGroup(2), FieldGroup::IptcApplication);
    EXPECT_EQ(GetIptcFieldGroup(3), FieldGroup::IptcNewsPhoto);
    EXPECT_EQ(GetIptcFieldGroup(7), FieldGroup::IptcPreObjectData);
    EXPECT_EQ(GetIptcFieldGroup(8), FieldGroup::IptcObjectData);
    EXPECT_EQ(GetIptcFieldGroup(9), FieldGroup::IptcPostObjectData);
    EXPECT_EQ(GetIptcFieldGroup(240), FieldGroup::IptcFotoStation);
    for (int record : {0, 4, 5, 6, 10, 239, 241, 255}) {
        EXPECT_EQ(GetIptcFieldGroup(static_cast<std::uint8_t>(record)), FieldGroup::Unknown) << record;
    }
}

TEST(FieldGroup, Printing) {
    std::ostringstream out;
    out << FieldGroup::Exif << ' ' << FieldNamespace::IsoBaseMedia << ' ' << FieldGroup(1000);
    EXPECT_EQ(out.str(), "Exif IsoBaseMedia 1000");
    EXPECT_STREQ(ToString(FieldNamespace::Unknown), "Unknown");
    EXPECT_STREQ(ToString(FieldNamespace(41)), "Sony");
    EXPECT_EQ(ToString(FieldNamespace(42)), nullptr);
}

}  // namespace
}  // namespace meta
