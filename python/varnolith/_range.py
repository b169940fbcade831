"""Equity of ranges against ranges, one spot or many at a time, through libvarnolith_range
(include/varnolith/range.h)."""

from __future__ import annotations

import ctypes
import functools
import json
import math
import operator
import re
import threading
from collections.abc import Callable, Iterable, Iterator, Mapping, Sequence
from dataclasses import dataclass
from itertools import islice

from ._library import SharedLibrary, load

# Status codes and methods of range.h.
_OK = 0
_ERROR_ARGUMENT = 1
_ERROR_RANGE = 2
_ERROR_CARDS = 3
_ERROR_NO_DEAL = 4
_ERROR_MEMORY = 5
_ERROR_RULES = 8
_AUTO = 0
_EXACT = 1
_MONTE_CARLO = 2
# The reports' forms and what they show.
_TABLE = 0
_JSON = 1
_CSV = 2
_SHOW_CATEGORIES = 1
_SHOW_BY_HAND = 2
_SHOW_ELAPSED = 4

CATEGORY_NAMES = ("high card", "pair", "two pair", "three of a kind", "straight", "full house", "flush",
                  "four of a kind", "straight flush")
# The rules' names and the record's numbers for them; "trips" ranks three of a
# kind above a straight, so the two categories trade places in its order.
RULES = {"straight": 0, "trips": 1}
_CATEGORIES_IN_ORDER = {"straight": tuple(range(9)), "trips": (0, 1, 2, 4, 3, 5, 6, 7, 8)}

# What the fields of the options record can hold; what they may hold is the library's to judge.
# A value must reach the library whole, not cut to the field's width.
_INT32 = (-2**31, 2**31 - 1)
_INT64_MAX = 2**63 - 1
_UINT64 = (0, 2**64 - 1)
# varnolith_range_limit's names.
_LIMITS = {"players": 0, "threads": 1}


class SpotError(ValueError):
    """A request refused: a bad range, card or option. `field` names the part of the
    request it concerns ("ranges", "board", "dead", "method", "trials", "precision",
    "seed", "threads", "by_card"; None for none) and `player` the range, 0-based
    (None for none), so that a program can point at it without reading the message."""

    def __init__(self, message: str, field: str | None = None, player: int | None = None) -> None:
        super().__init__(message)
        self.field = field
        self.player = player


class NoCompatibleDealError(SpotError):
    """No deal of the ranges holds every card at most once ("AA" three times on an
    ace, or a range whose every combination the board or dead cards block)."""


_Progress = ctypes.CFUNCTYPE(None, ctypes.c_double, ctypes.c_void_p)


class _Options(ctypes.Structure):
    # Field for field varnolith_range_options; ctypes pads as the C compiler does.
    _fields_ = [
        ("size", ctypes.c_size_t),
        ("method", ctypes.c_int32),
        ("trials", ctypes.c_int64),
        ("precision", ctypes.c_double),
        ("seed_given", ctypes.c_int32),
        ("seed", ctypes.c_uint64),
        ("threads", ctypes.c_int32),
        ("by_card", ctypes.c_int32),
        ("stop", ctypes.c_void_p),
        ("progress", _Progress),
        ("progress_context", ctypes.c_void_p),
        ("rules", ctypes.c_int32),
        ("sources", ctypes.POINTER(ctypes.c_char_p)),
        ("hits", ctypes.c_int32),
        ("flops", ctypes.c_int32),
    ]


def _declare(library: ctypes.CDLL) -> None:
    result_p = ctypes.c_void_p  # opaque
    int32, double = ctypes.c_int32, ctypes.c_double
    library.varnolith_range_options_init.argtypes = [ctypes.POINTER(_Options)]
    library.varnolith_range_options_init.restype = None
    library.varnolith_range_options_init_sized.argtypes = [ctypes.POINTER(_Options), ctypes.c_size_t]
    library.varnolith_range_options_init_sized.restype = None
    library.varnolith_range_compute.argtypes = [ctypes.POINTER(ctypes.c_char_p), int32, ctypes.c_char_p,
                                                ctypes.c_char_p, ctypes.POINTER(_Options)]
    library.varnolith_range_compute.restype = result_p
    library.varnolith_range_free.argtypes = [result_p]
    library.varnolith_range_free.restype = None
    library.varnolith_range_message.argtypes = [result_p]
    library.varnolith_range_message.restype = ctypes.c_char_p
    library.varnolith_range_error_field.argtypes = [result_p]
    library.varnolith_range_error_field.restype = ctypes.c_char_p
    library.varnolith_range_error_player.argtypes = [result_p]
    library.varnolith_range_error_player.restype = int32
    library.varnolith_range_estimate.argtypes = [ctypes.POINTER(ctypes.c_char_p), int32, ctypes.c_char_p,
                                                 ctypes.c_char_p, ctypes.POINTER(_Options), ctypes.POINTER(double)]
    library.varnolith_range_estimate.restype = int32
    library.varnolith_range_stop_new.argtypes = []
    library.varnolith_range_stop_new.restype = ctypes.c_void_p
    for name in ("stop_request", "stop_free"):
        function = getattr(library, "varnolith_range_" + name)
        function.argtypes = [ctypes.c_void_p]
        function.restype = None
    for name, restype in [("status", int32), ("method", int32), ("deals", ctypes.c_uint64),
                          ("boards", ctypes.c_uint64), ("trials", ctypes.c_int64), ("seed", ctypes.c_uint64),
                          ("players", int32)]:
        function = getattr(library, "varnolith_range_" + name)
        function.argtypes = [result_p]
        function.restype = restype
    for name, restype in [("combos", int32), ("equity", double), ("win", double), ("tie", double),
                          ("stderr", double)]:
        function = getattr(library, "varnolith_range_" + name)
        function.argtypes = [result_p, int32]
        function.restype = restype
    library.varnolith_range_category.argtypes = [result_p, int32, int32]
    library.varnolith_range_category.restype = double
    library.varnolith_range_hand.argtypes = [result_p, int32, int32, ctypes.c_char_p, ctypes.POINTER(double),
                                             ctypes.POINTER(double)]
    library.varnolith_range_hand.restype = int32
    library.varnolith_range_next_cards.argtypes = [result_p]
    library.varnolith_range_next_cards.restype = int32
    library.varnolith_range_next_card.argtypes = [result_p, int32, ctypes.c_char_p, ctypes.POINTER(double)]
    library.varnolith_range_next_card.restype = int32
    library.varnolith_range_next_card_equity.argtypes = [result_p, int32, int32]
    library.varnolith_range_next_card_equity.restype = double
    library.varnolith_range_ordering.argtypes = [int32, ctypes.c_char_p, ctypes.POINTER(int32), ctypes.POINTER(double)]
    library.varnolith_range_ordering.restype = int32
    library.varnolith_range_rules_ordering.argtypes = [int32, int32, ctypes.c_char_p, ctypes.POINTER(int32),
                                                       ctypes.POINTER(double)]
    library.varnolith_range_rules_ordering.restype = int32
    library.varnolith_range_limit.argtypes = [int32]
    library.varnolith_range_limit.restype = ctypes.c_int64
    library.varnolith_range_shown.argtypes = [ctypes.c_char_p, ctypes.c_size_t, ctypes.c_char_p, ctypes.c_size_t]
    library.varnolith_range_shown.restype = ctypes.c_size_t
    library.varnolith_range_report.argtypes = [result_p, int32, int32, ctypes.c_char_p, ctypes.c_size_t]
    library.varnolith_range_report.restype = ctypes.c_size_t
    library.varnolith_range_ordering_report.argtypes = [int32, ctypes.c_char_p, ctypes.c_size_t]
    library.varnolith_range_ordering_report.restype = ctypes.c_size_t
    library.varnolith_range_rules_ordering_report.argtypes = [int32, int32, ctypes.c_char_p, ctypes.c_size_t]
    library.varnolith_range_rules_ordering_report.restype = ctypes.c_size_t
    library.varnolith_range_batch.argtypes = [ctypes.c_char_p, ctypes.c_size_t, int32, ctypes.c_void_p]
    library.varnolith_range_batch.restype = result_p
    library.varnolith_range_batch_lines.argtypes = [result_p]
    library.varnolith_range_batch_lines.restype = ctypes.c_int64
    library.varnolith_range_batch_answer.argtypes = [result_p, ctypes.c_int64, ctypes.c_char_p, ctypes.c_size_t]
    library.varnolith_range_batch_answer.restype = ctypes.c_size_t
    library.varnolith_range_filter.argtypes = [ctypes.POINTER(ctypes.c_char_p), int32, ctypes.c_char_p,
                                               ctypes.c_char_p, ctypes.c_char_p, ctypes.POINTER(_Options)]
    library.varnolith_range_filter.restype = result_p
    library.varnolith_range_filtered.argtypes = [result_p, int32, ctypes.c_char_p, ctypes.c_size_t]
    library.varnolith_range_filtered.restype = ctypes.c_size_t


RANGES = SharedLibrary("libvarnolith_range.so.1", "VARNOLITH_RANGE_LIBRARY", _declare)


@functools.lru_cache(maxsize=None)
def range_library() -> ctypes.CDLL:
    """The process's libvarnolith_range, loaded at the first call that needs it."""
    return load(which=RANGES)


def limit(which: str) -> int:
    """The most that the library allows of "players" (ranges in one call) or "threads"."""
    return int(range_library().varnolith_range_limit(_LIMITS[which]))


def shown(text: str) -> str:
    """The text as the library's messages quote what a user typed: on one line,
    control characters as escapes, a backslash doubled, a byte that was not UTF-8
    (decoded with surrogateescape) as \\xNN, whole characters whole."""
    library = range_library()
    data = text.encode("utf-8", "surrogateescape")
    size = library.varnolith_range_shown(data, len(data), None, 0) + 1
    out = ctypes.create_string_buffer(size)
    library.varnolith_range_shown(data, len(data), out, size)
    return out.value.decode("utf-8", "surrogateescape")


@dataclass(frozen=True)
class HandEquity:
    """One live combination of a player's range, as an entry of the command's
    JSON "hands": dataclasses.asdict gives the same keys in the same order."""

    hand: str              # "AhKd"
    share: float           # the probability that the player holds it: its share of the player's deals
    weight: float          # the same; the old name, kept for the scripts that read it
    equity: float | None   # None when no compatible deal allows it


@dataclass(frozen=True)
class PlayerEquity:
    """One player's figures, fractions from 0 to 1."""

    range: str    # the range text as given
    combos: int   # live combinations: not blocked by the board or the dead cards
    equity: float  # share of the pot; a split among m gives 1/m
    win: float    # probability of winning alone
    tie: float    # share won through split pots
    stderr: float  # standard error of the equity; 0 when exact
    categories: dict[str, float] | None = None  # with categories=True: category name -> fraction
    hands: tuple[HandEquity, ...] | None = None  # with by_hand=True: every live combination


@dataclass(frozen=True)
class NextCard:
    """One card that can come next on a flop or a turn."""

    card: str                  # "9s"
    probability: float         # among the compatible deals; the cards' add up to 1
    equity: tuple[float, ...]  # each player's when it comes, in the order of the ranges


@dataclass(frozen=True)
class OrderedClass:
    """One hand class in varnolith's preflop ordering, the one "15%" in a range reads."""

    place: int                 # 1 for the best
    hand_class: str            # "AKs"
    combos: int                # 6 a pair, 4 suited, 12 offsuit
    cumulative_combos: int     # this class's and every better one's
    cumulative_percent: float  # the same in percent (not a fraction) of the 630 combinations
    equity: float              # against one random hand, heads-up before the flop, exact


@dataclass(frozen=True)
class RangeEquity:
    """The answer of range_equity."""

    method: str                        # "exact" or "monte_carlo"
    players: tuple[PlayerEquity, ...]  # in the order of the ranges
    rules: str = "straight"    # the hand ranking: "straight" or "trips"
    deals: int | None = None   # exact: compatible deals of hole cards
    boards: int | None = None  # exact: board completions per deal
    trials: int | None = None  # Monte Carlo: completed deals
    seed: int | None = None    # Monte Carlo: the seed used; passing it again repeats the run
    board: tuple[str, ...] = ()  # the board cards given, ("6c", "7d", "8h")
    dead: tuple[str, ...] = ()   # the dead cards given
    next_cards: tuple[NextCard, ...] | None = None  # with by_card=True: each card that can come, in deck order
    # With hits=True, per player: what the range holds on the board (or with
    # flops=True, how often on the flop), the dicts of the command's JSON
    # "hits": {"class", "kind", "combos", "share", "equity"} ("stderr" too when simulated).
    hits: tuple[tuple[dict, ...], ...] | None = None
    # With flops=True: every flop row, a flat dict each, ready for a data frame
    # ({"flop", "flops", "probability", "equity_1", "equity_2", ..., "suits",
    # "pairing", "high_card", "straight_possible"}), by player 1's equity; and
    # the texture groups ({"kind", "texture", "flops", "probability", "equity_1", ...}).
    flops: list[dict] | None = None
    textures: list[dict] | None = None

    def __str__(self) -> str:
        """The table the varnolith command prints, without its Elapsed line and
        final newline, as the library wrote it for the call; a RangeEquity made
        by hand has none and shows as its repr."""
        return self.__dict__.get("_table", repr(self))


def _written(write: Callable[[ctypes.c_char_p | None, int], int]) -> str:
    """What one of the library's reports writes, sized first as snprintf is."""
    size = write(None, 0)
    if size == 0:  # a report is never empty: memory ran out
        raise MemoryError("libvarnolith_range could not write a report")
    out = ctypes.create_string_buffer(size + 1)
    write(out, size + 1)
    return out.raw[:size].decode("utf-8", "surrogateescape")


def _report(library: ctypes.CDLL, result: int, form: int, shown: int) -> str:
    return _written(lambda out, size: library.varnolith_range_report(result, form, shown, out, size))


def _text(value: str | Iterable[str], what: str) -> bytes:
    """Cards as one string (run together, or separated by blanks or commas) or an iterable of strings."""
    if isinstance(value, str):
        text = value
    elif isinstance(value, (bytes, bytearray)):
        raise TypeError(f"{what} must be a string or an iterable of strings")
    else:
        pieces = list(value)
        if not all(isinstance(piece, str) for piece in pieces):
            raise TypeError(f"{what} must be a string or an iterable of strings")
        text = " ".join(pieces)
    return _encode(text, what)


def _encode(text: str, what: str) -> bytes:
    # The library reads C strings: a NUL would cut the text short unseen.
    if "\0" in text:
        raise ValueError(f"{what}: a NUL character is not allowed")
    return text.encode("utf-8", "surrogateescape")


def whole_number(value: object, name: str, low: int, high: int) -> int:
    """The integer value from low to high; TypeError for anything else, True included."""
    if isinstance(value, bool):
        raise TypeError(f"{name} must be an integer, not bool")
    number = operator.index(value)
    if not low <= number <= high:
        raise ValueError(f"{name} must be from {low} to {high}, got {number}")
    return number


def _flag(value: object, name: str) -> bool:
    if not isinstance(value, bool):
        raise TypeError(f"{name} must be True or False, got {value!r}")
    return value


def _checked_number(value: object, name: str, low: int, high: int) -> int:
    try:
        return whole_number(value, name, low, high)
    except ValueError as error:
        raise SpotError(str(error), name) from None


def conflicting_methods(exact: bool, trials: object, precision: object) -> list[str]:
    """The method choices given, when more than one is: exact, trials and precision
    exclude one another. Empty when they do not conflict."""
    given = [name for name, value in (("exact", exact or None), ("trials", trials), ("precision", precision))
             if value is not None]
    return given if len(given) > 1 else []


def rules_number(rules: object) -> int:
    """The options record's number for a rules name."""
    if not isinstance(rules, str):
        raise TypeError(f"rules must be a string, \"straight\" or \"trips\", got {rules!r}")
    if rules not in RULES:
        raise SpotError(f"rules {rules!r}: the rules are straight or trips", "rules")
    return RULES[rules]


def _options(trials: object, precision: object, exact: object, seed: object, threads: object,
             by_card: bool, rules: object, hits: bool = False, flops: bool = False) -> _Options:
    exact = False if exact is None else _flag(exact, "exact")
    given = conflicting_methods(exact, trials, precision)
    if given:
        raise SpotError(f"{' and '.join(given)} exclude one another", given[-1])
    if trials is not None:
        # The record reads 0 trials as none asked for: a count given is at least 1.
        trials = _checked_number(trials, "trials", 1, _INT64_MAX)
    if precision is not None and (isinstance(precision, bool) or not isinstance(precision, (int, float))):
        raise TypeError(f"precision must be a number, got {precision!r}")
    if seed is not None:
        seed = _checked_number(seed, "seed", *_UINT64)
    if threads is not None:
        threads = _checked_number(threads, "threads", *_INT32)

    options = _Options()
    # The record as this module knows it, and no more, whatever a later library would fill in.
    range_library().varnolith_range_options_init_sized(ctypes.byref(options), ctypes.sizeof(_Options))
    if exact:
        options.method = _EXACT
    elif trials is not None:
        options.method, options.trials = _MONTE_CARLO, trials
    elif precision is not None:
        options.method, options.precision = _MONTE_CARLO, float(precision)
    if seed is not None:
        options.seed_given, options.seed = 1, seed
    if threads is not None:
        options.threads = threads
    options.by_card = int(by_card)
    options.rules = rules_number(rules)
    options.hits, options.flops = int(hits), int(flops)
    return options


def _raise_for(library: ctypes.CDLL, result: int) -> None:
    status = library.varnolith_range_status(result)
    if status == _OK:
        return
    # The library quotes input on one line already; a stray byte must not make
    # the message unprintable (a lone surrogate cannot be encoded for output).
    message = (library.varnolith_range_message(result) or b"").decode("utf-8", "backslashreplace")
    field = (library.varnolith_range_error_field(result) or b"").decode("ascii") or None
    player = library.varnolith_range_error_player(result)
    about = {"field": field, "player": None if player < 0 else player}
    if status in (_ERROR_ARGUMENT, _ERROR_RANGE, _ERROR_CARDS, _ERROR_RULES):
        raise SpotError(message, **about)
    if status == _ERROR_NO_DEAL:
        raise NoCompatibleDealError(message, **about)
    if status == _ERROR_MEMORY:
        raise MemoryError(message)
    raise RuntimeError(message or f"libvarnolith_range failed with status {status}")


def _hands(library: ctypes.CDLL, result: int, player: int, count: int) -> tuple[HandEquity, ...]:
    text = ctypes.create_string_buffer(5)
    weight, equity = ctypes.c_double(), ctypes.c_double()
    hands = []
    for index in range(count):
        if library.varnolith_range_hand(result, player, index, text, ctypes.byref(weight),
                                        ctypes.byref(equity)) != _OK:
            raise RuntimeError(f"libvarnolith_range has no hand {index} of player {player + 1}")
        hands.append(HandEquity(text.value.decode("ascii"), weight.value, weight.value,
                                None if math.isnan(equity.value) else equity.value))
    return tuple(hands)


def _next_cards(library: ctypes.CDLL, result: int, players: int) -> tuple[NextCard, ...]:
    card, probability = ctypes.create_string_buffer(3), ctypes.c_double()
    rows = []
    for index in range(library.varnolith_range_next_cards(result)):
        if library.varnolith_range_next_card(result, index, card, ctypes.byref(probability)) != _OK:
            raise RuntimeError(f"libvarnolith_range has no next card {index}")
        rows.append(NextCard(card.value.decode("ascii"), probability.value,
                             tuple(library.varnolith_range_next_card_equity(result, index, player)
                                   for player in range(players))))
    return tuple(rows)


def _cards(text: bytes) -> tuple[str, ...]:
    # Only once the library took them: every card is two characters then.
    runs = re.split(r"[ \t,]+", text.decode("ascii"))
    return tuple(run[i:i + 2] for run in runs for i in range(0, len(run), 2))


def _read(library: ctypes.CDLL, result: int, ranges: list[str], cards: dict[str, object],
          categories: bool, by_hand: bool, by_card: bool) -> RangeEquity:
    players = []
    for player, text in enumerate(ranges):
        combos = library.varnolith_range_combos(result, player)
        players.append(PlayerEquity(
            range=text,
            combos=combos,
            equity=library.varnolith_range_equity(result, player),
            win=library.varnolith_range_win(result, player),
            tie=library.varnolith_range_tie(result, player),
            stderr=library.varnolith_range_stderr(result, player),
            categories={CATEGORY_NAMES[index]: library.varnolith_range_category(result, player, index)
                        for index in _CATEGORIES_IN_ORDER[str(cards["rules"])]} if categories else None,
            hands=_hands(library, result, player, combos) if by_hand else None,
        ))
    if library.varnolith_range_method(result) == _EXACT:
        return RangeEquity("exact", tuple(players), deals=library.varnolith_range_deals(result),
                           boards=library.varnolith_range_boards(result), **cards,
                           next_cards=_next_cards(library, result, len(players)) if by_card else None)
    return RangeEquity("monte_carlo", tuple(players), trials=library.varnolith_range_trials(result),
                       seed=library.varnolith_range_seed(result), **cards)


class _Request:
    """The arguments of a range call, checked and encoded for the library."""

    def __init__(self, ranges: object, board: object, dead: object, trials: object, precision: object,
                 exact: object, seed: object, threads: object, by_card: object, rules: object,
                 sources: Sequence[str] | None = None, hits: object = False, flops: object = False) -> None:
        if isinstance(ranges, (str, bytes, bytearray)) or not isinstance(ranges, Sequence):
            raise TypeError("ranges must be a sequence of strings, one per player")
        self.texts = list(ranges)
        if not all(isinstance(text, str) for text in self.texts):
            raise TypeError("ranges must be a sequence of strings, one per player")
        encoded = [_encode(text, f"range {i + 1}") for i, text in enumerate(self.texts)]
        self.ranges = (ctypes.c_char_p * len(encoded))(*encoded)
        self.board, self.dead = _text(board, "board"), _text(dead, "dead cards")
        self.by_card = _flag(by_card, "by_card")
        self.hits, self.flops = _flag(hits, "hits"), _flag(flops, "flops")
        self.options = _options(trials, precision, exact, seed, threads, self.by_card, rules, self.hits, self.flops)
        self.rules = str(rules)
        if sources is not None:
            # Where each range came from ("@opening.txt"), for the messages and reports to name.
            encoded = [_encode(source, f"range {i + 1}") for i, source in enumerate(sources)]
            self.sources = (ctypes.c_char_p * len(encoded))(*encoded)
            self.options.sources = self.sources

    def arguments(self) -> tuple:
        return self.ranges, len(self.texts), self.board, self.dead, ctypes.byref(self.options)


def _stoppable(library: ctypes.CDLL, call: Callable[[int], int], name: str) -> int:
    """call(stop), a library call that takes a stop and returns a result, on a
    thread of its own: the main thread stays free to take Ctrl-C, and then
    stops the call within a few milliseconds."""
    stop = library.varnolith_range_stop_new()
    if not stop:
        raise MemoryError("libvarnolith_range could not allocate a stop")
    outcome: dict[str, int] = {}
    # Waited for by an event, not by join: an interrupted join marks a running
    # thread as stopped (Python 3.11), and it then outlives the interpreter.
    finished = threading.Event()

    def work() -> None:
        try:
            outcome["result"] = call(stop)
        finally:
            finished.set()

    threading.Thread(target=work, name=name, daemon=True).start()
    try:
        while not finished.wait(0.05):
            pass
    except BaseException:  # KeyboardInterrupt above all
        library.varnolith_range_stop_request(stop)
        while True:  # a few milliseconds, whatever else is pressed meanwhile
            try:
                if finished.wait(0.05):
                    break
            except KeyboardInterrupt:
                pass
        if outcome.get("result"):
            library.varnolith_range_free(outcome["result"])
        raise
    finally:
        if finished.is_set():
            library.varnolith_range_stop_free(stop)
    if not outcome.get("result"):
        raise MemoryError("libvarnolith_range could not allocate a result")
    return outcome["result"]


def _compute(library: ctypes.CDLL, request: _Request, progress: Callable[[float], object] | None) -> int:
    """varnolith_range_compute, stoppable by Ctrl-C."""

    def call(stop: int) -> int:
        request.options.stop = stop
        if progress is not None:
            # Kept referenced until the call returns: ctypes does not keep it alive.
            request.options.progress = _Progress(lambda done, _context: progress(done))
        return library.varnolith_range_compute(*request.arguments())

    return _stoppable(library, call, "varnolith range_equity")


def range_equity(ranges: Sequence[str], board: str | Iterable[str] = "", dead: str | Iterable[str] = "", *,
                 trials: int | None = None, precision: float | None = None, exact: bool | None = None,
                 seed: int | None = None, threads: int | None = None, categories: bool = False,
                 by_hand: bool = False, by_card: bool = False, rules: str = "straight", hits: bool = False,
                 flops: bool = False, progress: Callable[[float], object] | None = None) -> RangeEquity:
    """Returns each player's equity, one range per player, as the varnolith command reckons it.

    ranges: 2 to 15 range texts in the command's notation, such as
    ["AKs", "QQ+, AK", "random"]. board: 0 to 5 cards, "6c7d8h", "6c 7d 8h" or
    ["6c", "7d", "8h"]; dead: cards out of play, written the same way.
    The method is exact when that takes about a second, else Monte Carlo until
    every standard error is at most 0.0005; exact=True forces enumeration,
    trials=N simulates exactly N deals, precision=P simulates until every
    standard error is at most P (the three exclude one another). seed (0 to
    2**64 - 1) repeats a simulation bit for bit at any thread count; threads
    (0 or None for every core) up to the library's limit, 256. categories=True
    and by_hand=True add the breakdowns to each player. by_card=True adds
    next_cards, each card that can come next with its probability and every
    player's equity; it needs a flop or a turn and is exact (without trials or
    precision). rules="trips" ranks three of a kind above a straight (a hand
    holding both plays the three of a kind) and reads "15%" from that ranking's
    own ordering; the default, "straight", ranks a straight higher. hits=True
    adds what each range holds on a board of 3 to 5 cards: its made-hand
    classes and draws, as `varnolith --hits` names them. flops=True, on a
    preflop spot, adds every flop's row and the texture groups, exactly (see
    flop_report); with hits=True too, how often each class comes on the flop. progress, when
    given, is called now and then (from another thread) with the fraction of
    the work done, which never goes back.

    Ctrl-C stops the computation within a few milliseconds and raises
    KeyboardInterrupt. Raises TypeError for arguments of the wrong type,
    SpotError (a ValueError) for the command's usage errors with its message (a
    bad range item or card, a card given twice, ...) and what it concerns,
    NoCompatibleDealError (a SpotError) when no deal of the ranges is possible,
    MemoryError when memory ran out, RuntimeError for any other failure of the
    library.
    """
    request = _Request(ranges, board, dead, trials, precision, exact, seed, threads, by_card, rules, None, hits, flops)
    categories, by_hand = _flag(categories, "categories"), _flag(by_hand, "by_hand")
    shown = (_SHOW_CATEGORIES if categories else 0) | (_SHOW_BY_HAND if by_hand else 0)

    def read(library: ctypes.CDLL, result: int) -> RangeEquity:
        cards = {"board": _cards(request.board), "dead": _cards(request.dead), "rules": request.rules}
        equity = _read(library, result, request.texts, cards, categories, by_hand, request.by_card)
        if request.hits or request.flops:
            answer = json.loads(_report(library, result, _JSON, 0))
            if request.hits:
                object.__setattr__(equity, "hits", tuple(tuple(p["hits"]) for p in answer["players"]))
            if request.flops:
                object.__setattr__(equity, "flops", [_flat(row) for row in answer["flops"]])
                object.__setattr__(equity, "textures", [_flat(group) for group in answer["textures"]])
        # str() prints the library's own table: frozen, but not a field of the answer.
        object.__setattr__(equity, "_table", _report(library, result, _TABLE, shown).removesuffix("\n"))
        return equity

    return _answered(request, progress, read)


def command_report(ranges: Sequence[str], board: str = "", dead: str = "", *, json: bool = False,
                   trials: int | None = None, precision: float | None = None, exact: bool | None = None,
                   seed: int | None = None, threads: int | None = None, categories: bool = False,
                   by_hand: bool = False, by_card: bool = False, rules: str = "straight", hits: bool = False,
                   flops: bool = False, csv: bool = False, progress: Callable[[float], object] | None = None,
                   sources: Sequence[str] | None = None) -> str:
    """What the varnolith command prints for these arguments, final newline
    included: its table, with the time the call took, or with json=True its
    JSON. Computes and refuses as range_equity does. `sources` says where each
    range came from ("@opening.txt", "" for none), for the report and the
    messages to name as the command names them."""
    request = _Request(ranges, board, dead, trials, precision, exact, seed, threads, by_card, rules, sources, hits,
                       flops)
    shown = (_SHOW_CATEGORIES if _flag(categories, "categories") else 0) \
        | (_SHOW_BY_HAND if _flag(by_hand, "by_hand") else 0)
    form, shown = (_JSON, shown) if _flag(json, "json") else (_TABLE, shown | _SHOW_ELAPSED)
    if _flag(csv, "csv"):
        form, shown = _CSV, 0
    return _answered(request, progress, lambda library, result: _report(library, result, form, shown))


def _flat(row: dict) -> dict:
    """A row with its list of equities as one column per player, equity_1 first."""
    flat = {}
    for key, value in row.items():
        if key == "equity":
            flat.update({f"equity_{player + 1}": e for player, e in enumerate(value)})
        else:
            flat[key] = value
    return flat


def flop_report(ranges: Sequence[str], dead: str | Iterable[str] = "", *, threads: int | None = None,
                rules: str = "straight", progress: Callable[[float], object] | None = None) -> list[dict]:
    """Every flop of a preflop spot, exactly, as `varnolith --flops` tells it:
    a list of flat dicts ready for a data frame (pandas.DataFrame(rows)), one
    per row of flops the suits make alike, by player 1's equity: "flop"
    ("AhKd6c"), "flops" (how many it stands for), "probability" (of any of
    them, given the ranges and the dead cards; the rows' add up to 1),
    "equity_1", "equity_2", ... and the texture: "suits", "pairing",
    "high_card", "straight_possible". For the texture groups and the preflop
    figures too, range_equity(..., flops=True). Raises what range_equity raises."""
    return range_equity(ranges, "", dead, exact=True, threads=threads, rules=rules, flops=True,
                        progress=progress).flops or []


def filter_ranges(ranges: Sequence[str], board: str | Iterable[str], names: str | Iterable[str],
                  dead: str | Iterable[str] = "", *, rules: str = "straight") -> tuple[str, ...]:
    """Each range cut to its combinations on the board that fall in any of the
    classes and draws named, as `varnolith --filter` cuts it: names such as
    "set, two_pair, flush_draw" or ["overpair", "top_pair", "!flush_draw"] (a
    name after "!" takes out what it names). Returns one notation per range,
    which range_equity reads back to exactly those combinations at their
    weights ("" when nothing is kept). Raises SpotError for a bad range, card
    or name (field "filter"), or a board of fewer than three cards."""
    if isinstance(ranges, (str, bytes, bytearray)) or not isinstance(ranges, Sequence):
        raise TypeError("ranges must be a sequence of strings, one per range")
    texts = list(ranges)
    if not all(isinstance(text, str) for text in texts):
        raise TypeError("ranges must be a sequence of strings, one per range")
    if not isinstance(names, str):
        names = ", ".join(names)
    encoded = [_encode(text, f"range {i + 1}") for i, text in enumerate(texts)]
    array = (ctypes.c_char_p * len(encoded))(*encoded)
    options = _options(None, None, None, None, None, False, rules)
    library = range_library()
    result = library.varnolith_range_filter(array, len(encoded), _text(board, "board"), _text(dead, "dead cards"),
                                            _encode(names, "names"), ctypes.byref(options))
    if not result:
        raise MemoryError("libvarnolith_range could not allocate a result")
    try:
        _raise_for(library, result)
        kept = []
        for player in range(len(texts)):  # "" is an answer here: nothing kept
            size = library.varnolith_range_filtered(result, player, None, 0)
            out = ctypes.create_string_buffer(size + 1)
            library.varnolith_range_filtered(result, player, out, size + 1)
            kept.append(out.raw[:size].decode("ascii"))
        return tuple(kept)
    finally:
        library.varnolith_range_free(result)


def _answered(request: _Request, progress: Callable[[float], object] | None,
              read: Callable[[ctypes.CDLL, int], object]):
    """Computes the request and reads the result with `read`, or raises what stopped it."""
    library = range_library()
    result = _compute(library, request, progress)
    try:
        _raise_for(library, result)
        return read(library, result)
    finally:
        library.varnolith_range_free(result)


def estimate_seconds(ranges: Sequence[str], board: str | Iterable[str] = "", dead: str | Iterable[str] = "", *,
                     trials: int | None = None, precision: float | None = None, exact: bool | None = None,
                     seed: int | None = None, threads: int | None = None, by_card: bool = False,
                     rules: str = "straight", sources: Sequence[str] | None = None, hits: bool = False,
                     flops: bool = False) -> float:
    """The expected time of range_equity with these arguments on this machine, in
    seconds, without running it (inf for a precision too fine to reach). Raises
    what range_equity raises for the arguments, a spot with no deal included;
    its messages name each range's source, when `sources` gives one, as
    command_report's do."""
    request = _Request(ranges, board, dead, trials, precision, exact, seed, threads, by_card, rules, sources, hits,
                       flops)
    library = range_library()
    seconds = ctypes.c_double()
    status = library.varnolith_range_estimate(*request.arguments(), ctypes.byref(seconds))
    if status != _OK:
        # The same arguments make the same refusal, with its message and what it concerns.
        result = _compute(library, request, None)
        try:
            _raise_for(library, result)
        finally:
            library.varnolith_range_free(result)
    return seconds.value


_CLASSES = 81
_ALL_COMBOS = 630


@functools.lru_cache(maxsize=None)
def ordering(rules: str = "straight") -> tuple[OrderedClass, ...]:
    """varnolith's preflop ordering of the 81 hand classes under the rules, best
    first: what "15%" in a range means.

    Classes go by exact equity against one random hand, heads-up before the
    flop; equal equities put the class with fewer combinations first.
    """
    number = rules_number(rules)
    library = range_library()
    text, combos, equity = ctypes.create_string_buffer(4), ctypes.c_int32(), ctypes.c_double()
    classes, cumulative = [], 0
    for place in range(_CLASSES):
        if library.varnolith_range_rules_ordering(number, place, text, ctypes.byref(combos),
                                                  ctypes.byref(equity)) != _OK:
            raise RuntimeError(f"libvarnolith_range has no place {place + 1} in its ordering")
        cumulative += combos.value
        classes.append(OrderedClass(place + 1, text.value.decode("ascii"), combos.value, cumulative,
                                    100.0 * cumulative / _ALL_COMBOS, equity.value))
    return tuple(classes)


def ordering_report(json: bool = False, rules: str = "straight") -> str:
    """The preflop ordering as `varnolith --ordering` prints it, final newline
    included: its table, or with json=True its JSON; rules="trips" for that
    ranking's own."""
    number = rules_number(rules)
    library = range_library()
    form = _JSON if json else _TABLE
    return _written(lambda out, size: library.varnolith_range_rules_ordering_report(number, form, out, size))


# Spots handed to the library at a time: enough to keep every core busy, and
# the answers of one chunk come back before the next is read from the iterable.
_BATCH_CHUNK = 1024


def _spot_line(spot: object) -> bytes:
    if not isinstance(spot, Mapping):
        raise TypeError(f"a spot must be a mapping of the fields of POST /api/equity, such as "
                        f"{{'ranges': ['AhKd', 'QQ'], 'board': 'Jh Tc 6s'}}; got {type(spot).__name__}")
    # ASCII and on one line: json escapes every newline and character beyond it.
    return json.dumps(dict(spot)).encode("ascii")


def _batch_answered(library: ctypes.CDLL, lines: list[bytes], threads: int) -> list[dict]:
    text = b"\n".join(lines)
    result = _stoppable(library, lambda stop: library.varnolith_range_batch(text, len(text), threads, stop),
                       "varnolith batch")
    try:
        _raise_for(library, result)
        return [json.loads(_written(lambda out, size, line=line:
                                    library.varnolith_range_batch_answer(result, line, out, size)))
                for line in range(library.varnolith_range_batch_lines(result))]
    finally:
        library.varnolith_range_free(result)


def _batch_answers(spots: Iterator[object], threads: int) -> Iterator[dict]:
    library = range_library()
    while chunk := [_spot_line(spot) for spot in islice(spots, _BATCH_CHUNK)]:
        yield from _batch_answered(library, chunk, threads)


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
    return _batch_answers(iter(spots), threads)
