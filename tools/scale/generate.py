# SPDX-License-Identifier: MIT
"""Writes many GEF files for the scale run: the corpus's files in turn, the fraction digits of the
numbers in each text data block moved by a shift (the round through the corpus), so that copies of
one file hold other values while every file keeps its producer's layout (widths, separators,
texts). The first numbers take the round's further decimal digits as their shifts, so no two files
are alike; a binary data block is copied as it is and its header names the round instead."""
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
        round_ = i // len(blobs)
        numbers = iter(range(1 << 62))

        def vary(m: re.Match) -> bytes:
            k = next(numbers)
            shift = round_ // 10**k % 10 if 0 < k < 6 else round_ % 10
            digits = bytes((d - 48 + shift) % 10 + 48 for d in m.group(2))
            return m.group(1) + digits

        head, data = blob[:cut], blob[cut:]
        if b"\0" in data or b"BINARY" in head.upper():
            if round_ and end >= 0:
                head = head[:end] + b"#COMMENT= scale copy %d\r\n" % round_ + head[end:]
        elif round_:
            data = NUMBER.sub(vary, data)
        if round_ and head + data == blob:  # nothing to vary, no header end: a line at the end
            data += b"\r\n#COMMENT= scale copy %d\r\n" % round_
        sub = out / f"{i // 1000:03d}"
        sub.mkdir(exist_ok=True)
        (sub / f"{i:06d}_{sources[i % len(sources)].name}").write_bytes(head + data)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], int(sys.argv[3]))
