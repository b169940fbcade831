"""`python -m varnolith`: the varnolith command's main options on the libraries
this package loads, and --ordering, the preflop ordering that "15%" reads.
Exit status 0 done, 1 no deal is possible or another failure, 2 a usage
error; an error is one line on standard error."""

from __future__ import annotations

import argparse
import json
import os
import re
import sys
import time
from typing import NoReturn, Sequence

from . import NoCompatibleDealError, __version__, ordering, range_equity
from ._notation import shown
from ._report import ordering_json, ordering_text, report_json, report_text

_USAGE = 2
_FAILURE = 1


class _UsageError(Exception):
    pass


class _Parser(argparse.ArgumentParser):
    def error(self, message: str) -> NoReturn:
        # argparse would print the whole usage; the command says one line.
        raise _UsageError(message)


def _parser() -> _Parser:
    parser = _Parser(prog="varnolith", allow_abbrev=False,
                     description="Equity of Short-Deck Hold'em ranges against one another: one range per "
                                 "player, two to fifteen players.")
    parser.add_argument("ranges", nargs="*", metavar="RANGE", help='a range such as "QQ+, AKs, AhKd:0.5"')
    parser.add_argument("-b", "--board", default="", metavar="CARDS", help="community cards, 0 to 5")
    parser.add_argument("-d", "--dead", default="", metavar="CARDS", help="cards out of play")
    parser.add_argument("--exact", action="store_true", help="enumerate every deal and board")
    parser.add_argument("--trials", metavar="N", help="simulate exactly N deals")
    parser.add_argument("--precision", metavar="P",
                        help="simulate until every standard error is at most P (0 < P < 1)")
    parser.add_argument("--seed", metavar="S", help="seed the simulation, 0 to 18446744073709551615")
    parser.add_argument("--threads", metavar="N", help="threads to use, 1 to 256 (default: every core)")
    parser.add_argument("--categories", action="store_true", help="add how often each final hand category comes")
    parser.add_argument("--by-hand", action="store_true", help="add every live combination's share and equity")
    parser.add_argument("--by-card", action="store_true",
                        help="add each card that can come next, its probability and the equities "
                             "(a flop or a turn; exact)")
    parser.add_argument("--ordering", action="store_true",
                        help="print varnolith's preflop ordering of the 81 hand classes, best first, and exit; "
                             "no ranges are given")
    parser.add_argument("--json", action="store_true", help="print one JSON object instead of the table")
    parser.add_argument("--version", action="version", version=f"varnolith {__version__}")
    return parser


def _whole(text: str | None, option: str, low: int, high: int, wanted: str) -> int | None:
    # Plain decimal digits, as the command reads them: no sign, blank or "1_000".
    if text is None:
        return None
    # Twenty digits hold any 64-bit number; Python refuses to read thousands.
    if re.fullmatch(r"[0-9]{1,20}", text) and low <= int(text) <= high:
        return int(text)
    raise _UsageError(f"{option}: {wanted} (got {shown(text)})")


def _fraction(text: str | None) -> float | None:
    if text is None:
        return None
    if re.fullmatch(r"-?([0-9]+\.?[0-9]*|\.[0-9]+)", text) and 0.0 < float(text) < 1.0:
        return float(text)
    raise _UsageError(f"--precision: P must be a decimal fraction above 0 and below 1, such as 0.001 "
                      f"(got {shown(text)})")


def _missing_value(message: str, argv: Sequence[str]) -> str:
    # argparse names every spelling ("-b/--board"); the command, the one typed.
    found = re.fullmatch(r"argument (\S+): expected one argument", message)
    if not found:
        return message
    names = found.group(1).split("/")
    typed = next((arg for i, arg in enumerate(argv) if arg in names
                  and (i + 1 == len(argv) or argv[i + 1].startswith("-"))), names[-1])
    return f"{typed}: a value is missing"


def _ordering_check(parser: _Parser, options: argparse.Namespace) -> None:
    # The ordering is a table of its own: nothing to give but the form it is printed in.
    if options.ranges:
        raise _UsageError("--ordering takes no ranges: it prints the preflop ordering alone")
    for action in parser._actions:
        if action.option_strings and action.dest not in ("ordering", "json") \
                and getattr(options, action.dest, action.default) != action.default:
            raise _UsageError(f"--ordering goes with --json alone (got {action.option_strings[-1]})")


def _options(argv: Sequence[str]) -> argparse.Namespace:
    parser = _parser()
    try:
        options, extra = parser.parse_known_intermixed_args(argv)
    except _UsageError as error:
        raise _UsageError(_missing_value(str(error), argv)) from None
    for text in extra:
        raise _UsageError(f"unknown option {shown(text)} (varnolith --help lists them)" if text.startswith("-")
                          else f"unexpected argument {shown(text)}")
    if options.ordering:
        _ordering_check(parser, options)
        return options
    if sum((options.exact, options.trials is not None, options.precision is not None)) > 1:
        raise _UsageError("--exact, --trials and --precision exclude one another: give at most one")
    options.trials = _whole(options.trials, "--trials", 1, 2**63 - 1, "N must be a whole number of at least 1")
    options.precision = _fraction(options.precision)
    options.seed = _whole(options.seed, "--seed", 0, 2**64 - 1,
                          "S must be a whole number from 0 to 18446744073709551615")
    options.threads = _whole(options.threads, "--threads", 1, 256, "N must be a whole number from 1 to 256")
    if options.by_card and (options.trials is not None or options.precision is not None):
        raise _UsageError("--by-card is exact: it goes with neither --trials nor --precision")
    return options


def _in_command_words(error: Exception) -> object:
    # Where the library speaks of the table, the command names its option.
    found = re.fullmatch(r"a next-card table needs a flop or a turn on the board, not (\d+) cards?", str(error))
    return f"--by-card needs a flop or a turn: three or four board cards (got {found.group(1)})" if found else error


def _complain(error: object, status: int) -> int:
    print(f"varnolith: {error}", file=sys.stderr)
    return status


def main(argv: Sequence[str] | None = None) -> int:
    """Runs the command on argv (sys.argv[1:] by default) and returns its exit status."""
    try:
        options = _options(sys.argv[1:] if argv is None else argv)
        if options.ordering:
            classes = ordering()
        else:
            start = time.perf_counter()
            result = range_equity(options.ranges, options.board, options.dead, exact=options.exact or None,
                                  trials=options.trials, precision=options.precision, seed=options.seed,
                                  threads=options.threads, categories=options.categories,
                                  by_hand=options.by_hand, by_card=options.by_card)
            elapsed = time.perf_counter() - start
    except NoCompatibleDealError as error:  # a ValueError, but not the user's slip
        return _complain(error, _FAILURE)
    except (_UsageError, ValueError) as error:
        return _complain(_in_command_words(error), _USAGE)
    except (OSError, MemoryError, RuntimeError) as error:  # no library, among others
        return _complain(error, _FAILURE)
    try:
        if options.ordering:
            print(json.dumps(ordering_json(classes), indent=2) if options.json else ordering_text(classes))
        else:
            print(json.dumps(report_json(result, elapsed), indent=2) if options.json
                  else report_text(result, elapsed))
        sys.stdout.flush()
    except BrokenPipeError:  # `| head`: the reader has all it wants
        # Python would complain once more when it flushes stdout at exit.
        os.dup2(os.open(os.devnull, os.O_WRONLY), sys.stdout.fileno())
        return _FAILURE
    return 0


if __name__ == "__main__":
    sys.exit(main())
