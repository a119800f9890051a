// Packets to items: locating the packet, normalising the parsed tree and the
// rules that decide which properties become items.
#include <gtest/gtest.h>

#include <random>

#include <string>

#include "blocks/xmp_test_packets.h"
#include "varrow/api/metadata.h"
#include "varrow/blocks/xmp/xmp_deserialise.h"
#include "varrow/blocks/xmp/xmp_packet.h"
#include "varrow/blocks/xmp/xmp_processor.h"
#include "varrow/blocks/xmp/xmp_toolkit.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/items/xmp_metadatum.h"

namespace meta {
namespace {

using test::kDcNs;
using test::kXmpNs;
using test::XmpPacket;

class XmpReading : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(md_.GetInitialiser()->XmpOkay()); }

    bool ReadXmp(std::string const& text, Options const& options = {}) {
        return md_.Read(text.data(), text.size(), ReadSource::Xmp, options);
    }
    std::string Show(FieldGroup group, std::string_view name) const {
        return md_.Find(group, name).GetValueAsString();
    }

    Metadata md_{test::XmpToolkit()};
};

TEST_F(XmpReading, ItemsCarryGroupNameIdTypeAndPrefix) {
    ASSERT_TRUE(ReadXmp(
        XmpPacket(R"(<dc:subject><rdf:Bag><rdf:li>a</rdf:li><rdf:li>b</rdf:li></rdf:Bag></dc:subject>)"
                  R"(<xmp:Rating>4</xmp:Rating><foo:note>n</foo:note>)")));
    Metadatum const subject = md_.Find(FieldGroup::XmpDc, "Subject");
    ASSERT_TRUE(subject);
    EXPECT_EQ(subject.GetId(), "subject");
    EXPECT_EQ(subject.GetValueTypeAsString(), "UnorderedArray");
    EXPECT_EQ(subject.GetRawValue().GetType(), Value::Type::Set);
    EXPECT_EQ(subject.GetNamespace(), FieldNamespace::Xmp);
    EXPECT_TRUE(subject.KeyIsKnown());
    EXPECT_EQ(subject.As<XmpMetadatum>().GetOriginalNsPrefix(), "dc");

    Metadatum const rating = md_.Find(FieldGroup::Xmp, "Rating");
    ASSERT_TRUE(rating);
    EXPECT_EQ(rating.GetRawValue(), Value(4.0));

    Metadatum const note = md_.Find(FieldGroup::XmpPassthrough, "note");
    ASSERT_TRUE(note);
    EXPECT_FALSE(note.KeyIsKnown());
    EXPECT_EQ(note.GetTitle(), "Note");
    EXPECT_EQ(note.As<XmpMetadatum>().GetOriginalNsPrefix(), "foo");
    EXPECT_EQ(md_.GetReadStore()->readSource, ReadSource::Xmp);
}

TEST_F(XmpReading, UnknownNamespacesArePassedThroughOrDropped) {
    std::string const packet =
        XmpPacket(R"(<foo:a>1</foo:a><foo:b><rdf:Seq><rdf:li>x</rdf:li></rdf:Seq></foo:b>)"
                  R"(<xmp:Label>red</xmp:Label><xmp:NoSuchProperty>1</xmp:NoSuchProperty>)");
    ASSERT_TRUE(ReadXmp(packet));
    EXPECT_TRUE(md_.Find(FieldGroup::XmpPassthrough, "a"));
    EXPECT_EQ(md_.Find(FieldGroup::XmpPassthrough, "b").GetRawValue().GetType(), Value::Type::Sequence);
    EXPECT_TRUE(md_.Find(FieldGroup::Xmp, "NoSuchProperty"));

    Options drop;
    drop.dropUnknownXmp = true;
    ASSERT_TRUE(ReadXmp(packet, drop));
    EXPECT_FALSE(md_.Find(FieldGroup::XmpPassthrough, "a"));
    EXPECT_FALSE(md_.Find(FieldGroup::XmpPassthrough, "b"));
    EXPECT_FALSE(md_.Find(FieldGroup::Xmp, "NoSuchProperty"));
    EXPECT_EQ(Show(FieldGroup::Xmp, "Label"), "red");
}

TEST_F(XmpReading, PacketIsFoundAfterLeadingBytesNearTheStart) {
    std::string const packet = XmpPacket(R"(<xmp:Label>found</xmp:Label>)");
    ASSERT_TRUE(ReadXmp(std::string(100, 'z') + packet));
    EXPECT_EQ(Show(FieldGroup::Xmp, "Label"), "found");
    // Beyond the search span the text goes to the parser unchanged, which
    // rejects it.
    EXPECT_THROW(ReadXmp(std::string(2000, 'z') + packet), xmp::XMP_Error);
    // A packet without a wrapper is parsed as it is.
    std::string const bare = packet.substr(packet.find("<x:xmpmeta"));
    ASSERT_TRUE(ReadXmp(bare.substr(0, bare.find("<?xpacket end"))));
    EXPECT_EQ(Show(FieldGroup::Xmp, "Label"), "found");
}

TEST(XmpPacketText, ToolkitNameComesFromTheMetaElement) {
    EXPECT_EQ(xmp::FindToolkitName(R"(<x:xmpmeta xmlns:x="adobe:ns:meta/" x:xmptk="Core &amp; 5.1">)"),
              "Core & 5.1");
    EXPECT_EQ(xmp::FindToolkitName("<x:xapmeta xmlns:x='adobe:ns:meta/' x:xaptk = 'XMP toolkit 2.8'>"),
              "XMP toolkit 2.8");
    // Only the start tag of x:xmpmeta counts, and the quote must close.
    EXPECT_FALSE(xmp::FindToolkitName(R"(<x:xmpmeta xmlns:x="adobe:ns:meta/"><foo x:xmptk="no"/>)"));
    EXPECT_FALSE(xmp::FindToolkitName(R"(<x:xmpmeta x:xmptk="unterminated)"));
    EXPECT_FALSE(xmp::FindToolkitName("no packet here"));

    // The whole marker must lie within the first 1024 bytes.
    EXPECT_EQ(xmp::DropTrailer("<x:xmpmeta>a</x:xmpmeta>  <?xpacket end=\"w\""), "<x:xmpmeta>a</x:xmpmeta>");
    EXPECT_EQ(xmp::DropTrailer("<rdf:RDF/> tail"), "<rdf:RDF/> tail");
    using namespace std::string_view_literals;
    EXPECT_EQ(xmp::DropTrailer("<x:xmpmeta>a</x:xmpmeta>\0\0\0</x:xmpmeta>"sv), "<x:xmpmeta>a</x:xmpmeta>");
    EXPECT_EQ(xmp::DropTrailer("<?xpacket begin=\"\"\0\0\0 junk"sv), "<?xpacket begin=\"\"");

    std::string const text = std::string(1024 - 9, ' ') + "<?xpacket";
    EXPECT_EQ(xmp::FindPacket(text), "<?xpacket");
    EXPECT_EQ(xmp::FindPacket(" " + text), " " + text);
}

TEST(XmpPacketText, LastTagSearchAgreesWithRfind) {
    using namespace std::string_view_literals;
    // Padding or not, the backward search answers exactly as rfind.
    std::string const padded = "<x:xmpmeta>a</x:xmpmeta>" + std::string(3000, ' ') + "<?xpacket end=\"w\"?>";
    EXPECT_EQ(xmp::DropTrailer(padded), "<x:xmpmeta>a</x:xmpmeta>");
    std::mt19937 random(99);
    std::string const alphabet = "<</x:xmpmeta> ";
    for (int round = 0; round < 2000; ++round) {
        std::string sample;
        for (std::size_t n = random() % 40; n > 0; --n) sample += alphabet[random() % alphabet.size()];
        for (std::string_view const tag : {"</x:xmpmeta>"sv, "<"sv, "</"sv, "</x:xmpmeta>  "sv, ""sv}) {
            std::size_t const expected =
                tag.empty() ? std::string_view::npos : std::string_view(sample).rfind(tag);
            EXPECT_EQ(xmp::FindLastTag(sample, tag), expected) << sample << " / " << tag;
        }
    }
}

TEST_F(XmpReading, TruncatedPacketTrailerIsTolerated) {
    std::string packet = XmpPacket(R"(<xmp:Label>cut</xmp:Label>)");
    packet.resize(packet.size() - 2);  // '<?xpacket end="w"' without its '?>'
    ASSERT_TRUE(ReadXmp(packet));
    EXPECT_EQ(Show(FieldGroup::Xmp, "Label"), "cut");
}

TEST_F(XmpReading, ToolkitNameBecomesAnItem) {
    std::string packet = XmpPacket(R"(<xmp:Label>x</xmp:Label>)");
    packet.insert(packet.find("xmlns:x="), R"(x:xmptk="Test Core 1.0" )");
    ASSERT_TRUE(ReadXmp(packet));
    Metadatum const toolkit = md_.Find(FieldGroup::XmpX, "XMPToolkit");
    ASSERT_TRUE(toolkit);
    EXPECT_EQ(toolkit.GetValueAsString(), "Test Core 1.0");
    EXPECT_EQ(toolkit.GetId(), "xmptk");
}

TEST_F(XmpReading, MalformedPacketsThrowAndEmptyOrSkippedReadsFail) {
    EXPECT_THROW(ReadXmp("<?xpacket begin=''?><x:xmpmeta><rdf:RDF"), xmp::XMP_Error);
    EXPECT_FALSE(ReadXmp(""));
    Options skip;
    skip.skipXmp = true;
    EXPECT_FALSE(ReadXmp(XmpPacket(R"(<xmp:Label>x</xmp:Label>)"), skip));
    EXPECT_EQ(md_.Size(), 0u);
}

TEST_F(XmpReading, DatesAreNormalisedAndSimpleTextWhereArraysAreDeclaredIsDropped) {
    ASSERT_TRUE(ReadXmp(
        XmpPacket(R"(<xmp:CreateDate>2020:01:02 03:04:05</xmp:CreateDate>)"
                  R"(<xmp:ModifyDate>not a date</xmp:ModifyDate>)"
                  R"(<exif:ISOSpeedRatings>100</exif:ISOSpeedRatings><dc:subject>plain</dc:subject>)")));
    Metadatum const created = md_.Find(FieldGroup::Xmp, "CreateDate");
    ASSERT_EQ(created.GetRawValue().GetType(), Value::Type::DateTime);
    EXPECT_EQ(ToString(created.GetRawValue().Get<DateTime>()), "2020-01-02T03:04:05");
    EXPECT_EQ(md_.Find(FieldGroup::Xmp, "ModifyDate").GetRawValue(), Value("not a date"));
    EXPECT_FALSE(md_.Find(FieldGroup::XmpExif, "ISO"));
    // The toolkit itself turns a plain dc:subject into a one-item bag.
    EXPECT_EQ(md_.Find(FieldGroup::XmpDc, "Subject").GetRawValue(), Value(ValueSet{Value("plain")}));
}

TEST(XmpNormalise, ReportsWhatItChanged) {
    ASSERT_TRUE(test::XmpToolkit()->XmpOkay());
    bool changed = true;
    xmp::TXMPMeta<std::string> meta =
        xmp::DeserialiseRdf(XmpPacket(R"(<xmp:CreateDate>2020-01-02T03:04:05</xmp:CreateDate>)"), &changed);
    EXPECT_FALSE(changed);

    std::string const packet = XmpPacket(
        R"(<xmp:CreateDate>2020:01:02 03:04:05.25+02:00</xmp:CreateDate><exif:ISOSpeedRatings>1</exif:ISOSpeedRatings>)"
        R"(<dc:description><rdf:Alt><rdf:li xml:lang="x-default">kept</rdf:li></rdf:Alt></dc:description>)");
    meta = xmp::DeserialiseRdf(std::string_view(packet), &changed);
    EXPECT_TRUE(changed);
    std::string value;
    EXPECT_TRUE(meta.GetProperty(kXmpNs, "CreateDate", &value, nullptr));
    EXPECT_EQ(value, "2020-01-02T03:04:05.25+02:00");
    EXPECT_FALSE(meta.DoesPropertyExist("http://ns.adobe.com/exif/1.0/", "ISOSpeedRatings"));
    EXPECT_TRUE(meta.DoesPropertyExist(kDcNs, "description[1]"));

    // The same packet in pieces.
    xmp::TXMPMeta<std::string> pieces;
    std::size_t const half = packet.size() / 2;
    xmp::DeserialiseRdfChunk(pieces, packet.data(), half);
    xmp::DeserialiseRdfChunk(pieces, packet.data() + half, packet.size() - half);
    changed = false;
    xmp::DeserialiseRdfComplete(pieces, &changed);
    EXPECT_TRUE(changed);
    EXPECT_TRUE(pieces.GetProperty(kXmpNs, "CreateDate", &value, nullptr));
    EXPECT_EQ(value, "2020-01-02T03:04:05.25+02:00");
}

TEST_F(XmpReading, DocumentAncestorsNeverBecomeAnItem) {
    ASSERT_TRUE(ReadXmp(
        XmpPacket(R"(<photoshop:DocumentAncestors><rdf:Bag><rdf:li>uuid:1</rdf:li>)"
                  R"(</rdf:Bag></photoshop:DocumentAncestors><photoshop:City>Oslo</photoshop:City>)")));
    EXPECT_FALSE(md_.Find(FieldGroup::XmpPhotoshop, "DocumentAncestors"));
    EXPECT_EQ(Show(FieldGroup::XmpPhotoshop, "City"), "Oslo");
}

std::string Keywords(int count) {
    std::string body = "<dc:subject><rdf:Bag>";
    for (int i = 0; i < count; ++i) body += "<rdf:li>k" + std::to_string(i) + "</rdf:li>";
    return body + "</rdf:Bag></dc:subject>";
}

TEST_F(XmpReading, ChildLimitDropsNodesWithMoreThan99Children) {
    Options limit;
    limit.xmpChildLimit = true;
    ASSERT_TRUE(ReadXmp(XmpPacket(Keywords(99)), limit));
    EXPECT_EQ(md_.Find(FieldGroup::XmpDc, "Subject").GetRawValue().Length(), 99u);
    ASSERT_TRUE(ReadXmp(XmpPacket(Keywords(100)), limit));
    EXPECT_FALSE(md_.Find(FieldGroup::XmpDc, "Subject"));
    ASSERT_TRUE(ReadXmp(XmpPacket(Keywords(100))));
    EXPECT_EQ(md_.Find(FieldGroup::XmpDc, "Subject").GetRawValue().Length(), 100u);
}

TEST_F(XmpReading, ProvisionedWindowIsReadFromTheCursorToTheUsableLimit) {
    std::string const packet = XmpPacket(R"(<xmp:Label>windowed</xmp:Label>)");
    std::string const data = "HEAD" + packet + "TAIL-NOT-XML";
    InMemoryStream stream(data.data(), data.size());
    DataSource source(stream, 0);
    ASSERT_TRUE(source.ProvisionRemainingData());
    source.UnprovisionData(4);
    source.MarkAsUsable(packet.size());
    XmpProcessor processor(Options{});
    EXPECT_EQ(processor.Read(source, md_.GetReadStore(), md_, FieldGroup::Xmp), ReadResult::Success);
    EXPECT_EQ(Show(FieldGroup::Xmp, "Label"), "windowed");

    // A usable limit beyond what is buffered cannot be honoured.
    InMemoryStream shortStream(data.data(), data.size());
    DataSource shortSource(shortStream, 0);
    ASSERT_TRUE(shortSource.ProvisionData(10));
    shortSource.MarkAsUsable(packet.size());
    EXPECT_EQ(processor.Read(shortSource, md_.GetReadStore(), md_, FieldGroup::Xmp), ReadResult::Fatal);
}

}  // namespace
}  // namespace meta
