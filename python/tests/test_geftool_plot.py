# SPDX-License-Identifier: MIT
"""geftool plot's SVG, rasterised by rsvg-convert: curves and layers lie where the data says."""

import re
import shutil
import subprocess

import numpy as np
import pytest

import libgef
import libgef._plot
from conftest import EXAMPLES

matplotlib = pytest.importorskip("matplotlib")
from matplotlib import colors, image  # noqa: E402

RSVG = shutil.which("rsvg-convert")
pytestmark = pytest.mark.skipif(RSVG is None, reason="rsvg-convert (librsvg2-bin) is missing")


def render(geftool, tmp_path, name):
    svg, png = tmp_path / (name + ".svg"), tmp_path / (name + ".png")
    subprocess.run([str(geftool), "plot", str(EXAMPLES / name), "-o", str(svg)], check=True)
    subprocess.run([RSVG, "-o", str(png), str(svg)], check=True)
    text = svg.read_text(encoding="utf-8")
    groups = [dict((k, float(v)) for k, v in re.findall(r'data-([a-z-]+)="([-0-9.e]+)"', g))
              for g in re.findall(r"<g class=\"[a-z]+\"[^>]*>", text)]
    return groups, image.imread(str(png))[:, :, :3]


def near(pixels, x, y, colour, reach=2):
    """Whether a pixel within `reach` of (x, y) has about `colour` (anti-aliased edges pale)."""
    x, y = int(round(x)), int(round(y))
    window = pixels[y - reach:y + reach + 1, x - reach:x + reach + 1]
    return bool((np.abs(window - colour).max(axis=2) < 0.35).any())


def test_cpt_curves_are_drawn_at_their_data(geftool, tmp_path):
    panels, pixels = render(geftool, tmp_path, "cpt_basic.gef")
    doc = libgef.read(EXAMPLES / "cpt_basic.gef")
    depth = doc.data[:, 0]
    assert len(panels) == 2
    for g, qn, colour in zip(panels, (2, 4), ("#1f77b4", "#d62728")):
        rgb = np.array(colors.to_rgb(colour))
        x = g["left"] + (doc.data[:, doc.column(qn).number - 1] - g["x-min"]) / \
            (g["x-max"] - g["x-min"]) * g["width"]
        y = g["top"] + (depth - g["depth-min"]) / (g["depth-max"] - g["depth-min"]) * g["height"]
        assert all(near(pixels, px, py, rgb) for px, py in zip(x, y))
        # Nothing of the curve's colour lies far from the data: mirror each point across the panel.
        assert not any(near(pixels, 2 * g["left"] + g["width"] - px, py, rgb, reach=0)
                       for px, py in zip(x, y) if abs(px - (g["left"] + g["width"] / 2)) > 20)


def test_boring_layers_are_boxes_of_their_soil_colour(geftool, tmp_path):
    (g,), pixels = render(geftool, tmp_path, "boring_layers.gef")
    doc = libgef.read(EXAMPLES / "boring_layers.gef")
    for (top, bottom), text in zip(doc.data[:, :2], doc.column_texts):
        middle = g["top"] + ((top + bottom) / 2 - g["depth-min"]) / \
            (g["depth-max"] - g["depth-min"]) * g["height"]
        expected = np.array(colors.to_rgb(libgef._plot.soil_colour(text)))
        assert near(pixels, g["left"] + g["width"] / 2, middle, expected, reach=0), text
