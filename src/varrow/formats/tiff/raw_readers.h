#pragma once

#include "varrow/api/export.h"
#include "varrow/formats/tiff/tiff_reader.h"

namespace meta {

// TIFF readers for raw formats whose header differs from plain TIFF.

// Canon CR2: the standard header followed by "CR", two version bytes and
// the offset of the raw IFD.
class VARROW_API Cr2Reader : public TiffReader {
  public:
    using TiffReader::TiffReader;
    bool ReadHeader(DataSource& source, ByteOrder& order, unsigned int& offset) override;
};

// Olympus ORF: identifier "RO" or "RS" instead of 42.
class VARROW_API OrfReader : public TiffReader {
  public:
    using TiffReader::TiffReader;
    bool IsValidFormatIdentifier(unsigned short identifier) const override;
};

// Panasonic RAW: identifier 0x55, IFD0 read in the PanasonicRaw group.
class VARROW_API PanasonicRawReader : public TiffReader {
  public:
    explicit PanasonicRawReader(Options const& options);
    bool IsValidFormatIdentifier(unsigned short identifier) const override { return identifier == 0x55; }
};

// Panasonic RW2/RWL: as RAW, with a fixed 16-byte signature after the header.
class VARROW_API PanasonicRw2Reader : public PanasonicRawReader {
  public:
    using PanasonicRawReader::PanasonicRawReader;
    bool ReadHeader(DataSource& source, ByteOrder& order, unsigned int& offset) override;
};

// JPEG XR: any identifier whose low byte is 0xBC.
class VARROW_API JpegxrReader : public TiffReader {
  public:
    using TiffReader::TiffReader;
    bool IsValidFormatIdentifier(unsigned short identifier) const override {
        return (identifier & 0xff) == 0xbc;
    }
};

// Minolta MRW: a block structure whose "TTW" block holds a TIFF structure.
class VARROW_API MrwProcessor : public TiffReader {
  public:
    using TiffReader::TiffReader;
    bool ReadHeader(DataSource& source, ByteOrder& order, unsigned int& offset) override;
};

}  // namespace meta
