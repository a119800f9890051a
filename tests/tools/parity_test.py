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


if __name__ == "__main__":
    unittest.main()
