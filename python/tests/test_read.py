# SPDX-License-Identifier: MIT
"""read(): data, header and texts equal what the C getters give, voids, code pages, copies."""

import ctypes
import math
import threading

import numpy as np
import pytest

import libgef
from conftest import GEFTOOL_DATA, corpus_files, example_files

C_TEXT, C_INT, C_FLOAT, C_DOUBLE = ctypes.c_char_p, ctypes.c_int, ctypes.c_float, ctypes.c_double

# A few getters of each field type and shape: (position in the header tuple, getter, result type).
# Numbered keywords take the tuple's first field as argument.
GETTERS = {
    "GEFID": [(0, "get_gefid_Release", C_INT), (2, "get_gefid_Update", C_INT)],
    "REPORTCODE": [(0, "get_reportcode_Code", C_TEXT), (3, "get_reportcode_Update", C_INT)],
    "XYID": [(1, "get_xyid_X", C_DOUBLE), (4, "get_xyid_Epsy", C_DOUBLE)],
    "COLUMNINFO": [(1, "get_columninfo_Unit", C_TEXT), (3, "get_columninfo_Qnumber", C_INT)],
    "COLUMNVOID": [(1, "get_columnvoid", C_DOUBLE)],
    "MEASUREMENTTEXT": [(1, "get_measurementtext_Tekst", C_TEXT)],
    "MEASUREMENTVAR": [(1, "get_measurementvar_Value", C_FLOAT),
                       (3, "get_measurementvar_Quantity", C_TEXT)],
}
NUMBERED = {"COLUMNINFO", "COLUMNVOID", "MEASUREMENTTEXT", "MEASUREMENTVAR"}


def same(a, b):
    return a == b or (isinstance(a, float) and math.isnan(a) and math.isnan(b))


@pytest.mark.parametrize("path", corpus_files() + example_files(), ids=lambda p: p.name)
def test_values_equal_the_c_getters(path, raw):
    try:
        doc = libgef.read(path, voids="keep")
    except libgef.ReadError:
        assert raw.lib.read_gef(str(path).encode()) == 0
        return
    assert raw.lib.read_gef(str(path).encode()) == 1
    scans, columns = doc.data.shape
    assert doc.data.dtype == np.float64 and columns == len(doc.columns)
    for c in range(1, columns + 1):
        expected = [raw.call("get_data", C_DOUBLE, c, s) for s in range(1, scans + 1)]
        assert all(same(a, b) for a, b in zip(doc.data[:, c - 1].tolist(), expected)), c
    for keyword, getters in GETTERS.items():
        for entry in doc.header.get(keyword, []):
            number = (entry[0],) if keyword in NUMBERED else ()
            for position, getter, restype in getters:
                if position < len(entry) and entry[position] is not None:
                    value = raw.call(getter, restype, *number)
                    if restype is C_TEXT:
                        value = libgef._text.decode(value)
                    if restype is C_FLOAT:  # shown as the float's shortest text: 0.8
                        value = float(str(np.float32(value)))
                    assert same(entry[position], value), (keyword, getter, number)
    if doc.column_texts is not None:
        for s in (1, scans):
            text = raw.call("get_columntext_text", C_TEXT, s)
            assert doc.column_texts[s - 1] == libgef._text.decode(text)


def test_header_columns_and_voids(tmp_path):
    path = tmp_path / "voids.gef"
    path.write_bytes(b"#GEFID= 1, 1, 0\r\n#COLUMN= 3\r\n"
                     b"#COLUMNINFO= 1, m, penetration length, 1\r\n"
                     b"#COLUMNINFO= 2, MPa, cone resistance, 2\r\n"
                     b"#COLUMNINFO= 3, -, tiny, 99\r\n"
                     b"#COLUMNVOID= 2, -9999\r\n#COLUMNVOID= 3, 1e-50\r\n"
                     b"#COMMENT= a\x1fb\r\n#LASTSCAN= 3\r\n#EOH=\r\n"
                     b"0.1 1.5 1\r\n0.2 -9999.0000000001 1e-60\r\n0.3 -9998 -2e-51\r\n")
    doc = libgef.read(path, voids="keep")
    assert doc.gefid == "1.1.0" and doc.report_type == "other"
    assert doc.header["COLUMNINFO"][1] == (2, "MPa", "cone resistance", 2)
    assert doc.header["COMMENT"] == [("a\x1fb",)]  # a separator byte inside a text survives
    assert doc.columns[1] == libgef.Column(2, "MPa", "cone resistance", 2, -9999.0)
    assert doc.column(2) == doc.column("Cone Resistance") == doc.columns[1]
    assert doc.data[1, 1] == pytest.approx(-9999)  # kept when asked
    nan = np.isnan(libgef.read(path).data)
    assert nan.tolist() == [[False, False, False], [False, True, True], [False, False, True]]
    assert np.array_equal(np.isnan(doc.values("nan")), nan)


@pytest.mark.parametrize("name, words", [
    ("cp1252.gef", ["Björk", "Kröller 20°C €", "zand, grijs °", 'klei "vast" ö']),
    ("utf8_bom.gef", None),
])
def test_texts_decode_as_utf8_else_cp1252(name, words):
    doc = libgef.read(GEFTOOL_DATA / name)
    texts = [t for entries in doc.header.values() for e in entries for t in e if isinstance(t, str)]
    texts += doc.column_texts or []
    assert all("\ufffd" not in t and not t.startswith("\ufeff") for t in texts)
    if words is None:  # the UTF-8 file: every non-ASCII text came out as UTF-8 decodes it
        raw = (GEFTOOL_DATA / name).read_bytes().decode("utf-8-sig")
        non_ascii = [t for t in texts if not t.isascii()]
        assert non_ascii and all(t in raw for t in non_ascii)
    else:
        for word in words:
            assert any(word in t for t in texts), word
    assert libgef._text.decode(b"\x81\xe9") == "\x81é"  # undefined cp1252 bytes never raise


def test_documents_are_their_own_across_reads_and_threads(tmp_path):
    files = example_files()[:4]
    doc = libgef.read(files[0])
    data = doc.data.copy()
    expected = {f: libgef.read(f) for f in files}
    fresh = expected[files[0]]
    # The first document's header is parsed only now, after others replaced it in the library.
    assert doc.header == fresh.header and doc.column_texts == fresh.column_texts
    assert np.array_equal(doc.data, data, equal_nan=True) and doc.columns == fresh.columns
    failures = []

    def work(path):
        for _ in range(25):
            again = libgef.read(path)
            if not (np.array_equal(again.data, expected[path].data, equal_nan=True)
                    and again.header == expected[path].header):
                failures.append(path)

    threads = [threading.Thread(target=work, args=(f,)) for f in files]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert not failures
    with pytest.raises(FileNotFoundError):
        libgef.read(tmp_path / "absent.gef")
    with pytest.raises(libgef.ReadError) as caught:
        libgef.read(GEFTOOL_DATA / "not_gef.gef")
    assert caught.value.findings
