# SPDX-License-Identifier: MIT
"""Document: everything libgef read from one GEF file, copied out into plain Python and numpy."""

from __future__ import annotations

import ctypes
import os
import re
import threading
from functools import cached_property
from typing import Dict, List, NamedTuple, Optional, Sequence, Tuple, Union

import numpy as np

from ._codes import _load as _load_codes
from ._library import LOCK, library
from ._location import Location, location_of, lonlat_of
from ._text import decode

__all__ = ["Column", "Document", "Finding", "ReadError", "from_arrays", "read", "read_folder",
           "write", "RULE_SETS"]

Field = Union[None, int, float, str]
PathLike = Union[str, "os.PathLike[str]"]

#: The rule sets test_gef knows, in the order Document.check runs them by default.
RULE_SETS = ("HEADER", "DATA", "GEF-CPT-Report", "GEF-BORE-Report")
_RULE_SET_NAMES = {name.upper() for name in RULE_SETS} | {"TAAL"}  # the library's older name of HEADER

# Below this magnitude a void value marks every value smaller than itself (the library's rule).
_VOID_THRESHOLD = 1e-40


class Column(NamedTuple):
    """One data column as its COLUMNINFO and COLUMNVOID lines describe it."""

    number: int  #: 1-based column number
    unit: Optional[str]
    quantity: Optional[str]
    quantity_number: Optional[int]
    void: Optional[float]  #: the COLUMNVOID value, None when the column has none


class Layer(NamedTuple):
    """One layer (scan) of a boring."""

    top: Optional[float]  #: depth of the top (quantity 1), None when void or absent
    bottom: Optional[float]  #: depth of the bottom (quantity 2)
    code: str  #: the layer description as written, "'Zs1h2'"
    text: Optional[str]  #: the code in words by the shipped soil codes; None when not known
    additional: Tuple[str, ...]  #: percentages and median grain size, as the library finds them


class Finding(NamedTuple):
    """One entry of the library's error list."""

    code: int  #: message code
    level: int  #: 1..5 (GEF) or 11..15 (report standard)
    message: str  #: the library's English message, blanks and line ends trimmed

    @property
    def severity(self) -> int:
        """The severity class, level modulo 10: 1 severe .. 5 information."""
        return self.level % 10


#: What the package says first of a file without a GEFID line, as geftool does.
NOT_GEF = "not a GEF file (no #GEFID line)"


def _lacks_gefid(path: str) -> bool:
    try:
        with open(path, "rb") as f:
            return b"#GEFID" not in f.read(65536).upper()
    except OSError:
        return False


class ReadError(OSError):
    """read_gef could not read the file; `findings` tells why."""

    def __init__(self, path: str, findings: List[Finding]):
        detail = "; ".join(f.message for f in findings if f.severity <= 2) or "see findings"
        # An empty, binary or other text file: say so before the library's findings.
        if _lacks_gefid(path):
            detail = f"{NOT_GEF}; {detail}"
        super().__init__(f"libgef could not read {path}: {detail}")
        self.path = path
        self.findings = findings


# ---- copying out of the library (callers hold LOCK) ---------------------------------------------

# The bytes that frame gef_copy_header and gef_copy_column_texts (GEF_COPY_* in gef/extensions.h).
_ESCAPE, _RECORD_END, _FIELD_START = b"\x1b", b"\x1e", b"\x1f"
_TOKENS = re.compile(rb"\x1b(.)|([\x1e\x1f])|([^\x1b\x1e\x1f]+)", re.S)


# One buffer per thread, reused: read_many's threads copy at once.
_buffers = threading.local()


def _copy_bytes(function) -> bytes:
    buffer = getattr(_buffers, "buffer", None) or ctypes.create_string_buffer(1 << 16)
    size = function(buffer, len(buffer))
    if size > len(buffer):
        buffer = ctypes.create_string_buffer(size * 2)
        size = function(buffer, len(buffer))
    _buffers.buffer = buffer
    return ctypes.string_at(buffer, size) if size > 0 else b""


def _split_records(raw: bytes) -> List[List[bytes]]:
    """The one parser of the copies' framing: records of parts, escapes undone."""
    if _ESCAPE not in raw:
        return [record.split(_FIELD_START) for record in raw.split(_RECORD_END)[:-1]]
    records: List[List[bytes]] = []
    fields: List[bytes] = []
    current = bytearray()
    for escaped, mark, plain in (m.groups() for m in _TOKENS.finditer(raw)):
        if mark is None:
            current += escaped if escaped is not None else plain
            continue
        fields.append(bytes(current))
        current = bytearray()
        if mark == _RECORD_END:
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
        # The library stores it in single precision and gives its shortest text ("0.8"): shown
        # so, not as the float's binary value (0.800000011920929).
        return float(body)
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
    if not raw or raw.count(_RECORD_END) == len(raw):  # no scan has a text
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


def _additional_strings(lib, scan: int) -> Tuple[str, ...]:
    """The additional strings of a boring's scan; each is a copy the caller releases."""
    found = []
    for k in range(1, max(lib.gbr_get_nr_additional_strings(scan), 0) + 1):
        pointer = lib.gbr_get_additional_string(scan, k)
        if pointer:
            found.append(decode(ctypes.string_at(pointer)))
            # The library and Python share the C runtime's heap except on Windows, where the
            # copy is left (a few bytes) rather than freed by a foreign runtime.
            if os.name != "nt":
                ctypes.CDLL(None).free(ctypes.c_void_p(pointer))
    return tuple(found)


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
        data: float64 array, scans x columns; void values are NaN unless read with
            voids="keep"; no row is ever dropped.
        column_texts: per-scan texts (str, or None for a scan without one), or None when the
            file has none.
        findings: what the library recorded while reading.
        test_id: the TESTID text, or None.
        layers: a boring's layers (:class:`Layer`), empty for other reports.
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

    @cached_property
    def layers(self) -> List[Layer]:
        """The layers of a boring (empty for other reports): depths, the description code, its
        expansion with the soil code texts shipped with the package, additional strings."""
        if self.report_type != "BORE" or self.column_texts is None:
            return []
        values = self.values("nan")

        def depth(qn: int, scan: int) -> Optional[float]:
            c = self.column(qn)
            v = float(values[scan, c.number - 1]) if c is not None else float("nan")
            return None if v != v else v

        with LOCK:
            lib = library()
            self._load(lib)
            _next_findings(lib)
            try:
                _load_codes(lib, "en")
                expand = True
            except OSError:  # no code file found: the layers stay unexpanded
                expand = False
            _next_findings(lib)
            layers = []
            for scan, text in enumerate(self.column_texts):
                code = (text or "").split(";")[0].strip()
                words = (decode(lib.gbr_code2text(code.encode("cp1252", "replace"), b", "))
                         if expand and code else None)
                layers.append(Layer(depth(1, scan), depth(2, scan), code, words or None,
                                    _additional_strings(lib, scan + 1)))
            _next_findings(lib)
        return layers

    @cached_property
    def test_id(self) -> Optional[str]:
        entry = self.header.get("TESTID")
        return entry[0][0] if entry and entry[0] and entry[0][0] is not None else None

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

    def to_pandas(self, voids: str = "nan"):
        """A pandas DataFrame with one column per data column, named as ``geftool dump`` names
        it: canonical quantity and unit ("cone_resistance_MPa", whatever the producer's texts
        and unit spelling), "_2" appended to a repeated name, and a "column_text" column when
        the file has per-scan texts. Void values are NaN unless voids="keep"; rows are never
        dropped. ``df.attrs`` maps each column name to the producer's own texts:
        "quantities", "units" and "quantity_numbers". Needs pandas."""
        import pandas as pd

        from ._names import column_name

        values = self.values(voids)
        frame: Dict[str, object] = {}
        quantities: Dict[str, Optional[str]] = {}
        units: Dict[str, Optional[str]] = {}
        numbers: Dict[str, Optional[int]] = {}
        seen: Dict[str, int] = {}
        for c in self.columns:
            name = column_name(self.report_type, c.quantity_number, c.quantity, c.unit, c.number)
            seen[name] = seen.get(name, 0) + 1
            if seen[name] > 1:
                name = f"{name}_{seen[name]}"
            frame[name] = values[:, c.number - 1]
            quantities[name], units[name], numbers[name] = c.quantity, c.unit, c.quantity_number
        if self.column_texts is not None:
            frame["column_text"] = self.column_texts
        df = pd.DataFrame(frame)
        df.attrs["quantities"] = quantities
        df.attrs["units"] = units
        df.attrs["quantity_numbers"] = numbers
        df.attrs["path"] = self.path
        return df

    def plot(self, ax=None, codes="en"):
        """A matplotlib figure: for a CPT, cone resistance, friction ratio and (when present)
        pore pressure against depth in side-by-side panels, depth downwards; for a boring, its
        log (soil colours and hatching, descriptions expanded with `codes`: "en", "nl" or a
        code file, a legend); for a dissipation test, pore pressure against time and its
        square root. `ax` (one Axes) is used for a boring; otherwise its figure is cleared and
        filled. Needs matplotlib."""
        from ._plot import plot_document

        return plot_document(self, ax, codes)

    # -- derived facts --------------------------------------------------------------------------

    @cached_property
    def date(self):
        """The test's date as a :class:`TestDate` (text yyyy-mm-dd and its source): a CPT's
        STARTDATE, a boring's MEASUREMENTTEXT 16, else the file's FILEDATE; None without any."""
        from ._facts import test_date

        return test_date(self)

    def dissipation(self, equilibrium=None):
        """The facts of a dissipation test as a :class:`Dissipation` (depth, duration and per
        pore pressure column its start, maximum, end and t50), t50 taken against `equilibrium`
        or else the last reading; None when the document is no dissipation test."""
        from ._facts import dissipation, is_dissipation

        return dissipation(self, equilibrium) if is_dissipation(self) else None

    # -- library round trips --------------------------------------------------------------------

    def _load(self, lib) -> None:
        """Makes this document the library's current one again. Call with LOCK held."""
        build = getattr(self, "_build", None)
        if build is not None:
            build(lib)
        elif lib.read_gef(os.fsencode(self.path)) != 1:
            raise ReadError(self.path, _next_findings(lib))

    def check(self, *rule_sets: str) -> List[Finding]:
        """Runs the library's rule sets and returns every finding of reading followed by those of
        the rule sets, as ``geftool check`` lists them. Without arguments: HEADER, DATA and the
        report rule set that applies (GEF-CPT-Report or GEF-BORE-Report). A name not in
        :data:`RULE_SETS` (in any case) raises ValueError before anything runs."""
        unknown = [name for name in rule_sets if name.upper() not in _RULE_SET_NAMES]
        if unknown:
            raise ValueError(f"unknown rule set {unknown[0]!r}; known: {RULE_SETS}")
        if not rule_sets:
            wanted = {"CPT": "GEF-CPT-Report", "BORE": "GEF-BORE-Report"}.get(self.report_type)
            rule_sets = tuple(r for r in RULE_SETS if not r.startswith("GEF-") or r == wanted)
        with LOCK:
            lib = library()
            self._load(lib)
            findings = _next_findings(lib)
            for name in rule_sets:
                lib.test_gef(name.encode("ascii"))
                findings += _next_findings(lib)
            return findings


def read(path: PathLike, *, voids: str = "nan") -> Document:
    """Reads the GEF file `path` with the library and returns a :class:`Document`.

    The void values of :attr:`Document.data` become NaN; voids="keep" keeps them. Raises
    FileNotFoundError for a missing file and :class:`ReadError` when the library cannot read
    it; lesser problems are in :attr:`Document.findings`."""
    text_path = os.fspath(path)
    with LOCK:
        return _read_into(library(), text_path, voids)


def _read_into(lib, text_path: str, voids: str) -> Document:
    """Reads `text_path` into the calling thread's document of `lib` and copies what the
    Document needs, so that it does not depend on that document afterwards."""
    ok = lib.read_gef(os.fsencode(text_path))
    findings = _next_findings(lib)
    if ok != 1:
        if not os.path.isfile(text_path):
            raise FileNotFoundError(2, "No such GEF file", text_path)
        raise ReadError(text_path, findings)
    data = _copy_data(lib, max(lib.get_column(), 0) if lib.get_column_flag() else 0)
    header = _copy_bytes(lib.gef_copy_header)
    texts = _copy_bytes(lib.gef_copy_column_texts) if lib.get_columntext_flag() else None
    if voids == "nan":
        # Through the getters: the header itself is parsed only when asked for.
        column_voids = [(c, lib.get_columnvoid(c + 1)) for c in range(data.shape[1])
                        if lib.get_columnvoid_flag(c + 1)]
    if voids not in ("nan", "keep"):
        raise ValueError('voids must be "nan" or "keep"')
    if voids == "nan" and column_voids:
        data = np.array(data)
        for c, void in column_voids:
            data[_void_mask(data[:, c], void), c] = np.nan
    return Document(text_path, data, findings, header, texts)


def read_many(paths: Sequence[PathLike], *, threads: Optional[int] = None,
              voids: str = "nan") -> List[Document]:
    """Reads the GEF files `paths` on `threads` threads (default: the number of cores), each
    with a library document of its own, and returns their Documents in input order, each as
    :func:`read` gives it. The library runs without the package's lock, so the files are read
    at once. When a file cannot be read, raises what :func:`read` raises for the first such
    file, after every thread has ended. threads=1 reads in turn, as :func:`read` does."""
    names = [os.fspath(p) for p in paths]
    count = min(threads or os.cpu_count() or 1, len(names))
    if count <= 1:
        return [read(name, voids=voids) for name in names]
    with LOCK:
        lib = library()
    results: List[Union[Document, BaseException, None]] = [None] * len(names)
    pending = iter(range(len(names)))
    claim = threading.Lock()

    def work() -> None:
        # A thread the library cannot give a document of its own reads on the process
        # document, behind the package's lock like every other caller of it.
        own = lib.gef_thread_document(1) == 1
        if own and lib.init_gef() != 1:
            lib.gef_thread_document(0)
            own = False
        try:
            while True:
                with claim:
                    i = next(pending, None)
                if i is None:
                    return
                try:
                    if own:
                        results[i] = _read_into(lib, names[i], voids)
                    else:
                        with LOCK:
                            results[i] = _read_into(lib, names[i], voids)
                except Exception as error:  # told in input order below
                    results[i] = error
        finally:
            lib.gef_thread_document(0)

    workers = [threading.Thread(target=work, name=f"libgef-read-{n}") for n in range(count)]
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    for result in results:
        if isinstance(result, BaseException):
            raise result
    return results  # type: ignore[return-value]


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


def write(document: Document, path: PathLike, *, allow_loss: bool = False) -> None:
    """Writes `document` as a GEF file with the library's writer, each column in the shortest
    number format that keeps all its values (as geftool convert without --format). The file
    is then read back: when it does not hold everything the document held (a field the library
    could not keep on reading, a value a format rounded), :class:`DataLossError` tells what;
    with allow_loss=True a warning does instead. Raises OSError when the file cannot be written."""
    from ._keeping import DataLossError, differences, dropped_at_reading, lossless_formats

    target = os.fspath(path)
    with LOCK:
        lib = library()
        document._load(lib)
        losses = dropped_at_reading(_next_findings(lib) if document.path is None
                                    else document.findings)
        columns = max(lib.get_column(), 0) if lib.get_column_flag() else 0
        data = _copy_data(lib, columns).copy()
        header = _parse_header(_copy_bytes(lib.gef_copy_header))
        texts = (_parse_column_texts(_copy_bytes(lib.gef_copy_column_texts))
                 if lib.get_columntext_flag() else None)
        if columns:
            minmax = {e[0]: e[1:] for e in header.get("COLUMNMINMAX", ())}
            lib.set_reportdataformat(lossless_formats(data, minmax).encode("ascii"))
        if lib.write_gef(os.fsencode(target)) != 1:
            problems = _next_findings(lib)
            raise OSError(f"libgef could not write {target}: "
                          + "; ".join(f.message for f in problems))
        _next_findings(lib)
        if lib.read_gef(os.fsencode(target)) != 1:
            losses.append("the written file cannot be read back")
        else:
            _next_findings(lib)
            written = _copy_data(lib, max(lib.get_column(), 0) if lib.get_column_flag() else 0)
            written_texts = (_parse_column_texts(_copy_bytes(lib.gef_copy_column_texts))
                             if lib.get_columntext_flag() else None)
            losses += differences(header, data, texts,
                                  _parse_header(_copy_bytes(lib.gef_copy_header)), written,
                                  written_texts)
    if losses:
        if not allow_loss:
            raise DataLossError(target, losses)
        import warnings

        warnings.warn(str(DataLossError(target, losses)), stacklevel=2)


def read_folder(path: PathLike, *, voids: str = "nan") -> List[Document]:
    """Reads every GEF file under the folder `path` (recursively, .gef in any case, sorted),
    with a progress bar on stderr when it is a terminal. A file the library cannot read is left
    out with a warning that says why."""
    import sys
    import warnings

    root = os.fspath(path)
    files = sorted(os.path.join(folder, name) for folder, _, names in os.walk(root)
                   for name in names if name.lower().endswith(".gef"))
    documents: List[Document] = []
    bar = sys.stderr.isatty()
    for i, name in enumerate(files, start=1):
        if bar:
            done = 30 * i // len(files)
            sys.stderr.write(f"\r[{'#' * done}{'.' * (30 - done)}] {i}/{len(files)}")
            sys.stderr.flush()
        try:
            documents.append(read(name, voids=voids))
        except ReadError as error:
            warnings.warn(str(error), stacklevel=2)
    if bar and files:
        sys.stderr.write("\n")
    return documents


def version() -> str:
    """The version of the loaded library."""
    with LOCK:
        return library().gef_version().decode("ascii")
