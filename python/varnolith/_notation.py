"""Card text in the console's notation, with the console's refusals.

A card is a rank character from "6789TJQKA" and a suit character from "cdhs",
case-sensitive, nothing before, between or after. A hand is two cards run
together ("AhKd"); so may be the cards of a board ("6c7d8h"). Nothing is
trimmed: a length counts every character given.
"""

from __future__ import annotations

from typing import Iterable, NamedTuple

from ._range import shown

_RANKS = "6789TJQKA"
_SUITS = "cdhs"
_LOWEST_RANK = 6


class Card(NamedTuple):
    """A card as the library takes it: rank 6..14 (T=10 .. A=14), suit 0..3 (c d h s)."""

    rank: int
    suit: int


def _utf8(text: str) -> bytes:
    # The console counts and splits bytes, not characters; so does this module.
    return text.encode("utf-8", "surrogateescape")


def _piece(text: str, start: int, stop: int) -> tuple[str, str]:
    """Bytes start to stop of the text, and the same widened to whole characters.

    The first is what the console would test; the second is what a message
    quotes, so that "hÄK" is refused as "hÄ" rather than as half an "Ä".
    """
    whole, at = [], 0
    for char in text:
        size = len(_utf8(char))
        if at < stop and at + size > start:
            whole.append(char)
        at += size
    return _utf8(text)[start:stop].decode("utf-8", "surrogateescape"), "".join(whole)


def parse_card(text: str, quoted: str | None = None) -> Card:
    """Returns the card that two characters name, such as "Ah".

    Raises ValueError "Invalid Card Format: ", "Invalid Rank: " or
    "Invalid Suit:  " (two blanks) followed by the text, tested in that order;
    quoted, when given, is the text to show instead (see _piece).
    """
    shown_text = shown(text if quoted is None else quoted)
    if len(_utf8(text)) != 2:
        raise ValueError(f"Invalid Card Format: {shown_text}")
    rank = _RANKS.find(text[0])
    if rank < 0:
        raise ValueError(f"Invalid Rank: {shown_text}")
    suit = _SUITS.find(text[1])
    if suit < 0:
        # The double blank is the message console users already know.
        raise ValueError(f"Invalid Suit:  {shown_text}")
    return Card(_LOWEST_RANK + rank, suit)


def parse_hand(text: str) -> tuple[Card, Card]:
    """Returns the two cards of a four-character hand such as "AhKd", in the order written.

    A card error quotes only the two characters that failed ("Invalid Rank: Xd"
    for "AhXd"); a hand of one card twice raises
    "Hand cannot have two identical cards: " followed by the hand.
    """
    if len(_utf8(text)) != 4:
        raise ValueError("Hand must be 4 characters long (e.g., KdTd)")
    first = parse_card(*_piece(text, 0, 2))
    second = parse_card(*_piece(text, 2, 4))
    if first == second:
        raise ValueError(f"Hand cannot have two identical cards: {shown(text)}")
    return first, second


def parse_board(texts: list[tuple[str, str]]) -> list[Card]:
    """Returns the board cards of split_runs in the order given; stops at the first bad card.

    A card given twice raises "Duplicate card in board: " followed by its text.
    """
    board: list[Card] = []
    for text, quoted in texts:
        card = parse_card(text, quoted)
        if card in board:
            raise ValueError(f"Duplicate card in board: {text}")
        board.append(card)
    return board


def card_texts(cards: str | Iterable[str], what: str) -> list[str]:
    """Splits a string on whitespace; takes any other iterable of strings as it is."""
    if isinstance(cards, str):
        return cards.split()
    texts = list(cards) if not isinstance(cards, (bytes, bytearray)) else None
    if texts is None or not all(isinstance(text, str) for text in texts):
        raise TypeError(f"{what} must be a string or an iterable of strings")
    return texts


def split_runs(texts: list[str]) -> list[tuple[str, str]]:
    """Splits cards written run together ("6c7d8h") into card texts, two bytes each,
    each with the text a message quotes for it (see _piece).

    A text of an odd length other than one card's is left whole, so that
    parse_card refuses it with the console's "Invalid Card Format: " and all of it.
    """
    cards: list[tuple[str, str]] = []
    for text in texts:
        size = len(_utf8(text))
        if size > 2 and size % 2 == 0:
            cards.extend(_piece(text, start, start + 2) for start in range(0, size, 2))
        else:
            cards.append((text, text))
    return cards
