"""`python -m varnolith`: the varnolith command's main options on the libraries
this package loads, and --ordering, the preflop ordering that "15%" reads.
Exit status 0 done, 1 no deal is possible, the output cannot be written or
another failure, 2 a usage error, 130 interrupted; an error is one line on
standard error."""

from __future__ import annotations

import argparse
import os
import re
import sys
from typing import NoReturn, Sequence

from . import NoCompatibleDealError, SpotError, __version__, estimate_seconds
from ._progress import ProgressLine, rough_duration
from ._range import RULES, command_report, conflicting_methods, filter_ranges, limit, ordering_report, shown

_USAGE = 2
_FAILURE = 1
_INTERRUPTED = 130
# Said before a run that will take longer, as the command says it.
_LONG_RUN_SECONDS = 10

# The options that take a value, each with its other spelling.
_VALUED = [("-b", "--board"), ("-d", "--dead"), ("--trials", None), ("--precision", None), ("--seed", None),
           ("--threads", None)]
_CARD = re.compile(r"[6789TJQKA][cdhs]")


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
    parser.add_argument("ranges", nargs="*", metavar="RANGE",
                        help='a range such as "QQ+, AKs, AhKd:0.5" or "A**, !AK", or @FILE for the range in FILE')
    parser.add_argument("-b", "--board", default="", metavar="CARDS", help="community cards, 0 to 5")
    parser.add_argument("-d", "--dead", default="", metavar="CARDS", help="cards out of play")
    parser.add_argument("--exact", action="store_true", help="enumerate every deal and board")
    parser.add_argument("--trials", metavar="N", help="simulate exactly N deals")
    parser.add_argument("--precision", metavar="P",
                        help="simulate until every standard error is at most P (0 < P < 1)")
    parser.add_argument("--seed", metavar="S", help="seed the simulation, 0 to 18446744073709551615")
    parser.add_argument("--threads", metavar="N", help="threads to use, 1 to 256 (default: every core)")
    parser.add_argument("--rules", default="straight", metavar="R",
                        help="the hand ranking: straight (default; a straight beats three of a kind) or trips "
                             "(three of a kind beats a straight)")
    parser.add_argument("--categories", action="store_true", help="add how often each final hand category comes")
    parser.add_argument("--by-hand", action="store_true", help="add every live combination's share and equity")
    parser.add_argument("--by-card", action="store_true",
                        help="add each card that can come next, its probability and the equities "
                             "(a flop or a turn; exact)")
    parser.add_argument("--ordering", action="store_true",
                        help="print varnolith's preflop ordering of the 81 hand classes, best first, and exit; "
                             "no ranges are given")
    parser.add_argument("--hits", action="store_true", help="add what each range holds on the board, or on the flop")
    parser.add_argument("--filter", metavar="NAMES", help="print each range cut to the classes and draws named")
    parser.add_argument("--flops", action="store_true", help="add every flop of a preflop spot, exactly")
    parser.add_argument("--csv", action="store_true", help="with --flops, print only the flop rows, as CSV")
    parser.add_argument("--json", action="store_true", help="print one JSON object instead of the table")
    parser.add_argument("--version", action="version", version=f"varnolith {__version__}")
    return parser


def _whole(text: str | None, option: str, low: int, high: int | None, wanted: str) -> int | None:
    # Plain decimal digits, as the command reads them: no sign, blank or "1_000".
    # With no high, the library judges the top and _in_command_words says it.
    if text is None:
        return None
    # Twenty digits hold any 64-bit number; Python refuses to read thousands.
    if re.fullmatch(r"[0-9]{1,20}", text) and low <= int(text) and (high is None or int(text) <= high):
        return int(text)
    raise _UsageError(f"{option}: {wanted} (got {shown(text)})")


def _threads_wanted() -> str:
    return f"N must be a whole number from 1 to {limit('threads')}"


def _precision_refused(text: str) -> str:
    return f"--precision: P must be a number above 0 and below 1, such as 0.001 or 1e-4 (got {shown(text)})"


def _fraction(text: str | None) -> float | None:
    # A number as people write one (0.001, .001, 1e-3); no sign, "inf", "nan" or "1_0".
    # Whether it is small enough, and large enough, is the library's to say.
    if text is None:
        return None
    if re.fullmatch(r"([0-9]+\.?[0-9]*|\.[0-9]+)([eE][-+]?[0-9]+)?", text):
        return float(text)
    raise _UsageError(_precision_refused(text))


def _valued(arg: str) -> tuple[int, bool] | None:
    """The option's place in _VALUED and whether its value is in the same argument (--board=6c7d)."""
    for place, names in enumerate(_VALUED):
        for name in names:
            if name and arg == name:
                return place, False
            if name and name.startswith("--") and arg.startswith(name + "="):
                return place, True
    return None


def _repeated_option(argv: Sequence[str]) -> str | None:
    # argparse would keep the last value silently.
    seen: dict[int, str] = {}
    skip = False
    for arg in argv:
        if skip:
            skip = False
            continue
        if arg == "--":
            break
        found = _valued(arg)
        if found is None:
            continue
        place, inline = found
        typed = arg.split("=")[0]
        if place in seen:
            first = seen[place]
            return (f"{typed} is given twice: give each option once" if first == typed
                    else f"{first} and {typed} are one option, given twice: give it once")
        seen[place] = typed
        skip = not inline
    return None


def _is_card_run(text: str) -> bool:
    runs = [run for run in re.split(r"[ \t,]+", text) if run]
    return bool(runs) and all(len(run) % 2 == 0 and all(_CARD.fullmatch(run[i:i + 2]) for i in range(0, len(run), 2))
                              for run in runs)


def _range_slip(ranges: Sequence[str], argv: Sequence[str]) -> str | None:
    """What a range argument says of the slip that made it: a range the shell split
    at its blanks, or board cards written apart."""
    for number, text in enumerate(ranges):
        which = f'range {number + 1} ("{shown(text)}")'
        if text.rstrip(" \t").endswith(",") and number + 1 < len(ranges):
            return (f'{which} ends with a comma: a range with blanks is one argument, so quote it, as in '
                    f'"{shown(text)} {shown(ranges[number + 1])}"')
        if not (len(text) == 2 and _CARD.fullmatch(text)):
            continue
        for i, arg in enumerate(argv):
            if arg != text or i < 2:
                continue
            at = i - 1
            while at > 0 and _is_card_run(argv[at]) and _valued(argv[at]) is None:
                at -= 1
            found = _valued(argv[at])
            if at == i - 1 or found is None or found[0] > 1 or found[1]:
                continue
            cards = argv[at + 1]
            for later in argv[at + 2:]:
                if not (len(later) == 2 and _CARD.fullmatch(later)):
                    break
                cards += later
            return (f"{which} is a card, not a range: {'board' if found[0] == 0 else 'dead'} cards go together, "
                    f"as in {argv[at]} {cards}")
    return None


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
        if action.option_strings and action.dest not in ("ordering", "json", "rules") \
                and getattr(options, action.dest, action.default) != action.default:
            raise _UsageError(f"--ordering goes with --rules and --json alone (got {action.option_strings[-1]})")


def _filter_check(parser: _Parser, options: argparse.Namespace) -> None:
    # A filter runs no equity: it takes ranges, the cards and the rules alone.
    for action in parser._actions:
        if action.option_strings and action.dest not in ("filter", "board", "dead", "rules") \
                and getattr(options, action.dest, action.default) != action.default:
            raise _UsageError(f"--filter goes with --board, --dead and --rules alone (got {action.option_strings[-1]})")
    if not 1 <= len(options.ranges) <= 15:
        raise _UsageError(f"--filter: give one to fifteen ranges (got {len(options.ranges)})")


def _options(argv: Sequence[str]) -> argparse.Namespace:
    repeated = _repeated_option(argv)
    if repeated:
        raise _UsageError(repeated)
    parser = _parser()
    try:
        options, extra = parser.parse_known_intermixed_args(argv)
    except _UsageError as error:
        raise _UsageError(_missing_value(str(error), argv)) from None
    for text in extra:
        raise _UsageError(f"unknown option {shown(text)} (varnolith --help lists them)" if text.startswith("-")
                          else f"unexpected argument {shown(text)}")
    if options.rules not in RULES:
        raise _UsageError(f"--rules: must be straight or trips (got {shown(options.rules)})")
    if options.ordering:
        _ordering_check(parser, options)
        return options
    slip = _range_slip(options.ranges, argv)
    if slip:
        raise _UsageError(slip)
    if options.filter is not None:
        _filter_check(parser, options)
        return options
    if options.csv and not options.flops:
        raise _UsageError("--csv goes with --flops: the flop rows are the table it writes")
    if options.csv and options.json:
        raise _UsageError("--csv, --json and --svg - each write the whole output: give one")
    if conflicting_methods(options.exact, options.trials, options.precision):
        raise _UsageError("--exact, --trials and --precision exclude one another: give at most one")
    options.trials = _whole(options.trials, "--trials", 1, 2**63 - 1, "N must be a whole number of at least 1")
    options.precision_text = options.precision
    options.precision = _fraction(options.precision)
    options.seed = _whole(options.seed, "--seed", 0, 2**64 - 1,
                          "S must be a whole number from 0 to 18446744073709551615")
    options.threads_text = options.threads
    if options.threads is not None:
        # 0 asks the library for every core: the command has no way to write it.
        options.threads = _whole(options.threads, "--threads", 1, None, _threads_wanted())
    if options.by_card and (options.trials is not None or options.precision is not None):
        raise _UsageError("--by-card is exact: it goes with neither --trials nor --precision")
    return options


def _range_texts(ranges: Sequence[str]) -> tuple[list[str], list[str]]:
    """The ranges' texts, "@PATH" standing for the text of that file as it is (the
    notation reads line breaks and comments), and where each came from: "@PATH",
    or "" for a range typed as it is."""
    texts, sources = [], []
    for player, text in enumerate(ranges):
        source, path = (text, text[1:]) if text.startswith("@") else ("", None)
        if path == "":
            raise SpotError(f"range {player + 1}: '@' needs a file name after it, as in @opening_range.txt",
                            "ranges", player)
        if path is not None:
            try:
                with open(path, encoding="utf-8", errors="surrogateescape", newline="") as file:
                    text = file.read()
            except OSError as error:
                reason = os.strerror(error.errno) if error.errno else str(error)
                raise SpotError(f"range {player + 1}: cannot read {shown(path)}: {reason}", "ranges", player) from None
        texts.append(text)
        sources.append(source)
    return texts, sources


def _in_command_words(error: Exception, options: argparse.Namespace) -> object:
    # Where the library speaks of its record or of the table, the command names its option.
    if not isinstance(error, SpotError):
        return error
    if error.field == "precision":
        return _precision_refused(options.precision_text)
    if error.field == "threads":
        return f"--threads: {_threads_wanted()} (got {options.threads_text})"
    if error.field == "ranges" and error.player is None:  # the count: no one range is at fault
        return f"give two to fifteen ranges, one per player (got {len(options.ranges)})"
    if error.field == "by_card":
        cards = sum(len(run) // 2 for run in re.split(r"[ \t,]+", options.board) if run)
        return f"--by-card needs a flop or a turn: three or four board cards (got {cards})"
    return error


def _complain(error: object, status: int) -> int:
    print(f"varnolith: {error}", file=sys.stderr)
    return status


def _warn_of_a_long_run(options: argparse.Namespace) -> None:
    # As the command: said before an exact run or a simulation that was asked
    # for and will take long; the default method never chooses one.
    exact = options.exact or options.by_card or options.flops
    if not exact and options.trials is None and options.precision is None:
        return
    expected = estimate_seconds(options.texts, options.board, options.dead, exact=options.exact or None,
                                trials=options.trials, precision=options.precision, threads=options.threads,
                                by_card=options.by_card, rules=options.rules, sources=options.sources,
                                hits=options.hits, flops=options.flops)
    if expected <= _LONG_RUN_SECONDS:
        return
    if exact:
        advice = "; --precision P simulates instead"
        print(f"varnolith: this exact run is expected to take {rough_duration(expected)}{advice}", file=sys.stderr,
              flush=True)
    else:
        advice = "fewer --trials" if options.trials is not None else "a larger --precision"
        print(f"varnolith: this simulation is expected to take {rough_duration(expected)}; {advice} shortens it",
              file=sys.stderr, flush=True)


def _compute(options: argparse.Namespace) -> str:
    """What to print: the library's report, as the command prints it."""
    if options.ordering:
        return ordering_report(json=options.json, rules=options.rules)
    options.texts, options.sources = _range_texts(options.ranges)
    if options.filter is not None:
        return "".join(kept + "\n" for kept in filter_ranges(options.texts, options.board, options.filter,
                                                             options.dead, rules=options.rules))
    _warn_of_a_long_run(options)
    line = ProgressLine(sys.stderr if sys.stderr.isatty() else None)
    try:
        return command_report(options.texts, options.board, options.dead, json=options.json,
                              exact=options.exact or None, trials=options.trials, precision=options.precision,
                              seed=options.seed, threads=options.threads, categories=options.categories,
                              by_hand=options.by_hand, by_card=options.by_card, rules=options.rules,
                              hits=options.hits, flops=options.flops, csv=options.csv, progress=line,
                              sources=options.sources)
    finally:
        line.erase()


def main(argv: Sequence[str] | None = None) -> int:
    """Runs the command on argv (sys.argv[1:] by default) and returns its exit status."""
    options = None
    try:
        options = _options(sys.argv[1:] if argv is None else argv)
        report = _compute(options)
    except KeyboardInterrupt:  # Ctrl-C: the run stopped at once, no report
        return _INTERRUPTED
    except NoCompatibleDealError as error:  # a ValueError, but not the user's slip
        return _complain(error, _FAILURE)
    except (_UsageError, ValueError) as error:
        return _complain(_in_command_words(error, options) if options else error, _USAGE)
    except (OSError, MemoryError, RuntimeError) as error:  # no library, among others
        return _complain(error, _FAILURE)
    try:
        sys.stdout.write(report)
        sys.stdout.flush()
    except KeyboardInterrupt:
        return _INTERRUPTED
    except OSError as error:  # a full disk; `| head`, where the reader has all it wants
        # Python would try the rest once more when it flushes stdout at exit.
        os.dup2(os.open(os.devnull, os.O_WRONLY), sys.stdout.fileno())
        if isinstance(error, BrokenPipeError):
            return _FAILURE
        reason = f": {os.strerror(error.errno)}" if error.errno else ""
        return _complain(f"cannot write the output{reason}", _FAILURE)
    return 0


if __name__ == "__main__":
    sys.exit(main())
