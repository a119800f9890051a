#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "varrow/items/metadatum.h"
#include "varrow/items/simple_metadatums.h"

namespace meta {
namespace {

Metadatum WithPriority(int priority) {
    return Metadatum(IsobmffMetadatum::Create(IsobmffKey{"Name"}, Value(1), priority));
}

TEST(Metadatum, NullItemAnswersEmpty) {
    Metadatum const null;
    EXPECT_TRUE(null.IsNull());
    EXPECT_FALSE(null);
    EXPECT_FALSE(null.HasItem());
    EXPECT_TRUE(null.GetKey().IsNull());
    EXPECT_FALSE(null.KeyIsKnown());
    EXPECT_EQ(null.GetGroup(), FieldGroup::Unknown);
    EXPECT_EQ(null.GetNamespace(), FieldNamespace::Unknown);
    EXPECT_EQ(null.GetName(), "");
    EXPECT_EQ(null.GetTitle(), "");
    EXPECT_EQ(null.GetPriority(), 0);
    EXPECT_EQ(null.GetValueCount(), 0u);
    EXPECT_FALSE(null.GetDisplayValue().Exists());
    EXPECT_EQ(null.GetDisplayValueAsString(), "");
    EXPECT_EQ(null.GetAffinity(), ValueAffinity::None);
}

TEST(Metadatum, ReplacesByPriority) {
    struct Case {
        int mine, theirs;
        bool replaces;
    };
    for (Case c :
         {Case{1, 1, true}, Case{0, 0, false}, Case{1, 0, true}, Case{0, 1, false}, Case{1, 2, false},
          Case{-1, 0, false}, Case{2, 1, true}, Case{-1, -1, true}, Case{-2, -1, false}}) {
        EXPECT_EQ(WithPriority(c.mine).Replaces(WithPriority(c.theirs)), c.replaces)
            << c.mine << " vs " << c.theirs;
    }
    EXPECT_TRUE(WithPriority(1).Replaces(Metadatum()));
    EXPECT_FALSE(WithPriority(0).Replaces(Metadatum()));

    Metadatum const user(UserMetadatum::Create(UserKey{FieldNamespace::Bmp, FieldGroup::Bmp, "X"}, Value(1),
                                               ValueAffinity::Display));
    EXPECT_TRUE(user.Replaces(WithPriority(1)));
    EXPECT_TRUE(user.Replaces(WithPriority(2)));
    EXPECT_FALSE(user.Replaces(WithPriority(3)));
}

TEST(Metadatum, UserItemReportsItsDeclaredShape) {
    ValueSequence list;
    list.push_back(Value(1));
    list.push_back(Value(2));
    list.push_back(Value(3));
    Metadatum const item(UserMetadatum::Create(UserKey{FieldNamespace::Png, FieldGroup::Png, "Numbers"},
                                               Value(std::move(list)), ValueAffinity::Raw));
    EXPECT_TRUE(item.KeyIsKnown());
    EXPECT_EQ(item.GetValueCount(), 3u);
    EXPECT_EQ(item.GetValueTypeAsString(), "Sequence");
    EXPECT_EQ(item.GetAffinity(), ValueAffinity::Raw);
    EXPECT_EQ(item.GetTitle(), "Unknown");  // a user item's own title
    EXPECT_EQ(item.GetId(), "");
    EXPECT_EQ(&item.GetValue(), &item.GetRawValue());
    EXPECT_EQ(&item.GetDisplayValue(), &item.GetRawValue());
    EXPECT_EQ(item.GetKey().GetFullName(), "Png:Png.Numbers");
}

TEST(Metadatum, GenericItemTakesTitleFromName) {
    auto store = std::make_shared<ReadStore>();
    Metadatum const item(GenericMetadatum<JpegKey>::Create(JpegKey{FieldGroup::JpegSof, "BitsPerSample"},
                                                           store, Value(std::uint8_t{8}), 1));
    EXPECT_EQ(item.GetTitle(), "Bits Per Sample");
    EXPECT_EQ(item.GetId(), "BitsPerSample");
    EXPECT_EQ(item.GetValueTypeAsString(), "U8");
    EXPECT_EQ(item.GetNamespace(), FieldNamespace::Jpeg);
    EXPECT_EQ(item.As<GenericMetadatum<JpegKey>>().GetPriority(), 1);
}

// The title rules written as the regular expressions they stand for; the
// hand-written version must agree on every input.
std::string TitleByRegex(std::string name) {
    if (name.empty() || std::regex_match(name, std::regex("0x[\\da-f]+"))) return name;
    if (name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 32);
    for (char& c : name) {
        if (c == '_') c = ' ';
    }
    std::string suffix;
    std::smatch m;
    if (std::regex_search(name, m, std::regex(" \\(0x[\\da-f]+\\)$"))) {
        suffix = m.str();
        name.resize(name.size() - suffix.size());
    }
    name = std::regex_replace(name, std::regex("([a-z])([A-Z\\d])"), "$1 $2");
    name = std::regex_replace(name, std::regex("([A-Z])([A-Z][a-z])"), "$1 $2");
    name = std::regex_replace(name, std::regex("(\\d)([A-Z]\\S)"), "$1 $2");
    return name + suffix;
}

TEST(Title, MadeFromName) {
    EXPECT_EQ(MakeTitleFromName("ExposureProgram"), "Exposure Program");
    EXPECT_EQ(MakeTitleFromName("GPSVersionID"), "GPS Version ID");
    EXPECT_EQ(MakeTitleFromName("0x8769"), "0x8769");
    EXPECT_EQ(MakeTitleFromName("creator"), "Creator");
    EXPECT_EQ(MakeTitleFromName("white_balance"), "White balance");
    EXPECT_EQ(MakeTitleFromName("Tag (0x1a2b)"), "Tag (0x1a2b)");
    EXPECT_EQ(MakeTitleFromName(""), "");

    for (std::string const name : {"ExposureProgram",
                                   "GPSVersionID",
                                   "ISOSpeed",
                                   "aBcDeF",
                                   "A1B2c3D4",
                                   "x3DModel",
                                   "HDRPlusMode",
                                   "Sony_AF_Info2",
                                   "F2Xa",
                                   "7Dx",
                                   "Name (0xABC)",
                                   "Name (0xabc)",
                                   "Name (0xabc) (0x12)",
                                   "a1",
                                   "AAa",
                                   "A A",
                                   "9Z ",
                                   "9Zz",
                                   "lensID2D",
                                   "__init__",
                                   "ab12CDef",
                                   "MakerNote\xC3\xA9Value",
                                   "Z",
                                   "zZ9",
                                   "NEF(0x1)",
                                   " (0x1)",
                                   "0x8769",
                                   "0x87G9",
                                   "0xABCD",
                                   "0x"}) {
        EXPECT_EQ(MakeTitleFromName(name), TitleByRegex(name)) << name;
    }
}

}  // namespace
}  // namespace meta
