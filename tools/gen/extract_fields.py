#!/usr/bin/env python3
"""Copies the facts that the field tables need from the public tag reference
into tools/gen/inputs/fields/facts/, one TSV file per reference table.

    python3 tools/gen/extract_fields.py [--reference DIR] [SOURCE ...]

Which reference tables to copy is read from the table declarations of
tools/gen/inputs/fields/*.json (their "source" and "grid" keys), so adding a
table to the inputs and running this script again is all it takes (naming
sources limits the run to them). Only facts
are copied: ids, names, formats, counts, flags and whether the tag has an
enumeration. The generator (gen_fields.py) never reads the reference itself.
"""
import argparse
import json
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
INPUTS = HERE / "inputs" / "fields"
FACTS = INPUTS / "facts"
DEFAULT_REFERENCE = pathlib.Path("/work/shared/reference")

COLUMNS = ["id", "index", "name", "type", "count", "flags", "lookup", "target"]


def facts_path(source):
    return FACTS / (re.sub(r"[^A-Za-z0-9]+", "_", source).strip("_") + ".tsv")


def escape(text):
    return text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")


def load_reference_tables(path):
    return json.loads(path.read_text(encoding="utf-8"))


def parse_grid_id(text):
    """The id at the start of a grid line and the rest of the line, or None."""
    if text.startswith("'"):
        end = text.index("'", 1)
        return text[1:end], text[end + 1:]
    if text.startswith('"'):
        end = 1
        while text[end] != '"':
            end += 2 if text[end] == "\\" else 1
        raw = text[1:end].encode("latin-1").decode("unicode_escape")
        return raw, text[end + 1:]
    match = re.match(r"(-?0x[0-9a-fA-F]+|-?\d+(?:\.\d+)?)\s+(.*)", text)
    if not match:
        return None
    token = match.group(1)
    if "." in token:  # bit fields inside an element ("6.1")
        return token, match.group(2)
    value = int(token, 16) if "0x" in token.lower() else int(token)
    return str(value), match.group(2)


def load_grid(path, heading):
    """Rows (id, name, writable) of one tag grid, continuation rows carrying
    the id above them. A group column, where the grid has one, is dropped."""
    lines = path.read_text(encoding="utf-8").splitlines()
    try:
        start = lines.index("## " + heading)
    except ValueError:
        raise SystemExit(f"tag grid '{heading}' not found")
    has_group = " Group " in lines[start + 1]
    rows = []
    current = None
    for line in lines[start + 3:]:
        if line.startswith("## "):
            break
        if not line.strip() or line.strip().startswith("["):
            continue
        # A row starts with its id (numbers are right-aligned); a continuation
        # row, another definition of the id above, starts with a name.
        body = line.strip()
        parsed = parse_grid_id(body)
        if parsed is not None:
            current, rest = parsed
        elif current is None:
            continue
        else:
            rest = body
        parts = rest.split(None, 2 if has_group else 1)
        rows.append((current, parts[0], parts[-1].strip() if len(parts) > 1 else ""))
    return rows


def names_table(writable):
    """Whether a Writable column names the table the tag's value leads to
    ("IPTC", "Kodak IFD") rather than a format ("int16u[2]!", "no")."""
    return not re.fullmatch(r"[a-z][A-Za-z0-9_]*(\[[^\]]*\])?[^A-Za-z0-9\s]*", writable)


def grid_count(writable):
    match = re.search(r"\[([^\]]*)\]", writable)
    return match.group(1) if match else ""


def extract(tables, grid_path, source, grid_heading):
    table = tables.get(source)
    if table is None:
        if not grid_heading:
            raise SystemExit(f"reference table '{source}' not found")
        # Tables that hold only pointers are absent from the listing; their
        # grid alone gives the rows.
        table = {"tags": []}
    grid = load_grid(grid_path, grid_heading) if grid_heading else []
    by_id_name = {}
    for gid, name, rest in grid:
        by_id_name.setdefault((gid, name), rest)

    rows = []
    listed = set()
    for tag in table["tags"]:
        tid = tag["id"]
        listed.add(tid)
        writable = by_id_name.get((tid, tag["name"]))
        count = grid_count(writable) if writable is not None else ""
        if not count and tag.get("count") is not None:
            count = str(tag["count"])
        lookup = "array" if tag.get("values_by_index") else ("values" if tag.get("values") else "")
        index = "" if tag.get("index") is None else str(tag["index"])
        target = writable if writable is not None and names_table(writable) else ""
        rows.append([tid, index, tag["name"], tag["type"], count, ",".join(tag.get("flags", [])), lookup, target])

    # Pointer rows: the grid names a table in the Writable column of ids that
    # the listing leaves out.
    seen = set()
    for gid, name, rest in grid:
        if gid in listed or gid in seen:
            continue
        seen.add(gid)
        rows.append([gid, "", name, "pointer", "", "", "", rest])
    return rows


def write_facts(source, reference, rows):
    out = [f"# Facts of the reference table {source}, extracted by tools/gen/extract_fields.py"
           f" from {reference.name}/. Do not edit; run the script again.",
           "\t".join(COLUMNS)]
    out += ["\t".join(escape(v) for v in row) for row in rows]
    path = facts_path(source)
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text("\n".join(out) + "\n", encoding="utf-8")
    return path


def declared_sources():
    sources = {}
    for path in sorted(INPUTS.glob("*.json")):
        entry = json.loads(path.read_text(encoding="utf-8"))
        for table in entry.get("tables", []):
            if "source" in table:
                sources[table["source"]] = table.get("grid", "")
    return sources


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--reference", type=pathlib.Path, default=DEFAULT_REFERENCE)
    parser.add_argument("sources", nargs="*", help="only these reference tables (default: every declared one)")
    args = parser.parse_args()
    tables = load_reference_tables(args.reference / "tag-tables.json")
    declared = declared_sources()
    unknown = [s for s in args.sources if s not in declared]
    if unknown:
        raise SystemExit(f"not declared in any table input: {', '.join(unknown)}")
    for source, grid in sorted(declared.items()):
        if args.sources and source not in args.sources:
            continue
        rows = extract(tables, args.reference / "tag-grids.txt", source, grid)
        path = write_facts(source, args.reference, rows)
        print(f"wrote {path.relative_to(HERE.parents[1])} ({len(rows)} rows)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
