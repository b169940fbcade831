"""Finding the shared libraries and declaring their C functions to ctypes.

Both libraries are looked for the same way: the path in their environment
variable (then nowhere else), the file next to this package, in a source
checkout the file in its build/release, the file on the system library path.
"""

from __future__ import annotations

import ctypes
import functools
import os
from pathlib import Path
from typing import Callable, Mapping, NamedTuple


class LibraryNotFoundError(OSError):
    """A varnolith library could not be loaded from any of the places tried."""


class SharedLibrary(NamedTuple):
    """What to look for: the file (its SONAME, since a library of another major
    version has other records or calls), the variable that names it, and the
    prototypes to give ctypes once it is loaded."""

    file: str
    variable: str
    declare: Callable[[ctypes.CDLL], None]


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


EQUITY = SharedLibrary("libvarnolith.so.1", "VARNOLITH_LIBRARY", declare)


def candidates(environ: Mapping[str, str] = os.environ, which: SharedLibrary = EQUITY) -> list[tuple[str, str]]:
    """The places to load the library from, in order, each as (what to load, where it came from).

    The environment variable, when set, is the only candidate: a library named on
    purpose must not be replaced in silence by another one found elsewhere.
    """
    chosen = environ.get(which.variable)
    if chosen:
        return [(chosen, which.variable)]
    package = Path(__file__).resolve().parent
    places = [(str(package / which.file), "next to the module")]
    # Run from python/ of a checkout, the release build is the checkout's own
    # libraries: likelier to match these sources than any installed elsewhere.
    checkout = package.parent.parent
    if package.parent.name == "python" and (checkout / "CMakeLists.txt").is_file():
        places.append((str(checkout / "build" / "release" / which.file), "build/release of the source checkout"))
    return places + [(which.file, "system library path")]


def load(environ: Mapping[str, str] = os.environ, which: SharedLibrary = EQUITY) -> ctypes.CDLL:
    """Loads the first candidate that loads and declares the library's functions on it."""
    tried = []
    for target, origin in candidates(environ, which):
        try:
            library = ctypes.CDLL(target)
        except OSError as error:
            tried.append(f"  {target} ({origin}): {error}")
            continue
        which.declare(library)
        return library
    stem = which.file.split(".so")[0]
    raise LibraryNotFoundError(
        f"cannot load {stem}; tried:\n" + "\n".join(tried)
        + f"\nSet {which.variable} to the path of {which.file}, or install it."
    )


@functools.lru_cache(maxsize=None)
def library() -> ctypes.CDLL:
    """The process's libvarnolith, loaded at the first call that needs it."""
    return load()
