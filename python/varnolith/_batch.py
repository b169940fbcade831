"""Many spots in one call, through varnolith_range_batch (include/varnolith/range.h)."""

from __future__ import annotations

import ctypes
import json
from collections.abc import Iterable, Iterator, Mapping
from itertools import islice

from ._range import _checked_number, _raise_for, _written, limit, range_library, stoppable

# Spots handed to the library at a time: enough to keep every core busy, and
# the answers of one chunk come back before the next is read from the iterable.
_CHUNK = 1024


def _line(spot: object) -> bytes:
    if not isinstance(spot, Mapping):
        raise TypeError(f"a spot must be a mapping of the fields of POST /api/equity, such as "
                        f"{{'ranges': ['AhKd', 'QQ'], 'board': 'Jh Tc 6s'}}; got {type(spot).__name__}")
    # ASCII and on one line: json escapes every newline and character beyond it.
    return json.dumps(dict(spot)).encode("ascii")


def _answered(library: ctypes.CDLL, lines: list[bytes], threads: int) -> list[dict]:
    text = b"\n".join(lines)
    result = stoppable(library, lambda stop: library.varnolith_range_batch(text, len(text), threads, stop),
                       "varnolith batch")
    try:
        _raise_for(library, result)
        return [json.loads(_written(lambda out, size, line=line:
                                    library.varnolith_range_batch_answer(result, line, out, size)))
                for line in range(library.varnolith_range_batch_lines(result))]
    finally:
        library.varnolith_range_free(result)


def _answers(spots: Iterator[object], threads: int) -> Iterator[dict]:
    library = range_library()
    while chunk := [_line(spot) for spot in islice(spots, _CHUNK)]:
        yield from _answered(library, chunk, threads)


def batch(spots: Iterable[Mapping[str, object]], *, threads: int | None = None) -> Iterator[dict]:
    """Answers many spots, one answer for each, in order, as `varnolith --batch` does.

    Each spot is a mapping with the fields of the body of varnolith_web's
    POST /api/equity: {"ranges": ["AhKd", "QsQc"], "board": "6c7d8h"}, and
    "dead", "method", "trials", "precision", "seed", "threads", "by_hand",
    "categories", "grid", "by_card" as there. Each answer is the dict that the
    API answers, fractions from 0 to 1 ({"method": "exact", "board": [...],
    "players": [{"range": "AhKd", "equity": 0.5147..., ...}], ...}).

    A spot that the API would refuse gives {"error": {"code", "message",
    "field", "player"}} in its place (code "bad_request", "bad_json" or
    "no_compatible_deal", field and player saying what it concerns) and stops
    no other spot, so that answers stay in step with the spots: zip(spots,
    batch(spots)) pairs each spot with its answer.

    Answers are yielded as they are computed, a chunk of spots at a time: the
    iterable is read lazily, so a generator of millions of spots runs in
    bounded memory. Small spots run side by side, one core each; threads (1 to
    256, None for every core) bounds the cores used. Ctrl-C stops the chunk
    under way within a few milliseconds and raises KeyboardInterrupt.

    Raises TypeError for a spot that is not a mapping, or whose values JSON
    cannot hold, and SpotError for a threads out of bounds.
    """
    threads = 0 if threads is None else _checked_number(threads, "threads", 1, limit("threads"))
    return _answers(iter(spots), threads)
