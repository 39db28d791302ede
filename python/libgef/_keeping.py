# SPDX-License-Identifier: MIT
"""Writing without loss, as geftool convert does: each column in the shortest number format that
writes all its values back exactly, the written file read back and every difference told."""

from __future__ import annotations

import math
from typing import Dict, List, Optional, Sequence, Tuple

import numpy as np

__all__ = ["DataLossError", "differences", "dropped_at_reading", "lossless_formats"]

# Keywords a rewrite sets on purpose (the data layout), and LASTSCAN, which the scan count of
# the data block stands for.
LAYOUT_KEYWORDS = {"COLUMNSEPARATOR", "RECORDSEPARATOR", "DATAFORMAT", "DATATYPE",
                   "REPORTDATAFORMAT", "OS", "LASTSCAN"}

# Codes of reading findings that leave a line, an entry or a field of the file out: unknown
# keywords, long lines, incomplete keywords, repeats, surplus fields, numbers out of range.
DROPPING_CODES = {4, 11, 13, 24, 26, 27, 34, 36, 45, 56}


class DataLossError(ValueError):
    """The written file does not hold everything the document held; `losses` says what."""

    def __init__(self, path: str, losses: List[str]):
        super().__init__(f"{path} does not hold everything the document held: "
                         + "; ".join(losses))
        self.path = path
        self.losses = losses


def _digits(letter: str, v: float) -> int:
    for precision in range(18):
        if float(f"{v:.{precision}{letter}}") == v:
            return precision
    return -1


def _token(letter: str, values: Sequence[float]) -> Optional[Tuple[str, int]]:
    precision = 0
    for v in values:
        if letter == "f" and v != 0 and (abs(v) >= 1e15 or abs(v) < 1e-6):
            return None
        needed = _digits(letter, v)
        if needed < 0:
            return None
        precision = max(precision, needed)
    width = max([1] + [len(f"{v:.{precision}{letter}}") for v in values])
    return f"{letter.upper()}{width}.{precision}", width


def lossless_formats(data: np.ndarray, minmax: Dict[int, Sequence[float]]) -> str:
    """REPORTDATAFORMAT tokens, per column the shortest F (preferred unless much longer) or E
    format that writes each value of the column and of its COLUMNMINMAX back exactly."""
    tokens = []
    for c in range(data.shape[1]):
        values = [float(v) for v in data[:, c].tolist() if math.isfinite(v) and abs(v) < 1e300]
        values += [float(v) for v in minmax.get(c + 1, ()) if isinstance(v, float)]
        values = sorted(set(values))
        fixed, exponent = _token("f", values), _token("e", values)
        if fixed and (not exponent or fixed[1] <= exponent[1] + 2):
            tokens.append(fixed[0])
        else:
            tokens.append(exponent[0] if exponent else "E24.16")
    return " ".join(tokens)


def differences(header: Dict[str, list], data: np.ndarray, texts: Optional[list],
                written_header: Dict[str, list], written_data: np.ndarray,
                written_texts: Optional[list]) -> List[str]:
    """What the written document lost or changed of the original, one text each."""
    out: List[str] = []
    for keyword in sorted(set(header) | set(written_header)):
        if keyword in LAYOUT_KEYWORDS:
            continue
        before, after = header.get(keyword, []), written_header.get(keyword, [])
        for i, entry in enumerate(before):
            now = after[i] if i < len(after) else None
            if now is None:
                out.append(f"#{keyword} {entry} was not written")
                continue
            for f, was in enumerate(entry):
                value = now[f] if f < len(now) else None
                if was is not None and value != was:
                    out.append(f"#{keyword} {entry[0]} field {f + 1}: {was!r} became {value!r}")
    if data.shape != written_data.shape:
        out.append(f"the data block had {data.shape[1]} columns x {data.shape[0]} scans, the "
                   f"written one {written_data.shape[1]} x {written_data.shape[0]}")
        return out
    for c in range(data.shape[1]):
        was, now = data[:, c], written_data[:, c]
        changed = np.flatnonzero(~((was == now) | (np.isnan(was) & np.isnan(now))))
        if changed.size:
            s = int(changed[0])
            out.append(f"column {c + 1}: {changed.size} of {len(was)} values changed, the first "
                       f"in scan {s + 1}: {was[s]!r} became {now[s]!r}")
    if (texts or None) != (written_texts or None):
        out.append("per-scan texts changed")
    return out


def dropped_at_reading(findings) -> List[str]:
    """The findings of reading that mean a part of the file was not kept."""
    return [f.message for f in findings if f.code in DROPPING_CODES]
