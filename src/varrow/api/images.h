#pragma once

#include <memory>

#include "varrow/api/image.h"
#include "varrow/fields/field_group.h"
#include "varrow/processors/read_result.h"

namespace meta {

namespace detail {
// Runs the processor registered under `processorName` over the whole input
// and returns its result; Error when no such processor is linked in.
ReadResult RunTopLevelProcessor(char const* processorName, DataSource& source,
                                std::shared_ptr<ReadStore> const& store, Options const& options,
                                Metadata& metadata, FieldGroup group);
}  // namespace detail

// The usual image reader: records the file type, runs the format's
// top-level processor and succeeds when the processor does.
template <ReadSource Source>
class StandardImage : public Image {
public:
    static constexpr ReadSource kSource = Source;

    bool ReadMetadata(DataSource& source, std::shared_ptr<ReadStore> store, Options const& options,
                      Metadata& metadata) override;
};

// NEF and NRW: read as TIFF; when that fails, start again as JPEG (some
// cameras write a plain JPEG under these extensions).
template <ReadSource Source>
class NikonRawImage : public Image {
public:
    static constexpr ReadSource kSource = Source;

    bool ReadMetadata(DataSource& source, std::shared_ptr<ReadStore> store, Options const& options,
                      Metadata& metadata) override;
};

using JpegImage = StandardImage<ReadSource::Jpeg>;
using PngImage = StandardImage<ReadSource::Png>;
using BmpImage = StandardImage<ReadSource::Bmp>;
using TiffImage = StandardImage<ReadSource::Tiff>;
using GifImage = StandardImage<ReadSource::Gif>;
using XmpImage = StandardImage<ReadSource::Xmp>;
using ExrImage = StandardImage<ReadSource::Exr>;
using HdrImage = StandardImage<ReadSource::Hdr>;
using WebpImage = StandardImage<ReadSource::Webp>;
using LytroImage = StandardImage<ReadSource::Lytro>;
using CrwImage = StandardImage<ReadSource::Crw>;
using X3fImage = StandardImage<ReadSource::X3f>;
using _frImage = StandardImage<ReadSource::_fr>;
using ArwImage = StandardImage<ReadSource::Arw>;
using Cr2Image = StandardImage<ReadSource::Cr2>;
using DcrImage = StandardImage<ReadSource::Dcr>;
using DngImage = StandardImage<ReadSource::Dng>;
using ErfImage = StandardImage<ReadSource::Erf>;
using FffImage = StandardImage<ReadSource::Fff>;
using IiqImage = StandardImage<ReadSource::Iiq>;
using K25Image = StandardImage<ReadSource::K25>;
using KdcImage = StandardImage<ReadSource::Kdc>;
using MefImage = StandardImage<ReadSource::Mef>;
using MrwImage = StandardImage<ReadSource::Mrw>;
using MosImage = StandardImage<ReadSource::Mos>;
using NefImage = NikonRawImage<ReadSource::Nef>;
using NrwImage = NikonRawImage<ReadSource::Nrw>;
using OrfImage = StandardImage<ReadSource::Orf>;
using PefImage = StandardImage<ReadSource::Pef>;
using R3dImage = StandardImage<ReadSource::R3d>;
using RafImage = StandardImage<ReadSource::Raf>;
using RawImage = StandardImage<ReadSource::Raw>;
using Rw2Image = StandardImage<ReadSource::Rw2>;
using RwlImage = StandardImage<ReadSource::Rwl>;
using SrfImage = StandardImage<ReadSource::Srf>;
using Sr2Image = StandardImage<ReadSource::Sr2>;
using SrwImage = StandardImage<ReadSource::Srw>;
using JpegxrImage = StandardImage<ReadSource::Jpegxr>;
using Jpeg2kImage = StandardImage<ReadSource::Jpeg2k>;
using Cr3Image = StandardImage<ReadSource::Cr3>;
using HeicImage = StandardImage<ReadSource::Heic>;
using HeifImage = StandardImage<ReadSource::Heif>;

// Display name of the top-level processor of a file type and the group it
// is given ("TIFF document", Unknown; "CIFF", CanonRaw for CRW).
char const* TopLevelProcessorName(ReadSource source);
FieldGroup TopLevelGroup(ReadSource source);

}  // namespace meta
