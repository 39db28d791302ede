# SPDX-License-Identifier: MIT
"""Where the tests were made: the library's table of systems, WGS84 through pyproj, GeoJSON."""

from __future__ import annotations

import json
import os
from pathlib import Path
from typing import Dict, Iterable, List, NamedTuple, Optional, Tuple, Union

from ._library import LOCK, library

__all__ = ["Location", "locations", "to_geojson"]

PathLike = Union[str, "os.PathLike[str]"]

#: gef_location_doubt's answer for a sound location; every other answer leaves it unplaced.
SOUND = 0


class Location(NamedTuple):
    """A file's #XYID with what the library's table says of its system."""

    x: float
    y: float
    system_code: int  #: the code as the file wrote it: the format's (31000) or EPSG's (28992)
    epsg: Optional[int]  #: None when the table knows no EPSG code for the system
    name: Optional[str]  #: None when the table does not know the code
    doubt: int  #: 0 sound; else a GEF_LOCATION_ value of gef/extensions.h (dummy, outside, ...)


def _system(code: int, x: float, y: float) -> Tuple[Optional[int], Optional[str], int]:
    with LOCK:
        lib = library()
        epsg = lib.gef_coordinate_system_epsg(code)
        name = lib.gef_coordinate_system_name(code)
        doubt = lib.gef_location_doubt(code, x, y)
    return epsg or None, name.decode("utf-8") if name else None, doubt


def location_of(header: Dict[str, list]) -> Optional[Location]:
    """The #XYID of a parsed header as a Location; None without a code, X and Y."""
    entries = header.get("XYID")
    if not entries or len(entries[0]) < 3 or None in entries[0][:3]:
        return None
    code, x, y = int(entries[0][0]), float(entries[0][1]), float(entries[0][2])
    return Location(x, y, code, *_system(code, x, y))


_transformers: Dict[int, object] = {}


def lonlat_of(location: Optional[Location]) -> Optional[Tuple[float, float]]:
    """Longitude and latitude in WGS84 (7 decimals, as geftool gives them), or None when the
    location is absent, doubtful or its system has no EPSG code. Needs pyproj."""
    if location is None or location.doubt != SOUND or location.epsg is None:
        return None
    transformer = _transformers.get(location.epsg)
    if transformer is None:
        from pyproj import Transformer  # only those who ask for WGS84 need pyproj
        transformer = Transformer.from_crs(f"EPSG:{location.epsg}", "EPSG:4326", always_xy=True)
        _transformers[location.epsg] = transformer
    longitude, latitude = transformer.transform(location.x, location.y)
    return round(longitude, 7), round(latitude, 7)


def _gef_files(paths: Iterable[PathLike]) -> List[Path]:
    """Files as given; folders walked for *.gef in any case, sorted, as geftool walks them."""
    files: List[Path] = []
    for path in map(Path, [paths] if isinstance(paths, (str, os.PathLike)) else paths):
        if path.is_dir():
            files += sorted(p for p in path.rglob("*")
                            if p.suffix.lower() == ".gef" and p.is_file())
        else:
            files.append(path)
    return files


def _rows(paths) -> List[dict]:
    from ._document import ReadError, read
    rows = []
    for path in _gef_files(paths):
        try:
            doc = read(path)
        except ReadError as error:
            rows.append({"file": str(path), "problem": str(error)})
            continue
        place = doc.location
        lonlat = doc.lonlat
        height = (doc.header.get("ZID") or [()])[0]
        rows.append({
            "file": str(path),
            "test_id": (doc.header.get("TESTID") or [(None,)])[0][0],
            "report_type": doc.report_type,
            "x": place.x if place else None,
            "y": place.y if place else None,
            "system_code": place.system_code if place else None,
            "epsg": place.epsg if place else None,
            "system": place.name if place else None,
            "doubt": place.doubt if place else None,
            "longitude": lonlat[0] if lonlat else None,
            "latitude": lonlat[1] if lonlat else None,
            "z": doc.z,
            "height_system": _height_name(height[0]) if height and height[0] is not None else None,
            "problem": None,
        })
    return rows


def _height_name(code: int) -> Optional[str]:
    with LOCK:
        name = library().gef_height_system_name(int(code))
    return name.decode("utf-8") if name else None


_COLUMNS = ["file", "test_id", "report_type", "x", "y", "system_code", "epsg", "system", "doubt",
            "longitude", "latitude", "z", "height_system", "problem"]


def locations(paths):
    """One row per GEF file under `paths` (files, or folders searched for *.gef): x, y, the
    system's code, EPSG code and name, the library's doubt, longitude and latitude (None when
    not placed), ground level and height system, and why a file could not be read. Needs pandas,
    and pyproj for longitude and latitude."""
    import pandas as pd
    return pd.DataFrame(_rows(paths), columns=_COLUMNS)


def to_geojson(paths, output: Optional[PathLike] = None) -> dict:
    """A GeoJSON FeatureCollection (WGS84, longitude first) with a Point per placed file under
    `paths`; written to `output` when given. Files left off are those whose `locations` row has
    no longitude."""
    features = []
    for row in _rows(paths):
        if row.get("longitude") is None:
            continue
        properties = {k: row[k] for k in ("file", "test_id", "report_type", "x", "y", "system",
                                          "z", "height_system")}
        features.append({"type": "Feature",
                         "geometry": {"type": "Point",
                                      "coordinates": [row["longitude"], row["latitude"]]},
                         "properties": properties})
    collection = {"type": "FeatureCollection", "features": features}
    if output is not None:
        Path(output).write_text(json.dumps(collection, indent=1) + "\n", encoding="utf-8")
    return collection
