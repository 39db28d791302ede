"""Shared fixtures of the libgef package tests: the project's files and the raw C library."""

import ctypes
import os
import sys
from pathlib import Path

import pytest

PYTHON_DIR = Path(__file__).resolve().parents[1]
PROJECT = PYTHON_DIR.parent
sys.path.insert(0, str(PYTHON_DIR))

import libgef  # noqa: E402
from libgef._library import LOCK, library  # noqa: E402

EXAMPLES = PROJECT / "examples"
GEFTOOL_DATA = PROJECT / "tests" / "geftool" / "data"
CORPUS = PROJECT.parent / "shared" / "corpus"


def corpus_files():
    return sorted(p for p in CORPUS.rglob("*") if p.suffix.lower() == ".gef") if CORPUS.is_dir() else []


def example_files():
    return sorted(EXAMPLES.glob("*.gef"))


@pytest.fixture
def raw():
    """The loaded C library, held under the package's lock: call getters with `raw.call`."""
    with LOCK:
        yield _Raw(library())


class _Raw:
    """Calls a C getter by name with the result type given."""

    def __init__(self, lib):
        self.lib = lib

    def call(self, name, restype, *args):
        function = getattr(self.lib, name)
        function.restype = restype
        function.argtypes = [ctypes.c_int] * len(args)
        return function(*args)


@pytest.fixture(scope="session")
def geftool():
    path = Path(os.environ.get("GEFTOOL", PROJECT / "build" / "bin" / "geftool"))
    if not path.is_file():
        pytest.skip("geftool is not built")
    return path
