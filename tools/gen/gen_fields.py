"""Field tables (the table functions of meta::field_defs) and the field
database registrations, from tools/gen/inputs/fields/.

Inputs (see tools/gen/inputs/fields/README.md for the row format):
  types.json       definition types that have a database, in build order
  processors.json  processor classes that sub-directories may name
  <family>.json    table declarations, row overrides and added rows
  facts/*.tsv      facts copied from the tag reference by extract_fields.py
  testing/*.json   tables generated for the tests only (not registered)

Outputs:
  src/varrow/fields/defs/<family>_fields.cpp (+ _2, _3 ... for big tables)
  src/varrow/fields/defs/field_defs.h               the table functions
  src/varrow/fields/defs/field_registrations.cpp    one database per type
  the testing tables at the path their input names
"""
import json
import pathlib
import re

INPUTS = pathlib.PurePosixPath("tools/gen/inputs/fields")
DEFS = pathlib.PurePosixPath("src/varrow/fields/defs")
ROWS_PER_FILE = 300
LINE_LIMIT = 110

EXIF_TYPES = {
    "Unknown": 0, "Byte": 1, "Ascii": 2, "Short": 3, "Long": 4, "Rational": 5, "SByte": 6, "Undefined": 7,
    "SShort": 8, "SLong": 9, "SRational": 10, "Float": 11, "Double": 12, "Ifd": 13, "SShortFixed": 14,
    "SLongFixed": 15, "ShortFixed": 16, "LongFixed": 17, "RShort": 18, "Char": 19, "Utf16": 20,
    "RelOffset": 21, "AbsOffset": 22, "Rational16": 23, "SRational16": 24,
}
IPTC_TYPES = {"Unknown": 0, "Byte": 1, "Short": 2, "Long": 3, "Digits": 4, "String": 5, "Undefined": 6}
FORMAT_NAMES = {"ExifType": EXIF_TYPES, "IptcType": IPTC_TYPES}

# Reference format names to the library's format codes.
REFERENCE_EXIF_FORMATS = {
    "int8u": "Byte", "string": "Ascii", "int16u": "Short", "int32u": "Long", "rational64u": "Rational",
    "int8s": "SByte", "undef": "Undefined", "int16s": "SShort", "int32s": "SLong", "rational64s": "SRational",
    "float": "Float", "double": "Double", "ifd": "Ifd", "fixed16s": "SShortFixed", "fixed32s": "SLongFixed",
    "fixed16u": "ShortFixed", "fixed32u": "LongFixed", "int16uRev": "RShort", "rational32u": "Rational16",
    "rational32s": "SRational16", "Unicode": "Utf16",
}
REFERENCE_IPTC_FORMATS = {"int8u": "Byte", "int16u": "Short", "int32u": "Long", "digits": "Digits",
                          "string": "String", "undef": "Undefined"}
# Formats whose value is a number per element: a row without a stated count
# expects one of them.
SCALAR_FORMATS = {"int8u", "int8s", "int16u", "int16s", "int32u", "int32s", "int16uRev", "rational64u",
                  "rational64s", "rational32u", "rational32s", "float", "double", "fixed16s", "fixed16u",
                  "fixed32s", "fixed32u"}

ID_KINDS = {
    "uint8": (0, 0xFF), "uint16": (0, 0xFFFF), "uint32": (0, 0xFFFFFFFF),
    "int": (-0x80000000, 0x7FFFFFFF), "string": None,
    # Canon DR4 records: a 32-bit tag, optionally ".<element>" for one element
    # of the record's array value ("0x20310.0"); held as (tag, element or None).
    "dr4": None,
}
DR4_ID = re.compile(r"(0x[0-9a-fA-F]+|\d+)(?:\.(\d+))?")
DR4_ELEMENT_MAX = 0x7FFFFFFF

FUNCTION_MEMBERS = ["condition", "countFunction", "valueHook", "rawConversion", "valueConversion",
                    "displayConversion", "inverseRawConversion", "inverseValueConversion",
                    "inverseDisplayConversion"]
INPUT_MEMBERS = ["requiredInputs", "desiredInputs", "inhibitingInputs"]
ROW_KEYS = {"id", "name", "title", "description", "count", "format", "visibility", "delayed", "priority",
            "lookup", "packing", "minLength", "maxLength", "subdirs", "children", "variants", "fromIndex",
            "comment"} | set(FUNCTION_MEMBERS) | set(INPUT_MEMBERS)
TABLE_KEYS = {"function", "type", "groups", "source", "grid", "lookupPrefix", "select", "omit", "formats",
              "rows", "sameAs", "comment"}
SUBDIR_KEYS = {"group", "processor", "byteOrder", "offset"}


class InputError(Exception):
    pass


# ---------------------------------------------------------------- inputs

def read_json(root, relative):
    path = root / relative
    try:
        return json.loads(path.read_text(encoding="utf-8"))
    except json.JSONDecodeError as e:
        raise InputError(f"{relative}: {e}") from e


def read_groups(root):
    names = {"Unknown"}
    namespaces = set()
    for line in (root / "tools/gen/inputs/field_groups.txt").read_text(encoding="utf-8").splitlines():
        if not line.strip() or line.startswith("#"):
            continue
        head, _, rest = line.partition(":")
        pairs = re.findall(r"-?\d+ (\w+)", rest)
        (namespaces if head == "namespaces" else names).update(pairs)
    return names, namespaces


def facts_path(source):
    return INPUTS / "facts" / (re.sub(r"[^A-Za-z0-9]+", "_", source).strip("_") + ".tsv")


def unescape(text):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            out.append({"t": "\t", "n": "\n", "\\": "\\"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_facts(root, source):
    relative = facts_path(source)
    path = root / relative
    if not path.exists():
        raise InputError(f"{relative} is missing: run tools/gen/extract_fields.py")
    lines = [l for l in path.read_text(encoding="utf-8").split("\n") if l and not l.startswith("#")]
    columns = lines[0].split("\t")
    return [dict(zip(columns, (unescape(v) for v in line.split("\t")))) for line in lines[1:]]


# ---------------------------------------------------------------- ids

def parse_dr4_id(value, where):
    if isinstance(value, int) and not isinstance(value, bool):
        tag, element = value, None
    else:
        match = DR4_ID.fullmatch(value) if isinstance(value, str) else None
        if match is None:
            raise InputError(f"{where}: bad DR4 id {value!r}")
        tag = int(match.group(1), 0)
        element = None if match.group(2) is None else int(match.group(2))
    if not 0 <= tag <= 0xFFFFFFFF or (element is not None and element > DR4_ELEMENT_MAX):
        raise InputError(f"{where}: DR4 id {value} out of range")
    return (tag, element)


def parse_id(value, kind, where):
    if kind == "dr4":
        return parse_dr4_id(value, where)
    if kind == "string":
        if not isinstance(value, str):
            raise InputError(f"{where}: string id expected, got {value!r}")
        return value
    if isinstance(value, str):
        try:
            number = int(value, 0)
        except ValueError:
            raise InputError(f"{where}: bad id {value!r}") from None
    elif isinstance(value, int):
        number = value
    else:
        raise InputError(f"{where}: bad id {value!r}")
    low, high = ID_KINDS[kind]
    if not low <= number <= high:
        raise InputError(f"{where}: id {value} out of range for {kind}")
    return number


def id_sort_key(value, kind):
    if kind == "string":
        return value.encode("utf-8")
    if kind == "int":  # NegAwareOrdering: as unsigned 32-bit numbers
        return value & 0xFFFFFFFF
    if kind == "dr4":  # a whole record before its elements
        return (value[0], -1 if value[1] is None else value[1])
    return value


def id_text(value, kind):
    if kind == "string":
        return value
    if kind == "dr4":
        return f"0x{value[0]:04x}" + ("" if value[1] is None else f".{value[1]}")
    return f"0x{value:04x}" if kind == "uint16" else str(value)


def id_literal(value, kind):
    if kind == "string":
        return "{" + c_string(value) + f", {len(value.encode('utf-8'))}" + "}"
    if kind == "uint16":
        return f"0x{value:04x}"
    if kind == "uint32":
        return f"{value}u"
    if kind == "dr4":
        tag, element = value
        if element is None:
            return f"CanonVrdDr4TagId(0x{tag:x}u)"
        return f"CanonVrdDr4TagId(0x{tag:x}u, {element})"
    return str(value)


# ---------------------------------------------------------------- C++ text

def c_string(text):
    out = ['"']
    for byte in text.encode("utf-8"):
        c = chr(byte)
        if c == '"' or c == "\\":
            out.append("\\" + c)
        elif 0x20 <= byte < 0x7F and c != "?":
            out.append(c)
        else:
            out.append(f"\\{byte:03o}")
    out.append('"')
    return "".join(out)


def c_string_or_null(text):
    return "nullptr" if text is None else c_string(text)


def wrap_literal(prefix, text, suffix, indent):
    """prefix + "text" + suffix, broken into adjacent literals when too long."""
    literal = c_string(text)
    if len(prefix) + len(literal) + len(suffix) <= LINE_LIMIT:
        return [prefix + literal + suffix]
    lines = [prefix.rstrip()] if prefix.strip() else []
    width = LINE_LIMIT - len(indent) - 2
    chunk = ""
    for word in re.split(r"(?<= )", text):
        if chunk and len(c_string(chunk + word)) > width:
            lines.append(indent + c_string(chunk))
            chunk = ""
        chunk += word
    lines.append(indent + c_string(chunk) + suffix)
    return lines


# ---------------------------------------------------------------- rows

def parse_count(text):
    """An element count from the facts: an int, 'variable', or None."""
    if not text:
        return None
    if re.fullmatch(r"\d+", text):
        return int(text)
    return "variable"


def base_row_from_facts(fact, table, type_info):
    ref_format = fact["type"]
    count = parse_count(fact["count"])
    row = {"name": fact["name"], "title": None, "description": None, "visibility": 0, "delayed": False,
           "priority": 1, "lookup": None, "extras": [0, 0], "subdirs": [], "children": [], "variants": [],
           "members": {}, "inputs": {}, "fixedCount": 0, "format": 0}
    fmt_enum = type_info["format"]
    formats = table.get("formats", type_info["formats"])
    if fmt_enum == "IptcType":
        row["format"] = IPTC_TYPES[REFERENCE_IPTC_FORMATS.get(ref_format, "Undefined")]
        bounds = [int(v) for v in fact["count"].split(",")] if re.fullmatch(r"\d+(,\d+)?", fact["count"]) else []
        row["extras"] = (bounds + [0, 0])[:2]
    else:
        if formats == "facts" and fmt_enum == "ExifType":
            row["format"] = EXIF_TYPES.get(REFERENCE_EXIF_FORMATS.get(ref_format, "Unknown"), 0)
        if isinstance(count, int):
            row["fixedCount"] = count
        elif count is None and ref_format in SCALAR_FORMATS and not fact.get("target"):
            row["fixedCount"] = 1
    if "Unknown" in fact["flags"].split(","):
        row["visibility"] = 1
    prefix = table.get("lookupPrefix")
    if prefix and fact["lookup"]:
        row["lookup"] = prefix + fact["name"]
    return row


def empty_row(name):
    return {"name": name, "title": None, "description": None, "visibility": 0, "delayed": False, "priority": 1,
            "lookup": None, "extras": [0, 0], "subdirs": [], "children": [], "variants": [], "members": {},
            "inputs": {}, "fixedCount": 0, "format": 0}


def format_value(value, type_info, where):
    if isinstance(value, int):
        return value
    names = FORMAT_NAMES.get(type_info["format"])
    if names is None or value not in names:
        raise InputError(f"{where}: unknown format {value!r} for {type_info['name']}")
    return names[value]


def apply_overrides(row, entry, ctx, where):
    unknown = set(entry) - ROW_KEYS
    if unknown:
        raise InputError(f"{where}: unknown keys {sorted(unknown)}")
    type_info = ctx["type"]
    for key in ("name", "title", "description"):
        if key in entry:
            row[key] = entry[key]
    if "count" in entry:
        row["fixedCount"] = int(entry["count"])
    if "format" in entry:
        row["format"] = format_value(entry["format"], type_info, where)
    for key in ("visibility", "priority"):
        if key in entry:
            row[key] = int(entry[key])
    if "delayed" in entry:
        row["delayed"] = bool(entry["delayed"])
    if "lookup" in entry:
        lookup = entry["lookup"]
        if lookup is True:
            prefix = ctx["table"].get("lookupPrefix")
            if not prefix:
                raise InputError(f"{where}: 'lookup': true needs the table's lookupPrefix")
            row["lookup"] = prefix + row["name"]
        else:
            row["lookup"] = lookup or None
    if "packing" in entry:
        if type_info["name"] != "ExifTag":
            raise InputError(f"{where}: packing is an ExifTag member")
        row["extras"][0] = int(entry["packing"])
    for i, key in enumerate(("minLength", "maxLength")):
        if key in entry:
            if type_info["name"] != "IptcTag":
                raise InputError(f"{where}: {key} is an IptcTag member")
            row["extras"][i] = int(entry[key])
    if "subdirs" in entry:
        row["subdirs"] = [parse_subdir(s, ctx, where) for s in entry["subdirs"]]
    for key in FUNCTION_MEMBERS:
        if key in entry:
            if not isinstance(entry[key], str) or not entry[key].strip():
                raise InputError(f"{where}: {key} must be a C++ expression")
            row["members"][key] = entry[key]
    for key in INPUT_MEMBERS:
        if key in entry:
            if type_info["name"] != "CompositeField":
                raise InputError(f"{where}: {key} is a CompositeField member")
            inputs = []
            for item in entry[key]:
                if len(item) != 2 or item[0] not in ctx["namespaces"]:
                    raise InputError(f"{where}: {key} entries are [namespace, name], got {item!r}")
                inputs.append(tuple(item))
            row["inputs"][key] = inputs
    if "children" in entry:
        children = []
        for child in entry["children"]:
            if "id" not in child or "name" not in child:
                raise InputError(f"{where}: children need an id and a name")
            cid = parse_id(child["id"], type_info["id"], where)
            children.append((cid, make_row(empty_row(child["name"]), child, ctx, f"{where} child {child['id']}")))
        children.sort(key=lambda c: id_sort_key(c[0], type_info["id"]))
        ids = [c[0] for c in children]
        if len(set(ids)) != len(ids):
            raise InputError(f"{where}: duplicate child ids")
        row["children"] = children
    if "variants" in entry:
        variants = []
        for n, variant in enumerate(entry["variants"]):
            vwhere = f"{where} variant {n}"
            if "fromIndex" in variant:
                fact = ctx["facts_by_index"].get((ctx["current_id"], str(variant["fromIndex"])))
                if fact is None:
                    raise InputError(f"{vwhere}: no reference entry with index {variant['fromIndex']}")
                base = base_row_from_facts(fact, ctx["table"], type_info)
            else:
                base = empty_row(variant.get("name", row["name"]))
            variants.append(make_row(base, variant, ctx, vwhere))
        row["variants"] = variants
    return row


def make_row(base, entry, ctx, where):
    entry = {k: v for k, v in entry.items() if k not in ("id", "fromIndex", "comment")}
    return apply_overrides(base, entry, ctx, where)


def parse_subdir(entry, ctx, where):
    unknown = set(entry) - SUBDIR_KEYS
    if unknown:
        raise InputError(f"{where}: unknown sub-directory keys {sorted(unknown)}")
    group = entry.get("group", "Unknown")
    if group not in ctx["groups"]:
        raise InputError(f"{where}: unknown group {group!r}")
    processor = entry.get("processor")
    if processor is not None and processor not in ctx["processors"]:
        raise InputError(f"{where}: processor {processor!r} is not listed in processors.json")
    order = entry.get("byteOrder")
    if order not in (None, "LittleEndian", "BigEndian"):
        raise InputError(f"{where}: byteOrder is LittleEndian or BigEndian")
    return {"group": group, "processor": processor, "byteOrder": order, "offset": int(entry.get("offset", 0))}


def build_table(table, ctx):
    where = f"{ctx['file']} {table['function']}"
    unknown = set(table) - TABLE_KEYS
    if unknown:
        raise InputError(f"{where}: unknown keys {sorted(unknown)}")
    type_info = ctx["type"]
    kind = type_info["id"]
    rows = {}
    ctx["facts_by_index"] = {}
    if "source" in table:
        facts = read_facts(ctx["root"], table["source"])
        keep = None
        if "select" in table:
            keep = {parse_id(v, kind, where) for v in table["select"]}
        omit = {parse_id(v, kind, where) for v in table.get("omit", [])}
        for fact in facts:
            if kind == "dr4":
                # Elements are ids of their own; the header ('header') is no
                # record: the DR4 reader reads it as a group of its own.
                if not DR4_ID.fullmatch(fact["id"]):
                    continue
                fid = parse_id(fact["id"], kind, where)
            elif kind != "string" and not re.fullmatch(r"-?\d+", fact["id"]):
                continue  # bit fields inside an element: rows give them as children
            else:
                fid = parse_id(fact["id"] if kind == "string" else int(fact["id"]), kind, where)
            ctx["facts_by_index"][(fid, fact["index"])] = fact
            # The first entry of an id is its definition; later ones are
            # variants that a row takes up with "fromIndex".
            if fid in rows or fid in omit or (keep is not None and fid not in keep):
                continue
            rows[fid] = base_row_from_facts(fact, table, type_info)
        if keep is not None and keep - set(rows):
            raise InputError(f"{where}: selected ids not in the facts: {sorted(keep - set(rows))}")
    overridden = set()
    for key, entry in table.get("rows", {}).items():
        rid = parse_id(key, kind, where)
        ctx["current_id"] = rid
        rwhere = f"{where} row {key}"
        if rid in overridden:
            raise InputError(f"{rwhere}: the id is given twice")
        overridden.add(rid)
        unknown = set(entry) - ROW_KEYS
        if unknown:
            raise InputError(f"{rwhere}: unknown keys {sorted(unknown)}")
        if rid in rows:
            rows[rid] = make_row(rows[rid], entry, ctx, rwhere)
        else:
            if "name" not in entry:
                raise InputError(f"{rwhere}: a row not in the facts needs a name")
            rows[rid] = make_row(empty_row(entry["name"]), entry, ctx, rwhere)
    for rid, row in rows.items():
        if not row["name"]:
            raise InputError(f"{where}: row {rid} has no name")
    ordered = sorted(rows.items(), key=lambda item: id_sort_key(item[0], kind))
    return ordered


# ---------------------------------------------------------------- emitting

class Emitter:
    """One generated file: customise functions, row arrays, table functions."""

    def __init__(self, processors):
        self.processors = processors
        self.declarations = []
        self.arrays = []
        self.functions = []
        self.used_processors = set()
        self.counter = 0

    def row_literal(self, rid, row, kind, customise):
        extras = "{}" if row["extras"] == [0, 0] else "{%d, %d}" % tuple(row["extras"])
        head = [id_literal(rid, kind), c_string(row["name"]), c_string_or_null(row["title"])]
        tail = [str(row["fixedCount"]), str(row["format"]), str(row["visibility"]), str(row["priority"]),
                "true" if row["delayed"] else "false", c_string_or_null(row["lookup"]), extras,
                customise or "nullptr"]
        description = c_string_or_null(row["description"])
        line = "    {" + ", ".join(head + [description] + tail) + "},"
        if len(line) <= LINE_LIMIT:
            return [line]
        # Too long for one line: the description and the numbers get lines of their own.
        if row["description"] is None:
            lines = ["    {" + ", ".join(head) + ", nullptr,"]
        else:
            lines = ["    {" + ", ".join(head) + ","]
            lines += wrap_literal("     ", row["description"], ",", "     ")
        lines.append("     " + ", ".join(tail) + "},")
        return lines

    def needs_customise(self, row):
        return bool(row["subdirs"] or row["children"] or row["variants"] or row["members"] or row["inputs"])

    def rows_array(self, name, t, kind, items, where):
        lines = [f"constexpr detail::FieldRow<{t}> {name}[] = {{"]
        for rid, row in items:
            customise = self.customise(t, kind, rid, row, where) if self.needs_customise(row) else None
            lines += self.row_literal(rid, row, kind, customise)
        lines.append("};")
        self.arrays.append("\n".join(lines))

    def customise(self, t, kind, rid, row, where):
        self.counter += 1
        name = f"Customise{self.counter}"
        label = f"{where} {id_text(rid, kind)} {row['name']}"
        self.declarations.append(f"void {name}({t}& f);  // {label}")
        body = []
        for sub in row["subdirs"]:
            line = f"    f.subDirectories.push_back({self.subdir_literal(sub)});"
            if len(line) > LINE_LIMIT:
                line = f"    f.subDirectories.push_back(\n        {self.subdir_literal(sub)});"
            body.append(line)
        for member, expr in row["members"].items():
            body.append(f"    f.{member} = {expr};")
        for member, inputs in row["inputs"].items():
            items = ", ".join("{FieldNamespace::%s, %s}" % (ns, c_string(n)) for ns, n in inputs)
            body.append(f"    f.{member} = {{{items}}};")
        if row["children"]:
            array = f"kChildren{self.counter}"
            self.rows_array(array, t, kind, row["children"], f"{where} {id_text(rid, kind)} child")
            body.append(f"    detail::AddRows(f.children, {array});")
        if row["variants"]:
            array = f"kVariants{self.counter}"
            self.rows_array(array, t, kind, [(rid, v) for v in row["variants"]],
                            f"{where} {id_text(rid, kind)} variant")
            body.append(f"    detail::AddVariants(f.variants, {array});")
        self.functions.append(f"void {name}({t}& f) {{\n" + "\n".join(body) + "\n}")
        return name

    def subdir_literal(self, sub):
        group = f"FieldGroup::{sub['group']}"
        processor = "nullptr"
        if sub["processor"] is not None:
            header = self.processors[sub["processor"]]
            if header is None:
                processor = f"nullptr /* {sub['processor']} pending */"
            else:
                processor = f"&typeid({sub['processor']})"
                self.used_processors.add(sub["processor"])
        if sub["byteOrder"] is None and sub["offset"] == 0:
            if sub["processor"] is None:
                return f"SubDirectorySpecifier({group})"
            return f"SubDirectorySpecifier({group}, {processor})"
        order = "std::nullopt" if sub["byteOrder"] is None else f"ByteOrder::{sub['byteOrder']}"
        return f"SubDirectorySpecifier({group}, {processor}, {order}, {sub['offset']})"


def processor_includes(emitter):
    headers = {emitter.processors[p] for p in emitter.used_processors}
    return sorted(h for h in headers if h)


def render_file(note, namespace, includes, emitter, tail, head_comment=None):
    std_headers = ["<cstdint>"]
    if emitter.used_processors:
        std_headers.append("<typeinfo>")
    out = [note, ""]
    if head_comment:
        out += [head_comment, ""]
    out += [f"#include {h}" for h in std_headers]
    out.append("")
    out += [f'#include "{h}"' for h in includes]
    out += ["", f"namespace {namespace} {{", ""]
    if emitter.declarations or emitter.arrays:
        out += ["namespace {", ""]
        if emitter.declarations:
            out += emitter.declarations + [""]
        for array in emitter.arrays:
            out += [array, ""]
        for function in emitter.functions:
            out += [function, ""]
        out += ["}  // namespace", ""]
    out += tail
    out += [f"}}  // namespace {namespace}", ""]
    return "\n".join(out)


def generate_family(root, path, entry, shared):
    relative = str(path.relative_to(root))
    namespace = entry.get("namespace", "meta::field_defs")
    testing = entry.get("testing", False)
    output = entry.get("output")
    if not output:
        raise InputError(f"{relative}: 'output' is required")
    note = f"// Generated by tools/gen/generate.py from {relative} and its facts. Do not edit."
    processors = dict(shared["processors"])
    processors.update(entry.get("processors", {}))
    main = Emitter(processors)
    main_tail = []
    part_declarations = []
    part_files = []

    for table in entry.get("tables", []):
        function = table.get("function", "")
        if not function:
            raise InputError(f"{relative}: a table without 'function'")
        if function in shared["functions"]:
            raise InputError(f"{relative}: table function {function} defined twice")
        type_name = table.get("type")
        type_info = shared["types"].get(type_name)
        if type_info is None:
            raise InputError(f"{relative} {function}: type {type_name!r} has no database (types.json)")
        default_group = function[:-len("Fields")] if function.endswith("Fields") else None
        groups = table.get("groups", [default_group] if default_group else [])
        for g in groups:
            if g not in shared["groups"]:
                raise InputError(f"{relative} {function}: unknown group {g!r}")
        shared["functions"][function] = {"type": type_name, "groups": groups, "file": relative,
                                         "register": not testing}
        t = type_name
        if "sameAs" in table:
            other = table["sameAs"]
            if shared["functions"].get(other, {}).get("type") != type_name:
                raise InputError(f"{relative} {function}: sameAs needs a table of the same type defined before it")
            main_tail += [f"// The rows of {other}.", f"FieldTable<{t}> {function}() {{ return {other}(); }}", ""]
            continue
        ctx = {"root": root, "file": relative, "table": table, "type": type_info, "groups": shared["groups"],
               "namespaces": shared["namespaces"], "processors": processors}
        rows = build_table(table, ctx)
        kind = type_info["id"]
        if not rows:
            main_tail += [f"FieldTable<{t}> {function}() {{ return {{}}; }}", ""]
            continue
        chunks = [rows] if testing else [rows[i:i + ROWS_PER_FILE] for i in range(0, len(rows), ROWS_PER_FILE)]
        array = f"k{function}Rows"
        main.rows_array(array, t, kind, chunks[0], function)
        parts = [array]
        for n, chunk in enumerate(chunks[1:], start=2):
            part = f"{function}Part{n}"
            parts.append(f"{part}()")
            part_declarations.append(f"detail::RowSpan<{t}> {part}();")
            emitter = Emitter(processors)
            emitter.rows_array(f"k{function}Rows{n}", t, kind, chunk, function)
            tail = [f"// Rows of {function}, continued.", f"detail::RowSpan<{t}> {part}() {{",
                    f"    return k{function}Rows{n};", "}", ""]
            part_files.append((len(part_files) + 2, emitter, tail))
        main_tail += [f"FieldTable<{t}> {function}() {{",
                      f"    return detail::BuildTable<{t}>({{{', '.join(parts)}}});", "}", ""]

    if part_declarations:
        main_tail = ["// Defined in the files that continue this one.", *part_declarations, "", *main_tail]

    base_includes = [] if testing else ["varrow/fields/defs/field_defs.h"]
    base_includes.append("varrow/fields/field_row.h")
    extra = entry.get("includes", [])
    outputs = {}
    includes = sorted(set(base_includes + extra + processor_includes(main)))
    outputs[output] = render_file(note, namespace, includes, main, main_tail)
    stem, dot, ext = output.rpartition(".")
    for n, emitter, tail in part_files:
        includes = sorted(set(base_includes + extra + processor_includes(emitter)))
        outputs[f"{stem}_{n}.{ext}"] = render_file(note, namespace, includes, emitter, tail)
    return outputs


def field_defs_header(shared):
    out = ["// Generated by tools/gen/generate.py from tools/gen/inputs/fields/. Do not edit.",
           "#pragma once", "", '#include "varrow/api/export.h"', '#include "varrow/fields/field.h"', "",
           "// One function per table of definitions; each builds a fresh table. The",
           "// field databases register them (field_database.h).",
           "namespace meta::field_defs {", ""]
    by_file = {}
    for function, info in shared["functions"].items():
        if info["register"]:
            by_file.setdefault(info["file"], []).append((function, info))
    for file, functions in sorted(by_file.items()):
        out.append(f"// {file}")
        for function, info in functions:
            out.append(f"VARROW_API FieldTable<{info['type']}> {function}();")
        out.append("")
    out += ["}  // namespace meta::field_defs", ""]
    return "\n".join(out)


def registrations(shared):
    out = ["// Generated by tools/gen/generate.py from tools/gen/inputs/fields/. Do not edit.",
           "#include <cstddef>", "", '#include "varrow/fields/defs/field_defs.h"',
           '#include "varrow/fields/field_database_impl.h"', "", "namespace meta {", "namespace detail {", ""]
    registered = {}
    for function, info in shared["functions"].items():
        if not info["register"]:
            continue
        for group in info["groups"]:
            key = (info["type"], group)
            if key in registered:
                raise InputError(f"group {group} of {info['type']} is registered by both "
                                 f"{registered[key]} and {function}")
            registered[key] = function
    for type_name in shared["type_order"]:
        calls = [(g, f) for (t, g), f in registered.items() if t == type_name]
        signature = f"void RegisterFieldTables(FieldTablesTag<{type_name}>, FieldDatabase<{type_name}>::Data&"
        if not calls:
            out += [signature + ") {}", ""]
            continue
        out.append(signature + " data) {")
        for group, function in calls:
            out.append(f"    BuildHelper(data, FieldGroup::{group}, &field_defs::{function});")
        out += ["}", ""]
    out += ["// Builds every database, in this order, and counts the definitions.",
            "std::size_t InitialiseFieldDatabases() {", "    std::size_t total = 0;"]
    out += [f"    total += FieldDatabase<{t}>::Size();" for t in shared["type_order"]]
    out += ["    return total;", "}", "", "}  // namespace detail", ""]
    out += [f"template class FieldDatabase<{t}>;" for t in shared["type_order"]]
    out += ["", "}  // namespace meta", ""]
    return "\n".join(out)


def generate(root):
    root = pathlib.Path(root)
    types = read_json(root, INPUTS / "types.json")["types"]
    groups, namespaces = read_groups(root)
    shared = {
        "types": {t["name"]: t for t in types},
        "type_order": [t["name"] for t in types],
        "processors": read_json(root, INPUTS / "processors.json")["processors"],
        "groups": groups,
        "namespaces": namespaces,
        "functions": {},
    }
    for t in types:
        if t["id"] not in ID_KINDS:
            raise InputError(f"types.json: unknown id kind {t['id']!r} of {t['name']}")
    outputs = {}
    families = sorted((root / INPUTS).glob("*.json"))
    families = [p for p in families if p.name not in ("types.json", "processors.json")]
    for path in families:
        outputs.update(generate_family(root, path, read_json(root, path.relative_to(root)), shared))
    for path in sorted((root / INPUTS / "testing").glob("*.json")):
        entry = read_json(root, path.relative_to(root))
        entry["testing"] = True
        outputs.update(generate_family(root, path, entry, shared))
    outputs[str(DEFS / "field_defs.h")] = field_defs_header(shared)
    outputs[str(DEFS / "field_registrations.cpp")] = registrations(shared)
    return outputs


if __name__ == "__main__":
    # Checks (or with --write, rewrites) this generator's outputs alone;
    # tools/gen/generate.py runs every generator.
    import sys
    here = pathlib.Path(__file__).resolve()
    repo = here.parents[2]
    stale = []
    for relative, text in generate(repo).items():
        path = repo / relative
        if path.exists() and path.read_text(encoding="utf-8") == text:
            continue
        if "--write" in sys.argv:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(text, encoding="utf-8")
            print(f"wrote {relative}")
        else:
            stale.append(relative)
    if stale:
        print("field tables out of date (run tools/gen/generate.py):", *stale, sep="\n  ")
    sys.exit(1 if stale else 0)
