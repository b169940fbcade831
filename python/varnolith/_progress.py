"""The varnolith command's progress line and time estimates (command/progress.cpp),
for `python -m varnolith`: the same words, so that both say the same."""

from __future__ import annotations

import threading
import time
from typing import TextIO

_FIRST_DRAW = 0.5  # a quick run shows nothing ...
_REDRAW = 0.2      # ... and a slow one redraws a few times a second at most
_ECHO_WIDTH = 2    # what a terminal echoes after the line on an interrupt ("^C")


def clock_text(seconds: float) -> str:
    """"0:07", "12:30", "2:05:00"."""
    whole = int(seconds + 0.5)
    if whole >= 3600:
        return f"{whole // 3600}:{whole // 60 % 60:02d}:{whole % 60:02d}"
    return f"{whole // 60}:{whole % 60:02d}"


def rough_duration(seconds: float) -> str:
    """An estimate's length, to no more digits than it deserves: "about 40 s" ... "over a million years"."""
    minute, hour = 60.0, 3600.0
    day, year = 24 * hour, 365.25 * 24 * hour
    if seconds < 90:
        return f"about {seconds:.0f} s"
    if seconds < 90 * minute:
        return f"about {seconds / minute:.0f} min"
    if seconds < 48 * hour:
        return f"about {seconds / hour:.1f} h"
    if seconds < 2 * year:
        return f"about {seconds / day:.0f} days"
    if seconds < 999_999.5 * year:
        return f"about {int(seconds / year + 0.5):,} years"
    return "over a million years"


def progress_text(done: float, elapsed: float) -> str:
    """The line for a fraction done after `elapsed` seconds, with the time left once
    a little of the work is done or the run has gone on a while."""
    fraction = min(max(done, 0.0), 1.0)
    text = f"{100.0 * fraction:5.1f}% done, {clock_text(elapsed)} elapsed"
    if (fraction >= 0.01 or (elapsed >= 5 and fraction > 0)) and fraction < 1.0:
        left = elapsed * (1 - fraction) / fraction
        text += ", " + (f"about {clock_text(left)}" if left < 100 * 3600 else rough_duration(left)) + " left"
    return text


class ProgressLine:
    """Drawn on a terminal while a long run works; called from the run's thread."""

    def __init__(self, to: TextIO | None) -> None:
        self.to = to
        self.start = time.monotonic()
        self.done = 0.0
        self.width = 0
        self.shown = False
        self.last_drawn = 0.0
        self.lock = threading.Lock()

    def __call__(self, done: float) -> None:
        if self.to is None:
            return
        with self.lock:
            self.done = max(self.done, done)
            now = time.monotonic()
            if now - self.start < _FIRST_DRAW or (self.shown and now - self.last_drawn < _REDRAW):
                return
            text = progress_text(self.done, now - self.start)
            self.to.write("\r" + text + " " * max(self.width - len(text), 0))
            self.to.flush()
            self.width, self.shown, self.last_drawn = max(self.width, len(text)), True, now

    def erase(self) -> None:
        with self.lock:
            if self.shown and self.to is not None:
                self.to.write("\r" + " " * (self.width + _ECHO_WIDTH) + "\r")
                self.to.flush()
                self.shown = False
