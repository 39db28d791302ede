# SPDX-License-Identifier: MIT
"""Locations: the library's table of systems, and WGS84 equal to geftool's on every file."""

import json
import math
import subprocess

import pytest

import libgef
from conftest import CORPUS, EXAMPLES, corpus_files

pytest.importorskip("pyproj")


def test_location_and_height_system_of_a_document():
    doc = libgef.read(EXAMPLES / "cpt_basic.gef")
    assert doc.location == libgef.Location(132470.25, 457823.6, 31000, 28992,
                                           "RD (Rijksdriehoeksmeting)", 0)
    assert (doc.x, doc.y, doc.z) == (132470.25, 457823.6, 1.35)
    # The table of systems itself is checked through geftool (geftool_test.cc).
    assert libgef._location._height_name(5709) == libgef._location._height_name(31000) == "NAP"


def test_lonlat_equals_geftool_summary(geftool):
    folders = [EXAMPLES] + ([CORPUS] if corpus_files() else [])
    run = subprocess.run([str(geftool), "summary", "--json", *map(str, folders)],
                         capture_output=True, text=True, encoding="utf-8")
    expected = {f["file"]: (f["longitude"], f["latitude"]) for f in json.loads(run.stdout)["files"]}
    if all(place == (None, None) for place in expected.values()):
        pytest.skip("geftool was built without PROJ")
    rows = libgef.locations(folders)
    assert len(rows) == len(expected)
    placed = 0
    for row in rows.itertuples():
        found = tuple(None if v is None or (isinstance(v, float) and math.isnan(v)) else v
                      for v in (row.longitude, row.latitude))
        assert found == expected[row.file], row.file
        placed += found[0] is not None
    assert len(libgef.to_geojson(folders)["features"]) == placed > 0
