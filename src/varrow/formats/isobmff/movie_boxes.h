#pragma once

#include "varrow/api/export.h"
#include "varrow/formats/isobmff/box.h"
#include "varrow/formats/isobmff/track_info.h"

namespace meta::isobmff {

// "moov": the movie header goes to the binary record reader (group
// IsoBaseMediaMovieHeader; only version 0, whose layout the record table
// describes: other versions are passed over), tracks to TrakBox, Canon's
// "uuid" box to CanonBox.
class VARROW_API MoovBox : public ContainerBox {
  public:
    using ContainerBox::ContainerBox;

  protected:
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// "trak". After the track has been read, a CR3 raw description becomes
// items of group CanonCr3 and the samples of a Canon timed-metadata track
// become extraction instructions.
class VARROW_API TrakBox : public ContainerBox {
  public:
    using ContainerBox::ContainerBox;
    ReadResult PostRead() override;
    TrackInfo const& GetTrackInfo() const noexcept { return track_; }

  protected:
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;

  private:
    void AddRawDescription();
    void AddTimedMetadataInstructions();
    TrackInfo track_;
};

// Base of the boxes that fill in a TrackInfo.
class VARROW_API TrackBox : public ContainerBox {
  public:
    TrackBox(ParseContext& context, BoxHeader const& header, TrackInfo& track) noexcept
        : ContainerBox(context, header), track_(track) {}

  protected:
    TrackInfo& Track() noexcept { return track_; }
    ReadResult HandleChild(std::istream& /*in*/, BoxHeader const& child) override { return SkipChild(child); }

  private:
    TrackInfo& track_;
};

// "tkhd": read for its version check only; its items are not reported.
class VARROW_API TkhdBox : public Box {
  public:
    using Box::Box;

  protected:
    bool HasFlags() const override { return true; }
    bool IsSupported() const override { return GetVersion() <= 1; }
    ReadResult Open() override { return ReadResult::Success; }
};

class VARROW_API MdiaBox : public TrackBox {
  public:
    using TrackBox::TrackBox;

  protected:
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

class VARROW_API MinfBox : public TrackBox {
  public:
    using TrackBox::TrackBox;

  protected:
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

class VARROW_API StblBox : public TrackBox {
  public:
    using TrackBox::TrackBox;

  protected:
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// "stsd": an entry count, then the sample descriptions.
class VARROW_API StsdBox : public TrackBox {
  public:
    using TrackBox::TrackBox;

  protected:
    bool HasFlags() const override { return true; }
    ReadResult Open() override { return OpenImpl(4); }
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// A sample table box that fills in a TrackInfo.
class VARROW_API SampleTableBox : public Box {
  public:
    SampleTableBox(ParseContext& context, BoxHeader const& header, TrackInfo& track) noexcept
        : Box(context, header), track_(track) {}

  protected:
    bool HasFlags() const override { return true; }
    TrackInfo& Track() noexcept { return track_; }

  private:
    TrackInfo& track_;
};

// "stsz": sample sizes.
class VARROW_API StszBox : public SampleTableBox {
  public:
    using SampleTableBox::SampleTableBox;

  protected:
    ReadResult Open() override;
};

// "stsc": samples per chunk.
class VARROW_API StscBox : public SampleTableBox {
  public:
    using SampleTableBox::SampleTableBox;

  protected:
    ReadResult Open() override;
};

// "stco": 32-bit chunk offsets.
class VARROW_API StcoBox : public SampleTableBox {
  public:
    using SampleTableBox::SampleTableBox;

  protected:
    ReadResult Open() override;
};

// "co64": 64-bit chunk offsets.
class VARROW_API Co64Box : public SampleTableBox {
  public:
    using SampleTableBox::SampleTableBox;

  protected:
    ReadResult Open() override;
};

}  // namespace meta::isobmff
