# SPDX-License-Identifier: MIT
"""to_pandas() and plot(), and geftool plot's SVG rasterised by rsvg-convert: named columns with
units, voids as NaN, curves where the data says (boring logs: test_borings.py)."""

import subprocess

import numpy as np
import pytest

import libgef
from conftest import (EXAMPLES, corpus_files, curve_drawn, example_files, needs_rsvg, read_or_none,
                      render)

pd = pytest.importorskip("pandas")
matplotlib = pytest.importorskip("matplotlib")
matplotlib.use("Agg")


def test_dataframe_names_columns_by_quantity_and_unit():
    doc = libgef.read(EXAMPLES / "cpt_basic.gef")
    df = doc.to_pandas()
    assert df.attrs["quantities"]["cone_resistance_MPa"] == "cone resistance"
    assert df.attrs["units"]["friction_ratio_pct"] == "%"
    assert df.attrs["quantity_numbers"]["friction_ratio_pct"] == 4
    assert np.array_equal(df.to_numpy(), doc.values("nan"), equal_nan=True)
    layers = libgef.read(EXAMPLES / "boring_layers.gef").to_pandas()
    assert layers["column_text"].iloc[0].startswith("'Zs1h2'")


@pytest.mark.parametrize("path", corpus_files() + example_files(), ids=lambda p: p.name)
def test_dataframe_names_equal_geftool_dump(path, geftool):
    if (doc := read_or_none(path)) is None:
        return
    df = doc.to_pandas()
    out = subprocess.run([str(geftool), "dump", "--no-file-column", str(path)],
                         capture_output=True, text=True, encoding="utf-8").stdout
    # The expanded layer description is geftool's own, from its code table.
    names = [n for n in out.split("\n")[0].split(",") if n != "layer_description"]
    assert list(df.columns) == names


def test_cpt_plot_draws_each_panel_against_depth_downwards():
    doc = libgef.read(EXAMPLES / "cpt_basic.gef")
    fig = doc.plot()
    axes = fig.axes
    assert [a.get_xlabel() for a in axes] == ["cone resistance [MPa]", "friction ratio [%]"]
    for axis, qn in zip(axes, (2, 4)):
        x, y = axis.lines[0].get_data()
        assert np.array_equal(x, doc.data[:, doc.column(qn).number - 1])
        assert np.array_equal(y, doc.data[:, 0])
    assert axes[0].yaxis_inverted()


@needs_rsvg
def test_geftool_cpt_curves_are_drawn_at_their_data(geftool, tmp_path):
    _, groups, pixels = render(geftool, tmp_path, "cpt_basic.gef")
    doc = libgef.read(EXAMPLES / "cpt_basic.gef")
    depth = doc.data[:, 0]
    assert [k for k, _ in groups] == ["panel", "panel"]
    for (_, g), qn, colour in zip(groups, (2, 4), ("#1f77b4", "#d62728")):
        x = g["left"] + (doc.data[:, doc.column(qn).number - 1] - g["x-min"]) / \
            (g["x-max"] - g["x-min"]) * g["width"]
        y = g["top"] + (depth - g["depth-min"]) / (g["depth-max"] - g["depth-min"]) * g["height"]
        assert curve_drawn(pixels, x, y, colour)
        # Nothing of the curve's colour lies far from the data: mirror each point across the panel.
        far = [(2 * g["left"] + g["width"] - px, py) for px, py in zip(x, y)
               if abs(px - (g["left"] + g["width"] / 2)) > 20]
        assert not any(curve_drawn(pixels, [px], [py], colour, reach=0) for px, py in far)
