# SPDX-License-Identifier: MIT
"""Column names that mean the same in every file, from the table geftool dump uses too
(column_names.txt): canonical quantity and canonical unit, as in "cone_resistance_MPa"."""

from __future__ import annotations

import re
from functools import lru_cache
from pathlib import Path
from typing import Dict, Optional, Tuple

__all__ = ["column_name"]

_HERE = Path(__file__).resolve().parent
# Beside the package, in the project's data folder, or (see _candidates) beside the library.
_CANDIDATES = (_HERE / "column_names.txt", _HERE.parents[1] / "data" / "column_names.txt")

Quantity = Tuple[str, str]  # name, standard unit


def _ascii_lower(text: str) -> str:
    return "".join(c.lower() if c.isascii() else c for c in text)


def _folded(text: str) -> str:
    # As geftool compares: ASCII blanks only, ASCII letters only lowered.
    return _ascii_lower(" ".join(t for t in re.split(r"[ \t\n\r\f\v]+", text) if t))


def _candidates() -> Tuple[Path, ...]:
    from ._library import LOCK, library

    with LOCK:
        # Beside an installed (or built) library: share/libgef next to its lib or bin folder.
        shared = Path(library()._name).resolve().parents[1] / "share" / "libgef"
    return _CANDIDATES + (shared / "column_names.txt",)


@lru_cache(maxsize=None)
def _table():
    candidates = _candidates()
    for path in candidates:
        if path.is_file():
            break
    else:
        raise FileNotFoundError("column_names.txt is missing; looked at "
                                + ", ".join(map(str, candidates)))
    numbered: Dict[Tuple[str, int], Quantity] = {}
    texts: Dict[Tuple[str, str], Quantity] = {}
    units: Dict[str, str] = {}
    for line in path.read_text(encoding="utf-8").splitlines():
        line = line.strip()
        if not line or line.startswith("!"):
            continue
        fields = line.split(";")
        if fields[0] == "Q" and len(fields) >= 7:
            report, number, name, unit = fields[1:5]
            quantity = (name, unit)
            if report != "any" and number:
                numbered[(report, int(number))] = quantity
            for text in fields[6].split("|"):
                if _folded(text):
                    texts[(report, _folded(text))] = quantity
        elif fields[0] == "U" and len(fields) >= 4:
            # The spellings are the rest of the line: one may hold the field separator.
            for spelling in line.split(";", 3)[3].split("|"):
                units[spelling] = fields[2]
    return numbered, texts, units


def _as_key(text: str) -> str:
    key = ""
    for c in text:
        if (c.isascii() and c.isalnum()) or not c.isascii():
            key += _ascii_lower(c)
        elif key and not key.endswith("_"):
            key += "_"
    return key.rstrip("_")


def _unit_key(unit: str) -> str:
    if unit == "%":
        return "pct"
    key = ""
    for c in unit:
        if c.isascii() and c.isalnum():
            key += c
        elif c in "/.-":
            key += "" if not key or key.endswith("_") else "_"
    return key.rstrip("_")


def column_name(report: str, number: Optional[int], quantity: Optional[str],
                unit: Optional[str], column: int) -> str:
    """The name geftool dump gives a column of a report of type `report` ("BORE" numbers its
    quantities as borings do, anything else as CPTs)."""
    numbered, texts, units = _table()
    numbering = "bore" if report == "BORE" else "cpt"
    found = numbered.get((numbering, number)) if number is not None else None
    for scope in (numbering, "any"):
        if found is None:
            found = texts.get((scope, _folded(quantity or "")))
    name = found[0] if found else _as_key(quantity or "")
    name = name or f"column_{column}"
    own = (unit or "").strip(" \t\r\n")
    if not own and found:
        own = found[1]
    key = units[own] if own in units else _unit_key(own)
    return f"{name}_{key}" if key else name
