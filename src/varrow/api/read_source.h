#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

#include "varrow/api/export.h"

namespace meta {

// The file types varrow reads; each has exactly one image reader.
enum class ReadSource : std::int32_t {
    Unknown = -1,
    Jpeg = 0,
    Png = 1,
    Bmp = 2,
    Tiff = 3,
    Gif = 4,
    Xmp = 5,
    Exr = 6,
    Hdr = 7,
    Webp = 8,
    Lytro = 9,
    Crw = 10,
    X3f = 11,
    _fr = 12,  // Hasselblad 3FR
    Arw = 13,
    Cr2 = 14,
    Dcr = 15,
    Dng = 16,
    Erf = 17,
    Fff = 18,
    Iiq = 19,
    K25 = 20,
    Kdc = 21,
    Mef = 22,
    Mrw = 23,
    Mos = 24,
    Nef = 25,
    Nrw = 26,
    Orf = 27,
    Pef = 28,
    R3d = 29,
    Raf = 30,
    Raw = 31,
    Rw2 = 32,
    Rwl = 33,
    Srf = 34,
    Sr2 = 35,
    Srw = 36,
    Jpegxr = 37,
    Jpeg2k = 38,
    Cr3 = 39,
    Heic = 40,
    Heif = 41,
};

inline constexpr int kReadSourceCount = 42;

// File type from the extension of a path (the text after the last dot of the
// whole path, compared without regard to ASCII case). No content sniffing.
// Example: GetFileTypeFromPath("DSC_0001.NEF") == ReadSource::Nef.
VARROW_API ReadSource GetFileTypeFromPath(std::string const& path);
// File type from an extension given without its dot ("jpg", "TIF").
VARROW_API ReadSource GetFileTypeFromExtension(std::string extension);

// The enumerator's name ("Jpeg", "_fr", ...); "Unknown" for any other value.
VARROW_API char const* ToString(ReadSource source);
VARROW_API std::ostream& operator<<(std::ostream& out, ReadSource source);

}  // namespace meta
