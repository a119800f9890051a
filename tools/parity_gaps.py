"""Design gaps for tools/parity: mismatches that follow from how the library
is specified to behave. The rules live in parity_gaps.json beside this file;
see its "comment" for their form."""
import json
import pathlib
import re

from parity_scan import has_broken_jpeg_chain, has_refused_directory

DEFAULT_RULES = pathlib.Path(__file__).resolve().with_name("parity_gaps.json")
_SHORT_BINARY = re.compile(r"^\(Binary data (\d+) bytes, use -b option to extract\)$")
_CONTROL = re.compile(r"[\x01-\x1f\x7f]")
_WHEN = ("any", "missing", "cleaned-equal", "short-binary", "same-number", "cut-short",
         "refused-directory", "broken-jpeg", "xmp-error", "replacement-char")
_CUT = "[...]"


def _same_number(expected, ours):
    if isinstance(expected, list) or isinstance(ours, list):
        return (isinstance(expected, list) and isinstance(ours, list) and len(expected) == len(ours)
                and all(_same_number(e, o) for e, o in zip(expected, ours)))
    try:
        theirs, mine = float(expected), float(ours)
    except (TypeError, ValueError):
        return False
    return float(f"{theirs:.15g}") == mine


def _cleaned(value, trimmed_when_read=False):
    if isinstance(value, list):
        return [_cleaned(v, trimmed_when_read) for v in value]
    value = value.replace("\0", "")
    # EXIF text loses its trailing white space (line breaks included) when
    # read; every ExifTool-style string then shows control characters as '.'.
    if trimmed_when_read:
        value = value.rstrip()
    return _CONTROL.sub(".", value).rstrip()


class Rule:
    def __init__(self, rule):
        self.reason = rule["reason"]
        self.tag = re.compile(rule["tag"]) if "tag" in rule else None
        self.file = re.compile(rule["file"]) if "file" in rule else None
        self.when = rule.get("when", "any")
        if self.when not in _WHEN:
            raise ValueError(f"unknown condition {self.when!r} in rule {self.reason!r}")

    def matches(self, source, tag, expected, ours, corpus=None, xmp_ended=frozenset()):
        if self.tag is not None and not self.tag.search(tag):
            return False
        if self.file is not None and not self.file.search(source):
            return False
        if self.when == "missing":
            return ours is None
        if self.when == "cleaned-equal":
            return ours is not None and ours in (_cleaned(expected), _cleaned(expected, True))
        if self.when == "same-number":
            return ours is not None and _same_number(expected, ours)
        if self.when == "refused-directory":
            return ours is None and corpus is not None and has_refused_directory(str(corpus / source))
        if self.when == "xmp-error":
            return ours is None and source in xmp_ended
        if self.when == "broken-jpeg":
            return ours is None and corpus is not None and has_broken_jpeg_chain(str(corpus / source))
        if self.when == "cut-short":
            return (isinstance(expected, str) and isinstance(ours, str) and expected.endswith(_CUT)
                    and ours.startswith(expected[:-len(_CUT)]))
        if self.when == "replacement-char":
            return (isinstance(expected, str) and isinstance(ours, str) and "\ufffd" in ours
                    and ours.replace("\ufffd", "?") == expected)
        if self.when == "short-binary":
            match = _SHORT_BINARY.match(expected) if isinstance(expected, str) else None
            return ours is not None and match is not None and int(match.group(1)) < 61
        return True


class Gaps:
    """Classifies a mismatch (source, "Group:Name", expected, ours or None) as
    a design gap, answering the first matching rule's reason, or None."""

    def __init__(self, rules, corpus=None):
        self.rules = rules
        self.corpus = None if corpus is None else pathlib.Path(corpus)
        # Samples whose read the XMP toolkit's error ended, as the reader reported.
        self.xmp_ended = frozenset()

    @classmethod
    def load(cls, path=DEFAULT_RULES, corpus=None):
        path = pathlib.Path(path)
        if not path.is_file():
            return cls([], corpus)
        return cls([Rule(rule) for rule in json.loads(path.read_text(encoding="utf-8"))["rules"]], corpus)

    def reason(self, source, tag, expected, ours):
        for rule in self.rules:
            if rule.matches(source, tag, expected, ours, self.corpus, self.xmp_ended):
                return rule.reason
        return None
