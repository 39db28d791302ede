# SPDX-License-Identifier: MIT
"""Decoding GEF texts, bytes in an unknown code page, into str without ever failing."""

from __future__ import annotations

import codecs
from typing import Optional

__all__ = ["decode"]


def _c1_controls(error: UnicodeError):
    # The five bytes code page 1252 leaves undefined read as the C1 controls of the same value,
    # as Windows (and geftool) read them.
    if not isinstance(error, UnicodeDecodeError):
        raise error
    raw = error.object[error.start:error.end]
    return "".join(chr(b) for b in raw), error.end


codecs.register_error("libgef-c1", _c1_controls)


def decode(raw: Optional[bytes]) -> Optional[str]:
    """UTF-8 when `raw` is valid UTF-8 (a byte-order mark dropped), else Windows-1252."""
    if raw is None:
        return None
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError:
        return raw.decode("cp1252", errors="libgef-c1")
    return text[1:] if text.startswith("\ufeff") else text
