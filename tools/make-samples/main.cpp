// Writes the sample files shipped in samples/: small images built byte by
// byte, so the project ships nothing it did not make itself.
//   varrow-make-samples <output-dir>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "fixtures/image_builders.h"

namespace {

bool WriteFile(std::string const& path, fixtures::Bytes const& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<char const*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

fixtures::Bytes MakeSampleJpeg() {
    fixtures::TiffBuilder exif;
    exif.Rational(0x829A, {{1, 250}})          // ExposureTime
        .Rational(0x829D, {{28, 10}})          // FNumber
        .Short(0x8827, {200})                  // ISO
        .Ascii(0x9003, "2026:12:05 10:20:30")  // DateTimeOriginal
        .Rational(0x920A, {{350, 10}});        // FocalLength
    fixtures::TiffBuilder gps;
    gps.Byte(0x0000, {2, 3, 0, 0})             // GPSVersionID
        .Ascii(0x0001, "N")
        .Rational(0x0002, {{48, 1}, {51, 1}, {2400, 100}})
        .Ascii(0x0003, "E")
        .Rational(0x0004, {{2, 1}, {21, 1}, {300, 100}});
    fixtures::TiffBuilder ifd0;
    ifd0.Ascii(0x010F, "varrow")
        .Ascii(0x0110, "Sample Camera")
        .Short(0x0112, {1})
        .Ascii(0x0131, "varrow-make-samples")
        .SubDirectory(0x8769, exif)
        .SubDirectory(0x8825, gps);
    fixtures::JpegBuilder jpeg;
    jpeg.Jfif(72, 72).Exif(ifd0.Build()).Comment("Written by varrow-make-samples").Frame(64, 48);
    return jpeg.Build();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: varrow-make-samples <output-dir>\n";
        return 2;
    }
    std::string const dir = argv[1];
    bool ok = WriteFile(dir + "/sample.bmp", fixtures::MakeBmp(64, -48));
    ok = WriteFile(dir + "/sample.jpg", MakeSampleJpeg()) && ok;
    if (!ok) {
        std::cerr << "varrow-make-samples: cannot write into " << dir << '\n';
        return 1;
    }
    return 0;
}
