#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "varrow/api/image.h"
#include "varrow/api/read_source.h"

namespace meta {
namespace {

TEST(FileType, FromPathIgnoresAsciiCase) {
    EXPECT_EQ(GetFileTypeFromPath("photo.JPG"), ReadSource::Jpeg);
    EXPECT_EQ(GetFileTypeFromPath("photo.Jpg"), ReadSource::Jpeg);
    EXPECT_EQ(GetFileTypeFromPath("photo.jpg"), ReadSource::Jpeg);
    EXPECT_EQ(GetFileTypeFromPath("/a/b.c/IMG_0001.CR2"), ReadSource::Cr2);
    EXPECT_EQ(GetFileTypeFromPath("image.heic"), ReadSource::Heic);
    EXPECT_EQ(GetFileTypeFromPath("image.heif"), ReadSource::Heif);
    EXPECT_EQ(GetFileTypeFromPath("file.hif"), ReadSource::Heic);
    EXPECT_EQ(GetFileTypeFromPath("x.3FR"), ReadSource::_fr);
}

TEST(FileType, FromPathWithoutUsableExtension) {
    EXPECT_EQ(GetFileTypeFromPath("photo."), ReadSource::Unknown);
    EXPECT_EQ(GetFileTypeFromPath("photo"), ReadSource::Unknown);
    EXPECT_EQ(GetFileTypeFromPath(""), ReadSource::Unknown);
    // The last dot of the whole path decides, directory names included.
    EXPECT_EQ(GetFileTypeFromPath("archive.tar/photo"), ReadSource::Unknown);
    // An embedded NUL ends the extension (the last dot still decides).
    EXPECT_EQ(GetFileTypeFromPath(std::string("photo.png\0junk", 14)), ReadSource::Png);
    EXPECT_EQ(GetFileTypeFromPath(std::string("photo.png\0.txt", 14)), ReadSource::Unknown);
    // Only A-Z fold: a non-ASCII byte never matches.
    EXPECT_EQ(GetFileTypeFromPath("photo.J\xC3\x89PG"), ReadSource::Unknown);
}

TEST(FileType, FromExtension) {
    EXPECT_EQ(GetFileTypeFromExtension("NEFX"), ReadSource::Nef);
    EXPECT_EQ(GetFileTypeFromExtension(".nef"), ReadSource::Unknown);
    EXPECT_EQ(GetFileTypeFromExtension("gpr"), ReadSource::Dng);
    EXPECT_EQ(GetFileTypeFromExtension("wdp"), ReadSource::Jpegxr);
    EXPECT_EQ(GetFileTypeFromExtension("MJ2"), ReadSource::Jpeg2k);
    EXPECT_EQ(GetFileTypeFromExtension(""), ReadSource::Unknown);
}

TEST(FileType, EveryTypeHasAnExtensionAndAnImageReader) {
    char const* extensions[] = {"jpg",  "jpeg",   "png",  "bmp", "tif", "tiff", "gif", "xmp", "exr", "hdr",
                                "webp", "lfp",    "crw",  "x3f", "3fr", "arw",  "cr2", "dcr", "dng", "gpr",
                                "erf",  "fff",    "iiq",  "k25", "kdc", "mef",  "mrw", "mos", "nef", "nefx",
                                "nrw",  "orf",    "pef",  "r3d", "raf", "raw",  "rw2", "rwl", "srf", "sr2",
                                "srw",  "jpegxr", "jxr",  "hdp", "wdp", "jp2",  "j2k", "jpf", "jpx", "jpm",
                                "mj2",  "cr3",    "heic", "hif", "heif"};
    EXPECT_EQ(std::size(extensions), 55u);
    std::set<ReadSource> covered;
    for (char const* extension : extensions) {
        ReadSource const source = GetFileTypeFromExtension(extension);
        EXPECT_NE(source, ReadSource::Unknown) << extension;
        covered.insert(source);
    }
    EXPECT_EQ(covered.size(), static_cast<std::size_t>(kReadSourceCount));

    for (int n = 0; n < kReadSourceCount; ++n) {
        EXPECT_NE(ImageFactories::CreateImage(ReadSource(n)), nullptr) << ToString(ReadSource(n));
    }
    EXPECT_EQ(ImageFactories::CreateImage(ReadSource::Unknown), nullptr);
    EXPECT_EQ(ImageFactories::CreateImage(ReadSource(42)), nullptr);
    EXPECT_EQ(ImageFactories::GetImageFactories().size(), static_cast<std::size_t>(kReadSourceCount));
}

TEST(FileType, Names) {
    std::ostringstream out;
    out << ReadSource::Heic << ' ' << ReadSource::_fr << ' ' << ReadSource::Unknown << ' ' << ReadSource(77);
    EXPECT_EQ(out.str(), "Heic _fr Unknown Unknown");
}

}  // namespace
}  // namespace meta
