#include "varrow/formats/tiff/raw_readers.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "varrow/formats/tiff/tiff_io.h"
#include "varrow/io/data_source.h"
#include "varrow/processors/processor_registry.h"

namespace meta {

namespace {

ProcessorRegistration<Cr2Reader> const cr2("CR2 document");
ProcessorRegistration<OrfReader> const orf("ORF document");
ProcessorRegistration<PanasonicRawReader> const panasonicRaw("Panasonic RAW document");
ProcessorRegistration<PanasonicRw2Reader> const panasonicRw2("Panasonic RW2 document");
ProcessorRegistration<JpegxrReader> const jpegxr("JPEG XR document");
ProcessorRegistration<MrwProcessor> const mrw("MRW");

constexpr std::array<unsigned char, 16> kRw2Signature = {0x88, 0xE7, 0x74, 0xD8, 0xF8, 0x25, 0x1D, 0x4D,
                                                         0x94, 0x7A, 0x6E, 0x77, 0x82, 0x2B, 0x5D, 0x6A};

bool ReadBytes(DataSource& source, char* out, std::size_t n) {
    return source.EnsureProvisionLocal(n) &&
           static_cast<bool>(source.AsStream().read(out, static_cast<std::streamsize>(n)));
}

}  // namespace

bool Cr2Reader::ReadHeader(DataSource& source, ByteOrder& order, unsigned int& offset) {
    if (!TiffReader::ReadHeader(source, order, offset)) return false;
    std::uint16_t marker = 0;
    char rest[6];
    if (!source.EnsureProvisionLocal(8) || !detail::ReadTiffU16(source.AsStream(), order, marker))
        return false;
    if (marker != 0x5243) return false;
    // Version and raw-IFD offset: read so a short header fails, not used.
    return source.AsStream().read(rest, 6).good();
}

bool OrfReader::IsValidFormatIdentifier(unsigned short identifier) const {
    return identifier == 0x4F52 || identifier == 0x5352;
}

PanasonicRawReader::PanasonicRawReader(Options const& options) : TiffReader(options) {
    SetRootGroups({FieldGroup::PanasonicRaw, FieldGroup::Ifd1});
}

bool PanasonicRw2Reader::ReadHeader(DataSource& source, ByteOrder& order, unsigned int& offset) {
    if (!PanasonicRawReader::ReadHeader(source, order, offset) || offset < 24) return false;
    char signature[16];
    if (!ReadBytes(source, signature, sizeof signature)) return false;
    return std::memcmp(signature, kRw2Signature.data(), kRw2Signature.size()) == 0;
}

bool MrwProcessor::ReadHeader(DataSource& source, ByteOrder& order, unsigned int& offset) {
    char head[4];
    if (!ReadBytes(source, head, 4) || head[0] != 0 || head[1] != 'M' || head[2] != 'R') return false;
    if (head[3] == 'I') {
        order = ByteOrder::LittleEndian;
    } else if (head[3] == 'M') {
        order = ByteOrder::BigEndian;
    } else {
        return false;
    }
    std::uint32_t headerLength = 0;
    if (!source.EnsureProvisionLocal(4) || !detail::ReadTiffU32(source.AsStream(), order, headerLength) ||
        headerLength == 0) {
        return false;
    }
    std::uint64_t walked = 0;
    for (;;) {
        char tag[4];
        std::uint32_t length = 0;
        if (walked + 8 > headerLength) return false;
        if (!ReadBytes(source, tag, 4) || !source.EnsureProvisionLocal(4) ||
            !detail::ReadTiffU32(source.AsStream(), order, length)) {
            return false;
        }
        walked += 8;
        if (tag[0] == 0 && tag[1] == 'T' && tag[2] == 'T' && tag[3] == 'W') break;
        if (walked + length > headerLength) return false;
        walked += length;
        if (!source.EnsureProvisionLocal(length) || !source.SeekBufferBy(length, false)) return false;
    }
    // Offsets inside the TTW block are relative to its start.
    SetOffsetDelta(static_cast<long long>(GetCurrentPosition(source)));
    return TiffReader::ReadHeader(source, order, offset);
}

}  // namespace meta
