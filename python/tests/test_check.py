# SPDX-License-Identifier: MIT
"""check(), write() and the library search: findings as geftool's, rule sets, clear errors."""

import json
import os
import shutil
import subprocess
import sys

import pytest

import libgef
from conftest import EXAMPLES, GEFTOOL_DATA, PYTHON_DIR, corpus_files, example_files

FILES = example_files() + sorted(GEFTOOL_DATA.glob("*.gef")) + corpus_files()[::6]


def test_findings_equal_geftool_check_json(geftool):
    run = subprocess.run([str(geftool), "check", "--json", *map(str, FILES)],
                         capture_output=True, text=True, encoding="utf-8")
    report = {f["path"]: f for f in json.loads(run.stdout)["files"]}
    for path in FILES:
        expected = report[str(path)]
        try:
            found = libgef.read(path).check()
        except libgef.ReadError as error:
            assert not expected["read"]
            found = error.findings
        assert [(f.code, f.level, f.message) for f in found] == \
            [(f["code"], f["level"], f["message"]) for f in expected["findings"]], path.name


def test_rule_sets_by_name(tmp_path):
    doc = libgef.read(example_files()[0])
    header = doc.check("header")
    assert header[:len(doc.findings)] == doc.findings
    with pytest.raises(ValueError):
        doc.check("NO-SUCH-RULES")
    for name in ("DATA", "GEF-CPT-Report", "GEF-BORE-Report", "TAAL"):
        assert isinstance(doc.check(name), list)
    # A lone note with code 42 is a finding like any other, never taken for a missing rule set.
    text = (EXAMPLES / "cpt_basic.gef").read_bytes().replace(b"#EOH=", b"#DATAFORMAT= TEXT\r\n#EOH=")
    (tmp_path / "note.gef").write_bytes(text)
    noted = libgef.read(tmp_path / "note.gef")
    assert [(f.code, f.message.strip()) for f in noted.check("HEADER")[len(noted.findings):]] == \
        [(42, "GEF 100: Illegal dataformat")]
    assert any(f.code == 42 for f in noted.check())


def test_write_keeps_every_value_or_says_what_it_lost(tmp_path):
    examples = {p.name: p for p in example_files()}
    doc = libgef.read(examples["cpt_basic.gef"])
    libgef.write(doc, tmp_path / "out.gef")
    assert "#REPORTDATAFORMAT= F4.2 F5.3 F6.4 F4.2" in (tmp_path / "out.gef").read_text()
    assert libgef.read(tmp_path / "out.gef").data.tolist() == doc.data.tolist()
    # Exactly the values of an array, however many digits they carry.
    built = libgef.from_arrays([[0.2471782714, 553.334], [1e-9, -2.5]],
                               [("m", "penetration length", 1), ("MPa", "cone resistance", 2)])
    libgef.write(built, tmp_path / "built.gef")
    assert libgef.read(tmp_path / "built.gef").data.tolist() == built.data.tolist()
    assert "#REPORTDATAFORMAT= E15.9 F7.3" in (tmp_path / "built.gef").read_text()
    # A field the library could not keep on reading is a loss, told or allowed with a warning.
    surplus = tmp_path / "surplus.gef"
    surplus.write_bytes(examples["cpt_basic.gef"].read_bytes().replace(
        b"#MEASUREMENTTEXT= 9,", b"#MEASUREMENTTEXT= 5, 2019, 01, 29\r\n#MEASUREMENTTEXT= 9,"))
    with pytest.raises(libgef.DataLossError, match="Too many parameters"):
        libgef.write(libgef.read(surplus), tmp_path / "lossy.gef")
    with pytest.warns(UserWarning, match="does not hold everything"):
        libgef.write(libgef.read(surplus), tmp_path / "lossy.gef", allow_loss=True)


def test_attributes_engineers_reach_for(tmp_path):
    doc = libgef.read(next(p for p in example_files() if p.name == "cpt_basic.gef"))
    assert doc.test_id and doc.test_id == doc.header["TESTID"][0][0]
    assert all(v == float(str(v)) and len(repr(v)) < 12
               for e in doc.header.get("MEASUREMENTVAR", ()) for v in e if isinstance(v, float))
    assert doc.layers == [] and libgef.read(EXAMPLES / "boring_layers.gef").layers[1] == \
        libgef.Layer(0.3, 1.1, "'Kz3'", "clay, strongly sandy", ())
    assert [d.path for d in libgef.read_folder(EXAMPLES.parent / "examples")] == \
        [str(p) for p in example_files()]
    for content in (b"", bytes(range(256)), b"just some text\n"):
        (tmp_path / "x.gef").write_bytes(content)
        with pytest.raises(libgef.ReadError, match=r"not a GEF file \(no #GEFID line\); GEF"):
            libgef.read(tmp_path / "x.gef")


def test_library_search_names_every_place_and_finds_an_installed_library(tmp_path):
    shutil.copytree(PYTHON_DIR / "libgef", tmp_path / "libgef")
    run = lambda code, env: subprocess.run([sys.executable, "-c", code], capture_output=True,
                                           text=True, cwd=tmp_path, env=env)
    missing = tmp_path / "nowhere" / "libgef.so"
    code = "import libgef\ntry:\n libgef.version()\nexcept libgef.LibraryNotFoundError as e:\n print(e)"
    out = run(code, dict(os.environ, LIBGEF_PATH=str(missing), PYTHONPATH=str(tmp_path))).stdout
    assert "LIBGEF_PATH" in out and str(missing) in out
    assert str(tmp_path / "libgef") in out and os.path.join("build", "lib") in out
    assert "libgef.so.0 (system library path" in out
    # As after `cmake --install` to a prefix the loader searches: no LIBGEF_PATH, no build tree.
    (tmp_path / "lib").mkdir()
    shutil.copy(os.environ["LIBGEF_PATH"], tmp_path / "lib" / "libgef.so.0")
    env = {k: v for k, v in os.environ.items() if k != "LIBGEF_PATH"}
    env.update(PYTHONPATH=str(tmp_path), LD_LIBRARY_PATH=str(tmp_path / "lib"))
    found = run("import libgef; print(libgef.version())", env)
    assert found.returncode == 0 and found.stdout.strip(), found.stderr


def test_version_is_the_projects():
    assert libgef.__version__ == libgef.version()  # the package's and the library's, from CMake


def test_documents_built_from_arrays_check_like_read_ones():
    values = [[0.1, 1.5], [0.2, -9999.0]]
    doc = libgef.from_arrays(values, [("m", "penetration length", 1), ("MPa", "cone resistance", 2)],
                             voids=[None, -9999.0], texts=["a", None])
    libgef.read(example_files()[0])  # another current document in between
    assert doc.header["COLUMNINFO"][1] == (2, "MPa", "cone resistance", 2)
    assert doc.data.tolist() == values and doc.column_texts == ["a", None]
    assert {f.code for f in doc.check("HEADER")} == {43}  # FILEOWNER, FILEDATE, PROJECTID
    with pytest.raises(ValueError):
        libgef.from_arrays(values, [("m", "penetration length", 1)])
