# SPDX-License-Identifier: MIT
"""Writes many GEF files for the scale run: the corpus's files in turn, each number with decimals in
a text data block raised by the round through the corpus in its last decimal (0.25 becomes 0.27 in
round 2), so that copies of one file hold other values in the order they had (depths still rise)
and every file keeps its producer's layout (separators, texts). Void values (those the header declares,
and nines with nines or zeros behind the point) stay. A binary data block is copied as it is and its header names the
round instead, as does a line at the end of a file with nothing to vary: no two files are alike."""
import pathlib
import re
import sys

NUMBER = re.compile(rb"(-?)(\d+)\.(\d+)")
VOID = re.compile(rb"#COLUMNVOID\s*=\s*\d+\s*[,;]\s*([-+0-9.eE]+)", re.IGNORECASE)


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
        voids = {float(v) for v in VOID.findall(blob[:cut]) if re.fullmatch(rb"[-+]?[0-9.]+([eE][-+]?\d+)?", v)}

        def vary(m: re.Match) -> bytes:
            whole, decimals = m.group(2), m.group(3)
            nines = len(whole) >= 3 and set(whole) == {57} and len(set(decimals)) == 1 and decimals[0] in b"09"
            if nines or float(m.group(0)) in voids:
                return m.group(0)
            sign = -1 if m.group(1) else 1
            scaled = sign * int(whole + decimals) + round_
            text = str(abs(scaled)).rjust(len(decimals) + 1, "0")
            return (b"-" if scaled < 0 else b"") + (text[: -len(decimals)] + "." + text[-len(decimals) :]).encode()

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
