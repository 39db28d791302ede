#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Milliseconds per file for libgef.read plus .data over every CPT file of a corpus folder.

    /usr/bin/python3 python/bench_read.py [--corpus DIR] [--passes N] [--target MS]

A CPT file is a .gef file whose header has a #PROCEDURECODE or #REPORTCODE line containing
"CPT". The files are read once to warm the file cache, then in several passes; the best pass,
the least disturbed one, is reported, beside the best pass of read_gef alone (called through
ctypes) over the same files, which shows what the package adds on a busy machine. Exits with 1
when it is slower than the target.
"""

import argparse
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import libgef  # noqa: E402
from libgef._library import LOCK, library  # noqa: E402


def is_cpt(path: Path) -> bool:
    text = path.read_bytes().upper()
    text = text[:text.find(b"#EOH=")] if b"#EOH=" in text else text
    for keyword in (b"#PROCEDURECODE", b"#REPORTCODE"):
        at = text.find(keyword)
        while at >= 0:
            end = text.find(b"\n", at)
            if b"CPT" in text[at:end if end >= 0 else len(text)]:
                return True
            at = text.find(keyword, at + 1)
    return False


def main() -> int:
    default = Path(__file__).resolve().parents[2] / "shared" / "corpus"
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--corpus", type=Path, default=default)
    parser.add_argument("--passes", type=int, default=20)
    parser.add_argument("--target", type=float, default=0.3, help="ms per file (default 0.3)")
    args = parser.parse_args()
    files = sorted(p for p in args.corpus.rglob("*") if p.suffix.lower() == ".gef" and is_cpt(p))
    if not files:
        print(f"no CPT files in {args.corpus}", file=sys.stderr)
        return 2
    values = unreadable = 0
    for p in files:  # warms the file cache and loads the library
        try:
            values += libgef.read(p).data.size
        except libgef.ReadError:
            unreadable += 1
    def package_pass():
        for p in files:
            try:
                libgef.read(p).data
            except libgef.ReadError:  # timed too: the library still reads the header
                pass

    names = [str(p).encode() for p in files]

    def library_pass():
        with LOCK:
            lib = library()
            for name in names:
                lib.read_gef(name)

    best = {package_pass: float("inf"), library_pass: float("inf")}
    for _ in range(args.passes):
        for run in best:  # interleaved, so both see the same load
            start = time.perf_counter()
            run()
            best[run] = min(best[run], time.perf_counter() - start)
    per_file = best[package_pass] * 1000 / len(files)
    alone = best[library_pass] * 1000 / len(files)
    print(f"libgef {libgef.version()}: {len(files)} CPT files ({unreadable} unreadable, "
          f"{values} values), best of "
          f"{args.passes} passes: {per_file:.3f} ms per file (target {args.target} ms); "
          f"read_gef alone {alone:.3f} ms, ratio {per_file / alone:.2f}")
    return 0 if per_file <= args.target else 1


if __name__ == "__main__":
    sys.exit(main())
