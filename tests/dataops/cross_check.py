# SPDX-License-Identifier: MIT
"""Recomputes, independently of the library, the friction ratio and corrected depth that
`geftool dump --add rf,depth` appends, on every corpus CPT file that lacks them.

Usage: cross_check.py GEFTOOL CORPUS_DIR. Exit 0 when all agree within 1e-9 (relative), 1 on a
disagreement, 77 (skipped) without the corpus.
"""
import json
import math
import os
import subprocess
import sys

TOLERANCE = 1e-9
DEFAULT_VOID = -10000000.0


def run(*args):
    done = subprocess.run(args, capture_output=True)
    return done.returncode, done.stdout.decode("utf-8", "replace")


def header_vars(geftool, path):
    """MEASUREMENTVAR values by number."""
    values = {}
    for k in json.loads(run(geftool, "header", "--json", path)[1])["keywords"]:
        try:
            if k["keyword"] == "MEASUREMENTVAR":
                values[k["number"]] = float(k["fields"][0])
        except (ValueError, IndexError, TypeError):
            pass
    return values


def is_void(v, w):
    if w is None:
        return False
    return abs(v) < abs(w) if abs(w) < 1e-40 else abs(1.0 - v / w) < 1e-10


def ratio(p, q, f, pv, qv, fv, a1, a2):
    sleeve = (a1 or 0) > 0 and (a2 or 0) > 0
    length = a2 / (2 * math.sqrt(a1 * 3.1415926)) * 0.001 if sleeve else 0.134
    absp = [abs(x) for x in p]

    def bracket(x):
        return next((k for k in range(len(p) - 1) if absp[k] <= x < absp[k + 1]), None)

    out = []
    for i in range(len(p)):
        ku, kl = bracket(absp[i] + length / 2), bracket(absp[i] - length / 2)
        if is_void(p[i], pv) or is_void(f[i], fv) or not f[i] > 0 or ku is None or kl is None:
            out.append(0.0)
            continue
        window = [q[j] for j in range(kl + 1, ku + 2) if not is_void(q[j], qv) and q[j] > 0]
        out.append(f[i] * 100 / (sum(window) / len(window)) if window else 0.0)
    return out


def depth(p, pv, angles, voids):
    """Corrected depth from one resultant inclination or two components."""
    def rad(values, w, i):
        v = values[i]
        return 0.0 if not math.isfinite(v) or is_void(v, w) else math.radians(v)

    def bad(v):
        return not math.isfinite(v) or is_void(v, pv)

    d, offset = [], 0.0
    for i, x in enumerate(p):
        if bad(x):
            d.append(pv if pv is not None else x)
        elif i == 0 or bad(p[i - 1]):
            d.append(x + offset)
        else:
            tans = [math.tan(rad(a, w, i)) for a, w in zip(angles, voids)]
            step = x - p[i - 1]
            d.append(d[-1] + (step / math.sqrt(1 + tans[0] ** 2 + tans[1] ** 2) if len(tans) == 2
                              else math.cos(rad(angles[0], voids[0], i)) * step))
            offset = d[-1] - x
    return d


def difference(a, b):
    if a == b or (math.isnan(a) and math.isnan(b)):
        return 0.0
    return math.inf if math.isnan(a) or math.isnan(b) else abs(a - b) / max(abs(a), abs(b))


def main():
    geftool, corpus = sys.argv[1], sys.argv[2]
    if not os.path.isdir(corpus):
        print("corpus absent: skipped")
        return 77
    compared = {"rf": [0, 0, 0.0], "depth": [0, 0, 0.0]}  # files, values, largest difference
    failures = []
    for path in sorted(os.path.join(d, n) for d, _, names in os.walk(corpus) for n in names
                       if n.lower().endswith(".gef")):
        code, text = run(geftool, "info", "--json", path)
        info = json.loads(text) if code == 0 else {}
        if info.get("report") != "GEF-CPT-Report":
            continue
        cols = {}
        for c in info["columns"]:
            if c["quantity_number"] is not None:
                cols.setdefault(c["quantity_number"], c)
        lines = run(geftool, "dump", "--voids", "keep", "--add", "rf,depth", path)[1].splitlines()
        if not lines:
            continue
        try:
            rows = [[float(x) if x else float("nan") for x in line.split(",")] for line in lines[1:]]
        except ValueError:  # per-scan texts: no CPT table to check
            continue
        values = [[r[c] for r in rows] for c in range(len(lines[0].split(",")))]
        width = len(info["columns"])

        def col(qn):
            return values[cols[qn]["number"] - 1]

        def void(qn):
            return cols[qn]["void"] if qn in cols else None

        def compare(name, got, expected):
            worst = max([0.0] + [difference(a, b) for a, b in zip(got, expected)])
            entry = compared[name]
            entry[0], entry[1], entry[2] = entry[0] + 1, entry[1] + len(got), max(entry[2], worst)
            if worst > TOLERANCE:
                failures.append("%s: %s differs by %g" % (path, name, worst))

        mv = header_vars(geftool, path)
        adds_rf = all(q in cols for q in (1, 2, 3)) and 4 not in cols
        if adds_rf:  # without a COLUMNVOID the library gives the default one
            pv, qv, fv = (DEFAULT_VOID if void(q) is None else void(q) for q in (1, 2, 3))
            expected = ratio(col(1), col(2), col(3), pv, qv, fv, mv.get(1), mv.get(2))
            compare("rf", values[width], expected)
        qns = (9, 10) if 9 in cols and 10 in cols else (8,) if 8 in cols else ()
        if 1 in cols and qns and 11 not in cols:
            expected = depth(col(1), void(1), [col(q) for q in qns], [void(q) for q in qns])
            compare("depth", values[width + adds_rf], expected)
    for name, (f, n, worst) in compared.items():
        print("%s: %d files, %d values compared, largest relative difference %g"
              % (name, f, n, worst))
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
