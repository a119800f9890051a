#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fixtures/image_builders.h"
#include "varrow/api/metadata.h"
#include "varrow/formats/jpeg/jpeg_processor.h"
#include "varrow/io/data_source.h"
#include "varrow/io/in_memory_stream.h"
#include "varrow/processors/processor_registry.h"
#include "varrow/processors/read_store.h"

// Recording stand-ins for the processors segments are handed to, registered
// under test-only names and reached through JpegProcessor::SubProcessorNames.
namespace meta::jpeg_test {

struct Call {
    std::string kind;
    FieldGroup group = FieldGroup::Unknown;
    std::string bytes;  // what the processor can read, from its cursor on
    long long docPos = -1;
    ByteOrder byteOrder = ByteOrder::LittleEndian;
    FieldGroup storeGroup = FieldGroup::Unknown;
    std::uint32_t valueCount = 0;
    ExifType valueFormat = ExifType::Unknown;
};

struct Log {
    std::vector<Call> calls;
    ReadResult result = ReadResult::Success;

    static Log& Get() {
        static Log log;
        return log;
    }
    void Reset() {
        calls.clear();
        result = ReadResult::Success;
    }
    std::vector<Call> Of(std::string const& kind) const {
        std::vector<Call> out;
        std::copy_if(calls.begin(), calls.end(), std::back_inserter(out),
                     [&](Call const& c) { return c.kind == kind; });
        return out;
    }
};

template <int Kind>
class Recorder : public Processor {
  public:
    using Processor::Processor;

    ReadResult Read(DataSource& source, std::shared_ptr<ReadStore> const& store, Metadata&,
                    FieldGroup group) override {
        Call call;
        call.kind = ProcessorRegistry::GetName(&typeid(*this));
        call.group = group;
        if (source.GetBytesProvisioned() == 0) source.ProvisionRemainingData();
        std::string_view const rest = source.AsStringView(true);
        auto const cursor = static_cast<std::size_t>(std::streamoff(source.GetBufferPos()));
        std::size_t const usable = source.GetBytesUsable(true);
        call.bytes = std::string(rest.substr(0, usable > cursor ? usable - cursor : 0));
        call.docPos = std::streamoff(source.GetBufferPosInDoc());
        call.byteOrder = store->byteOrder;
        call.storeGroup = store->currentGroup;
        call.valueCount = store->valueCount;
        call.valueFormat = store->valueFormat;
        Log::Get().calls.push_back(call);
        return Log::Get().result;
    }
};

inline constexpr char const* kTiff = "jpeg-test TIFF";
inline constexpr char const* kXmp = "jpeg-test XMP";
inline constexpr char const* kIcc = "jpeg-test ICC";
inline constexpr char const* kPhotoshop = "jpeg-test Photoshop";
inline constexpr char const* kBinary = "jpeg-test binary";
inline constexpr char const* kMissing = "jpeg-test processor that does not exist";

inline JpegProcessor::SubProcessorNames RecorderNames() {
    return {kTiff, kXmp, kIcc, kPhotoshop, kBinary};
}

inline JpegProcessor::SubProcessorNames MissingNames() {
    return {kMissing, kMissing, kMissing, kMissing, kMissing};
}

}  // namespace meta::jpeg_test

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::ByteWriter;
using fixtures::JpegBuilder;
using jpeg_test::Log;

ProcessorRegistration<jpeg_test::Recorder<0>> const kTiffRecorder(jpeg_test::kTiff);
ProcessorRegistration<jpeg_test::Recorder<1>> const kXmpRecorder(jpeg_test::kXmp);
ProcessorRegistration<jpeg_test::Recorder<2>> const kIccRecorder(jpeg_test::kIcc);
ProcessorRegistration<jpeg_test::Recorder<3>> const kPhotoshopRecorder(jpeg_test::kPhotoshop);
ProcessorRegistration<jpeg_test::Recorder<4>> const kBinaryRecorder(jpeg_test::kBinary);

std::string Text(Bytes const& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// SOI, then `body` as given (no frame, no scan).
Bytes Raw(Bytes const& body) {
    ByteWriter w(true);
    w.U8(0xFF).U8(0xD8).Append(body);
    return w.Take();
}

// A segment with an explicit length field, whatever the payload's size.
Bytes SegmentBytes(std::uint8_t marker, std::uint16_t lengthField, std::string const& payload) {
    ByteWriter w(true);
    w.U8(0xFF).U8(marker).U16(lengthField).Text(payload);
    return w.Take();
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (Bytes const& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// Frame header payload: precision, lines, samples per line, components.
Bytes FramePayload(std::uint16_t width, std::uint16_t height, std::vector<std::uint8_t> const& sampling) {
    ByteWriter w(true);
    w.U8(8).U16(height).U16(width).U8(static_cast<std::uint8_t>(sampling.size()));
    std::uint8_t id = 1;
    for (std::uint8_t factors : sampling) w.U8(id++).U8(factors).U8(0);
    return w.Take();
}

class JpegTest : public ::testing::Test {
  protected:
    void SetUp() override { Log::Get().Reset(); }

    // Runs a JpegProcessor whose hand-offs go to the recorders.
    ReadResult Run(Bytes const& bytes, Options const& options = {},
                   JpegProcessor::SubProcessorNames names = jpeg_test::RecorderNames()) {
        data_.assign(bytes.begin(), bytes.end());
        metadata_.Clear();
        InMemoryStream stream(data_.data(), data_.size());
        DataSource source(stream, 0);
        JpegProcessor processor(options, names);
        return processor.Read(source, metadata_.GetReadStore(), metadata_, FieldGroup::Unknown);
    }
    bool ReadFile(Bytes const& bytes, Options const& options = {}) {
        data_.assign(bytes.begin(), bytes.end());
        return metadata_.Read(data_.data(), data_.size(), ReadSource::Jpeg, options);
    }
    std::string Display(FieldGroup group, char const* name) const {
        return metadata_.Find(group, name).GetDisplayValueAsString();
    }
    bool Has(FieldGroup group, char const* name) const {
        return static_cast<bool>(metadata_.Find(group, name));
    }
    std::size_t Count(char const* name) const {
        std::size_t n = 0;
        for (Metadatum const& item : metadata_.GetAllValues()) n += item.GetName() == name ? 1u : 0u;
        return n;
    }

    std::string data_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(JpegTest, FrameProperties) {
    ASSERT_TRUE(ReadFile(JpegBuilder().Frame(640, 480).Sampling({0x22, 0x11, 0x11}).Build()));
    EXPECT_EQ(metadata_.GetReadStore()->readSource, ReadSource::Jpeg);

    std::vector<std::string> names;
    for (Metadatum const& item : metadata_.GetAllValues()) {
        if (item.GetGroup() != FieldGroup::Composite) names.emplace_back(item.GetName());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"ImageWidth", "ImageHeight", "EncodingProcess",
                                               "BitsPerSample", "ColorComponents", "YCbCrSubSampling"}));
    EXPECT_EQ(metadata_.Find(FieldGroup::Composite, "ImageSize").GetDisplayValueAsString(), "640x480");

    Metadatum const width = metadata_.Find(FieldGroup::JpegSof, "ImageWidth");
    ASSERT_TRUE(width);
    EXPECT_EQ(width.GetNamespace(), FieldNamespace::Jpeg);
    EXPECT_EQ(width.GetRawValue().GetType(), Value::Type::U16);
    EXPECT_EQ(Display(FieldGroup::JpegSof, "ImageWidth"), "640");
    EXPECT_EQ(Display(FieldGroup::JpegSof, "ImageHeight"), "480");
    EXPECT_EQ(metadata_.Find(FieldGroup::JpegSof, "EncodingProcess").GetRawValue().GetType(),
              Value::Type::S32);
    EXPECT_EQ(Display(FieldGroup::JpegSof, "EncodingProcess"), "0");
    EXPECT_EQ(metadata_.Find(FieldGroup::JpegSof, "BitsPerSample").GetRawValue().GetType(), Value::Type::U8);
    EXPECT_EQ(Display(FieldGroup::JpegSof, "BitsPerSample"), "8");
    EXPECT_EQ(Display(FieldGroup::JpegSof, "ColorComponents"), "3");
    Value const& sub = metadata_.Find(FieldGroup::JpegSof, "YCbCrSubSampling").GetRawValue();
    ASSERT_EQ(sub.GetType(), Value::Type::U32Array);
    EXPECT_EQ(sub.Get<std::vector<std::uint32_t>>(), (std::vector<std::uint32_t>{2, 2}));

    // A grey frame has no sub-sampling; a zero factor suppresses it.
    ASSERT_TRUE(ReadFile(JpegBuilder().Frame(16, 8, 1).Build()));
    EXPECT_EQ(Display(FieldGroup::JpegSof, "ColorComponents"), "1");
    EXPECT_FALSE(Has(FieldGroup::JpegSof, "YCbCrSubSampling"));
    ASSERT_TRUE(ReadFile(JpegBuilder().Sampling({0x22, 0x10, 0x11}).Build()));
    EXPECT_TRUE(Has(FieldGroup::JpegSof, "ImageWidth"));
    EXPECT_FALSE(Has(FieldGroup::JpegSof, "YCbCrSubSampling"));
}

TEST_F(JpegTest, EveryFrameHeaderIsRead) {
    // A progressive frame first, then the builder's baseline frame: both
    // are recorded, the later one winning the lookups.
    Bytes const bytes =
        JpegBuilder().Segment(0xC2, FramePayload(320, 200, {0x21, 0x11, 0x11})).Frame(64, 32).Build();
    ASSERT_EQ(Run(bytes), ReadResult::Success);
    EXPECT_EQ(Count("ImageWidth"), 2u);
    EXPECT_EQ(metadata_.GetAllValues()[2].GetDisplayValueAsString(), "2");  // EncodingProcess of SOF2
    EXPECT_EQ(Display(FieldGroup::JpegSof, "ImageWidth"), "64");

    // DHT (C4), JPG (C8) and DAC (CC) sit among the frame markers but are not frames;
    // a frame payload under 6 bytes adds nothing.
    Bytes const notFrames = JpegBuilder()
                                .Segment(0xC4, FramePayload(1, 1, {0x11}))
                                .Segment(0xC8, FramePayload(2, 2, {0x11}))
                                .Segment(0xCC, FramePayload(3, 3, {0x11}))
                                .Segment(0xC1, Bytes{8, 0, 1, 0, 1})
                                .Build();
    ASSERT_EQ(Run(notFrames), ReadResult::Success);
    EXPECT_EQ(Count("ImageWidth"), 1u);
    EXPECT_EQ(Display(FieldGroup::JpegSof, "ImageWidth"), "8");
}

TEST_F(JpegTest, Comments) {
    ASSERT_TRUE(ReadFile(JpegBuilder().Comment(std::string("word\0\r\n", 7)).Build()));
    Metadatum const comment = metadata_.Find(FieldGroup::JpegCom, "Comment");
    ASSERT_TRUE(comment);
    EXPECT_EQ(comment.GetRawValue().GetType(), Value::Type::String);
    EXPECT_EQ(comment.GetDisplayValueAsString(), "word");

    // Only terminators, or an empty payload: no item.
    ASSERT_EQ(Run(JpegBuilder().Comment(std::string("\0\0\0", 3)).Comment("").Build()), ReadResult::Success);
    EXPECT_EQ(Count("Comment"), 0u);
    EXPECT_TRUE(Has(FieldGroup::JpegSof, "ImageWidth"));

    // Bytes inside the text are kept as they are.
    ASSERT_EQ(Run(JpegBuilder().Comment("caf\xC3\xA9\n  ").Build()), ReadResult::Success);
    EXPECT_EQ(Display(FieldGroup::JpegCom, "Comment"), "caf\xC3\xA9\n  ");
}

TEST_F(JpegTest, WalkStopsAtTheFirstScan) {
    Bytes bytes = JpegBuilder().Comment("before").Build();
    bytes.resize(bytes.size() - 2);  // drop EOI, append segments "after the scan"
    Bytes const after = Concat({SegmentBytes(0xFE, 7, "after"), SegmentBytes(0xE1, 8, "Exif\0\0")});
    bytes.insert(bytes.end(), after.begin(), after.end());
    ASSERT_EQ(Run(bytes), ReadResult::Success);
    EXPECT_EQ(Display(FieldGroup::JpegCom, "Comment"), "before");
    EXPECT_EQ(Count("Comment"), 1u);
    EXPECT_TRUE(Log::Get().calls.empty());

    // EOI and the JPEG 2000 SOD end the walk as well.
    ASSERT_EQ(Run(Raw(Concat({Bytes{0xFF, 0xD9}, SegmentBytes(0xFE, 4, "no")}))), ReadResult::Success);
    EXPECT_EQ(Count("Comment"), 0u);
    ASSERT_EQ(Run(Concat({Bytes{0xFF, 0x4F}, Bytes{0xFF, 0x93}, SegmentBytes(0xFE, 4, "no")})),
              ReadResult::Success);
    EXPECT_EQ(Count("Comment"), 0u);
}

TEST_F(JpegTest, MarkerSyntax) {
    // Fill bytes before a marker; RSTn and a repeated SOI are read as
    // segments with a length; FF 4F and FF 01 start a stream too.
    Bytes const body =
        Concat({Bytes{0xFF, 0xFF, 0xFF}, SegmentBytes(0xFE, 5, "one"), SegmentBytes(0xD0, 2, ""),
                SegmentBytes(0xD8, 3, "x"), Bytes{0xFF, 0xFF}, SegmentBytes(0xFE, 5, "two")});
    ASSERT_EQ(Run(Raw(body)), ReadResult::Success);
    EXPECT_EQ(Count("Comment"), 2u);
    EXPECT_EQ(Display(FieldGroup::JpegCom, "Comment"), "two");

    for (std::uint8_t start : {std::uint8_t{0x4F}, std::uint8_t{0x01}}) {
        ASSERT_EQ(Run(Concat({Bytes{0xFF, start}, SegmentBytes(0xFE, 5, "j2k")})), ReadResult::Success);
        EXPECT_EQ(Display(FieldGroup::JpegCom, "Comment"), "j2k");
    }

    std::istringstream soi(std::string("\xFF\xD8", 2)), soc(std::string("\xFF\x4F", 2)),
        eoi(std::string("\xFF\xD9", 2)), shortStream(std::string("\xFF", 1));
    EXPECT_TRUE(JpegProcessor::ReadHeader(soi));
    EXPECT_TRUE(JpegProcessor::ReadHeader(soc));
    EXPECT_FALSE(JpegProcessor::ReadHeader(eoi));
    EXPECT_FALSE(JpegProcessor::ReadHeader(shortStream));
}

TEST_F(JpegTest, DamagedStructure) {
    // Not a JPEG start, or nothing at all.
    EXPECT_EQ(Run(Bytes{0xFF, 0xD9, 0xFF, 0xFE, 0, 4, 'x', 'y'}), ReadResult::Error);
    EXPECT_EQ(Run(Bytes{0xFF}), ReadResult::Error);
    EXPECT_EQ(Run(Bytes{}), ReadResult::Error);
    EXPECT_FALSE(ReadFile(Bytes{0x89, 'P', 'N', 'G'}));

    // A byte other than FF where a marker belongs: Error, earlier items stay.
    ASSERT_EQ(Run(Raw(Concat({SegmentBytes(0xFE, 4, "ok"), Bytes{0x00, 0xFF, 0xFE, 0, 4, 'n', 'o'}}))),
              ReadResult::Error);
    EXPECT_EQ(Display(FieldGroup::JpegCom, "Comment"), "ok");
    EXPECT_EQ(Count("Comment"), 1u);

    // A length field cut off.
    EXPECT_EQ(Run(Raw(Bytes{0xFF, 0xFE, 0x00})), ReadResult::Error);
    // A comment or frame running past the end cannot be provisioned.
    EXPECT_EQ(Run(Raw(SegmentBytes(0xFE, 40, "short"))), ReadResult::Error);
    EXPECT_EQ(Run(Raw(SegmentBytes(0xC0, 17, "\x08"))), ReadResult::Error);
    // Length fields 0 and 1 wrap to 65534 and 65535 bytes.
    EXPECT_EQ(Run(Raw(SegmentBytes(0xFE, 0, "tiny"))), ReadResult::Error);
    EXPECT_EQ(Run(Raw(SegmentBytes(0xFE, 1, "tiny"))), ReadResult::Error);

    // A skipped segment that runs past the end, or a stream without EOI, is
    // simply the end of the input.
    EXPECT_EQ(Run(Raw(Concat({SegmentBytes(0xFE, 4, "ok"), SegmentBytes(0xE5, 0x7000, "partial")}))),
              ReadResult::Success);
    EXPECT_EQ(Display(FieldGroup::JpegCom, "Comment"), "ok");
    EXPECT_EQ(Run(Raw(SegmentBytes(0xDB, 0, "quantisation"))), ReadResult::Success);
    EXPECT_EQ(Run(Raw(Bytes{0xFF, 0xFF, 0xFF})), ReadResult::Success);
    EXPECT_EQ(Run(Raw({})), ReadResult::Success);
}

TEST_F(JpegTest, ExifGoesToTheTiffReaderWithItsOwnWindow) {
    std::string const tiff("II*\0\x08\0\0\0tiff-body", 17);
    Bytes const bytes =
        JpegBuilder().Comment("c").Exif(Bytes(tiff.begin(), tiff.end())).Comment("after").Build();
    ASSERT_EQ(Run(bytes), ReadResult::Success);
    std::vector<jpeg_test::Call> const calls = Log::Get().Of(jpeg_test::kTiff);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].group, FieldGroup::Unknown);
    EXPECT_EQ(calls[0].bytes, tiff);
    // Document positions inside the sub-read are positions in the file.
    EXPECT_EQ(calls[0].docPos, static_cast<long long>(data_.find("II*")));
    EXPECT_EQ(Display(FieldGroup::JpegCom, "Comment"), "after");

    // "Exif\0\0" and nothing else: the reader still gets its (empty) turn.
    ASSERT_EQ(Run(Raw(SegmentBytes(0xE1, 8, std::string("Exif\0\0", 6)))), ReadResult::Success);
    ASSERT_EQ(Log::Get().Of(jpeg_test::kTiff).size(), 2u);
    EXPECT_EQ(Log::Get().Of(jpeg_test::kTiff)[1].bytes, "");
    // An APP1 of length 2 fails every identifier test.
    Log::Get().Reset();
    ASSERT_EQ(Run(Raw(Concat({SegmentBytes(0xE1, 2, ""), SegmentBytes(0xFE, 4, "ok")}))),
              ReadResult::Success);
    EXPECT_TRUE(Log::Get().calls.empty());
    EXPECT_EQ(Display(FieldGroup::JpegCom, "Comment"), "ok");
}

TEST_F(JpegTest, XmpAndPhotoshopHandOffs) {
    std::string const packet = "<x:xmpmeta xmlns:x='adobe:ns:meta/'/>";
    Bytes const resources{'8', 'B', 'I', 'M', 4, 4, 0, 0, 0, 0, 0, 0};
    ASSERT_EQ(Run(JpegBuilder().Xmp(packet).Photoshop(resources).Build()), ReadResult::Success);
    auto const xmp = Log::Get().Of(jpeg_test::kXmp);
    ASSERT_EQ(xmp.size(), 1u);
    EXPECT_EQ(xmp[0].group, FieldGroup::Xmp);
    EXPECT_EQ(xmp[0].bytes, packet);
    auto const pir = Log::Get().Of(jpeg_test::kPhotoshop);
    ASSERT_EQ(pir.size(), 1u);
    EXPECT_EQ(pir[0].group, FieldGroup::Unknown);
    EXPECT_EQ(pir[0].bytes, Text(resources));

    // Packets without the namespace prefix are handed over whole.
    Log::Get().Reset();
    std::string const bare = "<?xpacket begin=''?><x:xmpmeta/>";
    ASSERT_EQ(Run(JpegBuilder().Segment(0xE1, Bytes(bare.begin(), bare.end())).Build()), ReadResult::Success);
    ASSERT_EQ(Log::Get().Of(jpeg_test::kXmp).size(), 1u);
    EXPECT_EQ(Log::Get().Of(jpeg_test::kXmp)[0].bytes, bare);

    // Other APP1 and APP13 payloads are skipped.
    Log::Get().Reset();
    ASSERT_EQ(Run(JpegBuilder()
                      .Segment(0xE1, Bytes{'F', 'L', 'I', 'R', 0, 1, 2, 3, 4, 5})
                      .Segment(0xED, Bytes{'A', 'd', 'o', 'b', 'e', '_', 'C', 'M', 0, 0, 0, 0, 0, 0, 0})
                      .Build()),
              ReadResult::Success);
    EXPECT_TRUE(Log::Get().calls.empty());
}

TEST_F(JpegTest, JfifRecord) {
    // Through the record reader, with the read store describing the record.
    Bytes const bytes = JpegBuilder().Jfif(72, 96).Build();
    ASSERT_EQ(Run(bytes), ReadResult::Success);
    auto const calls = Log::Get().Of(jpeg_test::kBinary);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].group, FieldGroup::Jfif);
    EXPECT_EQ(calls[0].byteOrder, ByteOrder::BigEndian);
    EXPECT_EQ(calls[0].storeGroup, FieldGroup::Jfif);
    EXPECT_EQ(calls[0].valueCount, 14u);
    EXPECT_EQ(calls[0].valueFormat, ExifType::Undefined);
    EXPECT_EQ(calls[0].bytes.size(), 9u);
    EXPECT_EQ(calls[0].bytes.substr(0, 2), "\x01\x02");
    ReadStore const& store = *metadata_.GetReadStore();
    EXPECT_EQ(store.byteOrder, ByteOrder::LittleEndian);
    EXPECT_EQ(store.currentGroup, FieldGroup::Unknown);
    EXPECT_EQ(store.valueCount, 0u);

    // Without it, the fields are read here.
    ASSERT_EQ(Run(bytes, {}, jpeg_test::MissingNames()), ReadResult::Success);
    EXPECT_EQ(Display(FieldGroup::Jfif, "JFIFVersion"), "1.02");
    EXPECT_EQ(Display(FieldGroup::Jfif, "ResolutionUnit"), "1");
    EXPECT_EQ(Display(FieldGroup::Jfif, "XResolution"), "72");
    EXPECT_EQ(Display(FieldGroup::Jfif, "YResolution"), "96");
    EXPECT_EQ(metadata_.Find(FieldGroup::Jfif, "XResolution").GetRawValue().GetType(), Value::Type::U16);
    EXPECT_FALSE(Has(FieldGroup::Jfif, "ThumbnailWidth"));

    // A thumbnail size is reported; a record cut short reports what it holds.
    ByteWriter thumb(true);
    thumb.Text("JFIF").U8(0).U8(1).U8(1).U8(2).U16(300).U16(300).U8(4).U8(0);
    ByteWriter cut(true);
    cut.Text("JFIF").U8(0).U8(2).U8(1).U8(0).U16(1);
    ASSERT_EQ(Run(JpegBuilder().Segment(0xE0, thumb.Take()).Build(), {}, jpeg_test::MissingNames()),
              ReadResult::Success);
    EXPECT_EQ(Display(FieldGroup::Jfif, "JFIFVersion"), "1.01");
    EXPECT_EQ(Display(FieldGroup::Jfif, "ThumbnailWidth"), "4");
    EXPECT_FALSE(Has(FieldGroup::Jfif, "ThumbnailHeight"));
    ASSERT_EQ(Run(JpegBuilder().Segment(0xE0, cut.Take()).Build(), {}, jpeg_test::MissingNames()),
              ReadResult::Success);
    EXPECT_EQ(Display(FieldGroup::Jfif, "JFIFVersion"), "2.01");
    EXPECT_EQ(Display(FieldGroup::Jfif, "XResolution"), "1");
    EXPECT_FALSE(Has(FieldGroup::Jfif, "YResolution"));

    // JFXX and other APP0 payloads are skipped.
    Log::Get().Reset();
    ASSERT_EQ(Run(JpegBuilder().Segment(0xE0, Bytes{'J', 'F', 'X', 'X', 0, 0x10}).Build()),
              ReadResult::Success);
    EXPECT_TRUE(Log::Get().calls.empty());
}

TEST_F(JpegTest, MissingProcessorsSkipTheirSegments) {
    Bytes const bytes = JpegBuilder()
                            .Exif(Bytes{'I', 'I', 42, 0, 8, 0, 0, 0})
                            .Xmp("<x/>")
                            .Photoshop(Bytes{'8', 'B', 'I', 'M'})
                            .IccChunk(1, 1, "profile")
                            .ExtendedXmp("0123456789ABCDEF0123456789ABCDEF", 4, 0, "<x/>")
                            .Comment("still read")
                            .Build();
    Options options;
    options.readExtendedXmp = true;
    options.stopOnError = true;
    EXPECT_EQ(Run(bytes, options, jpeg_test::MissingNames()), ReadResult::Success);
    EXPECT_EQ(Display(FieldGroup::JpegCom, "Comment"), "still read");
    EXPECT_EQ(Display(FieldGroup::JpegSof, "ImageWidth"), "8");
}

TEST_F(JpegTest, SubReadResults) {
    Bytes const bytes =
        JpegBuilder().Exif(Bytes{'M', 'M', 0, 42, 0, 0, 0, 8}).Comment("after").IccChunk(1, 1, "icc").Build();
    Options stop;
    stop.stopOnError = true;

    // Error is ignored unless stopOnError is set, then it ends the read at once.
    Log::Get().result = ReadResult::Error;
    EXPECT_EQ(Run(bytes), ReadResult::Success);
    EXPECT_TRUE(Has(FieldGroup::JpegCom, "Comment"));
    EXPECT_EQ(Log::Get().Of(jpeg_test::kIcc).size(), 1u);
    Log::Get().calls.clear();
    EXPECT_EQ(Run(bytes, stop), ReadResult::Error);
    EXPECT_FALSE(Has(FieldGroup::JpegCom, "Comment"));
    EXPECT_TRUE(Log::Get().Of(jpeg_test::kIcc).empty());

    // Fatal always ends it; NotHandled never does.
    Log::Get().calls.clear();
    Log::Get().result = ReadResult::Fatal;
    EXPECT_EQ(Run(bytes), ReadResult::Fatal);
    EXPECT_FALSE(Has(FieldGroup::JpegCom, "Comment"));
    Log::Get().result = ReadResult::NotHandled;
    EXPECT_EQ(Run(bytes, stop), ReadResult::Success);
    EXPECT_TRUE(Has(FieldGroup::JpegCom, "Comment"));

    // Also for the reads after the walk.
    Log::Get().result = ReadResult::Fatal;
    EXPECT_EQ(Run(JpegBuilder().IccChunk(1, 1, "icc").Build()), ReadResult::Fatal);
}

TEST_F(JpegTest, IccProfileIsReassembled) {
    ASSERT_EQ(Run(JpegBuilder().IccChunk(2, 3, "BB").IccChunk(1, 3, "AA").IccChunk(3, 3, "CC").Build()),
              ReadResult::Success);
    auto calls = Log::Get().Of(jpeg_test::kIcc);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].group, FieldGroup::IccProfile);
    EXPECT_EQ(calls[0].bytes, "AABBCC");

    // A gap drops the profile; a chunk with another count is skipped; a
    // payload too short for the header is ignored.
    Log::Get().Reset();
    ASSERT_EQ(Run(JpegBuilder().IccChunk(1, 3, "AA").IccChunk(3, 3, "CC").Build()), ReadResult::Success);
    EXPECT_TRUE(Log::Get().calls.empty());
    ASSERT_EQ(Run(JpegBuilder()
                      .IccChunk(1, 2, "AA")
                      .IccChunk(2, 5, "XX")
                      .IccChunk(2, 2, "BB")
                      .Segment(0xE2, Bytes{'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, 3})
                      .Build()),
              ReadResult::Success);
    calls = Log::Get().Of(jpeg_test::kIcc);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].bytes, "AABB");
}

TEST_F(JpegTest, ExtendedXmpIsReassembledAfterTheProfile) {
    std::string const guidA(32, 'A'), guidB(32, 'B');
    Bytes const bytes = JpegBuilder()
                            .ExtendedXmp(guidB, 6, 3, "xyz")
                            .ExtendedXmp(guidA, 8, 4, "5678")
                            .IccChunk(1, 1, "icc")
                            .ExtendedXmp(guidA, 8, 0, "1234")
                            .ExtendedXmp(guidB, 6, 0, "u")
                            .Build();
    Options options;
    options.readExtendedXmp = true;
    ASSERT_EQ(Run(bytes, options), ReadResult::Success);
    auto const& calls = Log::Get().calls;
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].kind, jpeg_test::kIcc);
    EXPECT_EQ(calls[1].kind, jpeg_test::kXmp);
    EXPECT_EQ(calls[1].group, FieldGroup::Xmp);
    EXPECT_EQ(calls[1].bytes, "12345678");
    EXPECT_EQ(calls[2].bytes, "u  xyz");  // the gap stays filled with spaces

    // Ignored unless asked for.
    Log::Get().Reset();
    ASSERT_EQ(Run(bytes), ReadResult::Success);
    EXPECT_TRUE(Log::Get().Of(jpeg_test::kXmp).empty());

    // Too long a document, a length that changes, a chunk past the end, a
    // payload shorter than the header.
    Log::Get().Reset();
    ByteWriter shortChunk(true);
    shortChunk.Text("http://ns.adobe.com/xmp/extension/").U8(0).Text(std::string(32, 'E')).U32(4).U32(0);
    Bytes const bad = JpegBuilder()
                          .ExtendedXmp(std::string(32, 'C'), (1u << 20) + 1, 0, "big")
                          .ExtendedXmp(guidA, 4, 0, "abcd")
                          .ExtendedXmp(guidA, 5, 0, "zzzzz")
                          .ExtendedXmp(guidB, 4, 2, "xyz")
                          .Segment(0xE1, shortChunk.Take())
                          .Build();
    ASSERT_EQ(Run(bad, options), ReadResult::Success);
    auto const xmp = Log::Get().Of(jpeg_test::kXmp);
    ASSERT_EQ(xmp.size(), 1u);
    EXPECT_EQ(xmp[0].bytes, "abcd");
}

TEST_F(JpegTest, EmbeddedWindowReadsLikeAFile) {
    std::string const tiff("MM\0*\0\0\0\x08", 8);
    Bytes const jpeg =
        JpegBuilder().Frame(33, 44).Exif(Bytes(tiff.begin(), tiff.end())).Comment("inner").Build();
    std::string outer = "RAWHEADER";
    std::size_t const at = outer.size();
    outer.append(jpeg.begin(), jpeg.end());
    outer += "TRAILER";

    metadata_.Clear();
    InMemoryStream stream(outer.data(), outer.size());
    DataSource source(stream, 0);
    ASSERT_TRUE(source.AutoProvision(static_cast<std::streamoff>(at), static_cast<long long>(jpeg.size())));
    JpegProcessor processor({}, jpeg_test::RecorderNames());
    ASSERT_EQ(processor.Read(source, metadata_.GetReadStore(), metadata_, FieldGroup::Unknown),
              ReadResult::Success);
    EXPECT_EQ(Display(FieldGroup::JpegSof, "ImageWidth"), "33");
    EXPECT_EQ(Display(FieldGroup::JpegCom, "Comment"), "inner");
    auto const calls = Log::Get().Of(jpeg_test::kTiff);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].bytes, tiff);
    EXPECT_EQ(calls[0].docPos, static_cast<long long>(outer.find("MM\0*", 0, 4)));
    // The outer source is where it was.
    EXPECT_EQ(source.GetBytesProvisioned(), jpeg.size());
    EXPECT_EQ(std::streamoff(source.GetBufferPosInDoc()), static_cast<std::streamoff>(at));
}

TEST_F(JpegTest, RecordsItsBlock) {
    Options options;
    options.recordStructure = true;
    Bytes const bytes = JpegBuilder().Comment("c").Build();
    ASSERT_TRUE(ReadFile(bytes, options));
    std::ostringstream out;
    metadata_.DumpStructure(out);
    // The block ends where the walk stopped: just after the SOS marker.
    std::size_t const end = data_.find("\xFF\xDA") + 2;
    std::ostringstream expected;
    expected << "[0x00000000 - 0x" << std::hex;
    expected.fill('0');
    expected.width(8);
    expected << end << "] JPEG document (7 metadatums, Unknown)\n";
    EXPECT_EQ(out.str(), expected.str());
}

TEST_F(JpegTest, HostileBytesNeverCrash) {
    Options options;
    options.readExtendedXmp = true;
    Bytes const base = JpegBuilder()
                           .Jfif(72, 72)
                           .Exif(Bytes{'I', 'I', 42, 0, 8, 0, 0, 0})
                           .IccChunk(1, 2, "first")
                           .IccChunk(2, 2, "second")
                           .ExtendedXmp(std::string(32, 'F'), 10, 0, "0123456789")
                           .Xmp("<x/>")
                           .Comment("comment")
                           .Build();
    // Every truncation, then pseudo-random byte changes.
    for (std::size_t n = 0; n <= base.size(); ++n) {
        Run(Bytes(base.begin(), base.begin() + static_cast<std::ptrdiff_t>(n)), options);
        Run(Bytes(base.begin(), base.begin() + static_cast<std::ptrdiff_t>(n)), options,
            jpeg_test::MissingNames());
    }
    std::uint32_t state = 12345;
    auto next = [&] { return state = state * 1103515245u + 12345u; };
    std::size_t successes = 0;
    for (int round = 0; round < 2000; ++round) {
        Bytes mutated = base;
        for (int k = 0; k < 3; ++k)
            mutated[(next() >> 8) % mutated.size()] = static_cast<std::uint8_t>(next() >> 16);
        successes += Run(mutated, options) == ReadResult::Success ? 1u : 0u;
    }
    EXPECT_GT(successes, 0u);
    // The untouched file still reads completely afterwards.
    ASSERT_EQ(Run(base, options), ReadResult::Success);
    EXPECT_EQ(Display(FieldGroup::JpegCom, "Comment"), "comment");
}

}  // namespace
}  // namespace meta
