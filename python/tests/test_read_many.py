# SPDX-License-Identifier: MIT
"""read_many on several threads gives what reading the files one by one gives."""

import numpy as np
import pytest

import libgef
from conftest import corpus_files, example_files, read_or_none


def test_read_many_equals_reading_in_turn():
    paths = corpus_files() + example_files()
    readable = [(p, doc) for p in paths if (doc := read_or_none(p)) is not None]
    many = libgef.read_many([p for p, _ in readable], threads=4)
    assert [d.path for d in many] == [str(p) for p, _ in readable]
    for doc, (_, one) in zip(many, readable):
        np.testing.assert_array_equal(doc.data, one.data)
        assert (doc.findings, doc.header, doc.column_texts) == (one.findings, one.header,
                                                              one.column_texts)
    # The Documents stand alone: a later read on this thread changes none of them.
    libgef.read(paths[0])
    assert many[-1].header == readable[-1][1].header
    if len(readable) < len(paths):
        unreadable = next(p for p in paths if p not in dict(readable))
        with pytest.raises(libgef.ReadError):
            libgef.read_many([readable[0][0], unreadable], threads=2)
