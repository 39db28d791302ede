# SPDX-License-Identifier: MIT
"""libgef for Python: read, check and plot GEF files (Geotechnical Exchange Format) with libgef.

    import libgef
    doc = libgef.read("cpt.gef")           # a Document: header, columns, data, findings
    doc.data                               # numpy float64 array, scans x columns
    doc.check()                            # the library's rule sets -> list of Finding
    doc.to_pandas(); doc.plot()            # with pandas / matplotlib installed
    doc.location, doc.lonlat               # #XYID and its system; WGS84 with pyproj
    libgef.locations("folder")             # one row per file; libgef.to_geojson for maps

The shared library is found through LIBGEF_PATH, then beside the package, then in the project's
build/lib (build/bin for gef.dll). Every call into it runs behind one lock, and a Document is a
plain copy, valid after later reads and in any thread. read_many reads many files at once: each
of its threads has a library document of its own and needs no lock.
"""

from ._document import (RULE_SETS, Column, Document, Finding, Layer, ReadError, from_arrays,
                        read, read_folder, read_many, version, write)
from ._keeping import DataLossError
from ._library import LibraryNotFoundError, library_candidates
from ._codes import expand_layer
from ._facts import Dissipation, PoreCurve, TestDate
from ._location import Location, locations, to_geojson
from ._plot import plot_profile

# The package's one version (pyproject.toml reads it from here): the project's, as gef_version().
__version__ = "0.1.0"

__all__ = ["Column", "DataLossError", "Document", "Finding", "Layer", "LibraryNotFoundError",
           "ReadError", "RULE_SETS", "from_arrays", "library_candidates", "read", "read_folder",
           "read_many", "version", "write"]
__all__ += ["Dissipation", "PoreCurve", "TestDate", "expand_layer", "plot_profile"]
__all__ += ["Location", "locations", "to_geojson"]
