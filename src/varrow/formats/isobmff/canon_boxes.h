#pragma once

#include "varrow/api/export.h"
#include "varrow/formats/isobmff/box.h"
#include "varrow/formats/isobmff/movie_boxes.h"

namespace meta::isobmff {

// Canon's "uuid" box of a CR3 file: the TIFF blocks "CMT1" to "CMT4" go to
// the TIFF reader in groups Ifd0, Exif, Canon and Gps.
class VARROW_API CanonBox : public ContainerBox {
  public:
    using ContainerBox::ContainerBox;

  protected:
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// "CNCV": the compressor version text ("CompressorVersion", group CanonCr3).
class VARROW_API CncvBox : public Box {
  public:
    using Box::Box;

  protected:
    ReadResult Open() override;
};

// "CCTP": a count, then one "CCDT" per image type.
class VARROW_API CctpBox : public ContainerBox {
  public:
    using ContainerBox::ContainerBox;

  protected:
    ReadResult Open() override { return OpenImpl(12); }
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// "CCDT": image type, dual-pixel flag and track index of one image.
class VARROW_API CcdtBox : public Box {
  public:
    using Box::Box;

  protected:
    ReadResult Open() override;
};

// "CTBO": offsets and sizes of the file's parts.
class VARROW_API CtboBox : public Box {
  public:
    using Box::Box;

  protected:
    ReadResult Open() override;
};

// "CRAW", the sample description of a CR3 image track: a visual sample
// entry followed by "CMP1" and "CDI1" (or "JPEG") boxes.
class VARROW_API CRAWBox : public TrackBox {
  public:
    using TrackBox::TrackBox;

  protected:
    ReadResult Open() override;
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// "CMP1": the raw frame's compression header.
class VARROW_API CMP1Box : public SampleTableBox {
  public:
    using SampleTableBox::SampleTableBox;

  protected:
    bool HasFlags() const override { return false; }
    ReadResult Open() override;
};

// "CDI1": holds "IAD1".
class VARROW_API CDI1Box : public TrackBox {
  public:
    using TrackBox::TrackBox;

  protected:
    ReadResult Open() override { return OpenImpl(4); }
    ReadResult HandleChild(std::istream& in, BoxHeader const& child) override;
};

// "IAD1": the sensor's image area.
class VARROW_API IAD1Box : public SampleTableBox {
  public:
    using SampleTableBox::SampleTableBox;

  protected:
    ReadResult Open() override;
};

// "CTMD", the sample description of Canon timed metadata: the number of
// record types its samples hold.
class VARROW_API CTMDBox : public SampleTableBox {
  public:
    using SampleTableBox::SampleTableBox;

  protected:
    bool HasFlags() const override { return false; }
    ReadResult Open() override;
};

}  // namespace meta::isobmff
