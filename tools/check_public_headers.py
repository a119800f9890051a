#!/usr/bin/env python3
"""Fails when a public header of the library includes a third-party header
(ICU, jsoncpp, zlib, exempi): those dependencies stay inside the library.
Internal headers (named *_impl.h or inside a detail/ folder) are exempt."""
import pathlib
import re
import sys

FORBIDDEN = re.compile(r'#\s*include\s*[<"](unicode/|json/|zlib\.h|exempi/|xmp\.h)')


def main(root: str) -> int:
    bad = []
    for header in sorted(pathlib.Path(root).rglob("*.h")):
        if header.name.endswith("_impl.h") or "detail" in header.parts:
            continue
        for number, line in enumerate(header.read_text(encoding="utf-8").splitlines(), 1):
            if FORBIDDEN.search(line):
                bad.append(f"{header}:{number}: {line.strip()}")
    for line in bad:
        print(line)
    print(f"{len(bad)} forbidden includes in public headers")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
