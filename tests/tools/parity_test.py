#!/usr/bin/env python3
"""Checks how tools/parity reshapes varrow's XMP output into ExifTool's names
and values. Run: python3 tests/tools/parity_test.py"""
import importlib.machinery
import importlib.util
import pathlib
import unittest

ROOT = pathlib.Path(__file__).resolve().parents[2]
loader = importlib.machinery.SourceFileLoader("parity", str(ROOT / "tools" / "parity"))
module_spec = importlib.util.spec_from_loader("parity", loader)
parity = importlib.util.module_from_spec(module_spec)
loader.exec_module(parity)
import parity_gaps  # noqa: E402  (tools/ is on the path once parity is loaded)
import parity_scan  # noqa: E402
import struct  # noqa: E402


def little_endian_tiff(ifd0, exif=None):
    """A TIFF whose IFD0 holds `ifd0` entries (tag, format, count, value) and,
    with `exif`, a pointer to an EXIF directory holding those."""
    data = bytearray(b"II*\0" + struct.pack("<I", 8))
    entries = list(ifd0) + ([(0x8769, 4, 1, 0)] if exif is not None else [])
    exif_at = 8 + 2 + 12 * len(entries) + 4
    data += struct.pack("<H", len(entries))
    for tag, kind, count, value in entries:
        data += struct.pack("<HHII", tag, kind, count, exif_at if tag == 0x8769 else value)
    data += struct.pack("<I", 0)
    if exif is not None:
        data += struct.pack("<H", len(exif))
        for entry in exif:
            data += struct.pack("<HHII", *entry)
        data += struct.pack("<I", 0)
    return bytes(data)


class Flattening(unittest.TestCase):
    def setUp(self):
        # A fixed table instead of the reference: the concatenated id of one
        # member maps to a name of its own.
        parity.FLATTENED = {parity.xmp_key("CreatorContactInfoCiAdrCity"): "CreatorCity",
                            parity.xmp_key("RegionsRegionListAreaH"): "RegionAreaH"}

    def items(self, record):
        return parity.our_items(dict(record, SourceFile="x"))

    def test_structures_lists_and_renamed_members(self):
        ours = self.items({
            "Xmp:XmpMM.DerivedFrom": {"instanceID": "i1", "documentID": "d1"},
            "Xmp:XmpMM.History": [{"action": "saved", "when": "w1"}, {"action": "converted"}],
            "Xmp:XmpIptcCore.CreatorContactInfo": {"CiAdrCity": "Mainz"},
            "Xmp:XmpPassthrough.Regions": {"RegionList": [{"Area": {"h": "8"}}, {"Area": {"h": "9"}}]},
        })
        key = parity.XMP_PREFIX.__add__
        self.assertEqual(ours[key("derivedfrominstanceid")], ["i1"])
        self.assertEqual(ours[key("historyaction")], [["saved", "converted"]])
        # A member present in one item only is a scalar, as ExifTool shows it.
        self.assertEqual(ours[key("historywhen")], ["w1"])
        self.assertEqual(ours[key("creatorcity")], ["Mainz"])
        # Renaming follows the ids of the whole path, not the renamed parent.
        self.assertEqual(ours[key("regionareah")], [["8", "9"]])

    def test_language_alternatives_and_empty_structures(self):
        ours = self.items({
            "Xmp:XmpPassthrough.Custom1": [{"x-default": "cu1", "de": "de1"}, {"x-default": "cu2"}],
            "Xmp:XmpMM.DerivedFrom": {},
            "Xmp:XmpDc.Title-de": "Titel",
        })
        key = parity.XMP_PREFIX.__add__
        self.assertEqual(ours[key("custom1")], [["cu1", "cu2"]])
        self.assertEqual(ours[key("custom1-de")], ["de1"])
        self.assertEqual(ours[key("derivedfrom")], [""])
        self.assertEqual(ours[key("title-de")], ["Titel"])

    def test_names_ignore_case_and_escapes(self):
        self.assertEqual(parity.xmp_key("Custom\u21820020Property"), parity.xmp_key("custom0020property"))
        self.assertNotEqual(parity.xmp_key("Title-de"), parity.xmp_key("Titlede"))

    def test_representation_differences(self):
        self.assertEqual(parity.normalised(["Phil"]), "Phil")
        self.assertEqual(parity.normalised(["a", "b"]), ["a", "b"])
        self.assertEqual(parity.normalised("False"), "false")
        self.assertEqual(parity.normalised("Falsey"), "Falsey")
        # Expected JSON booleans and our texts meet in the middle.
        self.assertEqual(parity.normalised(parity.as_strings(True)), parity.normalised("True"))
        self.assertEqual(parity.normalised([]), "")


class UnknownTags(unittest.TestCase):
    def test_tiff_tags_by_number_answer_to_exiftool_names(self):
        items = parity.our_items({"Tiff:Ifd0.0x9c41": "Fax", "Icc:IccProfile.0x9c41": "x", "Tiff:Ifd0.Make": "m"})
        self.assertEqual(items["Exif_0x9c41"], ["Fax"])
        self.assertEqual(items["0x9c41"], ["Fax", "x"])
        self.assertNotIn("Exif_Make", items)


class RefusedDirectories(unittest.TestCase):
    def test_invalid_formats_are_found_where_the_reader_meets_them(self):
        good = [(0x0100, 4, 1, 640), (0x0101, 3, 1, 480)]
        self.assertEqual(parity_scan.refused_directories(little_endian_tiff(good)), [])
        self.assertEqual(parity_scan.refused_directories(little_endian_tiff(good + [(0x0131, 52739, 4, 0)])),
                         ["IFD0"])
        # Format 0 is padding only when count and value are zero too.
        self.assertEqual(parity_scan.refused_directories(little_endian_tiff(good + [(0, 0, 0, 0)])), [])
        self.assertEqual(parity_scan.refused_directories(little_endian_tiff(good + [(0, 0, 2, 0)])), ["IFD0"])
        # 257 and 258 read as longs.
        self.assertEqual(parity_scan.refused_directories(little_endian_tiff(good + [(0x0111, 257, 1, 8)])), [])
        exif = [(0x829A, 5, 1, 0), (0x9003, 65533, 20, 0)]
        self.assertEqual(parity_scan.refused_directories(little_endian_tiff(good, exif)), ["0x8769"])
        jpeg = b"\xff\xd8\xff\xe1\0\0Exif\0\0" + little_endian_tiff(good, exif)
        self.assertEqual(parity_scan.refused_directories(jpeg), ["0x8769"])
        self.assertEqual(parity_scan.refused_directories(b"not a tiff"), [])


class XmpErrors(unittest.TestCase):
    def test_reads_ended_by_the_toolkit_are_named_by_the_tool(self):
        files = pathlib.Path("/corpus/files")
        stderr = ("XML parsing failure\n/corpus/files/a/x.tif: malformed XMP: XMP parse failure\n"
                  "/corpus/files/a/x.tif: could not be read completely\n/corpus/files/b/y.jpg: cannot open\n")
        self.assertEqual(parity.ended_by_xmp_errors(stderr, files), {"files/a/x.tif"})
        gaps = parity.Gaps([parity_gaps.Rule({"reason": "xmp", "when": "xmp-error"})])
        gaps.xmp_ended = frozenset({"files/a/x.tif"})
        self.assertEqual(gaps.reason("files/a/x.tif", "ExifIFD:ISO", "100", None), "xmp")
        self.assertIsNone(gaps.reason("files/a/x.tif", "ExifIFD:ISO", "100", "200"))
        self.assertIsNone(gaps.reason("files/b/y.jpg", "ExifIFD:ISO", "100", None))


class BrokenJpegChains(unittest.TestCase):
    def test_a_stray_byte_between_segments_is_found_before_the_scan_only(self):
        app0 = b"\xff\xe0\x00\x04ab"
        sos = b"\xff\xda\x00\x02"
        self.assertFalse(parity_scan.jpeg_chain_breaks(b"\xff\xd8" + app0 + sos + b"x" * 10))
        self.assertTrue(parity_scan.jpeg_chain_breaks(b"\xff\xd8" + app0 + b"?>" + sos))
        # Fill bytes before a marker are allowed.
        self.assertFalse(parity_scan.jpeg_chain_breaks(b"\xff\xd8\xff\xff" + app0 + sos))
        self.assertFalse(parity_scan.jpeg_chain_breaks(b"\x89PNG"))


class DesignGaps(unittest.TestCase):
    def gaps(self, *rules):
        return parity.Gaps([parity_gaps.Rule(rule) for rule in rules])

    def test_conditions(self):
        gaps = self.gaps({"reason": "cleaned", "when": "cleaned-equal"},
                         {"reason": "binary", "when": "short-binary"},
                         {"reason": "absent", "tag": "^Composite:SubSec", "when": "missing"})
        self.assertEqual(gaps.reason("f", "IFD0:Make", "Canon  ", "Canon"), "cleaned")
        self.assertEqual(gaps.reason("f", "IFD0:Make", "a\r\nb\0", "a..b"), "cleaned")
        self.assertEqual(gaps.reason("f", "IFD0:Make", ["x ", "y"], ["x", "y"]), "cleaned")
        # A real difference stays one, and so does a name we lack.
        self.assertIsNone(gaps.reason("f", "IFD0:Make", "Canon  ", "Nikon"))
        self.assertIsNone(gaps.reason("f", "IFD0:Make", "Canon  ", None))
        binary = "(Binary data {} bytes, use -b option to extract)"
        self.assertEqual(gaps.reason("f", "IFD1:ThumbnailImage", binary.format(60), "<dummy>"), "binary")
        self.assertIsNone(gaps.reason("f", "IFD1:ThumbnailImage", binary.format(61), "<dummy>"))
        self.assertEqual(gaps.reason("f", "Composite:SubSecCreateDate", "x", None), "absent")
        self.assertIsNone(gaps.reason("f", "Composite:SubSecCreateDate", "x", "y"))
        numbers = self.gaps({"reason": "double", "when": "same-number"})
        self.assertEqual(numbers.reason("f", "XMP-crs:Exposure", "-0.50", "-0.5"), "double")
        self.assertEqual(numbers.reason("f", "Lytro:Gamma", "0.41666001081466674805", "0.416660010814667"), "double")
        self.assertEqual(numbers.reason("f", "XMP-x:List", ["1.0", "2"], ["1", "2"]), "double")
        self.assertIsNone(numbers.reason("f", "XMP-crs:Exposure", "-0.50", "-0.49"))
        self.assertIsNone(numbers.reason("f", "XMP-crs:Exposure", "-0.50", "minus a half"))
        cut = self.gaps({"reason": "cut", "when": "cut-short"})
        self.assertEqual(cut.reason("f", "IFD0:Exif_0x9c73", "1 2 3[...]", "1 2 3 4 5"), "cut")
        self.assertIsNone(cut.reason("f", "IFD0:Exif_0x9c73", "1 2 3[...]", "1 2 4 4 5"))
        self.assertIsNone(cut.reason("f", "IFD0:Exif_0x9c73", "1 2 3", "1 2 3 4 5"))
        self.assertIsNone(cut.reason("f", "IFD0:Exif_0x9c73", "1 2 3[...]", None))

    def test_tag_and_file_patterns_both_apply(self):
        gaps = self.gaps({"reason": "trailer", "tag": "^IPTC2:", "file": "AFCP\\.jpg$"})
        self.assertEqual(gaps.reason("files/x/AFCP.jpg", "IPTC2:City", "c", None), "trailer")
        self.assertIsNone(gaps.reason("files/x/AFCP.jpg", "IPTC:City", "c", None))
        self.assertIsNone(gaps.reason("files/x/Other.jpg", "IPTC2:City", "c", None))

    def test_unknown_condition_is_refused(self):
        with self.assertRaises(ValueError):
            parity_gaps.Rule({"reason": "r", "when": "sometimes"})

    def test_shipped_rules_load(self):
        self.assertGreater(len(parity_gaps.Gaps.load().rules), 5)


if __name__ == "__main__":
    unittest.main()
