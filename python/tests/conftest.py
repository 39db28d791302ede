# SPDX-License-Identifier: MIT
"""Shared fixtures of the libgef package tests: the project's files and the raw C library."""

import ctypes
import os
import sys
import types
from pathlib import Path

import pytest

PYTHON_DIR = Path(__file__).resolve().parents[1]
PROJECT = PYTHON_DIR.parent
sys.path.insert(0, str(PYTHON_DIR))

import libgef  # noqa: E402
from libgef._library import LOCK, library  # noqa: E402

EXAMPLES = PROJECT / "examples"
GEFTOOL_DATA = PROJECT / "tests" / "geftool" / "data"
CORPUS = Path(os.environ.get("GEF_CORPUS", PROJECT.parent / "shared" / "corpus"))


def corpus_files():
    return sorted(p for p in CORPUS.rglob("*") if p.suffix.lower() == ".gef") if CORPUS.is_dir() else []


def example_files():
    return sorted(EXAMPLES.glob("*.gef"))


@pytest.fixture
def raw():
    """The loaded C library, held under the package's lock: call getters with `raw.call`."""
    def call(name, restype, *args):
        function = getattr(lib, name)
        function.restype, function.argtypes = restype, [ctypes.c_int] * len(args)
        return function(*args)

    with LOCK:
        lib = library()
        yield types.SimpleNamespace(lib=lib, call=call)


@pytest.fixture(scope="session")
def geftool():
    path = Path(os.environ.get("GEFTOOL", PROJECT / "build" / "bin" / "geftool"))
    if not path.is_file():
        pytest.skip("geftool is not built")
    return path
