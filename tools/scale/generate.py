# SPDX-License-Identifier: MIT
"""Writes many GEF files for the scale run: the corpus's files in turn, the fraction digits of the
numbers in each text data block moved by one of nine shifts (by the round through the corpus), so
that copies of one file hold other values while every file keeps its producer's layout (widths,
separators, texts). Binary data blocks are copied as they are."""
import pathlib
import re
import sys

NUMBER = re.compile(rb"(-?\d+\.)(\d+)")


def main(corpus: str, folder: str, count: int) -> None:
    sources = sorted(p for p in pathlib.Path(corpus).rglob("*") if p.suffix.lower() == ".gef")
    blobs = [p.read_bytes() for p in sources]
    out = pathlib.Path(folder)
    out.mkdir(parents=True, exist_ok=True)
    for i in range(count):
        blob = blobs[i % len(blobs)]
        end = blob.find(b"#EOH=")
        cut = blob.find(b"\n", end) + 1 if end >= 0 else 0
        shift = i // len(blobs) % 10

        def vary(m: re.Match) -> bytes:
            digits = bytes((d - 48 + shift) % 10 + 48 for d in m.group(2))
            return m.group(1) + digits

        binary = b"\0" in blob[cut:] or b"BINARY" in blob[:cut].upper()
        data = NUMBER.sub(vary, blob[cut:]) if shift and not binary else blob[cut:]
        sub = out / f"{i // 1000:03d}"
        sub.mkdir(exist_ok=True)
        (sub / f"{i:06d}_{sources[i % len(sources)].name}").write_bytes(blob[:cut] + data)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], int(sys.argv[3]))
