"""Finding libvarnolith and declaring its four C functions to ctypes."""

from __future__ import annotations

import ctypes
import functools
import os
from pathlib import Path
from typing import Mapping

# The SONAME: a library of another major version has other records or calls.
LIBRARY_NAME = "libvarnolith.so.1"
ENVIRONMENT_VARIABLE = "VARNOLITH_LIBRARY"


class LibraryNotFoundError(OSError):
    """libvarnolith could not be loaded from any of the places tried."""


def candidates(environ: Mapping[str, str] = os.environ) -> list[tuple[str, str]]:
    """The places to load the library from, in order, each as (what to load, where it came from).

    VARNOLITH_LIBRARY, when set, is the only candidate: a library named on purpose
    must not be replaced in silence by another one found elsewhere.
    """
    chosen = environ.get(ENVIRONMENT_VARIABLE)
    if chosen:
        return [(chosen, ENVIRONMENT_VARIABLE)]
    beside = Path(__file__).resolve().parent / LIBRARY_NAME
    return [(str(beside), "next to the module"), (LIBRARY_NAME, "system library path")]


def load(environ: Mapping[str, str] = os.environ) -> ctypes.CDLL:
    """Loads the first candidate that loads and declares the four exports on it."""
    tried = []
    for target, origin in candidates(environ):
        try:
            library = ctypes.CDLL(target)
        except OSError as error:
            tried.append(f"  {target} ({origin}): {error}")
            continue
        declare(library)
        return library
    raise LibraryNotFoundError(
        "cannot load libvarnolith; tried:\n" + "\n".join(tried)
        + f"\nSet {ENVIRONMENT_VARIABLE} to the path of {LIBRARY_NAME}, or install it."
    )


def declare(library: ctypes.CDLL) -> None:
    """Gives ctypes the prototypes of include/varnolith/varnolith.h."""
    int32_p = ctypes.POINTER(ctypes.c_int32)
    double_p = ctypes.POINTER(ctypes.c_double)
    library.compute_equity_enumeration.argtypes = [int32_p, ctypes.c_int32, int32_p, ctypes.c_int32, double_p]
    library.compute_equity_enumeration.restype = None
    library.compute_equity_montecarlo_ultra_fast.argtypes = [
        int32_p, ctypes.c_int32, int32_p, ctypes.c_int32, ctypes.c_int32, double_p]
    library.compute_equity_montecarlo_ultra_fast.restype = None
    library.evaluate_hand_direct.argtypes = [int32_p, ctypes.c_int32]
    library.evaluate_hand_direct.restype = ctypes.c_int32
    library.set_seed.argtypes = [ctypes.c_uint32]
    library.set_seed.restype = None


@functools.lru_cache(maxsize=None)
def library() -> ctypes.CDLL:
    """The process's libvarnolith, loaded at the first call that needs it."""
    return load()
