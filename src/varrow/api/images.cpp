#include "varrow/api/images.h"

#include <array>
#include <string>
#include <utility>

#include "varrow/api/metadata.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/processor_registry.h"

namespace meta {
namespace {

constexpr char const* kTiff = "TIFF document";
constexpr char const* kIsobmff = "ISO Base Media File Format";

// Top-level processor of each file type, by ReadSource value.
constexpr std::array<char const*, kReadSourceCount> kProcessors{
    "JPEG document",          // Jpeg
    "PNG document",           // Png
    "BMP document",           // Bmp
    kTiff,                    // Tiff
    "GIF document",           // Gif
    "XMP document",           // Xmp
    "OpenEXR",                // Exr
    "Radiance HDR",           // Hdr
    "WebP document",          // Webp
    "Lytro",                  // Lytro
    "CIFF",                   // Crw
    "X3F",                    // X3f
    kTiff,                    // _fr
    kTiff,                    // Arw
    "CR2 document",           // Cr2
    kTiff,                    // Dcr
    kTiff,                    // Dng
    kTiff,                    // Erf
    kTiff,                    // Fff
    kTiff,                    // Iiq
    kTiff,                    // K25
    kTiff,                    // Kdc
    kTiff,                    // Mef
    "MRW",                    // Mrw
    kTiff,                    // Mos
    kTiff,                    // Nef (then the JPEG fallback)
    kTiff,                    // Nrw (then the JPEG fallback)
    "ORF document",           // Orf
    kTiff,                    // Pef
    "R3D",                    // R3d
    "RAF",                    // Raf
    "Panasonic RAW document", // Raw
    "Panasonic RW2 document", // Rw2
    "Panasonic RW2 document", // Rwl
    kTiff,                    // Srf
    kTiff,                    // Sr2
    kTiff,                    // Srw
    "JPEG XR document",       // Jpegxr
    kIsobmff,                 // Jpeg2k
    kIsobmff,                 // Cr3
    kIsobmff,                 // Heic
    kIsobmff,                 // Heif
};

template <ReadSource Source>
bool RunAs(DataSource& source, std::shared_ptr<ReadStore> const& store, Options const& options,
           Metadata& metadata) {
    store->readSource = Source;
    return detail::RunTopLevelProcessor(TopLevelProcessorName(Source), source, store, options, metadata,
                                        TopLevelGroup(Source)) == ReadResult::Success;
}

}  // namespace

char const* TopLevelProcessorName(ReadSource source) {
    auto const n = static_cast<int>(source);
    return n < 0 || n >= kReadSourceCount ? nullptr : kProcessors[static_cast<std::size_t>(n)];
}

FieldGroup TopLevelGroup(ReadSource source) {
    return source == ReadSource::Crw ? FieldGroup::CanonRaw : FieldGroup::Unknown;
}

namespace detail {

ReadResult RunTopLevelProcessor(char const* processorName, DataSource& source,
                                std::shared_ptr<ReadStore> const& store, Options const& options,
                                Metadata& metadata, FieldGroup group) {
    if (processorName == nullptr) return ReadResult::Error;
    std::type_info const* type = ProcessorRegistry::FindByName(processorName);
    std::unique_ptr<Processor> processor = ProcessorRegistry::CreateProcessor(type, options);
    if (!processor) return ReadResult::Error;
    return processor->Read(source, store, metadata, group);
}

}  // namespace detail

template <ReadSource Source>
bool StandardImage<Source>::ReadMetadata(DataSource& source, std::shared_ptr<ReadStore> store,
                                         Options const& options, Metadata& metadata) {
    return RunAs<Source>(source, store, options, metadata);
}

template <ReadSource Source>
bool NikonRawImage<Source>::ReadMetadata(DataSource& source, std::shared_ptr<ReadStore> store,
                                         Options const& options, Metadata& metadata) {
    if (RunAs<Source>(source, store, options, metadata)) return true;

    // Nothing of the failed TIFF attempt may survive the JPEG attempt.
    std::unique_ptr<Image> jpeg = ImageFactories::CreateImage(ReadSource::Jpeg);
    if (!jpeg) return false;
    source.SeekInputTo(0);
    // The caller's path and options are not part of the failed attempt:
    // carry them into the fresh context the JPEG reader and its items share.
    std::string path = std::move(store->path);
    *store = ReadStore();
    metadata.Clear();
    std::shared_ptr<ReadStore> const& fresh = metadata.GetReadStore();
    fresh->path = std::move(path);
    fresh->options = options;
    return jpeg->ReadMetadata(source, fresh, options, metadata);
}

namespace {

template <class... Images>
struct RegisterAll {
    RegisterAll() { (ImageFactories::Registration<Images>(Images::kSource), ...); }
};

RegisterAll<JpegImage, PngImage, BmpImage, TiffImage, GifImage, XmpImage, ExrImage, HdrImage, WebpImage,
            LytroImage, CrwImage, X3fImage, _frImage, ArwImage, Cr2Image, DcrImage, DngImage, ErfImage,
            FffImage, IiqImage, K25Image, KdcImage, MefImage, MrwImage, MosImage, NefImage, NrwImage,
            OrfImage, PefImage, R3dImage, RafImage, RawImage, Rw2Image, RwlImage, SrfImage, Sr2Image,
            SrwImage, JpegxrImage, Jpeg2kImage, Cr3Image, HeicImage, HeifImage> const kRegistrations;

}  // namespace
}  // namespace meta
