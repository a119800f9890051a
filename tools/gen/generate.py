#!/usr/bin/env python3
"""Regenerates every generated source of varrow from its inputs in tools/gen/inputs.

    python3 tools/gen/generate.py          write the generated files
    python3 tools/gen/generate.py --check  fail if a generated file is out of date

Generators are the modules tools/gen/gen_*.py; inputs live in tools/gen/inputs.
"""
import argparse
import importlib
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))

ROOT = HERE.parents[1]
# Every module named gen_*.py here is a generator: its generate(root) returns
# {relative output path: text}.
GENERATORS = [importlib.import_module(p.stem) for p in sorted(HERE.glob("gen_*.py"))]


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--check", action="store_true",
                        help="compare instead of writing; exit 1 on any difference")
    args = parser.parse_args()

    stale = []
    for generator in GENERATORS:
        for relative, text in generator.generate(ROOT).items():
            path = ROOT / relative
            current = path.read_text(encoding="utf-8") if path.exists() else None
            if current == text:
                continue
            if args.check:
                stale.append(relative)
            else:
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_text(text, encoding="utf-8")
                print(f"wrote {relative}")
    if stale:
        print("generated files out of date (run `make regen`):", *stale, sep="\n  ")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
