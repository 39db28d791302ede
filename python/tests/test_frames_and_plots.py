# SPDX-License-Identifier: MIT
"""to_pandas() and plot(): named columns with units, voids as NaN, curves where the data is."""

import numpy as np
import pytest

import libgef
import libgef._plot
from conftest import EXAMPLES

pd = pytest.importorskip("pandas")
matplotlib = pytest.importorskip("matplotlib")
matplotlib.use("Agg")


def test_dataframe_has_one_column_per_quantity():
    doc = libgef.read(EXAMPLES / "cpt_basic.gef")
    df = doc.to_pandas()
    assert list(df.columns) == [c.quantity for c in doc.columns]
    assert df.attrs["units"]["cone resistance"] == "MPa"
    assert df.attrs["quantity_numbers"]["friction ratio"] == 4
    assert np.array_equal(df.to_numpy(), doc.values("nan"), equal_nan=True)
    layers = libgef.read(EXAMPLES / "boring_layers.gef").to_pandas()
    assert layers["column text"].iloc[0].startswith("'Zs1h2'")


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


def test_boring_plot_draws_one_box_per_layer_with_its_text():
    doc = libgef.read(EXAMPLES / "boring_layers.gef")
    fig = doc.plot()
    ax = fig.axes[0]
    assert len(ax.patches) == doc.data.shape[0]
    assert [t.get_text() for t in ax.texts] == doc.column_texts
    assert ax.patches[0].get_facecolor()[:3] == matplotlib.colors.to_rgb(
        libgef._plot.SOIL_COLOURS["Z"])
