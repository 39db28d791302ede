# SPDX-License-Identifier: MIT
"""Matplotlib figures of a Document: CPT panels against depth, a boring's log, a dissipation
test's curves, and CPTs and borings side by side."""

from __future__ import annotations

import os
from typing import List, Optional, Tuple

import numpy as np

__all__ = ["plot_document", "plot_profile", "SOIL_STYLES", "SOIL_COLOURS", "soil_colour"]

#: How a soil type is drawn, per code letter: name, conventional colour and a hatching that tells
#: it apart in black and white; the same colours as geftool plot. Main types (NEN 5104: gravel,
#: sand, loam, clay, peat) first, then admixtures that are no main type of their own.
SOIL_STYLES = {"G": ("gravel", "#e3a857", "oo"), "Z": ("sand", "#f3e07a", ".."),
               "L": ("loam", "#c9b48a", "/."), "K": ("clay", "#7fae6b", "///"),
               "V": ("peat", "#8a5a3a", "--"), "S": ("silt", "#b9c4b0", "||"),
               "H": ("humus", "#5a4632", "-")}
#: Fill colour per main soil letter.
SOIL_COLOURS = {k: v[1] for k, v in SOIL_STYLES.items() if k in "GZLKV"}
_OTHER_SOIL = "#c8c8c8"

# Quantity numbers: penetration length, cone resistance, local friction, friction ratio, pore
# pressures u1, u2, u3, corrected depth; boring layers: top and bottom depth.
_QN_LENGTH, _QN_QC, _QN_FS, _QN_RF = 1, 2, 3, 4
_QN_PORE = (6, 5, 7)
_QN_DEPTH = 11
_QN_TOP, _QN_BOTTOM = 1, 2


def _code_word(text: Optional[str]) -> str:
    first = (text or "").split(";")[0].strip().strip("'\" ")
    return first.split(" ")[0].split("'")[0].upper()


def _main_soil(text: Optional[str]) -> Optional[str]:
    word = _code_word(text)
    return None if not word or word in ("NBE", "GM") or word[0] not in "GZLKV" else word[0]


def _admixtures(text: Optional[str]) -> List[Tuple[str, int]]:
    """The admixture letters of a layer's code with their grade (Zs1h2: S 1, H 2; Zk: K 2)."""
    word = _code_word(text)
    if word.startswith("VM"):
        return []
    out = []
    for i, letter in enumerate(word[1:], 1):
        if letter in SOIL_STYLES:
            grade = word[i + 1] if i + 1 < len(word) and word[i + 1].isdigit() else "2"
            out.append((letter, int(grade)))
    return out


def soil_colour(text: Optional[str]) -> str:
    """Fill colour of a layer from the main letter of the first code of its text."""
    main = _main_soil(text)
    return SOIL_STYLES[main][1] if main else _OTHER_SOIL


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


def _panel_axes(ax, widths, figsize):
    """A figure with one row of panels sharing the vertical axis, `widths` their relative widths:
    a new one, or the figure of `ax` cleared and filled."""
    import matplotlib.pyplot as plt

    if ax is None:
        fig, axes = plt.subplots(1, len(widths), sharey=True, figsize=figsize,
                                 gridspec_kw={"width_ratios": widths}, squeeze=False)
    else:
        fig = ax.figure
        fig.clear()
        axes = fig.subplots(1, len(widths), sharey=True, gridspec_kw={"width_ratios": widths},
                            squeeze=False)
    return fig, axes[0]


def _plot_cpt(doc, ax):
    values = doc.values("nan")
    depth, z, panels = _cpt_panels(doc, values)
    widths = [2 if i == 0 else 1 for i in range(len(panels))]
    fig, axes = _panel_axes(ax, widths, (3 + 2.2 * len(panels), 8))
    colours = ["tab:blue", "tab:red", "tab:green", "tab:purple"]
    for i, (a, (label, x)) in enumerate(zip(axes, panels)):
        a.plot(x, z, color=colours[i % len(colours)], linewidth=0.9)
        if np.isfinite(x).any() and np.nanmin(x) >= 0:
            a.set_xlim(left=0)
        a.set_xlabel(label)
        a.grid(True, color="0.85", linewidth=0.5)
        a.xaxis.set_label_position("top")
        a.xaxis.tick_top()
    axes[0].set_ylabel(_label(depth))
    axes[0].invert_yaxis()
    fig.suptitle(_title(doc), y=0.995, fontsize=10)
    return fig


def place_labels(wanted, thickness, height, lo, hi):
    """Centres for labels `height` apart, each as near its wanted centre as the others allow,
    within [lo, hi]; when not all fit, the thinnest layers' labels are left out (NaN)."""
    placed = np.array(wanted, dtype=float)
    room = int((hi - lo) // height)
    order = np.argsort(np.asarray(thickness), kind="stable")
    placed[order[:max(0, len(placed) - room)]] = np.nan
    kept = [i for i in range(len(placed)) if np.isfinite(placed[i])]
    floor = lo + height / 2
    for i in kept:
        placed[i] = max(placed[i], floor)
        floor = placed[i] + height
    ceiling = hi - height / 2
    for i in reversed(kept):
        placed[i] = min(placed[i], ceiling)
        ceiling = placed[i] - height
    return placed


def _layers(doc, codes):
    from ._codes import expand_layer

    values = doc.values("nan")
    top, bottom = doc.column(_QN_TOP), doc.column(_QN_BOTTOM)
    tops = values[:, top.number - 1]
    bottoms = values[:, bottom.number - 1] if bottom is not None else np.append(tops[1:], np.nan)
    texts = doc.column_texts or [None] * values.shape[0]
    separator = (doc.header.get("COLUMNSEPARATOR") or [(";",)])[0][0] or ";"
    return [(t, b, text, expand_layer(text, codes, separator) or text or "")
            for t, b, text in zip(tops, bottoms, texts)]


def _draw_log(ax, layers, x0=0.0, width=1.0, label_room=3.0):
    """Draws layers (top, bottom, code text, words) as a column from x0 on `ax` whose y axis is
    already oriented; returns the soil letters drawn."""
    from matplotlib.patches import Rectangle

    used = []
    wanted, thickness = [], []
    for t, b, text, _ in layers:
        ok = np.isfinite(t) and np.isfinite(b)
        wanted.append((t + b) / 2 if ok else np.nan)
        thickness.append(abs(b - t) if ok else 0.0)
        if not ok:
            continue
        main = _main_soil(text)
        name, colour, hatch = SOIL_STYLES.get(main, ("", _OTHER_SOIL, None))
        ax.add_patch(Rectangle((x0, t), width, b - t, facecolor=colour, hatch=hatch,
                               edgecolor="black", linewidth=0.6, label=name))
        right = x0 + width
        for letter, grade in _admixtures(text):
            w = width * (0.04 + 0.04 * min(grade, 4))
            right -= w
            ax.add_patch(Rectangle((right, t), w, b - t, facecolor=SOIL_STYLES[letter][1],
                                   hatch=SOIL_STYLES[letter][2], edgecolor="black",
                                   linewidth=0.3))
            used.append(letter)
        used.append(main)
    # Labels in display units so that their spacing follows the font, not the depth scale.
    # Placed in the downward direction of the picture, whichever way the axis runs.
    lo, hi = sorted(ax.get_ylim())
    sign = 1.0 if ax.yaxis_inverted() else -1.0
    line = (hi - lo) * 11.0 / (ax.get_window_extent().height or 1.0)
    down = place_labels(sign * np.array(wanted), thickness, line,
                        *sorted((sign * lo, sign * hi)))
    placed = sign * down
    left_out = int(np.sum(np.isfinite(wanted) & ~np.isfinite(placed)))
    if left_out:  # said on the figure: the boxes are all there, not all their words
        ax.text(0, 1.005, f"{left_out} of {len(layers)} labels left out for room",
                transform=ax.transAxes, fontsize=6, va="bottom")
    for (t, b, text, words), w, p in zip(layers, wanted, placed):
        if not np.isfinite(p):
            continue
        if abs(p - w) > line * 0.1:
            ax.plot([x0 + width, x0 + width + 0.12, x0 + width + 0.18], [w, p, p],
                    color="0.4", linewidth=0.5)
        ax.text(x0 + width + 0.2, p, words, va="center", fontsize=7, clip_on=True)
    return [u for i, u in enumerate(used) if u and u not in used[:i]]


def _legend(fig, letters):
    from matplotlib.patches import Patch

    handles = [Patch(facecolor=SOIL_STYLES[k][1], hatch=SOIL_STYLES[k][2], edgecolor="black",
                     label=SOIL_STYLES[k][0]) for k in letters]
    if handles:
        fig.legend(handles=handles, loc="lower center", ncol=min(len(handles), 7), fontsize=8,
                   frameon=False)


def _plot_boring(doc, ax, codes):
    import matplotlib.pyplot as plt

    if ax is None:
        fig, ax = plt.subplots(figsize=(8, 9))
    fig = ax.figure
    layers = _layers(doc, codes)
    finite = [v for t, b, _, _ in layers for v in (t, b) if np.isfinite(v)]
    ax.set_xlim(0, 6)
    if finite:
        ax.set_ylim(max(finite), min(min(finite), 0.0))
    ax.set_xticks([])
    for side in ("top", "right", "bottom"):
        ax.spines[side].set_visible(False)
    ax.set_ylabel("depth below ground [m]")
    z = _ground_level(doc)
    if z is not None:  # a second axis of levels in the height system
        levels = ax.secondary_yaxis("left", functions=(lambda d: z - d, lambda v: z - v))
        levels.spines["left"].set_position(("outward", 45))
        levels.set_ylabel("level [m]")
        fig.subplots_adjust(left=0.2)
    _legend(fig, _draw_log(ax, layers))
    ax.set_title(_title(doc), fontsize=10)
    return fig


def _ground_level(doc) -> Optional[float]:
    zid = doc.header.get("ZID")
    try:
        return float(zid[0][1]) if zid and zid[0][1] is not None else None
    except (TypeError, ValueError):
        return None


def _plot_dissipation(doc, ax):
    facts = doc.dissipation()
    if facts.unavailable:
        raise ValueError(f"the dissipation test cannot be drawn: {facts.unavailable}")
    fig, axes = _panel_axes(ax, [1, 1], (11, 5))
    colours = ["tab:blue", "tab:red", "tab:green", "tab:purple"]
    for a, root in zip(axes, (False, True)):
        x = np.sqrt(np.clip(facts.time, 0, None)) if root else facts.time
        for i, c in enumerate(facts.curves):
            a.plot(x, c.values, color=colours[i % 4], linewidth=1.2,
                   label=c.label + (f", t50 {c.t50:.4g} {facts.time_unit or ''}" if c.t50 else ""))
            if c.t50 is not None:
                a.axvline(np.sqrt(c.t50) if root else c.t50, color=colours[i % 4],
                          linestyle="--", linewidth=0.8)
        unit = f" [{facts.time_unit}]" if facts.time_unit else ""
        a.set_xlabel(f"√(elapsed time{unit})" if root else facts.time_label)
        a.grid(True, color="0.85", linewidth=0.5)
    axes[0].set_ylabel(facts.curves[0].label)
    axes[0].legend(fontsize=8)
    where = f" at {facts.depth:g} m" if facts.depth is not None else ""
    fig.suptitle(_title(doc) + where + ("" if facts.equilibrium_given
                                        else " (t50 relative to the last reading)"), fontsize=10)
    return fig


def plot_profile(documents, codes="en", ax=None):
    """CPTs and borings side by side, in the order given, on one vertical axis: levels in the
    height system when every document gives its ground level (ZID) in the same one, else depth
    below ground.
    `documents` are Documents or paths; a boring's descriptions are expanded with `codes`.
    Returns the matplotlib figure. Needs matplotlib."""
    from ._document import read

    docs = [d if hasattr(d, "columns") else read(d) for d in documents]
    if not docs:
        raise ValueError("plot_profile needs at least one document")
    zs = [_ground_level(d) for d in docs]
    systems = {(d.header.get("ZID") or [(None,)])[0][0] for d in docs}
    levels = all(z is not None for z in zs) and len(systems) == 1
    borings = [d.report_type == "BORE" and d.column(_QN_TOP) is not None for d in docs]
    widths = [3 if b else 2 for b in borings]
    fig, axes = _panel_axes(ax, widths, (1.6 * sum(widths), 9))

    def at(z, depth):
        return z - depth if levels else depth

    logs, all_y = [], []
    for a, d, z, boring in zip(axes, docs, zs, borings):
        if boring:
            layers = [(at(z, t), at(z, b), text, words) for t, b, text, words in _layers(d, codes)]
            all_y += [v for t, b, _, _ in layers for v in (t, b) if np.isfinite(v)]
            a.set_xlim(0, 5)
            a.set_xticks([])
            logs.append((a, layers))
        else:
            _, depths, panels = _cpt_panels(d, d.values("nan"))
            y = at(z, depths)
            a.plot(panels[0][1], y, color="tab:blue", linewidth=0.9)
            a.set_xlabel(panels[0][0], fontsize=8)
            a.xaxis.set_label_position("top")
            a.xaxis.tick_top()
            a.grid(True, color="0.85", linewidth=0.5)
            all_y += list(y[np.isfinite(y)])
        a.set_title(_title(d), fontsize=10, y=1.06)
    if all_y:
        top, bottom = max(all_y), min(all_y)
        axes[0].set_ylim((bottom, top) if levels else (top, bottom))
    used = []
    for a, layers in logs:  # labels once the shared axis is final
        used += _draw_log(a, layers)
    axes[0].set_ylabel("level [m]" if levels else "depth below ground [m]")
    _legend(fig, [u for i, u in enumerate(used) if u not in used[:i]])
    return fig


def _title(doc) -> str:
    testid = doc.header.get("TESTID")
    name = testid[0][0] if testid and testid[0][0] else None
    return name or os.path.basename(doc.path or "")


def plot_document(doc, ax=None, codes="en"):
    """The figure of :meth:`Document.plot`."""
    if not doc.columns or doc.data.shape[0] == 0:
        raise ValueError("the document has no data to plot")
    if doc.report_type == "BORE" and doc.column(_QN_TOP) is not None:
        return _plot_boring(doc, ax, codes)
    if doc.dissipation() is not None:
        return _plot_dissipation(doc, ax)
    return _plot_cpt(doc, ax)
