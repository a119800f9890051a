#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fixtures/isobmff_builder.h"
#include "varrow/api/metadata.h"

namespace meta {
namespace {

using fixtures::Bytes;
using fixtures::ByteWriter;
using fixtures::Concat;
using fixtures::IsoBox;
using fixtures::IsoFullBox;

// The fields of a version 0 movie header, in file order.
struct MovieHeader {
    std::uint32_t created = 0;
    std::uint32_t modified = 0;
    std::uint32_t timeScale = 0;
    std::uint32_t duration = 0;
    std::uint32_t rate = 0x00010000;
    std::uint16_t volume = 0x0100;
    std::vector<std::int32_t> matrix{0x00010000, 0, 0, 0, 0x00010000, 0, 0, 0, 0x40000000};
    std::vector<std::uint32_t> times{0, 0, 0, 0, 0, 0};  // preview, poster, selection, current
    std::uint32_t nextTrack = 2;

    // The payload after the version and flags.
    Bytes Payload() const {
        ByteWriter w(true);
        w.U32(created).U32(modified).U32(timeScale).U32(duration).U32(rate).U16(volume).Fill(10);
        for (std::int32_t m : matrix) w.S32(m);
        for (std::uint32_t t : times) w.U32(t);
        w.U32(nextTrack);
        return w.Take();
    }
};

Bytes MovieFile(Bytes const& mvhd) {
    Bytes const ftyp = IsoBox("ftyp", fixtures::AsBytes(std::string_view("crx \0\0\0\1crx isom", 16)));
    return Concat({ftyp, IsoBox("moov", mvhd)});
}

class MovieHeaderTest : public ::testing::Test {
  protected:
    bool ReadBytes(Bytes const& bytes) {
        data_.assign(bytes.begin(), bytes.end());
        return metadata_.Read(data_.data(), data_.size(), ReadSource::Cr3, {});
    }
    Metadatum Item(char const* name) const {
        return metadata_.Find(FieldGroup::IsoBaseMediaMovieHeader, name);
    }
    std::string Display(char const* name) const { return Item(name).GetDisplayValueAsString(); }
    std::size_t HeaderItems() const {
        std::size_t n = 0;
        for (Metadatum const& item : metadata_.GetAllValues())
            n += item.GetKey().GetGroup() == FieldGroup::IsoBaseMediaMovieHeader;
        return n;
    }

    std::string data_;
    Metadata metadata_{Initialiser::Mode::HostInitialisesXmp};
};

TEST_F(MovieHeaderTest, FieldsShownAsTheirUnits) {
    MovieHeader header;
    header.created = 3602059736u;  // 2018-02-21 12:08:56 UTC
    header.modified = 3602059796u;
    header.timeScale = 600;
    header.duration = 600 * 75;
    header.rate = 0x00018000;  // 1.5
    header.volume = 0x0080;    // 0.5
    header.matrix = {0, 0x00010000, 0, -0x00010000, 0, 0, 0, 0, 0x40000000};
    header.times = {300, 900, 0, 60, 0, 18000};
    header.nextTrack = 3;
    ASSERT_TRUE(ReadBytes(MovieFile(IsoFullBox("mvhd", 0, 0, header.Payload()))));

    EXPECT_EQ(Display("MovieHeaderVersion"), "0");
    EXPECT_EQ(Display("CreateDate"), "2018:02:21 12:08:56+00:00");
    EXPECT_EQ(Display("ModifyDate"), "2018:02:21 12:09:56+00:00");
    EXPECT_EQ(Item("CreateDate").GetValue().Get<DateTime>().hour, 12);
    EXPECT_EQ(Display("TimeScale"), "600");
    EXPECT_EQ(Display("Duration"), "0:01:15");
    EXPECT_EQ(Item("Duration").GetValue(), Value(75.0));
    EXPECT_EQ(Item("Duration").GetRawValue(), Value(std::uint32_t{45000}));
    EXPECT_EQ(Item("PreferredRate").GetValue(), Value(1.5));
    EXPECT_EQ(Display("PreferredVolume"), "50.00%");
    EXPECT_EQ(Item("PreferredVolume").GetValue(), Value(0.5));
    EXPECT_EQ(Item("MatrixStructure").GetValue(), Value(std::vector<double>{0, 1, 0, -1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(Display("PreviewTime"), "0.50 s");
    EXPECT_EQ(Display("PreviewDuration"), "1.50 s");
    EXPECT_EQ(Display("PosterTime"), "0 s");
    EXPECT_EQ(Display("SelectionTime"), "0.10 s");
    EXPECT_EQ(Display("SelectionDuration"), "0 s");
    EXPECT_EQ(Display("CurrentTime"), "0:00:30");
    EXPECT_EQ(Display("NextTrackID"), "3");
    EXPECT_EQ(HeaderItems(), 15u);
}

TEST_F(MovieHeaderTest, WithoutTimeScaleTimesStayCounts) {
    MovieHeader header;
    header.duration = 1234;
    header.times = {0, 5, 0, 0, 0, 0};
    ASSERT_TRUE(ReadBytes(MovieFile(IsoFullBox("mvhd", 0, 0, header.Payload()))));
    EXPECT_EQ(Display("Duration"), "1234");
    EXPECT_EQ(Item("Duration").GetValue(), Value(std::uint32_t{1234}));
    EXPECT_EQ(Display("PreviewDuration"), "5");
    // No date is not a date in 1904.
    EXPECT_EQ(Display("CreateDate"), "0000:00:00 00:00:00");
}

TEST_F(MovieHeaderTest, OtherVersionsAndShortHeaders) {
    // Version 1 widens the dates and the duration: its layout is not the
    // record's, so nothing of it is reported, and the read goes on.
    MovieHeader header;
    header.timeScale = 1000;
    Bytes const v1 = IsoFullBox("mvhd", 1, 0, header.Payload());
    ASSERT_TRUE(ReadBytes(MovieFile(v1)));
    EXPECT_EQ(HeaderItems(), 0u);

    // A header cut after the duration reports what it holds.
    Bytes payload = header.Payload();
    payload.resize(16);
    ASSERT_TRUE(ReadBytes(MovieFile(IsoFullBox("mvhd", 0, 0, payload))));
    EXPECT_EQ(HeaderItems(), 5u);
    EXPECT_EQ(Display("Duration"), "0 s");
    EXPECT_FALSE(Item("PreferredRate"));

    // An empty header box holds no version to check.
    ASSERT_TRUE(ReadBytes(MovieFile(IsoBox("mvhd", Bytes{}))));
    EXPECT_EQ(HeaderItems(), 0u);
}

}  // namespace
}  // namespace meta
