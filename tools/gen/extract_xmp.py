#!/usr/bin/env python3
"""Builds the XMP field table inputs and the item-to-property rows from the
public tag reference.

    python3 tools/gen/extract_xmp.py [--reference DIR]

Reads tools/gen/inputs/xmp/declarations.json (which reference tables feed
which groups) and writes:
  tools/gen/inputs/fields/xmp*.json     family files for gen_fields.py
  tools/gen/inputs/xmp/property_map.tsv rows for gen_xmp_property_map.py
  tools/gen/inputs/lookups/xmp.json     lookups of enumerations no other lookup has
Only facts are copied: property ids, names, value types, array kinds, the
parent of each structure member and enumeration codes with their texts. The
generators never read the reference.

How a reference entry becomes a row: the id is the property name in the
packet, the name is the item name. The value type gives the XmpType; a
Bag/Seq/Alt flag makes the row an array whose one child under the id ""
describes the items. Entries flagged Flattened are members of a structure:
they go to the structure's own table, named by their member id, and never
into the namespace's table.

How rows are shown: the "conversions" of the declarations (by group and
property id) bind the conversions the EXIF tags of the same meaning use;
otherwise an enumeration binds its lookup (an unknown code shown as
"Unknown (code)"), a rational its decimal form and a date the EXIF layout. Structures show their
members and arrays their items through the members' and items' own rows.
Each binding comes with its inverse where one is well defined.
"""
import argparse
import json
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parents[1]
DECLARATIONS = HERE / "inputs" / "xmp" / "declarations.json"
FIELDS = HERE / "inputs" / "fields"
PROPERTY_MAP = HERE / "inputs" / "xmp" / "property_map.tsv"
LOOKUPS = HERE / "inputs" / "lookups"
XMP_LOOKUPS = LOOKUPS / "xmp.json"
DEFAULT_REFERENCE = pathlib.Path("/work/shared/reference")

# XmpType numbers (src/varrow/values/xmp_type.h).
SIMPLE, ORDERED, UNORDERED, ALTERNATIVE, STRUCTURE = 1, 2, 3, 4, 5
VALUE_TYPES = {"string": 10, "integer": 8, "real": 9, "rational": 22, "date": 7, "boolean": 6,
               "lang-alt": 14, "struct": STRUCTURE, "?": SIMPLE}
ARRAY_KINDS = {"Seq": ORDERED, "Bag": UNORDERED, "Alt": ALTERNATIVE}


def flags(tag):
    return set(tag.get("flags", []))


def value_type(tag, where):
    try:
        return VALUE_TYPES[tag["type"]]
    except KeyError:
        raise SystemExit(f"{where}: no XmpType for reference type {tag['type']!r}")


def array_kind(tag):
    kinds = [ARRAY_KINDS[f] for f in ("Seq", "Bag", "Alt") if f in flags(tag)]
    return kinds[0] if kinds else None


class Lookups:
    """Display lookups for enumerated properties: an existing lookup when one
    gives every code the reference's text (so the EXIF enumerations are not
    repeated), otherwise a new one named after the property's group."""

    def __init__(self, existing):
        self.existing = existing
        self.new = {}

    def whole_array(self, name):
        """Whether the lookup takes a whole array as its key."""
        return self.existing.get(name, {}).get("key") == "ints"

    def bind(self, tag, group, name, prefixes, item):
        values = tag.get("values")
        if not values:
            return None
        for prefix in prefixes:
            # The plain name first, then the variants the EXIF family keeps for
            # other tags of the same name ("ExifSensingMethod_0x9217").
            variants = sorted(n for n in self.existing if n.startswith(prefix + name + "_0x"))
            for candidate in [prefix + name] + variants:
                known = self.existing.get(candidate)
                if known is not None and all(known["values"].get(str(code)) == text for code, text in values):
                    return candidate
        lookup_name = group + name
        if lookup_name in self.existing:
            raise SystemExit(f"{lookup_name}: lookup name already taken by another family")
        if lookup_name not in self.new:
            numeric = item == VALUE_TYPES["integer"] and all(re.fullmatch(r"-?\d+", str(c)) for c, _ in values)
            self.new[lookup_name] = {
                "name": lookup_name, "key": "int" if numeric else "text",
                "values": [[int(c) if numeric else str(c), text] for c, text in values]}
        return lookup_name


def with_lookup(row, lookup, item):
    row["lookup"] = lookup
    # A code the enumeration lacks is shown as "Unknown (code)", as for the
    # EXIF tags; a boolean is looked up by its text.
    if item == VALUE_TYPES["boolean"]:
        row["displayConversion"] = f'xmp::BindBooleanLookup("{lookup}")'
    else:
        row["displayConversion"] = f'detail::BindLookupShowingUnknown("{lookup}")'
    row["inverseDisplayConversion"] = f'detail::BindReverseDisplayLookup("{lookup}")'


RATIONAL = VALUE_TYPES["rational"]
# How rationals are shown when the declarations name no other conversion.
RATIONAL_DISPLAY = {"displayConversion": "&xmp::ToDecimalText",
                    "inverseDisplayConversion": "&xmp::DecimalTextToFraction"}
DATE = VALUE_TYPES["date"]
# Dates show in the EXIF layout with every sub-second digit and only the
# parts the packet gave.
DATE_DISPLAY = {"displayConversion": "&xmp::ShowDate", "inverseDisplayConversion": "&xmp::DateFromText"}


def plain_display(item):
    """The format and display members of a row or item without declared
    conversions or a lookup."""
    if item == RATIONAL:
        return item, dict(RATIONAL_DISPLAY)
    if item == DATE:
        return item, dict(DATE_DISPLAY)
    return item, {}


def display_of_compound(row, group, rid):
    """Structures show their members, arrays their items, through the members'
    and items' own definitions."""
    child = row.get("children", [None])[0]
    if "children" not in row:
        if row.get("subdirs"):
            row["displayConversion"] = f"xmp::BindStructureDisplay(FieldGroup::{row['subdirs'][0]['group']})"
        return
    if child.get("subdirs"):
        child["displayConversion"] = f"xmp::BindStructureDisplay(FieldGroup::{child['subdirs'][0]['group']})"
    if "lookup" not in row and any(k in child for k in ("lookup", "displayConversion", "valueConversion")):
        row["displayConversion"] = f"xmp::BindItemDisplay(FieldGroup::{group}, {json.dumps(rid)})"


def make_row(tag, rid, name, struct_groups, source, where, lookups, group, prefixes=(), conversions=None):
    """A row of a family file for one property or member. `conversions` are
    the declared conversion members of the row (or, under "item", of its
    items); they replace a lookup."""
    conversions = dict(conversions or {})
    item_conversions = conversions.pop("item", None)
    item = value_type(tag, where)
    target = struct_groups.get((source, tag["id"])) if item == STRUCTURE else None
    lookup = lookups.bind(tag, group, name, prefixes, item)
    kind = array_kind(tag)
    row = {"name": name}
    if kind is None:
        row["format"] = item
        if target:
            row["subdirs"] = [{"group": target}]
        if conversions:
            # Declared value conversions keep the enumeration for display.
            row.update(conversions)
            if lookup and "displayConversion" not in conversions:
                with_lookup(row, lookup, item)
        elif lookup:
            with_lookup(row, lookup, item)
        else:
            row["format"], shown = plain_display(item)
            row.update(shown)
        display_of_compound(row, group, rid)
        return row
    # The items of an array carry its enumeration, unless the lookup reads
    # the whole array as one code.
    row["format"] = kind
    child = {"id": "", "name": name, "format": item}
    if target:
        child["subdirs"] = [{"group": target}]
    if item_conversions:
        child.update(item_conversions)
    elif lookup:
        with_lookup(row if lookups.whole_array(lookup) else child, lookup, item)
    elif not target:
        child["format"], shown = plain_display(item)
        child.update(shown)
    row.update(conversions)
    row["children"] = [child]
    if "displayConversion" not in row:
        display_of_compound(row, group, rid)
    return row


def load_lookups():
    """The display lookups of the other generator inputs: name -> key type and
    {code text: text}."""
    lookups = {}
    for path in sorted(LOOKUPS.glob("*.json")):
        if path == XMP_LOOKUPS:
            continue
        for lookup in json.loads(path.read_text(encoding="utf-8")).get("lookups", []):
            values = lookup.get("values")
            # Bit-mask codes are bit numbers, not values a property holds.
            if isinstance(values, list) and lookup.get("strategy", "whole") == "whole":
                lookups[lookup["name"]] = {"key": lookup.get("key"),
                                           "values": {str(code): text for code, text, *_ in values}}
    return lookups


def member_id(flat_id, parent, case, fixed):
    member = flat_id[len(parent):]
    if member in fixed:
        return fixed[member]
    if case == "lower":
        return member[0].lower() + member[1:]
    return member


def build(reference):
    decl = json.loads(DECLARATIONS.read_text(encoding="utf-8"))
    tables = json.loads((reference / "tag-tables.json").read_text(encoding="utf-8"))
    lookups = Lookups(load_lookups())

    struct_groups = {}
    for struct in decl["structures"]:
        for source, flat in struct["from"]:
            struct_groups[(source, flat)] = struct["group"]

    families = {key: [] for key in decl["families"]}
    top_level = {}  # group -> [(id, name, deprecated)], reference order
    for ns in decl["namespaces"]:
        source, group = ns["source"], ns["group"]
        rows = {}
        entries = []
        declared = decl.get("conversions", {}).get(group, {})
        for tag in tables[source]["tags"]:
            if "Flattened" in flags(tag):
                continue
            where = f"{source} {tag['id']}"
            if tag["id"] in rows:
                raise SystemExit(f"{where}: property listed twice")
            row = make_row(tag, tag["id"], tag["name"], struct_groups, source, where, lookups, group,
                           ns.get("lookupPrefixes", []), declared.get(tag["id"]))
            rows[tag["id"]] = row
            entries.append((tag["id"], tag["name"], "Avoid" in flags(tag)))
        top_level[group] = entries
        families[ns["family"]].append({"function": f"{group}Fields", "type": "XmpField", "rows": rows})

    for struct in decl["structures"]:
        rows = {}
        fixed = struct.get("memberIds", {})
        declared = decl.get("conversions", {}).get(struct["group"], {})
        for source, parent in struct["from"]:
            found = False
            for tag in tables[source]["tags"]:
                if tag.get("struct") != parent or "Flattened" not in flags(tag):
                    continue
                found = True
                mid = member_id(tag["id"], parent, struct["memberCase"], fixed)
                if mid in rows:
                    continue  # the same member of another parent of this structure
                name = mid[0].upper() + mid[1:]
                rows[mid] = make_row(tag, mid, name, struct_groups, source, f"{source} {tag['id']}", lookups,
                                     struct["group"], conversions=declared.get(mid))
            if not found:
                raise SystemExit(f"{struct['group']}: no members of {source} {parent}")
        families["xmp_structs"].append({"function": f"{struct['group']}Fields", "type": "XmpField",
                                        "rows": rows})

    outputs = {}
    for key, info in decl["families"].items():
        family = {
            "comment": info["comment"] + " Written by tools/gen/extract_xmp.py from "
                       "tools/gen/inputs/xmp/declarations.json and the tag reference; do not edit, "
                       "run the script again.",
            "output": info["output"],
            # Rows with a lookup bind its reverse as their inverse conversion;
            # the others name the conversions of the EXIF tags and the XMP
            # reader's own.
            "includes": ["varrow/fields/display_lookups.h", "varrow/fields/conversions/lookup_print.h",
                         "varrow/blocks/iptc/iptc_conversions.h", "varrow/blocks/xmp/xmp_conversions.h",
                         "varrow/values/conversions/conversions.h"],
            "tables": families[key],
        }
        outputs[FIELDS / f"{key}.json"] = render_family(family)

    lines = ["# Item-to-property rows: lower-case item name, XMP group, property id, deprecated.",
             "# Written by tools/gen/extract_xmp.py; do not edit, run the script again."]
    for group in decl["propertyMap"]["groups"]:
        for pid, name, deprecated in top_level[group]:
            lines.append("\t".join([name.lower(), group, pid, "1" if deprecated else "0"]))
    outputs[PROPERTY_MAP] = "\n".join(lines) + "\n"
    outputs[XMP_LOOKUPS] = render_lookups(sorted(lookups.new.values(), key=lambda l: l["name"]))
    return outputs


def render_family(family):
    """One table per block and one row per line keeps diffs readable."""
    out = ["{", f'  "comment": {json.dumps(family["comment"])},', f'  "output": {json.dumps(family["output"])},',
           f'  "includes": {json.dumps(family["includes"])},',
           '  "tables": [']
    for t, table in enumerate(family["tables"]):
        out.append(f'    {{"function": {json.dumps(table["function"])}, "type": "XmpField", "rows": {{')
        items = list(table["rows"].items())
        for r, (rid, row) in enumerate(items):
            comma = "," if r + 1 < len(items) else ""
            out.append(f"      {json.dumps(rid)}: {json.dumps(row)}{comma}")
        out.append("    }}" + ("," if t + 1 < len(family["tables"]) else ""))
    out += ["  ]", "}", ""]
    return "\n".join(out)


def render_lookups(lookups):
    out = ["{", '  "source": "enumerations of the XMP properties of the public tag reference that no other '
           'lookup describes; written by tools/gen/extract_xmp.py",', '  "kind": "Xmp",', '  "lookups": [']
    for i, lookup in enumerate(lookups):
        out.append(f'    {{"name": {json.dumps(lookup["name"])}, "key": {json.dumps(lookup["key"])}, "values": [')
        rows = [f"      {json.dumps(v)}" for v in lookup["values"]]
        out.append(",\n".join(rows))
        out.append("    ]}" + ("," if i + 1 < len(lookups) else ""))
    out += ["  ]", "}", ""]
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--reference", type=pathlib.Path, default=DEFAULT_REFERENCE)
    args = parser.parse_args()
    for path, text in build(args.reference).items():
        path.write_text(text, encoding="utf-8")
        print(f"wrote {path.relative_to(ROOT)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
