#!/usr/bin/env python3
"""Copies enumeration facts from the public tag reference data into the display
lookup inputs under tools/gen/inputs/lookups/ (one JSON file per family).

    python3 tools/gen/extract_lookups.py /path/to/reference/tag-tables.json [family ...]

Run it once when a family is added or the reference data changes; the
generator (gen_lookups.py) reads only the files it writes, never the
reference data. Every enumerated tag of a family's tables becomes one lookup
named <prefix><TagName>. Per tag the script decides:

- the key type: "int" when every code is an integer and the tag's format is
  not text, "ints" when every code is a list of integers (an array value
  looked up as a whole), "text" otherwise (text formats keep text codes, so
  "2" stays the string a reader hands in);
- the strategy: "bitmask" when the reference marks the enumeration as a bit
  mask or the family lists it in `bitmask`, and every code is a power of two
  (codes become bit numbers); "whole" otherwise;
- "elements" (a lookup per array element) when the reference has one
  enumeration per element position.

Tags of one name with equal enumerations share one lookup; when the
enumerations differ, the tag listed in `preferred` (or else the first one)
keeps the plain name and the others get the suffix "_<hex id>". Rows whose
code does not fit the key type are dropped with a warning.
"""
import json
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
OUT_DIR = HERE / "inputs" / "lookups"

TEXT_FORMATS = {"string", "digits"}

# file: output stem; kind: Exif, Iptc or Xmp (which builder sequence the
# lookups join); prefix: lookup name prefix; tables: reference tables in order;
# prefixes: optional prefix per table, over the family's.
FAMILIES = [
    {"file": "exif", "kind": "Exif", "prefix": "Exif", "tables": ["Exif::Main"],
     # TIFF T4/T6 options are bit fields although the reference lists too few
     # codes for its bit-mask mark.
     "bitmask": {"T4Options", "T6Options"},
     # The EXIF tags keep the plain name; the TIFF-EP tags of the same name
     # (0x9210, 0x9217) are the variants.
     "preferred": {"FocalPlaneResolutionUnit": "0xa210", "SensingMethod": "0xa217"}},
    {"file": "gps", "kind": "Exif", "prefix": "Gps", "tables": ["GPS::Main"]},
    {"file": "jfif", "kind": "Exif", "prefix": "Jfif", "tables": ["JFIF::Main", "JFIF::Extension"]},
    {"file": "photoshop", "kind": "Exif", "prefix": "Photoshop", "tables": ["Photoshop::Resolution"]},
    {"file": "icc", "kind": "Exif", "prefix": "Icc",
     "tables": ["ICC_Profile::Header", "ICC_Profile::Main", "ICC_Profile::Measurement",
                "ICC_Profile::Chromaticity", "ICC_Profile::ColorantTable", "ICC_Profile::ViewingConditions"]},
    # Canon VRD recipe data: one prefix per table (its group's name), as the
    # same tag names recur with other codes in the older and newer records.
    {"file": "canon_vrd", "kind": "Exif", "prefix": "CanonVrd",
     "tables": ["CanonVRD::Main", "CanonVRD::Ver1", "CanonVRD::StampTool", "CanonVRD::Ver2", "CanonVRD::DLOInfo",
                "CanonVRD::IHL", "CanonVRD::DR4", "CanonVRD::DR4Header", "CanonVRD::ToneCurve",
                "CanonVRD::GammaInfo", "CanonVRD::CropInfo", "CanonVRD::StampInfo", "CanonVRD::DustInfo"],
     "prefixes": {"CanonVRD::Main": "CanonVrd", "CanonVRD::Ver1": "CanonVrdVer1",
                  "CanonVRD::StampTool": "CanonVrdStampTool", "CanonVRD::Ver2": "CanonVrdVer2",
                  "CanonVRD::DLOInfo": "CanonVrdDlo", "CanonVRD::IHL": "CanonVrdIhl", "CanonVRD::DR4": "CanonVrdDr4",
                  "CanonVRD::DR4Header": "CanonVrdDr4Header", "CanonVRD::ToneCurve": "CanonVrdToneCurve",
                  "CanonVRD::GammaInfo": "CanonVrdGammaInfo", "CanonVRD::CropInfo": "CanonVrdCropInfo",
                  "CanonVRD::StampInfo": "CanonVrdStampInfo", "CanonVRD::DustInfo": "CanonVrdDustInfo"}},
    {"file": "iptc", "kind": "Iptc", "prefix": "Iptc",
     "tables": ["IPTC::EnvelopeRecord", "IPTC::ApplicationRecord", "IPTC::NewsPhoto", "IPTC::PreObjectData",
                "IPTC::ObjectData", "IPTC::PostObjectData"]},
]

INT = re.compile(r"-?\d+")
INTS = re.compile(r"-?\d+(?: -?\d+)+")


def warn(message):
    print(f"warning: {message}", file=sys.stderr)


def key_type(tag, pairs):
    codes = [code for code, _ in pairs]
    if tag.get("type") in TEXT_FORMATS:
        return "text"
    if all(INT.fullmatch(c) for c in codes):
        return "int"
    if all(INT.fullmatch(c) or INTS.fullmatch(c) for c in codes) and any(INTS.fullmatch(c) for c in codes):
        return "ints"
    ints = sum(1 for c in codes if INT.fullmatch(c))
    if ints >= len(codes) - 1 and ints > 0:
        # One odd code (a vendor's raw byte string) in an integer enumeration.
        return "int"
    return "text"


def convert_rows(name, kind, pairs, bitmask):
    rows = []
    for code, text in pairs:
        if kind == "int":
            if not INT.fullmatch(code):
                warn(f"{name}: dropped code {code!r} ({text!r}), not an integer")
                continue
            value = int(code)
            if bitmask:
                value = value.bit_length() - 1
            rows.append([value, text])
        elif kind == "ints":
            if INT.fullmatch(code):
                code = str(int(code))
            rows.append([code, text])
        else:
            rows.append([code, text])
    return rows


def is_bitmask(tag, pairs, family):
    wanted = tag.get("bitmask_hint") or tag["name"] in family.get("bitmask", set())
    if not wanted:
        return False
    codes = [int(c) for c, _ in pairs if INT.fullmatch(c)]
    if len(codes) != len(pairs) or any(c <= 0 or c & (c - 1) for c in codes):
        warn(f"{tag['name']}: marked as a bit mask, but its codes are not powers of two; kept whole")
        return False
    return True


def make_lookup(family, tag, prefix=None):
    name = (prefix or family["prefix"]) + tag["name"]
    if "values_by_index" in tag:
        elements = []
        by_index = tag["values_by_index"]
        for position in range(max(int(k) for k in by_index) + 1):
            pairs = by_index.get(str(position), [])
            if pairs and key_type(tag, pairs) != "int":
                warn(f"{name}: element {position} has non-integer codes; left without a lookup")
                pairs = []
            elements.append({"values": convert_rows(name, "int", pairs, False)})
        return {"name": name, "key": "int", "elements": elements}
    pairs = tag["values"]
    kind = key_type(tag, pairs)
    bitmask = kind == "int" and is_bitmask(tag, pairs, family)
    lookup = {"name": name, "key": kind}
    if bitmask:
        lookup["strategy"] = "bitmask"
    lookup["values"] = convert_rows(name, kind, pairs, bitmask)
    return lookup


def family_lookups(tables, family):
    chosen = {}  # name -> (lookup, tag hex)
    order = []
    extra = []
    preferred = family.get("preferred", {})
    for table_name in family["tables"]:
        for tag in tables[table_name]["tags"]:
            if "values" not in tag and "values_by_index" not in tag:
                continue
            lookup = make_lookup(family, tag, family.get("prefixes", {}).get(table_name))
            if not lookup.get("values") and not lookup.get("elements"):
                continue
            hexid = tag.get("hex") or tag["id"]
            name = lookup["name"]
            if name not in chosen:
                chosen[name] = (lookup, hexid)
                order.append(name)
                continue
            previous, previous_hex = chosen[name]
            same = {k: v for k, v in previous.items() if k != "name"} == \
                {k: v for k, v in lookup.items() if k != "name"}
            if same:
                continue
            if preferred.get(tag["name"]) == hexid:
                previous["name"] = f"{name}_{previous_hex}"
                extra.append(previous)
                chosen[name] = (lookup, hexid)
            else:
                lookup["name"] = f"{name}_{hexid}"
                extra.append(lookup)
    return [chosen[n][0] for n in order] + extra


def dump(document):
    """JSON with one lookup per block and one row per line, for readable diffs."""
    def rows(values, indent):
        pad = " " * indent
        return "[\n" + ",\n".join(pad + json.dumps(r, ensure_ascii=False) for r in values) + "\n" + pad[:-2] + "]"

    out = ["{\n", f'  "source": {json.dumps(document["source"])},\n', f'  "kind": {json.dumps(document["kind"])},\n',
           '  "lookups": [\n']
    blocks = []
    for lookup in document["lookups"]:
        fields = [f'"name": {json.dumps(lookup["name"])}', f'"key": {json.dumps(lookup["key"])}']
        if "strategy" in lookup:
            fields.append(f'"strategy": {json.dumps(lookup["strategy"])}')
        if "default" in lookup:
            fields.append(f'"default": {json.dumps(lookup["default"], ensure_ascii=False)}')
        head = "    {" + ", ".join(fields)
        if "elements" in lookup:
            parts = [f'      {{"values": {rows(e["values"], 8)}}}' for e in lookup["elements"]]
            blocks.append(head + ', "elements": [\n' + ",\n".join(parts) + "\n    ]}")
        else:
            blocks.append(head + ', "values": ' + rows(lookup["values"], 6) + "}")
    out.append(",\n".join(blocks))
    out.append("\n  ]\n}\n")
    return "".join(out)


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    tables = json.loads(pathlib.Path(argv[1]).read_text(encoding="utf-8"))
    wanted = set(argv[2:])
    OUT_DIR.mkdir(parents=True, exist_ok=True)
    for family in FAMILIES:
        if wanted and family["file"] not in wanted:
            continue
        document = {
            "source": "enumerations of the public tag reference tables " + ", ".join(family["tables"]),
            "kind": family["kind"],
            "lookups": family_lookups(tables, family),
        }
        path = OUT_DIR / f"{family['file']}.json"
        path.write_text(dump(document), encoding="utf-8")
        print(f"wrote {path.relative_to(HERE.parents[1])}: {len(document['lookups'])} lookups")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
