"""Facts about a sample's structure that decide whether a difference is a
design gap: whether a TIFF directory the reader reaches holds an entry whose
format makes the reader refuse the whole directory (a format above 25 other
than 257/258, or format 0 with a count or value), and whether a JPEG's
segment chain breaks (a byte other than 0xFF where a marker belongs) before
the first scan, which ends the read there."""
import functools
import pathlib
import struct

_SUB_IFD_TAGS = (0x8769, 0x8825, 0xa005, 0x014A)
_MAX_DEPTH = 4
_MAX_ROOTS = 2  # IFD0 and IFD1: the reader follows no further link


def _tiff_bytes(data):
    if data[:2] == b"\xff\xd8":
        start = data.find(b"Exif\0\0")
        return data[start + 6:] if start >= 0 else b""
    return data


def refused_directories(data):
    """Names of the directories ("IFD0", "0x8769", ...) holding an entry of a
    format the reader refuses."""
    tiff = _tiff_bytes(data)
    if tiff[:2] not in (b"II", b"MM") or len(tiff) < 8:
        return []
    order = "<" if tiff[:2] == b"II" else ">"
    refused, seen = [], set()

    def walk(offset, name, depth):
        if offset in seen or offset + 2 > len(tiff) or depth > _MAX_DEPTH:
            return 0
        seen.add(offset)
        (count,) = struct.unpack_from(order + "H", tiff, offset)
        for index in range(count):
            at = offset + 2 + 12 * index
            if at + 12 > len(tiff):
                return 0
            tag, kind, number, value = struct.unpack_from(order + "HHII", tiff, at)
            kind = 4 if kind in (257, 258) else (0 if kind > 25 else kind)
            if kind == 0 and (number or value):
                if name not in refused:
                    refused.append(name)
                continue
            if tag in _SUB_IFD_TAGS and number == 1:
                walk(value, f"{tag:#06x}", depth + 1)
        end = offset + 2 + 12 * count
        return struct.unpack_from(order + "I", tiff, end)[0] if end + 4 <= len(tiff) else 0

    (offset,) = struct.unpack_from(order + "I", tiff, 4)
    for root in range(_MAX_ROOTS):
        if not offset:
            break
        offset = walk(offset, f"IFD{root}", 0)
    return refused


@functools.lru_cache(maxsize=None)
def has_refused_directory(path):
    try:
        return bool(refused_directories(pathlib.Path(path).read_bytes()))
    except (OSError, struct.error):
        return False


def jpeg_chain_breaks(data):
    """True when, walking the segments from SOI, a byte other than 0xFF
    stands where a marker belongs before SOS or EOI."""
    if data[:2] != b"\xff\xd8":
        return False
    at = 2
    while at < len(data):
        if data[at] != 0xFF:
            return True
        while at < len(data) and data[at] == 0xFF:
            at += 1
        if at >= len(data):
            return False
        marker = data[at]
        if marker in (0xD9, 0xDA):
            return False
        if at + 3 > len(data):
            return False
        length = (data[at + 1] << 8) | data[at + 2]
        at += 1 + length
    return False


@functools.lru_cache(maxsize=None)
def has_broken_jpeg_chain(path):
    try:
        return jpeg_chain_breaks(pathlib.Path(path).read_bytes())
    except OSError:
        return False
