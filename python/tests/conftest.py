# SPDX-License-Identifier: MIT
"""Shared fixtures of the libgef package tests: the project's files, the raw C library and
geftool plot's SVG rasterised by rsvg-convert."""

import ctypes
import os
import re
import shutil
import subprocess
import sys
import types
from pathlib import Path

import numpy as np
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


def read_or_none(path):
    """The file read, or None where the library refuses it."""
    try:
        return libgef.read(path)
    except libgef.ReadError:
        return None


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


RSVG = shutil.which("rsvg-convert")
needs_rsvg = pytest.mark.skipif(RSVG is None, reason="rsvg-convert (librsvg2-bin) is missing")


def render(geftool, tmp_path, *names):
    """geftool plot of the examples `names`: the SVG's text, its data groups as (class, {data-*
    attribute: value}) and the rasterised pixels (RGB)."""
    svg, png = tmp_path / "plot.svg", tmp_path / "plot.png"
    subprocess.run([str(geftool), "plot", *[str(EXAMPLES / n) for n in names], "-o", str(svg)],
                   check=True)
    subprocess.run([RSVG, "-o", str(png), str(svg)], check=True)
    from matplotlib import image
    text = svg.read_text(encoding="utf-8")
    groups = [(kind, {k: float(v) for k, v in re.findall(r'data-([a-z-]+)="([-0-9.e]+)"', g)})
              for kind, g in re.findall(r"<g class=\"([a-z]+)\"([^>]*)>", text) if "data-" in g]
    return text, groups, image.imread(str(png))[:, :, :3]


def rgb(colour):
    from matplotlib import colors
    return np.array(colors.to_rgb(colour))


def share_of(pixels, box, colour, tolerance=0.2):
    """The share of the pixels in box (x0, y0, x1, y1) that have about `colour`."""
    x0, y0, x1, y1 = (int(round(v)) for v in box)
    window = pixels[y0:y1, x0:x1]
    return float((np.abs(window - colour).max(axis=2) < tolerance).mean()) if window.size else 0.0


def curve_drawn(pixels, x, y, colour="#1f77b4", reach=2):
    """Whether a curve of `colour` (anti-aliased edges pale) passes within `reach` pixels of
    every point (x, y)."""
    return all(share_of(pixels, (px - reach, py - reach, px + reach + 1, py + reach + 1),
                        rgb(colour), 0.35) > 0 for px, py in zip(x, y))
