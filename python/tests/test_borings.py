# SPDX-License-Identifier: MIT
"""Borings and dissipation tests as engineers read them: every standard code word of the corpus
borings known in English and Dutch, test dates, t50, and geftool's boring log, side-by-side and
dissipation plots rasterised and checked against the data."""

import json
import math
import re
import subprocess

import numpy as np
import pytest

import libgef
import libgef._plot
from conftest import (CORPUS, EXAMPLES, PROJECT, corpus_files, curve_drawn, example_files,
                      needs_rsvg, read_or_none, render, rgb, share_of)

# Words of the corpus borings that the shipped code files leave out on purpose, with the reason.
LEFT_OUT = {word: reason for words, reason in [
    ("NE", "colour qualifier of unsettled meaning (neutral?) in the published lists"),
    ("ZMFO ZMGO ZZGO ZUGO",
     "sand median class with a suffix O the published lists do not define"),
    ("KMSL", "clay consistency 'moderately soft' is no class of the standard's consistency list"),
    ("SZG", "producer's code of a sand spread class, not in the published lists"),
    ("SZK KAS VGMH", "producer's code, not in the published lists"),
    ("M250-800 M250-1000", "a median range written as text, not a code"),
    ("FN2 FN3 FN4 FN5 MG1 MG2 MG5 GG1 GG2 GFN GCZ GC2",
     "gravel class with a number whose meaning (amount or sub-class) is not settled"),
    ("NA NI KR RIV SLB BST1 STKL STZL STVL SCH2 GE2 ZAF",
     "code of a test file whose list is not published (meaning not certain)"),
] for word in words.split()}


def run_json(geftool, *args):
    out = subprocess.run([str(geftool), *map(str, args)], check=True, capture_output=True)
    return json.loads(out.stdout)


def borings():
    return [p for p in corpus_files() + example_files()
            if b"BORE-REPORT" in p.read_bytes().upper()]


def test_code_files_are_twins():
    def codes(name):
        lines = (PROJECT / "data" / name).read_text(encoding="latin-1").splitlines()
        return [l.split(";")[0] for l in lines if l.strip() and not l.startswith("!")]
    assert codes("soil_codes.txt") == codes("soil_codes_nl.txt")


def test_every_standard_word_of_the_corpus_borings_expands(geftool):
    # The Dutch code file holds the same codes (test_code_files_are_twins): one language will do.
    unknown = {}
    for path in borings():
        for layer in run_json(geftool, "info", "--json", path)["layers"]:
            for word in re.findall(r"([^\s,;]+)=\?\?\?", layer["expansion"]):
                unknown.setdefault(word, path.name)
    assert not {w: f for w, f in unknown.items() if w not in LEFT_OUT}
    if CORPUS.is_dir():
        assert len(unknown) > 20  # the corpus still holds the left-out words
    text = libgef.read(EXAMPLES / "site_boring.gef").column_texts[0]
    assert libgef.expand_layer(text) == \
        "sand, slightly silty, moderately humic, roots (remnants); dark brown"
    assert libgef.expand_layer(text, "nl") == \
        "zand, zwak siltig, matig humeus, wortels (resten); donker bruin"
    # A document built afresh empties the library's code table; expansion still finds the codes.
    libgef.from_arrays([[0.0, 1.0]], [("m", "a", 1), ("m", "b", 2)]).check()
    assert libgef.expand_layer(text, "nl").startswith("zand, zwak siltig")


def diss_file(tmp_path, times, u, columns=("elapsed time, 12", "pore pressure u2, 6")):
    lines = ["#GEFID= 1, 1, 0", "#REPORTCODE= GEF-DISS-Report, 1, 0, 0, -",
             f"#COLUMN= {len(columns)}"]
    lines += [f"#COLUMNINFO= {i}, s, {c}" for i, c in enumerate(columns, 1)]
    lines += [f"#LASTSCAN= {len(times)}", "#EOH="]
    lines += [" ".join(f"{v:.6f}" for v in row) for row in zip(times, u)]
    path = tmp_path / "diss.gef"
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode())
    return path


@pytest.mark.parametrize("u, end, equilibrium, t50", [
    (lambda t: 200 - 10 * t, 10, None, 5.0),        # last reading 100: half way at 150
    (lambda t: 200 - 10 * t, 10, 0.0, 10.0),        # given equilibrium 0: half way at 100
    (lambda t: 50 + 100 * np.exp(-t / 20), 200, 50.0, 20 * math.log(2)),
    (lambda t: 100 + 5 * t, 10, None, None),        # rising: no excess at the start
])
def test_t50_has_the_known_answer(geftool, tmp_path, u, end, equilibrium, t50):
    times = np.arange(0, end + 0.01, 0.25)
    path = diss_file(tmp_path, times, u(times))
    extra = [] if equilibrium is None else ["--equilibrium", equilibrium]
    facts = run_json(geftool, "info", "--json", *extra, path)["dissipation"]
    (curve,) = facts["curves"]
    py = libgef.read(path).dissipation(equilibrium).curves[0]
    assert facts["equilibrium_from"] == ("last reading" if equilibrium is None else "given")
    if t50 is None:
        assert curve["t50"] is None and py.t50 is None and curve["t50_note"]
    else:
        assert curve["t50"] == pytest.approx(t50, abs=0.02) and py.t50 == pytest.approx(t50, abs=0.02)
    assert facts["duration"] == pytest.approx(times[-1])


def test_dissipation_facts_on_every_file_and_why_not(geftool, tmp_path):
    seen = 0
    for path in corpus_files() + example_files():
        doc = read_or_none(path)
        if doc is None or (facts := doc.dissipation()) is None:
            continue
        seen += 1
        info = run_json(geftool, "info", "--json", path)["dissipation"]
        assert [c["t50"] for c in info.get("curves", [])] == \
            pytest.approx([c.t50 for c in facts.curves], nan_ok=True)
    assert seen >= 2
    path = diss_file(tmp_path, [0, 1], [5, 4], ("penetration length, 1", "pore pressure u2, 6"))
    assert "no elapsed-time column" in run_json(geftool, "info", "--json", path)["dissipation"][
        "unavailable"]
    out = subprocess.run([str(geftool), "plot", path, "-o", tmp_path / "x.svg"],
                         capture_output=True, text=True)
    assert out.returncode == 2 and "no elapsed-time column" in out.stderr


@pytest.mark.parametrize("name, date, source", [
    ("boring_layers.gef", "2024-02-05", "MEASUREMENTTEXT 16"),
    ("cpt_basic.gef", "2024-03-14", "STARTDATE"),
    ("gefid2_dissipation.gef", "2024-04-02", "FILEDATE"),
])
def test_a_test_is_dated_by_its_own_date(geftool, name, date, source):
    (row,) = run_json(geftool, "summary", "--json", EXAMPLES / name)["files"]
    assert (row["date"], row["date_source"]) == (date, source)
    assert libgef.read(EXAMPLES / name).date == (date, source)


def vertical(g, value):
    share = (value - g["depth-min"]) / (g["depth-max"] - g["depth-min"])
    return g["top"] + (1 - share if g.get("upward") else share) * g["height"]


def check_layers(g, pixels, layers):
    """Each layer's box shows its soil colour and, where it is thick enough, dark hatching."""
    for top, bottom, text in layers:
        y0, y1 = sorted((vertical(g, top), vertical(g, bottom)))
        main = libgef._plot._main_soil(text)
        box = (g["left"] + 2, y0 + 1, g["left"] + g["width"] / 2, y1 - 1)
        assert share_of(pixels, box, rgb(libgef._plot.soil_colour(text))) > 0.4, text
        if main and y1 - y0 > 12:  # hatching: pixels clearly darker than the fill
            x0, top, x1, bottom = (int(round(v)) for v in box)
            fill = rgb(libgef._plot.soil_colour(text)).mean()
            dark = pixels[top:bottom, x0:x1].mean(axis=2) < fill - 0.2
            assert dark.mean() > 0.02, f"no hatching: {text}"


def label_heights(text):
    """The labels' heights, checked to lie apart and to show words rather than raw codes."""
    labels = re.findall(r'class="label" x="[-0-9.]+" y="([-0-9.]+)"[^>]*><title>([^<]*)<', text)
    heights = [float(y) for y, _ in labels]
    assert all(b - a >= 12.9 for a, b in zip(heights, heights[1:]))
    assert not any("'" in words for _, words in labels)
    return heights


def test_long_boring_labels_stand_apart(geftool, tmp_path):
    for path in borings():
        subprocess.run([str(geftool), "plot", str(path), "-o", str(tmp_path / "b.svg")],
                       check=True)
        text = (tmp_path / "b.svg").read_text(encoding="utf-8")
        note = re.search(r'class="note"[^>]*>(\d+) of (\d+) labels left out', text)
        layers = libgef.read(path).data.shape[0]
        left_out, total = map(int, note.groups()) if note else (0, layers)
        assert (len(label_heights(text)) + left_out, total) == (layers, layers)


@needs_rsvg
def test_boring_log_draws_colour_hatching_marks_and_separate_labels(geftool, tmp_path):
    text, ((kind, g),), pixels = render(geftool, tmp_path, "site_boring.gef")
    doc = libgef.read(EXAMPLES / "site_boring.gef")
    check_layers(g, pixels, [(t, b, x) for (t, b), x in zip(doc.data[:, :2], doc.column_texts)])
    # The silty sand on top carries a silt mark at the right edge of its box.
    y = vertical(g, 0.2)
    right = g["left"] + g["width"]
    assert share_of(pixels, (right - 5, y - 2, right - 1, y + 2), rgb("#b9c4b0")) > 0.3
    assert len(label_heights(text)) == 10
    assert ">clayey sand; grey<" in text and "'Zk'" not in text.split("</defs>")[1]
    assert "level [m NAP]" in text and ">peat<" in text  # levels axis and legend


@needs_rsvg
def test_profile_puts_cpt_and_boring_on_shared_levels(geftool, tmp_path):
    text, groups, pixels = render(geftool, tmp_path, "site_cpt.gef", "site_boring.gef")
    assert [k for k, _ in groups] == ["panel", "panel", "layers"]
    assert text.index(">S-07<") < text.index(">B-07<")
    cpt, boring = libgef.read(EXAMPLES / "site_cpt.gef"), libgef.read(EXAMPLES / "site_boring.gef")
    (_, qc), _, (_, g) = groups
    levels = 0.80 - cpt.data[:, 0]
    x = qc["left"] + (cpt.data[:, 1] - qc["x-min"]) / (qc["x-max"] - qc["x-min"]) * qc["width"]
    y = [vertical(qc, v) for v in levels]
    assert curve_drawn(pixels, x, y)
    check_layers(g, pixels, [(0.75 - t, 0.75 - b, s)
                             for (t, b), s in zip(boring.data[:, :2], boring.column_texts)])


@needs_rsvg
def test_dissipation_curve_is_drawn_on_linear_and_root_time(geftool, tmp_path):
    text, groups, pixels = render(geftool, tmp_path, "dissipation_u2.gef")
    doc = libgef.read(EXAMPLES / "dissipation_u2.gef")
    facts = doc.dissipation()
    assert [k for k, _ in groups] == ["dissipation", "dissipation"]
    for _, g in groups:
        t = np.sqrt(facts.time) if g["sqrt"] else facts.time
        x = g["left"] + (t - g["x-min"]) / (g["x-max"] - g["x-min"]) * g["width"]
        u = facts.curves[0].values
        y = g["top"] + g["height"] - (u - g["y-min"]) / (g["y-max"] - g["y-min"]) * g["height"]
        assert curve_drawn(pixels, x, y)
    assert text.count('class="t50"') == 2 and "t50 relative to the last reading" in text


def test_python_plots_draw_log_dissipation_and_profile():
    matplotlib = pytest.importorskip("matplotlib")
    matplotlib.use("Agg")
    doc = libgef.read(EXAMPLES / "site_boring.gef")
    ax = doc.plot(codes="nl").axes[0]
    mains = [p for p in ax.patches if p.get_label() in ("sand", "clay", "peat")]
    assert len(mains) == doc.data.shape[0] and mains[0].get_hatch() == ".."
    assert ax.texts[7].get_text() == "kleiig zand; grijs"
    lines = libgef.read(EXAMPLES / "dissipation_u2.gef").plot().axes[1].lines
    assert np.allclose(lines[0].get_xdata() ** 2, libgef.read(EXAMPLES / "dissipation_u2.gef")
                       .dissipation().time)
    fig = libgef.plot_profile([EXAMPLES / "site_cpt.gef", EXAMPLES / "site_boring.gef"])
    cpt_axis, log_axis = fig.axes[:2]
    assert np.allclose(cpt_axis.lines[0].get_ydata(), 0.80 - libgef.read(
        EXAMPLES / "site_cpt.gef").data[:, 0])
    assert log_axis.patches[0].get_y() == pytest.approx(0.75)
