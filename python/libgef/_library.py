# SPDX-License-Identifier: MIT
"""Finding, loading and serialising access to the libgef shared library through ctypes."""

from __future__ import annotations

import atexit
import ctypes
import ctypes.util
import os
import sys
import threading
from pathlib import Path
from typing import List, Optional, Union

__all__ = ["LibraryNotFoundError", "library", "library_candidates", "LOCK"]

#: One lock around every use of the library: it holds a single current document and has no
#: locking of its own, so each public function takes this lock for the whole of its work.
LOCK = threading.RLock()

_PACKAGE_DIR = Path(__file__).resolve().parent
_PROJECT_DIR = _PACKAGE_DIR.parent.parent


class LibraryNotFoundError(OSError):
    """The libgef shared library was not found (or could not be loaded) in any place searched."""


def _file_names() -> List[str]:
    if sys.platform == "win32":
        return ["gef.dll"]
    if sys.platform == "darwin":
        return ["libgef.dylib"]
    return ["libgef.so"]


def _system_names() -> List[str]:
    """Names the system's loader resolves itself: what ``find_library`` reports, then the
    versioned file an installed package provides."""
    found = ctypes.util.find_library("gef")
    names = [found] if found else []
    if sys.platform.startswith("linux") and "libgef.so.0" not in names:
        names.append("libgef.so.0")
    return names


def library_candidates() -> List[Union[Path, str]]:
    """The places tried, in order: ``LIBGEF_PATH`` (a library file or a folder holding one), the
    package folder and the folder above it, the project's ``build/lib`` (and ``build/bin``,
    where Windows builds put ``gef.dll``), then the system's library path (an installed package
    or ``cmake --install``), given as bare names (str) for the system's loader to find."""
    names = _file_names()
    found: List[Union[Path, str]] = []
    env = os.environ.get("LIBGEF_PATH")
    if env:
        path = Path(env)
        if path.is_dir():
            found += [path / name for name in names]
        else:
            found.append(path)
    for folder in (_PACKAGE_DIR, _PACKAGE_DIR.parent, _PROJECT_DIR / "build" / "lib",
                   _PROJECT_DIR / "build" / "bin"):
        found += [folder / name for name in names]
    return found + _system_names()


# (name, result type, argument types) of every function the package calls.
_c = ctypes
_FUNCTIONS = [
    ("init_gef", _c.c_int, []),
    ("free_gef", _c.c_int, []),
    ("read_gef", _c.c_int, [_c.c_char_p]),
    ("test_gef", _c.c_int, [_c.c_char_p]),
    ("get_error_code", _c.c_int, []),
    ("get_error_text", _c.c_char_p, [_c.c_int]),
    ("get_nr_scans", _c.c_int, []),
    ("get_column", _c.c_int, []),
    ("get_column_flag", _c.c_int, []),
    ("get_columntext_flag", _c.c_int, []),
    ("get_data", _c.c_double, [_c.c_int, _c.c_int]),
    ("gef_version", _c.c_char_p, []),
    ("gef_copy_data", _c.c_longlong, [_c.c_void_p, _c.c_longlong]),
    ("gef_copy_column", _c.c_longlong, [_c.c_int, _c.POINTER(_c.c_double), _c.c_longlong]),
    ("gef_copy_errors", _c.c_int, [_c.POINTER(_c.c_int), _c.c_int]),
    ("gef_thread_document", _c.c_int, [_c.c_int]),
    ("gef_copy_header", _c.c_longlong, [_c.c_char_p, _c.c_longlong]),
    ("gef_copy_column_texts", _c.c_longlong, [_c.c_char_p, _c.c_longlong]),
    ("gef_coordinate_system_epsg", _c.c_int, [_c.c_int]),
    ("gef_coordinate_system_name", _c.c_char_p, [_c.c_int]),
    ("gef_location_doubt", _c.c_int, [_c.c_int, _c.c_double, _c.c_double]),
    ("gef_height_system_name", _c.c_char_p, [_c.c_int]),
    ("write_gef", _c.c_int, [_c.c_char_p]),
    ("load_codetexts", _c.c_int, [_c.c_char_p]),
    ("gbr_code2text", _c.c_char_p, [_c.c_char_p, _c.c_char_p]),
    ("gbr_get_additional_string", _c.c_void_p, [_c.c_int, _c.c_int]),
    ("get_columnvoid", _c.c_double, [_c.c_int]),
    ("get_columnvoid_flag", _c.c_int, [_c.c_int]),
    ("init_gef_general", _c.c_int, [_c.c_int, _c.c_int]),
    ("set_columninfo", _c.c_int, [_c.c_int, _c.c_char_p, _c.c_char_p, _c.c_int]),
    ("set_columnvoid", _c.c_int, [_c.c_int, _c.c_double]),
    ("set_data", _c.c_int, [_c.c_int, _c.c_int, _c.c_double]),
    ("set_columntext_text", None, [_c.c_int, _c.c_char_p]),
    ("set_reportdataformat", _c.c_int, [_c.c_char_p]),
]

_library: Optional[ctypes.CDLL] = None


def _declare(lib: ctypes.CDLL) -> None:
    for name, result, arguments in _FUNCTIONS:
        try:
            function = getattr(lib, name)
        except AttributeError:
            raise LibraryNotFoundError(
                f"{lib._name} does not export {name}: it is older than this package")
        function.restype = result
        function.argtypes = arguments


def library() -> ctypes.CDLL:
    """The loaded and initialised library; loads it on first use. Call with LOCK held."""
    global _library
    if _library is not None:
        return _library
    tried = []
    for path in library_candidates():
        if isinstance(path, Path) and not path.is_file():
            tried.append(f"{path} (absent)")
            continue
        try:
            lib = ctypes.CDLL(str(path))
        except OSError as error:
            where = "system library path: " if isinstance(path, str) else ""
            tried.append(f"{path} ({where}{error})")
            continue
        _declare(lib)
        if lib.init_gef() != 1:
            raise LibraryNotFoundError(f"{path}: init_gef failed")
        atexit.register(_release, lib)
        _library = lib
        return lib
    raise LibraryNotFoundError(
        "libgef shared library not found; install it or set LIBGEF_PATH to the library file or "
        "its folder. Looked in: " + "; ".join(tried))


def _release(lib: ctypes.CDLL) -> None:
    with LOCK:
        lib.free_gef()
