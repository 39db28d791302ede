# SPDX-License-Identifier: MIT
"""Facts derived from a Document as geftool info gives them: the test's date and the course of
a dissipation test."""

from __future__ import annotations

import datetime
import re
from typing import List, NamedTuple, Optional

import numpy as np

__all__ = ["TestDate", "PoreCurve", "Dissipation", "test_date", "dissipation", "is_dissipation",
           "half_time"]

# Quantity numbers: elapsed time; pore pressures u1, u2, u3; corrected depth, penetration length.
_QN_TIME = 12
_QN_PORE = (5, 6, 7)
_QN_DEPTH = (11, 1)


class TestDate(NamedTuple):
    """The date of a test and where it was found: "STARTDATE" (a CPT), "MEASUREMENTTEXT 16" (the
    date of a boring) or "FILEDATE" (the file's date, only when the test states none)."""
    text: str    #: yyyy-mm-dd, or the text as written when it has another form
    source: str

    def to_date(self) -> Optional[datetime.date]:
        """The date as a datetime.date; None when the text is no yyyy-mm-dd date."""
        try:
            return datetime.date.fromisoformat(self.text)
        except ValueError:
            return None


def _ymd(entry) -> Optional[str]:
    try:
        y, m, d = (int(v) for v in entry[:3])
    except (TypeError, ValueError):
        return None
    return f"{y:04d}-{m:02d}-{d:02d}"


def _text_date(text) -> Optional[str]:
    text = str(text or "").strip()
    if not text or text == "-":
        return None
    m = re.fullmatch(r"(\d+)([-/.])(\d+)\2(\d+)", text)
    if m:
        a, b, c = int(m.group(1)), int(m.group(3)), int(m.group(4))
        if a < 100:  # dd-mm-yyyy
            a, c = c, a
        return f"{a:04d}-{b:02d}-{c:02d}"
    if re.fullmatch(r"\d{8}", text):
        return f"{text[:4]}-{text[4:6]}-{text[6:]}"
    return text


def test_date(doc) -> Optional[TestDate]:
    """The date :attr:`Document.date` gives."""
    start = doc.header.get("STARTDATE")
    if start and _ymd(start[0]):
        return TestDate(_ymd(start[0]), "STARTDATE")
    if doc.report_type == "BORE":
        for entry in doc.header.get("MEASUREMENTTEXT", ()):
            if entry[0] == 16 and _text_date(entry[1]):
                return TestDate(_text_date(entry[1]), "MEASUREMENTTEXT 16")
    filedate = doc.header.get("FILEDATE")
    if filedate and _ymd(filedate[0]):
        return TestDate(_ymd(filedate[0]), "FILEDATE")
    return None


class PoreCurve(NamedTuple):
    """One pore pressure column of a dissipation test; t50 in the time column's unit, None with
    the reason in `t50_note`."""
    column: int
    label: str
    values: np.ndarray
    start: float
    maximum: float
    end: float
    equilibrium: float
    t50: Optional[float]
    t50_note: Optional[str]


class Dissipation(NamedTuple):
    """What geftool info shows of a dissipation test. `unavailable` says why there are no facts
    (no time or no pore pressure column); `equilibrium_given` False means t50 is relative to the
    last reading, a convenience for looking at a file rather than a consolidation analysis."""
    depth: Optional[float]
    time: np.ndarray
    time_label: str
    time_unit: Optional[str]
    duration: float
    equilibrium_given: bool
    curves: List[PoreCurve]
    unavailable: Optional[str]


def is_dissipation(doc) -> bool:
    """Whether the report code names a dissipation test (GEF-DISS-Report), or the file names no
    report and has an elapsed-time column."""
    named = False
    for keyword in ("PROCEDURECODE", "REPORTCODE"):
        for entry in doc.header.get(keyword, ()):
            code = str(entry[0] or "").upper()
            if "DISS" in code:
                return True
            named = named or bool(code)
    return not named and doc.column(_QN_TIME) is not None


def half_time(time, u, equilibrium: float) -> Optional[float]:
    """The time at which `u` has fallen halfway from its first reading to `equilibrium`,
    interpolated linearly between readings; None when it starts at or below it or never gets
    there."""
    ok = np.isfinite(time) & np.isfinite(u)
    t, p = np.asarray(time)[ok], np.asarray(u)[ok]
    if p.size == 0 or not p[0] > equilibrium:
        return None
    target = (p[0] + equilibrium) / 2
    below = np.nonzero(p[1:] <= target)[0]
    if below.size == 0:
        return None
    i = below[0] + 1
    share = 1.0 if p[i - 1] == p[i] else (p[i - 1] - target) / (p[i - 1] - p[i])
    return float(t[i - 1] + share * (t[i] - t[i - 1]))


def _label(c) -> str:
    name = c.quantity or f"column {c.number}"
    return f"{name} [{c.unit}]" if c.unit else name


def dissipation(doc, equilibrium: Optional[float] = None) -> Dissipation:
    """The facts of :attr:`Document.dissipation`, with `equilibrium` as every curve's
    equilibrium pore pressure when given (in the column's unit), else its last reading."""
    values = doc.values("nan")
    time = doc.column(_QN_TIME)
    pores = [c for c in (doc.column(qn) for qn in _QN_PORE) if c is not None]
    why = None
    if time is None and not pores:
        why = "no elapsed-time column (quantity 12) and no pore pressure column (5, 6, 7)"
    elif time is None:
        why = "no elapsed-time column (quantity 12)"
    elif not pores:
        why = "no pore pressure column (quantity 5, 6 or 7)"
    if why:
        return Dissipation(None, np.empty(0), "", None, 0.0, equilibrium is not None, [], why)
    t = values[:, time.number - 1]
    finite_t = t[np.isfinite(t)]
    duration = float(finite_t.max() - finite_t.min()) if finite_t.size else 0.0
    depth = None
    for qn in _QN_DEPTH:
        c = doc.column(qn)
        if c is not None and depth is None:
            d = values[:, c.number - 1]
            depth = float(d[np.isfinite(d)][0]) if np.isfinite(d).any() else None
    curves = []
    for c in pores:
        u = values[:, c.number - 1]
        finite = u[np.isfinite(u) & np.isfinite(t)]
        if finite.size == 0:
            curves.append(PoreCurve(c.number, _label(c), u, np.nan, np.nan, np.nan, np.nan, None,
                                    "no pore pressure reading"))
            continue
        eq = float(finite[-1]) if equilibrium is None else float(equilibrium)
        t50 = half_time(t, u, eq)
        note = None
        if t50 is None:
            note = ("the pressure does not fall halfway to the equilibrium" if finite[0] > eq
                    else "no excess pore pressure at the start")
        curves.append(PoreCurve(c.number, _label(c), u, float(finite[0]), float(finite.max()),
                                float(finite[-1]), eq, t50, note))
    return Dissipation(depth, t, _label(time), time.unit, duration, equilibrium is not None,
                       curves, None)
