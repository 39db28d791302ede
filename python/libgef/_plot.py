# SPDX-License-Identifier: MIT
"""Matplotlib figures of a Document: CPT panels against depth, or the layer column of a boring."""

from __future__ import annotations

import os
from typing import List, Optional, Tuple

import numpy as np

__all__ = ["plot_document", "SOIL_COLOURS", "soil_colour"]

#: Fill colour per main soil letter of a layer code (NEN 5104: gravel, sand, loam, clay, peat),
#: the same as geftool plot uses.
SOIL_COLOURS = {"G": "#e3a857", "Z": "#f3e07a", "L": "#c9b48a", "K": "#7fae6b", "V": "#8a5a3a"}
_OTHER_SOIL = "#c8c8c8"

# Quantity numbers: penetration length, cone resistance, local friction, friction ratio, pore
# pressures u1, u2, u3, corrected depth; boring layers: top and bottom depth.
_QN_LENGTH, _QN_QC, _QN_FS, _QN_RF = 1, 2, 3, 4
_QN_PORE = (6, 5, 7)
_QN_DEPTH = 11
_QN_TOP, _QN_BOTTOM = 1, 2


def soil_colour(text: Optional[str]) -> str:
    """Fill colour of a layer from the main letter of the first code of its text."""
    first = (text or "").split(",")[0].strip().strip("'\" ")
    return SOIL_COLOURS.get(first[:1].upper(), _OTHER_SOIL)


def _label(column) -> str:
    name = column.quantity or f"column {column.number}"
    return f"{name} [{column.unit}]" if column.unit else name


def _cpt_panels(doc, values) -> Tuple[object, np.ndarray, List[Tuple[str, np.ndarray]]]:
    depth = doc.column(_QN_DEPTH) or doc.column(_QN_LENGTH)
    if depth is None:
        depth = doc.columns[0]
    panels = []
    qc = doc.column(_QN_QC)
    if qc is not None:
        panels.append((_label(qc), values[:, qc.number - 1]))
    rf, fs = doc.column(_QN_RF), doc.column(_QN_FS)
    if rf is not None:
        panels.append((_label(rf), values[:, rf.number - 1]))
    elif qc is not None and fs is not None and fs.unit == qc.unit:
        with np.errstate(divide="ignore", invalid="ignore"):
            ratio = 100.0 * values[:, fs.number - 1] / values[:, qc.number - 1]
        panels.append(("friction ratio (computed) [%]", ratio))
    for qn in _QN_PORE:
        pore = doc.column(qn)
        if pore is not None:
            panels.append((_label(pore), values[:, pore.number - 1]))
            break
    if not panels:  # not a CPT layout: every other column against the first
        panels = [(_label(c), values[:, c.number - 1]) for c in doc.columns
                  if c.number != depth.number][:4]
    return depth, values[:, depth.number - 1], panels


def _plot_cpt(doc, ax):
    import matplotlib.pyplot as plt

    values = doc.values("nan")
    depth, z, panels = _cpt_panels(doc, values)
    widths = [2 if i == 0 else 1 for i in range(len(panels))]
    if ax is None:
        fig, axes = plt.subplots(1, len(panels), sharey=True, figsize=(3 + 2.2 * len(panels), 8),
                                 gridspec_kw={"width_ratios": widths}, squeeze=False)
    else:
        fig = ax.figure
        fig.clear()
        axes = fig.subplots(1, len(panels), sharey=True, gridspec_kw={"width_ratios": widths},
                            squeeze=False)
    colours = ["tab:blue", "tab:red", "tab:green", "tab:purple"]
    for i, (a, (label, x)) in enumerate(zip(axes[0], panels)):
        a.plot(x, z, color=colours[i % len(colours)], linewidth=0.9)
        if np.isfinite(x).any() and np.nanmin(x) >= 0:
            a.set_xlim(left=0)
        a.set_xlabel(label)
        a.grid(True, color="0.85", linewidth=0.5)
        a.xaxis.set_label_position("top")
        a.xaxis.tick_top()
    axes[0][0].set_ylabel(_label(depth))
    axes[0][0].invert_yaxis()
    fig.suptitle(_title(doc), y=0.995, fontsize=10)
    return fig


def _plot_boring(doc, ax):
    import matplotlib.pyplot as plt
    from matplotlib.patches import Rectangle

    values = doc.values("nan")
    top, bottom = doc.column(_QN_TOP), doc.column(_QN_BOTTOM)
    if ax is None:
        fig, ax = plt.subplots(figsize=(5, 8))
    fig = ax.figure
    texts = doc.column_texts or [None] * values.shape[0]
    tops = values[:, top.number - 1]
    bottoms = values[:, bottom.number - 1] if bottom is not None else np.append(tops[1:], np.nan)
    for t, b, text in zip(tops, bottoms, texts):
        if not (np.isfinite(t) and np.isfinite(b)):
            continue
        ax.add_patch(Rectangle((0, t), 1, b - t, facecolor=soil_colour(text), edgecolor="black",
                               linewidth=0.6))
        ax.text(1.1, (t + b) / 2, text or "", va="center", fontsize=8)
    finite = np.concatenate([tops[np.isfinite(tops)], bottoms[np.isfinite(bottoms)]])
    ax.set_xlim(0, 4)
    if finite.size:
        ax.set_ylim(finite.max(), min(finite.min(), 0.0))
    ax.set_xticks([])
    for side in ("top", "right", "bottom"):
        ax.spines[side].set_visible(False)
    ax.set_ylabel(_label(top))
    ax.set_title(_title(doc), fontsize=10)
    return fig


def _title(doc) -> str:
    testid = doc.header.get("TESTID")
    name = testid[0][0] if testid and testid[0][0] else None
    return name or os.path.basename(doc.path or "")


def plot_document(doc, ax=None):
    """The figure of :meth:`Document.plot`."""
    if not doc.columns or doc.data.shape[0] == 0:
        raise ValueError("the document has no data to plot")
    if doc.report_type == "BORE" and doc.column(_QN_TOP) is not None:
        return _plot_boring(doc, ax)
    return _plot_cpt(doc, ax)
