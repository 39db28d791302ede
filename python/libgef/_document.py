# SPDX-License-Identifier: MIT
"""Document: everything libgef read from one GEF file, copied out into plain Python and numpy."""

from __future__ import annotations

import ctypes
import os
import re
import struct
from functools import cached_property
from typing import Dict, List, NamedTuple, Optional, Sequence, Tuple, Union

import numpy as np

from ._library import LOCK, library
from ._location import Location, location_of, lonlat_of
from ._text import decode

__all__ = ["Column", "Document", "Finding", "ReadError", "from_arrays", "read", "write",
           "RULE_SETS"]

Field = Union[None, int, float, str]
PathLike = Union[str, "os.PathLike[str]"]

#: The rule sets test_gef knows, in the order Document.check runs them by default.
RULE_SETS = ("HEADER", "DATA", "GEF-CPT-Report", "GEF-BORE-Report")

# Below this magnitude a void value marks every value smaller than itself (the library's rule).
_VOID_THRESHOLD = 1e-40


class Column(NamedTuple):
    """One data column as its COLUMNINFO and COLUMNVOID lines describe it."""

    number: int  #: 1-based column number
    unit: Optional[str]
    quantity: Optional[str]
    quantity_number: Optional[int]
    void: Optional[float]  #: the COLUMNVOID value, None when the column has none


class Finding(NamedTuple):
    """One entry of the library's error list."""

    code: int  #: message code
    level: int  #: 1..5 (GEF) or 11..15 (report standard)
    message: str  #: the library's English message, blanks and line ends trimmed

    @property
    def severity(self) -> int:
        """The severity class, level modulo 10: 1 severe .. 5 information."""
        return self.level % 10


class ReadError(OSError):
    """read_gef could not read the file; `findings` tells why."""

    def __init__(self, path: str, findings: List[Finding]):
        detail = "; ".join(f.message for f in findings if f.severity <= 2) or "see findings"
        super().__init__(f"libgef could not read {path}: {detail}")
        self.path = path
        self.findings = findings


# ---- copying out of the library (callers hold LOCK) ---------------------------------------------

_F32 = struct.Struct("<f")
_TOKENS = re.compile(rb"\x1b(.)|([\x1e\x1f])|([^\x1b\x1e\x1f]+)", re.S)


_buffer = ctypes.create_string_buffer(1 << 16)  # reused under LOCK: one call per copy


def _copy_bytes(function) -> bytes:
    global _buffer
    size = function(_buffer, len(_buffer))
    if size > len(_buffer):
        _buffer = ctypes.create_string_buffer(size * 2)
        size = function(_buffer, len(_buffer))
    return ctypes.string_at(_buffer, size) if size > 0 else b""


def _split_records(raw: bytes) -> List[List[bytes]]:
    """Records (ended by 0x1E) of fields (led by 0x1F); 0x1B escapes the next byte."""
    if b"\x1b" not in raw:
        return [record.split(b"\x1f") for record in raw.split(b"\x1e")[:-1]]
    records: List[List[bytes]] = []
    fields: List[bytes] = []
    current = bytearray()
    for escaped, mark, plain in (m.groups() for m in _TOKENS.finditer(raw)):
        if mark is None:
            current += escaped if escaped is not None else plain
            continue
        fields.append(bytes(current))
        current = bytearray()
        if mark == b"\x1e":
            records.append(fields)
            fields = []
    return records


def _value(raw: bytes) -> Field:
    if not raw:
        return None
    tag, body = raw[:1], raw[1:]
    if tag == b"i":
        return int(body)
    if tag == b"d":
        return float(body)
    if tag == b"f":
        # Rounded to single precision: the value the float getters give.
        return _F32.unpack(_F32.pack(float(body)))[0]
    return decode(body)


def _parse_header(raw: bytes) -> Dict[str, List[Tuple[Field, ...]]]:
    header: Dict[str, List[Tuple[Field, ...]]] = {}
    for parts in _split_records(raw):
        name, number = parts[0].decode("ascii"), parts[1]
        fields: List[Field] = []
        if number:
            fields.append(int(number) if number.isdigit() else number.decode("ascii"))
        fields.extend(_value(f) for f in parts[2:])
        header.setdefault(name, []).append(tuple(fields))
    return header


def _parse_column_texts(raw: Optional[bytes]) -> Optional[List[Optional[str]]]:
    if not raw or raw.count(b"\x1e") == len(raw):  # no scan has a text
        return None
    return [decode(record[0][1:]) if record[0] else None for record in _split_records(raw)]


def _copy_data(lib, columns: int) -> np.ndarray:
    total = lib.gef_copy_data(None, 0)
    values = np.empty(max(total, 0), dtype=np.float64)
    if total > 0:
        lib.gef_copy_data(values.ctypes.data, total)
    scans = total // columns if columns > 0 else 0
    # The library keeps the block column after column: as (columns, scans) in C order, its
    # transpose is scans x columns without another copy.
    return values.reshape(columns, scans).T


def _next_findings(lib) -> List[Finding]:
    """The entries not yet read through get_error_code, with their levels."""
    count = lib.gef_copy_errors(None, 0)
    entries = (ctypes.c_int * (5 * max(count, 1)))()
    lib.gef_copy_errors(entries, count)
    messages = []
    for code in iter(lib.get_error_code, 0):
        messages.append((code, lib.get_error_text(code)))
    first = count - len(messages)
    return [Finding(code, entries[5 * (first + i) + 4], decode(text.strip(b" \t\r\n")))
            for i, (code, text) in enumerate(messages)]


def _report_type(header: Dict[str, List[Tuple[Field, ...]]]) -> str:
    for keyword in ("PROCEDURECODE", "REPORTCODE"):
        for entry in header.get(keyword, ()):
            code = str(entry[0] or "").upper()
            if "CPT-REPORT" in code or "CPT_REPORT" in code:
                return "CPT"
            if "BORE-REPORT" in code or "BORE_REPORT" in code:
                return "BORE"
    return "other"


def _columns(header: Dict[str, List[Tuple[Field, ...]]], count: int) -> List[Column]:
    info = {e[0]: e for e in header.get("COLUMNINFO", ())}
    voids = {e[0]: e[1] for e in header.get("COLUMNVOID", ())}
    columns = []
    for n in range(1, count + 1):
        _, unit, quantity, qn = info.get(n, (n, None, None, None))
        columns.append(Column(n, unit, quantity, qn, voids.get(n)))
    return columns


def _void_mask(values: np.ndarray, void: float) -> np.ndarray:
    # The library's void rule: a tiny void value marks the smaller values, any other matches
    # within 1e-10 relative.
    if abs(void) < _VOID_THRESHOLD:
        return np.abs(values) < abs(void)
    with np.errstate(divide="ignore", invalid="ignore"):
        return np.abs(1.0 - values / void) < 1e-10


# ---- the document ------------------------------------------------------------------------------

class Document:
    """Everything libgef read from one GEF file, as plain Python objects and numpy arrays.

    The library holds a single current document and is not thread-safe, so the package runs
    every call to it behind one lock and copies everything out before returning: a Document
    does not refer to the library's memory, stays valid after the next read and may be used from
    any thread. :meth:`check` and :func:`write` load the document into the library again (by
    reading its file anew, or rebuilding it from its arrays) under the same lock.

    Attributes:
        path: the file the document was read from; None when built by :func:`from_arrays`.
        gefid: the GEFID as "release.version.update", or None.
        report_type: "CPT" or "BORE" when PROCEDURECODE or REPORTCODE names such a report, else
            "other".
        header: keyword name -> list of entries; each entry is a tuple of its fields in header-line
            order (the serial or column number first for numbered keywords), absent fields None.
            Keywords that share storage are listed under the storing one (SCANFREQUENCY as
            SCANTIME, as a scan time).
        columns: one :class:`Column` per data column.
        data: float64 array, scans x columns; void values kept unless read with voids="nan".
        column_texts: per-scan texts (str, or None for a scan without one), or None when the
            file has none.
        findings: what the library recorded while reading.
        location, lonlat, x, y, z: where the test was made (#XYID, #ZID); see _location.py.
    """

    def __init__(self, path: Optional[str], data: np.ndarray, findings: List[Finding],
                 header_bytes: bytes = b"", text_bytes: Optional[bytes] = None):
        self.path = path
        self.data: np.ndarray = data
        self.findings: List[Finding] = findings
        # The header and texts are kept as the library's bytes and turned into Python objects
        # on first use: reading thousands of files for their data need not pay for that.
        self._header_bytes = header_bytes
        self._text_bytes = text_bytes

    @cached_property
    def header(self) -> Dict[str, List[Tuple[Field, ...]]]:
        return _parse_header(self._header_bytes)

    @cached_property
    def columns(self) -> List[Column]:
        return _columns(self.header, self.data.shape[1])

    @cached_property
    def column_texts(self) -> Optional[List[Optional[str]]]:
        return _parse_column_texts(self._text_bytes)

    @cached_property
    def gefid(self) -> Optional[str]:
        gefid = self.header.get("GEFID")
        return ".".join("" if f is None else str(f) for f in gefid[0]) if gefid else None

    @cached_property
    def report_type(self) -> str:
        return _report_type(self.header)

    # -- location (see _location.py) -----------------------------------------------------------

    @cached_property
    def location(self) -> Optional[Location]:
        """#XYID with its system's EPSG code, name and the library's doubt; None without it."""
        return location_of(self.header)

    @property
    def lonlat(self) -> Optional[Tuple[float, float]]:
        """(longitude, latitude) in WGS84 through pyproj, as geftool gives them; None when the
        location is absent, doubtful or cannot be placed."""
        return lonlat_of(self.location)

    @property
    def x(self) -> Optional[float]:
        return self.location.x if self.location else None

    @property
    def y(self) -> Optional[float]:
        return self.location.y if self.location else None

    @property
    def z(self) -> Optional[float]:
        """The ground level of #ZID in its height system, or None."""
        entry = (self.header.get("ZID") or [()])[0]
        return float(entry[1]) if len(entry) > 1 and entry[1] is not None else None

    def __repr__(self) -> str:
        scans, columns = self.data.shape
        return (f"<libgef.Document {self.path!r}: {self.report_type}, {columns} columns x "
                f"{scans} scans, {len(self.findings)} findings>")

    # -- data -----------------------------------------------------------------------------------

    def column(self, key: Union[int, str]) -> Optional[Column]:
        """The column with quantity number `key` (int; the lowest-numbered one) or quantity
        name `key` (str, compared without regard to case); None when there is none."""
        for c in self.columns:
            if (c.quantity_number == key if isinstance(key, int)
                    else (c.quantity or "").lower() == key.lower()):
                return c
        return None

    def values(self, voids: str = "nan") -> np.ndarray:
        """A copy of :attr:`data`; with voids="nan" each column's void values become NaN."""
        if voids not in ("nan", "keep"):
            raise ValueError('voids must be "nan" or "keep"')
        out = np.array(self.data, dtype=np.float64)
        if voids == "nan":
            for c in self.columns:
                if c.void is not None and c.number <= out.shape[1]:
                    column = out[:, c.number - 1]
                    column[_void_mask(column, c.void)] = np.nan
        return out

    def to_pandas(self):
        """A pandas DataFrame with one column per quantity (named by quantity, a number appended
        to repeated names), void values as NaN, and a "column text" column when the file has
        per-scan texts. ``df.attrs["units"]`` and ``df.attrs["quantity_numbers"]`` map each
        column name to its unit and quantity number. Needs pandas."""
        import pandas as pd

        values = self.values("nan")
        frame: Dict[str, object] = {}
        units: Dict[str, Optional[str]] = {}
        numbers: Dict[str, Optional[int]] = {}
        for c in self.columns:
            name = c.quantity or f"column {c.number}"
            base, k = name, 2
            while name in frame:
                name, k = f"{base} ({k})", k + 1
            frame[name] = values[:, c.number - 1]
            units[name], numbers[name] = c.unit, c.quantity_number
        if self.column_texts is not None:
            frame["column text"] = self.column_texts
        df = pd.DataFrame(frame)
        df.attrs["units"] = units
        df.attrs["quantity_numbers"] = numbers
        df.attrs["path"] = self.path
        return df

    def plot(self, ax=None):
        """A matplotlib figure: for a CPT, cone resistance, friction ratio and (when present)
        pore pressure against depth in side-by-side panels, depth downwards; for a boring, the
        layer column with each layer's text. `ax` (one Axes) is used for a boring; for a CPT
        its figure is cleared and filled. Needs matplotlib."""
        from ._plot import plot_document

        return plot_document(self, ax)

    # -- library round trips --------------------------------------------------------------------

    def _load(self, lib) -> None:
        """Makes this document the library's current one again. Call with LOCK held."""
        build = getattr(self, "_build", None)
        if build is not None:
            build(lib)
        elif lib.read_gef(os.fsencode(self.path)) != 1:
            raise ReadError(self.path, _next_findings(lib))

    def check(self, *rule_sets: str) -> List[Finding]:
        """Runs the library's rule sets and returns the findings of reading followed by those of
        the rule sets, as ``geftool check`` lists them. Without arguments: HEADER, DATA and the
        report rule set that applies (GEF-CPT-Report or GEF-BORE-Report), skipping those this
        library does not have yet. A rule set named here that the library lacks raises
        NotImplementedError; an unknown name raises ValueError."""
        explicit = bool(rule_sets)
        if not explicit:
            wanted = {"CPT": "GEF-CPT-Report", "BORE": "GEF-BORE-Report"}.get(self.report_type)
            rule_sets = tuple(r for r in RULE_SETS if not r.startswith("GEF-") or r == wanted)
        with LOCK:
            lib = library()
            self._load(lib)
            findings = _next_findings(lib)
            for name in rule_sets:
                lib.test_gef(name.encode("ascii"))
                new = _next_findings(lib)
                # A rule set the library lacks records just one note (code 42) saying so.
                if len(new) == 1 and new[0].code == 42:
                    if "not available" in new[0].message:
                        if explicit:
                            raise NotImplementedError(
                                f"rule set {name} is not available in this libgef "
                                f"({version()})")
                        continue
                    if explicit:
                        raise ValueError(f"unknown rule set {name!r}; known: {RULE_SETS}")
                findings += new
            return findings


def read(path: PathLike, *, voids: str = "keep") -> Document:
    """Reads the GEF file `path` with the library and returns a :class:`Document`.

    voids="nan" turns the void values of :attr:`Document.data` into NaN. Raises
    FileNotFoundError for a missing file and :class:`ReadError` when the library cannot read
    it; lesser problems are in :attr:`Document.findings`."""
    text_path = os.fspath(path)
    with LOCK:
        lib = library()
        ok = lib.read_gef(os.fsencode(text_path))
        findings = _next_findings(lib)
        if ok != 1:
            if not os.path.isfile(text_path):
                raise FileNotFoundError(2, "No such GEF file", text_path)
            raise ReadError(text_path, findings)
        data = _copy_data(lib, max(lib.get_column(), 0) if lib.get_column_flag() else 0)
        header = _copy_bytes(lib.gef_copy_header)
        texts = _copy_bytes(lib.gef_copy_column_texts) if lib.get_columntext_flag() else None
    document = Document(text_path, data, findings, header, texts)
    if voids != "keep":
        document.data = document.values(voids)
    return document


def from_arrays(data, columns: Sequence[Tuple[str, str, int]], *,
                voids: Optional[Sequence[Optional[float]]] = None,
                texts: Optional[Sequence[Optional[str]]] = None) -> Document:
    """Builds a document in the library from a scans x columns array: `columns` gives (unit,
    quantity, quantity number) per column, `voids` an optional void value per column and `texts`
    an optional text per scan (UTF-8). The library starts it as GEFID 1.1.0 with COLUMN and
    LASTSCAN; :meth:`Document.check` and :func:`write` rebuild it the same way."""
    values = np.array(data, dtype=np.float64, ndmin=2)
    scans, count = values.shape
    if len(columns) != count:
        raise ValueError(f"{count} data columns but {len(columns)} column descriptions")

    def build(lib) -> None:
        lib.init_gef_general.argtypes = [ctypes.c_int, ctypes.c_int]
        lib.set_columninfo.argtypes = [ctypes.c_int, ctypes.c_char_p, ctypes.c_char_p,
                                       ctypes.c_int]
        lib.set_columnvoid.argtypes = [ctypes.c_int, ctypes.c_double]
        lib.set_data.argtypes = [ctypes.c_int, ctypes.c_int, ctypes.c_double]
        lib.set_columntext_text.argtypes = [ctypes.c_int, ctypes.c_char_p]
        lib.set_columntext_text.restype = None
        if lib.init_gef_general(count, scans) != 1:
            raise MemoryError(f"libgef cannot hold {count} columns x {scans} scans")
        for c, (unit, quantity, qn) in enumerate(columns, start=1):
            lib.set_columninfo(c, unit.encode(), quantity.encode(), int(qn))
            if voids is not None and voids[c - 1] is not None:
                lib.set_columnvoid(c, float(voids[c - 1]))
            for s, v in enumerate(values[:, c - 1].tolist(), start=1):
                lib.set_data(c, s, v)
        for s, text in enumerate(texts or (), start=1):
            if text is not None:
                lib.set_columntext_text(s, text.encode())

    with LOCK:
        lib = library()
        build(lib)
        findings = _next_findings(lib)
        data = _copy_data(lib, count)
        header = _copy_bytes(lib.gef_copy_header)
        text_bytes = _copy_bytes(lib.gef_copy_column_texts) if texts else None
    document = Document(None, data, findings, header, text_bytes)
    document._build = build
    return document


def write(document: Document, path: PathLike) -> None:
    """Writes `document` as a GEF file with the library's writer (raises NotImplementedError
    when this library has none yet, OSError when the file cannot be written)."""
    with LOCK:
        lib = library()
        if not hasattr(lib, "write_gef"):
            raise NotImplementedError(f"this libgef ({version()}) cannot write GEF files yet")
        document._load(lib)
        _next_findings(lib)
        if lib.write_gef(os.fsencode(os.fspath(path))) != 1:
            problems = _next_findings(lib)
            raise OSError(f"libgef could not write {os.fspath(path)}: "
                          + "; ".join(f.message for f in problems))


def version() -> str:
    """The version of the loaded library."""
    with LOCK:
        return library().gef_version().decode("ascii")
