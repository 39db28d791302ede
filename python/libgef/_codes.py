# SPDX-License-Identifier: MIT
"""Boring layer texts in words, expanded by the library with a soil code file."""

from __future__ import annotations

import os
import re
from pathlib import Path
from typing import Optional, Union

from ._library import LOCK, _PACKAGE_DIR, _PROJECT_DIR, library

__all__ = ["code_file", "expand_layer"]

_SHIPPED = {"en": "soil_codes.txt", "nl": "soil_codes_nl.txt"}


def code_file(codes: Union[str, os.PathLike] = "en", lib=None) -> Path:
    """The code file that `codes` names: "en" or "nl" for the English or Dutch soil codes shipped
    with the package (found in its ``data`` folder or beside it, in the project's, or under
    ``share/libgef`` beside the loaded library `lib`), or a file path."""
    name = _SHIPPED.get(str(codes))
    if name is None:
        return Path(codes)
    folders = [_PACKAGE_DIR / "data", _PACKAGE_DIR, _PROJECT_DIR / "data"]
    if lib is not None:
        folders.append(Path(os.path.abspath(lib._name)).parent.parent / "share" / "libgef")
    for folder in folders:
        if (folder / name).is_file():
            return folder / name
    raise FileNotFoundError(f"the shipped soil code file {name} was not found")


def _load(lib, codes) -> None:
    """Makes `codes` the library's code table; the one place that loads one. It loads every
    time (about 30 microseconds): the library empties its table whenever a document is started
    afresh (init_gef_general), so a remembered "already loaded" would go stale. Call with LOCK
    held."""
    path = str(code_file(codes, lib))
    if lib.load_codetexts(os.fsencode(path)) != 1:
        raise OSError(f"code file {path} could not be read")


def _code2text(lib, text: str) -> str:
    return lib.gbr_code2text(text.encode("latin-1", "replace"), b"\x1f").decode("latin-1")


def _holds_codes(piece: str) -> bool:
    # No lower case, full stop or colon outside parentheses: codes, not the describer's words.
    return not re.search(r"[a-z.:]", re.sub(r"\([^)]*\)", "", piece))


def _joined(results, soil_code: bool) -> str:
    # The soil code lists its parts with commas, a later piece reads as one phrase (dark
    # greyish brown), and a parenthesised amount follows its addition: shells (traces).
    out = ""
    for r in results:
        if out:
            out += ", " if soil_code and not r.startswith("(") else " "
        out += r
    return out


def expand_layer(text: Optional[str], codes: Union[str, os.PathLike] = "en",
                 separator: str = ";") -> str:
    """A layer's per-scan text in words, as geftool shows it: the soil code of the first piece
    expanded, each later piece of codes (colour, sand class, additions) word by word, and the
    describer's own words kept; pieces joined with "; ". Unknown words read WORD=???.
    `separator` is the file's column separator."""
    pieces = [p.strip(" '") for p in (text or "").split(separator)]
    pieces = [p for p in pieces if p]
    if not pieces:
        return ""
    with LOCK:
        lib = library()
        _load(lib, codes)
        shown = [_joined(_code2text(lib, pieces[0]).split("\x1f"), True)]
        for piece in pieces[1:]:
            if _holds_codes(piece):
                # A one-character word that no code file knows goes first, so that the
                # expansion looks every word up whole; its result is dropped.
                results = _code2text(lib, "~ " + piece).split("\x1f")
                words = _joined(results[1:] if results[0] == "~=???" else results, False)
                if words:
                    shown.append(words)
            else:
                shown.append(piece)
    return "; ".join(shown)
