"""Short-Deck (six-plus, 36-card) Hold'em equity from Python, through libvarnolith.

    >>> import varnolith
    >>> varnolith.evaluate("Ts Js Qs Ks As 6c 7d")
    8000014
    >>> varnolith.equity(["AhKd", "QsQc"], board="6c7d8h")
    [0.5147783251231527, 0.4852216748768473]
    >>> varnolith.range_equity(["AKs", "QQ+, AK"], board="6c7d8h").players[0].equity
    0.4511787473610134

Cards are written as in varnolith_cli: rank "6789TJQKA" then suit "cdhs", so
"Ah" or "Tc"; a hand is two cards run together, "AhKd", and so may be a board,
"6c7d8h", or cards separated by blanks. Input the console would refuse raises
ValueError with the console's message; range_equity takes the ranges of the
varnolith command and refuses what it refuses, with its message.

evaluate, equity and set_seed call libvarnolith, range_equity, ordering (the
preflop ordering of the 81 hand classes that "15%" in a range reads) and batch
(many spots as the web API's bodies, answered as it answers them) call
libvarnolith_range. Each library file is looked for in this order:
  1. the path in its environment variable, VARNOLITH_LIBRARY or
     VARNOLITH_RANGE_LIBRARY (then nowhere else);
  2. libvarnolith.so.1 or libvarnolith_range.so.1 next to this package;
  3. in a source checkout (this package in python/), the same in the
     checkout's build/release;
  4. the same on the system library path.
It is loaded at the first call that needs it; LibraryNotFoundError lists every
place tried. `python -m varnolith` is the varnolith command on these libraries.
"""

from __future__ import annotations

import ctypes
from typing import Iterable

from ._library import LibraryNotFoundError, library
from ._range import (HandEquity, NextCard, NoCompatibleDealError, OrderedClass, PlayerEquity, RangeEquity, SpotError,
                     batch, estimate_seconds, filter_ranges, flop_report, ordering, range_equity, whole_number)
from ._notation import Card, card_texts, parse_board, parse_card, parse_hand, split_runs

# The library's version, include/varnolith/varnolith.h; a test holds the two together.
__version__ = "1.0.0"

__all__ = ["evaluate", "equity", "set_seed", "range_equity", "estimate_seconds", "ordering", "batch", "flop_report",
           "filter_ranges", "RangeEquity",
           "PlayerEquity", "HandEquity", "NextCard", "OrderedClass", "LibraryNotFoundError", "SpotError",
           "NoCompatibleDealError"]

# Tracebacks, reprs and pickles name the classes where users find them.
for _public in (RangeEquity, PlayerEquity, HandEquity, NextCard, OrderedClass, LibraryNotFoundError, SpotError,
                NoCompatibleDealError):
    _public.__module__ = __name__
del _public

_INT32_MAX = 2**31 - 1
_UINT32_MAX = 2**32 - 1


def _int32_array(cards: list[Card]) -> ctypes.Array[ctypes.c_int32]:
    return (ctypes.c_int32 * (2 * len(cards)))(*(value for card in cards for value in card))


def evaluate(cards: str | Iterable[str]) -> int:
    """Returns the value of exactly seven cards; the larger value wins, equal values split.

    cards: "Ts Js Qs Ks As 6c 7d" (split on whitespace, and runs such as "TsJs"
    every two characters) or a list of card texts.
    The value is category * 1,000,000 + detail, the category from 0 (high card)
    to 8 (straight flush), a flush (6) above a full house (5).
    Raises ValueError for a bad card, a repeated card or a count other than seven.
    """
    texts = split_runs(card_texts(cards, "cards"))
    parsed = [parse_card(*text) for text in texts]
    if len(parsed) != 7:
        raise ValueError(f"Seven cards are needed, got {len(parsed)}")
    for i, card in enumerate(parsed):
        if card in parsed[:i]:
            raise ValueError(f"Duplicate card: {texts[i][0]}")
    return int(library().evaluate_hand_direct(_int32_array(parsed), 7))


def equity(hands: str | Iterable[str], board: str | Iterable[str] = "",
           trials: int | None = None) -> list[float]:
    """Returns each hand's share of the pot, a fraction from 0 to 1, in the order of the hands.

    hands: two or more hands, ["AhKd", "QsQc"] (or the same as one string, split
    on whitespace). board: zero to five cards, "6c7d8h", "6c 7d 8h" or
    ["6c", "7d", "8h"].
    trials: None for the exact equity over every completion of the board (more
    than four hands with cards to come are estimated from 2,000,000 trials
    instead); a number from 1 to 2**31 - 1 for a Monte Carlo estimate from that
    many random completions. The shares add up to 1 apart from rounding.
    Raises ValueError for input the console would refuse and for a bad trial count,
    TypeError for a trial count that is not an integer (a bool included).
    """
    hand_texts = card_texts(hands, "hands")
    if len(hand_texts) < 2:
        raise ValueError("At least two hands are needed to calculate equity.")
    if len(hand_texts) > 15:  # sixteen hands and a board need more than 36 cards
        raise ValueError("At most 15 hands fit in a 36-card deck.")
    parsed_hands = [parse_hand(text) for text in hand_texts]
    board_texts = split_runs(card_texts(board, "board"))
    if len(board_texts) > 5:
        raise ValueError("Invalid number of board cards. Must be between 0 and 5.")
    parsed_board = parse_board(board_texts)

    seen: set[Card] = set()
    for card in (card for hand in parsed_hands for card in hand):
        if card in seen:
            raise ValueError("Duplicate card in hands")
        seen.add(card)
    if any(card in seen for card in parsed_board):
        raise ValueError("Duplicate card in board or between board and hands")

    if trials is not None:
        trials = whole_number(trials, "trials", 1, _INT32_MAX)

    count = len(parsed_hands)
    hand_array = _int32_array([card for hand in parsed_hands for card in hand])
    board_array = _int32_array(parsed_board)
    results = (ctypes.c_double * count)()
    if trials is None:
        library().compute_equity_enumeration(hand_array, count, board_array, len(parsed_board), results)
    else:
        library().compute_equity_montecarlo_ultra_fast(hand_array, count, board_array, len(parsed_board),
                                                       trials, results)
    return list(results)


def set_seed(seed: int) -> None:
    """Seeds the Monte Carlo generator of the whole process, for good: from then on the
    same sequence of equity(..., trials=...) calls gives the same figures.

    seed: an integer from 0 to 2**32 - 1 (not a bool: TypeError).
    """
    library().set_seed(whole_number(seed, "seed", 0, _UINT32_MAX))
