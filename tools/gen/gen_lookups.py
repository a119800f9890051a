"""Display lookup builders from inputs/lookups/*.json.

Each input file holds the lookups of one family:

    {"source": "...", "kind": "Exif" | "Iptc" | "Xmp",
     "lookups": [
       {"name": "ExifOrientation", "key": "int", "values": [[1, "Horizontal (normal)"], ...]},
       {"name": "GpsGPSLatitudeRef", "key": "text", "values": [["N", "North"], ...]},
       {"name": "ExifCodingMethods", "key": "int", "strategy": "bitmask", "values": [[0, "..."], ...]},
       {"name": "ExifYCbCrSubSampling", "key": "ints", "values": [["1 1", "..."], ...]},
       {"name": "ExifSampleFormat", "key": "int", "elements": [{"values": [...]}, ...]},
       ...]}

Keys: "int" (long long), "uint" (unsigned long long), "text" (std::string),
"ints" (std::vector<long long>, codes written as space-separated integers).
A bit-mask lookup's codes are bit numbers 0 to 63. "default" is optional:
"empty", "identity", "unknown", "none" or {"text": "..."}; without it the
lookup is built with the implicit default.

Output: one src/varrow/fields/defs/lookups_<file>[_<n>].cpp per input file
(split when large), each defining one builder detail::BuildLookup_<Kind><N>
(numbered per kind: all Exif-kind files first, then Iptc, then Xmp, each
kind's files by name), and src/varrow/fields/defs/lookups_index.cpp with
detail::BuildLookups(), which runs them in that order.
"""
import json
import re

INPUT_DIR = "tools/gen/inputs/lookups"
OUTPUT_DIR = "src/varrow/fields/defs"
KINDS = ["Exif", "Iptc", "Xmp"]
KEYS = {"int": "long long", "uint": "unsigned long long", "text": "std::string", "ints": "std::vector<long long>"}
DEFAULTS = {"empty": "Empty", "identity": "Identity", "unknown": "Unknown", "none": "None"}
# Rows per generated translation unit, so that no file takes long to compile.
MAX_ROWS_PER_FILE = 6000
NAME = re.compile(r"[A-Za-z][A-Za-z0-9_]*")
INTS = re.compile(r"-?\d+(?: -?\d+)*")
S64 = (-(1 << 63), (1 << 63) - 1)
U64 = (0, (1 << 64) - 1)


class InputError(ValueError):
    pass


def c_string(text):
    """A C++ string literal holding the UTF-8 bytes of `text`."""
    out = ['"']
    for byte in text.encode("utf-8"):
        if byte in b'"\\':
            out.append("\\" + chr(byte))
        elif 0x20 <= byte < 0x7F:
            out.append(chr(byte))
        else:
            # Octal escapes take at most three digits, so a following digit
            # can never join them.
            out.append("\\%03o" % byte)
    out.append('"')
    return "".join(out)


def int_literal(value, key):
    if key == "uint":
        return f"{value}ULL"
    if value == S64[0]:
        return "(-9223372036854775807LL - 1)"
    return f"{value}LL" if not -(1 << 31) <= value < (1 << 31) else str(value)


def sort_key(key, code):
    if key == "text":
        return code.encode("utf-8")
    if key == "ints":
        return [int(x) for x in code.split()]
    return code


def check_rows(where, key, values, bitmask):
    if not isinstance(values, list):
        raise InputError(f"{where}: values must be a list")
    for row in values:
        if not (isinstance(row, list) and len(row) == 2 and isinstance(row[1], str)):
            raise InputError(f"{where}: bad row {row!r}")
        code = row[0]
        if key in ("int", "uint"):
            low, high = (0, 63) if bitmask else (S64 if key == "int" else U64)
            if not isinstance(code, int) or isinstance(code, bool) or not low <= code <= high:
                raise InputError(f"{where}: code {code!r} out of range")
        elif key == "ints":
            if not isinstance(code, str) or not INTS.fullmatch(code):
                raise InputError(f"{where}: code {code!r} is not a list of integers")
            if any(not S64[0] <= int(x) <= S64[1] for x in code.split()):
                raise InputError(f"{where}: code {code!r} out of range")
        elif not isinstance(code, str):
            raise InputError(f"{where}: code {code!r} is not a string")
    # Stable: rows of one code keep their order (the first is the one shown).
    return sorted(values, key=lambda row: sort_key(key, row[0]))


def load(root):
    files = []
    names = {}
    for path in sorted((root / INPUT_DIR).glob("*.json")):
        document = json.loads(path.read_text(encoding="utf-8"))
        kind = document.get("kind")
        if kind not in KINDS:
            raise InputError(f"{path.name}: kind must be one of {KINDS}")
        lookups = []
        for lookup in document.get("lookups", []):
            name = lookup.get("name", "")
            where = f"{path.name}: {name or '?'}"
            if not NAME.fullmatch(name):
                raise InputError(f"{where}: bad lookup name")
            if name in names:
                raise InputError(f"{where}: also defined in {names[name]}")
            names[name] = path.name
            key = lookup.get("key")
            if key not in KEYS:
                raise InputError(f"{where}: key must be one of {sorted(KEYS)}")
            strategy = lookup.get("strategy", "whole")
            if strategy not in ("whole", "bitmask") or (strategy == "bitmask" and key not in ("int", "uint")):
                raise InputError(f"{where}: bad strategy")
            default = lookup.get("default")
            if default is not None and default not in DEFAULTS and not (
                    isinstance(default, dict) and isinstance(default.get("text"), str)):
                raise InputError(f"{where}: bad default {default!r}")
            item = {"name": name, "key": key, "bitmask": strategy == "bitmask", "default": default}
            if "elements" in lookup:
                if key != "int" or default is not None or strategy != "whole":
                    raise InputError(f"{where}: an array lookup takes int codes and nothing else")
                item["elements"] = []
                for i, element in enumerate(lookup["elements"]):
                    bitmask = element.get("strategy", "whole") == "bitmask"
                    rows = check_rows(f"{where}[{i}]", "int", element.get("values", []), bitmask)
                    item["elements"].append({"bitmask": bitmask, "values": rows})
                if not any(e["values"] for e in item["elements"]):
                    raise InputError(f"{where}: no rows")
            else:
                item["values"] = check_rows(where, key, lookup.get("values"), item["bitmask"])
                if not item["values"]:
                    raise InputError(f"{where}: no rows")
            lookups.append(item)
        files.append({"stem": path.stem, "file": path.name, "kind": kind, "lookups": lookups})
    files.sort(key=lambda f: (KINDS.index(f["kind"]), f["stem"]))
    return files


def row_count(lookup):
    if "elements" in lookup:
        return sum(len(e["values"]) for e in lookup["elements"])
    return len(lookup["values"])


def chunks(lookups):
    chunk, rows = [], 0
    for lookup in lookups:
        n = row_count(lookup)
        if chunk and rows + n > MAX_ROWS_PER_FILE:
            yield chunk
            chunk, rows = [], 0
        chunk.append(lookup)
        rows += n
    if chunk:
        yield chunk


class Unit:
    """One generated translation unit: row tables (shared when equal) and
    lookup descriptors."""

    def __init__(self):
        self.tables = {}  # (key, rows as tuple) -> table name
        self.table_text = []
        self.entries = {key: [] for key in KEYS}
        self.arrays = []
        self.element_text = []

    def table(self, key, values):
        ident = (key, tuple((code, text) for code, text in values))
        if ident not in self.tables:
            name = f"kRows{len(self.tables)}"
            self.tables[ident] = name
            lines = [f"constexpr LookupRow<{KEYS[key]}> {name}[] = {{\n"]
            for code, text in values:
                literal = c_string(code) if key in ("text", "ints") else int_literal(code, key)
                lines.append(f"    {{{literal}, {c_string(text)}}},\n")
            lines.append("};\n")
            self.table_text.append("".join(lines))
        return self.tables[ident]

    def add(self, lookup):
        if "elements" in lookup:
            elements = f"kElements{len(self.arrays)}"
            lines = [f"constexpr ArrayElementDef {elements}[] = {{\n"]
            for element in lookup["elements"]:
                strategy = "BitMask" if element["bitmask"] else "Whole"
                rows = self.table("int", element["values"]) if element["values"] else "{}"
                lines.append(f"    {{{rows}, EnumValuesStrategy::{strategy}}},\n")
            lines.append("};\n")
            self.element_text.append("".join(lines))
            self.arrays.append(f'    {{"{lookup["name"]}", {elements}}},\n')
            return
        rows = self.table(lookup["key"], lookup["values"])
        fields = [f'"{lookup["name"]}"', rows]
        default = lookup["default"]
        if lookup["bitmask"] or default is not None:
            fields.append("EnumValuesStrategy::BitMask" if lookup["bitmask"] else "EnumValuesStrategy::Whole")
        if isinstance(default, dict):
            fields += ["LookupDefault::Text", c_string(default["text"])]
        elif default is not None:
            fields.append(f"LookupDefault::{DEFAULTS[default]}")
        self.entries[lookup["key"]].append(f"    {{{', '.join(fields)}}},\n")

    def text(self, header, builder):
        out = [header, '#include "varrow/fields/lookups/lookup_builder.h"\n\n',
               "namespace meta::detail {\nnamespace {\n\n"]
        out += [t + "\n" for t in self.table_text]
        out += [t + "\n" for t in self.element_text]
        calls = []
        for i, key in enumerate(KEYS):
            if not self.entries[key]:
                continue
            name = f"kLookups{i}"
            out.append(f"constexpr LookupDef<{KEYS[key]}> {name}[] = {{\n")
            out += self.entries[key]
            out.append("};\n\n")
            calls.append(f"    InsertLookups<{KEYS[key]}>(lookups, {name});\n")
        if self.arrays:
            out.append("constexpr ArrayLookupDef kArrayLookups[] = {\n")
            out += self.arrays
            out.append("};\n\n")
            calls.append("    InsertLookups(lookups, std::span<const ArrayLookupDef>(kArrayLookups));\n")
        out.append("}  // namespace\n\n")
        out.append(f"void {builder}(DisplayLookupMap& lookups) {{\n")
        out += calls
        out.append("}\n\n}  // namespace meta::detail\n")
        return "".join(out)


def header_note(sources):
    return (f"// Generated by tools/gen/generate.py (gen_lookups.py) from {', '.join(sources)}. "
            "Do not edit.\n")


def generate(root):
    files = load(root)
    outputs = {}
    builders = []
    numbers = {kind: 0 for kind in KINDS}
    count = 0
    for f in files:
        parts = list(chunks(f["lookups"]))
        for i, part in enumerate(parts):
            builder = f"BuildLookup_{f['kind']}{numbers[f['kind']]}"
            numbers[f["kind"]] += 1
            builders.append(builder)
            unit = Unit()
            for lookup in part:
                unit.add(lookup)
            count += len(part)
            suffix = f"_{i + 1}" if len(parts) > 1 else ""
            path = f"{OUTPUT_DIR}/lookups_{f['stem']}{suffix}.cpp"
            outputs[path] = unit.text(header_note([f"{INPUT_DIR}/{f['file']}"]), builder)

    index = [header_note([f"{INPUT_DIR}/*.json"]), '#include "varrow/fields/display_lookups.h"\n\n',
             "namespace meta::detail {\n\n"]
    index += [f"void {b}(DisplayLookupMap& lookups);\n" for b in builders]
    index.append(f"\n// {count} lookups.\nDisplayLookupMap BuildLookups() {{\n    DisplayLookupMap lookups;\n")
    index += [f"    {b}(lookups);\n" for b in builders]
    index.append("    return lookups;\n}\n\n}  // namespace meta::detail\n")
    outputs[f"{OUTPUT_DIR}/lookups_index.cpp"] = "".join(index)
    return outputs
