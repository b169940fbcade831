"""What the Python module adds to the libraries: argument checking, finding and
loading them, the conversion to and from their records, freeing the results,
`python -m varnolith`, the postflop study and batches. Installing with pip,
plain and editable, and loading the libraries from inside the package:
pip_install.sh."""

import contextlib
import ctypes
import dataclasses
import io
import itertools
import json
import os
import re
import signal
import subprocess
import sys
import threading
import time
import unittest
import unittest.mock
from pathlib import Path

import varnolith
from varnolith import _library, _progress, _range
from varnolith.__main__ import main

HEADS_UP = ["AhKd", "QsQc"]
# On 6c 7d 8h AhKd wins 195 of the 406 boards, QsQc 183, and they split 28:
# (195 + 28 / 2) / 406 and (183 + 28 / 2) / 406.
FLOP_EQUITY = {"AhKd": 209 / 406, "QsQc": 197 / 406}
FLOP = {"ranges": HEADS_UP, "board": "6c7d8h"}
CHECKOUT = Path(__file__).resolve().parents[2]


class ModuleTest(unittest.TestCase):
    def test_refusals_carry_the_console_messages(self) -> None:
        sixteen = [r + s + r2 + s for r, r2 in ("67", "89", "TJ", "QK") for s in "cdhs"]
        for call, args, message in [
            (varnolith.equity, (["AhXd", "QsQc"],), "Invalid Rank: Xd"),  # only the failing card is quoted
            (varnolith.equity, (["AHKD", "QsQc"],), "Invalid Suit:  AH"),
            (varnolith.equity, (["\u00c4hK", "QsQc"],), "Invalid Rank: \u00c4"),  # lengths count UTF-8 bytes
            (varnolith.equity, ([" AhKd", "QsQc"],), "Hand must be 4 characters long (e.g., KdTd)"),
            (varnolith.equity, (["AhAh", "QsQc"],), "Hand cannot have two identical cards: AhAh"),
            (varnolith.equity, (["AhKd"],), "At least two hands are needed to calculate equity."),
            (varnolith.equity, (sixteen,), "At most 15 hands fit in a 36-card deck."),
            (varnolith.equity, (["AhKd", "AhQs"],), "Duplicate card in hands"),
            (varnolith.equity, (HEADS_UP, "10h"), "Invalid Card Format: 10h"),
            (varnolith.equity, (HEADS_UP, "6c7d8"), "Invalid Card Format: 6c7d8"),  # a run splits only evenly
            (varnolith.equity, (HEADS_UP, "6c7d8x"), "Invalid Suit:  8x"),
            (varnolith.equity, (HEADS_UP, "9h Ts 9h"), "Duplicate card in board: 9h"),
            (varnolith.equity, (HEADS_UP, "Kd"), "Duplicate card in board or between board and hands"),
            (varnolith.equity, (HEADS_UP, "6c 7c 8c 9c Tc Jc"), "Invalid number of board cards. Must be between 0 and 5."),
            (varnolith.equity, (HEADS_UP, "", 2**31), "trials must be from 1 to 2147483647, got 2147483648"),
            (varnolith.evaluate, ("Ts Js Qs Ks As 6c",), "Seven cards are needed, got 6"),
            (varnolith.evaluate, ("Ts Js Qs Ks As 6c Ts",), "Duplicate card: Ts"),
            (varnolith.set_seed, (-1,), "seed must be from 0 to 4294967295, got -1"),
            # Input is quoted on one line, whole characters whole, as the library quotes it.
            (varnolith.equity, (["A\x1bKd", "QsQc"],), "Invalid Suit:  A\\x1b"),
            # The first card's two bytes end inside the second character: it is quoted whole.
            (varnolith.equity, (["h\u00c4K", "QsQc"],), "Invalid Rank: h\u00c4"),
            (varnolith.equity, (HEADS_UP, "6c\u20ach"), "Invalid Rank: \u20ac"),
            (varnolith.evaluate, ("Ts Js Qs Ks As 6c 7\udcff",), "Invalid Suit:  7\\xff"),  # a byte not UTF-8
            # Not a card text or not a whole number: TypeError.
            (varnolith.equity, (None,), TypeError("'NoneType' object is not iterable")),
            (varnolith.equity, (HEADS_UP, "", 1.5), TypeError("'float' object cannot be interpreted as an integer")),
            (varnolith.equity, (HEADS_UP, "", True), TypeError("trials must be an integer, not bool")),  # not one trial
            (varnolith.set_seed, (True,), TypeError("seed must be an integer, not bool")),
        ]:
            wanted = message if isinstance(message, TypeError) else ValueError(message)
            with self.subTest(args=args), self.assertRaises(type(wanted)) as caught:
                call(*args)
            self.assertEqual(str(caught.exception), str(wanted))

    def test_the_public_face(self) -> None:
        header = (CHECKOUT / "include" / "varnolith" / "varnolith.h").read_text()
        parts = [re.search(rf"#define VARNOLITH_VERSION_{part} (\d+)", header).group(1)
                 for part in ("MAJOR", "MINOR", "PATCH")]
        self.assertEqual(varnolith.__version__, ".".join(parts))
        for public in (varnolith.LibraryNotFoundError, varnolith.NoCompatibleDealError, varnolith.RangeEquity,
                       varnolith.PlayerEquity, varnolith.HandEquity, varnolith.NextCard, varnolith.OrderedClass):
            with self.subTest(public.__name__):
                self.assertEqual(public.__module__, "varnolith")

    def test_cards_and_shares_keep_their_order(self) -> None:
        self.assertEqual(varnolith.evaluate(["7d", "6c", "As", "Ks", "Qs", "Js", "Ts"]), 8_000_014)
        self.assertEqual(varnolith.evaluate("TsJsQsKsAs 6c7d"), 8_000_014)
        self.assertEqual(varnolith.equity("QsQc AhKd", ["6c", "7d", "8h"]), [FLOP_EQUITY["QsQc"], FLOP_EQUITY["AhKd"]])
        self.assertEqual(varnolith.equity("QsQc AhKd", "6c7d8h"), [FLOP_EQUITY["QsQc"], FLOP_EQUITY["AhKd"]])
        varnolith.set_seed(2**32 - 1)
        first = varnolith.equity(HEADS_UP, "6c 7d 8h", trials=1)
        varnolith.set_seed(2**32 - 1)
        self.assertEqual(varnolith.equity(HEADS_UP, "6c 7d 8h", trials=1), first)
        self.assertIn(first, ([1.0, 0.0], [0.5, 0.5], [0.0, 1.0]))

    def test_each_library_is_looked_for_where_documented(self) -> None:
        package = Path(varnolith.__file__).resolve().parent
        self.assertEqual(package, CHECKOUT / "python" / "varnolith")  # run from the checkout
        for which in (_library.EQUITY, _range.RANGES):
            with self.subTest(which.file):
                places = [str(package / which.file), str(CHECKOUT / "build" / "release" / which.file), which.file]
                self.assertEqual([target for target, _ in _library.candidates({}, which)], places)
                with unittest.mock.patch.object(ctypes, "CDLL", side_effect=OSError("no")), \
                        self.assertRaises(varnolith.LibraryNotFoundError) as caught:
                    _library.load({}, which)
                self.assertEqual(re.findall(r"^  (\S+) \(", str(caught.exception), re.M), places)
                self.assertEqual(_library.candidates({which.variable: "/x"}, which), [("/x", which.variable)])
                with self.assertRaisesRegex(varnolith.LibraryNotFoundError,
                                            rf"tried:\n  /nowhere/lib \({which.variable}\): .*\nSet {which.variable}"):
                    _library.load({which.variable: "/nowhere/lib"}, which)


class RangeEquityTest(unittest.TestCase):
    def test_ctrl_c_stops_a_long_computation_at_once(self) -> None:
        # SIGINT to this process while range_equity works: KeyboardInterrupt
        # within a moment, the library's threads stopped, the process sound.
        threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT)).start()
        start = time.monotonic()
        with self.assertRaises(KeyboardInterrupt):
            varnolith.range_equity(["random", "random", "random"], "6c7d", exact=True, progress=lambda done: None)
        self.assertLess(time.monotonic() - start, 1.3)
        self.assertAlmostEqual(varnolith.range_equity(HEADS_UP, "6c7d8h").players[0].equity, FLOP_EQUITY["AhKd"])
        heard = []
        varnolith.range_equity(["random", "random"], "6c7d8h", exact=True, progress=heard.append)
        self.assertEqual(heard, sorted(heard))
        self.assertTrue(heard and heard[-1] <= 1.0)

    def test_estimates_without_computing(self) -> None:
        self.assertGreater(varnolith.estimate_seconds(["random"] * 3, exact=True), 10)
        self.assertLess(varnolith.estimate_seconds(HEADS_UP, trials=1000), 0.1)
        self.assertEqual(varnolith.estimate_seconds(HEADS_UP, precision=1e-300), float("inf"))
        with self.assertRaises(varnolith.NoCompatibleDealError):
            varnolith.estimate_seconds(["AA", "AA", "AA"], "Ad")

    def test_refusals_say_what_and_where(self) -> None:
        # Checked here or by the library (its words are tested with it); a SpotError names its field and player.
        two = ["AA", "KK"]
        for args, options, error, message, *where in [
            (("AA KK",), {}, TypeError, "ranges must be a sequence of strings, one per player"),
            ((["AA", b"KK"],), {}, TypeError, "ranges must be a sequence of strings, one per player"),
            ((["AA"],), {}, varnolith.SpotError, "between 2 and 15 ranges are needed, got 1", "ranges", None),
            ((["AA", "K\0K"],), {}, ValueError, "range 2: a NUL character is not allowed"),
            ((two, b"Ah"), {}, TypeError, "board must be a string or an iterable of strings"),
            ((two, "", ["Ah", 7]), {}, TypeError, "dead cards must be a string or an iterable of strings"),
            ((two,), {"exact": True, "trials": 5}, ValueError, "exact and trials exclude one another"),
            ((two,), {"trials": 5, "precision": 0.01}, ValueError, "trials and precision exclude one another"),
            ((two,), {"trials": 0}, varnolith.SpotError, "trials must be from 1 to 9223372036854775807, got 0",
             "trials", None),
            ((two,), {"trials": 2.0}, TypeError, "'float' object cannot be interpreted as an integer"),
            ((two,), {"precision": 1}, ValueError, "options: the precision must be above 0 and below 1, got 1"),
            ((two,), {"precision": "0.1"}, TypeError, "precision must be a number, got '0.1'"),
            ((two,), {"seed": 2**64}, ValueError,
             "seed must be from 0 to 18446744073709551615, got 18446744073709551616"),
            ((two,), {"seed": True}, TypeError, "seed must be an integer, not bool"),
            # Not cut to the record's 32 bits, where it would be 0: every core.
            ((two,), {"threads": 2**32}, ValueError,
             "threads must be from -2147483648 to 2147483647, got 4294967296"),
            ((two,), {"exact": 1}, TypeError, "exact must be True or False, got 1"),
            ((two,), {"by_hand": None}, TypeError, "by_hand must be True or False, got None"),
            # The library's refusals, by their status and the field and player it names (None: words unchecked).
            ((["AA", "QQs", "KK"],), {}, varnolith.SpotError,
             'range 2: item "QQs": a pair is neither suited nor offsuit', "ranges", 1),
            ((two, "", "6c 6c"), {}, varnolith.SpotError, None, "dead", None),
            ((["AA", "AA", "AA"], "Ac"), {}, varnolith.NoCompatibleDealError,
             "no compatible deal: 3 players need 3 hands at once, and the cards their ranges hold make at most 1",
             "ranges", None),
            ((["AhKd", "KK"], "KsKcKh"), {}, varnolith.NoCompatibleDealError, None, "ranges", 1),
        ]:
            with self.subTest(args=args, options=options):
                with self.assertRaises(error) as caught:
                    varnolith.range_equity(*args, **options)
                if message:
                    self.assertEqual(str(caught.exception), message)
                if where:
                    self.assertEqual([caught.exception.field, caught.exception.player], where)
        self.assertTrue(issubclass(varnolith.NoCompatibleDealError, varnolith.SpotError))
        self.assertTrue(issubclass(varnolith.SpotError, ValueError))

    def test_every_result_is_freed(self) -> None:
        library = unittest.mock.Mock(wraps=_range.range_library())
        with unittest.mock.patch.object(_range, "range_library", lambda: library):
            self.assertRaises(ValueError, varnolith.range_equity, ["AhKd", "QQs"])
            varnolith.range_equity(["AhKd", "QsQc"], "6c7d8h", by_hand=True)
        self.assertEqual(library.varnolith_range_free.call_count, 2)

    def test_the_options_record_has_the_size_of_the_c_one(self) -> None:
        record = ctypes.create_string_buffer(1024)  # room for whatever the library fills
        options = _range._Options.from_buffer(record)
        _range.range_library().varnolith_range_options_init_sized(options, len(record))
        self.assertEqual(options.size, ctypes.sizeof(_range._Options))
        self.assertEqual(options.precision, 0.0005)  # a field after padding lands where the library put it

    def test_an_exact_result_reads_back(self) -> None:
        result = varnolith.range_equity(("AhKd, QsQc", "AhAd"), "6c7d8h", dead=["Ts", "9s"], categories=True,
                                        by_hand=True)
        self.assertEqual((result.method, result.deals, result.trials, result.seed), ("exact", 1, None, None))
        first, second = result.players
        self.assertEqual((first.range, first.combos, second.combos, first.stderr), ("AhKd, QsQc", 2, 1, 0.0))
        self.assertEqual(list(first.categories), ["high card", "pair", "two pair", "three of a kind", "straight",
                                                  "full house", "flush", "four of a kind", "straight flush"])
        self.assertEqual(first.hands, (varnolith.HandEquity("AhKd", 0.0, 0.0, None),  # no deal allows it
                                       varnolith.HandEquity("QsQc", 1.0, 1.0, first.equity)))
        # A hand is an entry of the command's JSON "hands", key for key.
        self.assertEqual(dataclasses.asdict(first.hands[1]),
                         {"hand": "QsQc", "share": 1.0, "weight": 1.0, "equity": first.equity})
        plain = varnolith.range_equity(["AKs", "QQ"]).players[0]
        self.assertEqual((plain.categories, plain.hands), (None, None))

    def test_the_next_cards_read_back(self) -> None:
        result = varnolith.range_equity(["AhKd", "QQ", "random"], "6c7d8h9s", "Ts", by_card=True)
        rows = result.next_cards
        self.assertEqual((rows[0].card, len(rows[0].equity)), ("6d", 3))
        # Each card's figures are read for the right player: they weigh up to the player's equity.
        for player, figures in enumerate(result.players):
            self.assertAlmostEqual(sum(row.probability * row.equity[player] for row in rows), figures.equity,
                                   delta=1e-12)
        self.assertIsNone(varnolith.range_equity(HEADS_UP, "6c7d8h").next_cards)

    def test_the_ordering_reads_back_and_percentages_read_it(self) -> None:
        # The ordering itself is the library's; here, its rows as records.
        classes = varnolith.ordering()
        self.assertEqual([c.place for c in classes], list(range(1, 82)))
        self.assertEqual((classes[0].hand_class, len({c.hand_class for c in classes})), ("AA", 81))
        self.assertEqual((classes[-1].cumulative_combos, classes[-1].cumulative_percent), (630, 100.0))
        self.assertGreater(classes[0].equity, classes[-1].equity)
        # A percentage reaches the range library as written, which reads it off this same ordering.
        player = varnolith.range_equity(["15%", "random"], trials=1, seed=0).players[0]
        self.assertEqual(player.range, "15%")
        self.assertIn(player.combos, [c.cumulative_combos for c in classes])

    def test_a_simulation_reports_the_seed_given(self) -> None:
        run = varnolith.range_equity(["AKs", "QQ+, AK"], "6c7d8h", trials=2_000, seed=2**64 - 1, threads=2)
        self.assertEqual((run.method, run.trials, run.seed, run.deals), ("monte_carlo", 2_000, 2**64 - 1, None))
        self.assertGreater(run.players[0].stderr, 0.0)


def run_main(argv: list) -> tuple:
    out, err = io.StringIO(), io.StringIO()
    with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
        status = main(argv)
    return status, out.getvalue(), err.getvalue()


# The command built with the libraries under test, when there is one.
COMMAND = Path(os.environ.get("VARNOLITH_RANGE_LIBRARY", "/nowhere")).parent / "varnolith"


class CommandTest(unittest.TestCase):
    def test_a_result_prints_as_the_command_table(self) -> None:
        # With Ts dead AhKd wins 189 of the 378 boards, QsQc 165, and they split 24:
        # (189 + 24 / 2) / 378 = 53.175%, of which the splits give 12 / 378 = 3.175%.
        result = varnolith.range_equity(HEADS_UP, "6c 7d,8h", dead=["Ts"])
        self.assertEqual((result.board, result.dead), (("6c", "7d", "8h"), ("Ts",)))
        # Each figure read from its own field: the boards the table counts, of the 378.
        self.assertEqual([tuple(round(378 * f, 9) for f in (p.equity, p.win, p.tie)) for p in result.players],
                         [(201, 189, 12), (177, 165, 12)])
        self.assertEqual(str(result), """\
Board    6c 7d 8h
Dead     Ts
Method   exact, 1 deal of hole cards, 378 boards each

Player  Range  Combos  Equity %   Win %  Tie %
     1  AhKd        1    53.175  50.000  3.175
     2  QsQc        1    46.825  43.651  3.175""")

    def test_refusals_are_one_line_and_the_status(self) -> None:
        self.assertEqual(run_main(["AhKd", "QQs"]),
                         (2, "", 'varnolith: range 2: item "QQs": a pair is neither suited nor offsuit\n'))
        self.assertEqual(run_main(["AA", "AA", "AA", "-b", "Ac"])[0], 1)
        missing = varnolith.LibraryNotFoundError("cannot load libvarnolith_range")
        with unittest.mock.patch.object(_range, "range_library", side_effect=missing):
            self.assertEqual(run_main(HEADS_UP), (1, "", f"varnolith: {missing}\n"))

    def test_precision_in_any_usual_notation(self) -> None:
        self.assertEqual([run_main(["--json", "--precision", text, "--seed", "1", *HEADS_UP])[0]
                          for text in ("1e-2", "1E-2", ".01", "0.01")], [0] * 4)

    def test_output_that_cannot_be_written_is_one_line_and_status_1(self) -> None:
        for argv in (HEADS_UP, ["--ordering"]):
            with self.subTest(argv=argv), open("/dev/full", "w") as full:
                run = subprocess.run([sys.executable, "-m", "varnolith", *argv], stdout=full, capture_output=False,
                                     stderr=subprocess.PIPE, text=True, check=False)
                self.assertEqual((run.returncode, run.stderr),
                                 (1, "varnolith: cannot write the output: No space left on device\n"))

    def test_warns_as_the_command_and_ctrl_c_stops_at_once_with_status_130(self) -> None:
        programs = [[sys.executable, "-m", "varnolith"]] + ([[str(COMMAND)]] if COMMAND.is_file() else [])
        for argv in (["--exact", "random", "random", "random"], ["--trials", "99999999999999", "AA", "KK"],
                     ["--precision", "1e-300", "AA", "KK"]):
            with self.subTest(argv=argv):
                warnings = []
                for program in programs:
                    child = subprocess.Popen([*program, *argv], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                             text=True, preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))
                    # The warning comes once the spot is read and the run about to start.
                    warnings.append(child.stderr.readline())
                    time.sleep(0.3)
                    sent = time.monotonic()
                    child.send_signal(signal.SIGINT)
                    out, err = child.communicate(timeout=10)
                    self.assertLess(time.monotonic() - sent, 1.0)  # well within, on a loaded machine
                    self.assertEqual((child.returncode, out, err), (130, "", ""))
                self.assertTrue(warnings[0].startswith("varnolith: this "), warnings[0])
                self.assertEqual(len(set(warnings)), 1)  # the command's words

    def test_progress_says_what_the_command_says(self) -> None:
        # command_progress_test.cpp's table.
        for done, elapsed, text in [(0.005, 3, "  0.5% done, 0:03 elapsed"),
                                    (0.25, 12, " 25.0% done, 0:12 elapsed, about 0:36 left"),
                                    (0.5, 3700, " 50.0% done, 1:01:40 elapsed, about 1:01:40 left"),
                                    (1.0, 61, "100.0% done, 1:01 elapsed"),
                                    (0.001, 10, "  0.1% done, 0:10 elapsed, about 2:46:30 left"),
                                    (1e-5, 30, "  0.0% done, 0:30 elapsed, about 35 days left")]:
            self.assertEqual(_progress.progress_text(done, elapsed), text)
        for seconds, text in [(40, "about 40 s"), (90, "about 2 min"), (3 * 3600, "about 3.0 h"),
                              (9 * 86400, "about 9 days"), (3000 * 365.25 * 86400, "about 3,000 years"),
                              (2e6 * 365.25 * 86400, "over a million years")]:
            self.assertEqual(_progress.rough_duration(seconds), text)

    @unittest.skipUnless(COMMAND.is_file(), "no varnolith command beside the range library")
    def test_refusals_are_the_commands(self) -> None:
        # Each of this module's own checks of the command line, and the library's
        # refusals put in the command's words; odd characters quoted whole.
        for argv in (["AhKd"], ["AA"] * 16, ["AA", "KK", "-b"], ["--cat", "AA", "KK"], ["--cat\u0085", "AA", "KK"],
                     ["--exact", "AA", "--precision", "0.1", "KK"], ["--trials", "x", "--precision", "2", "AA", "KK"],
                     ["--trials", "1_000", "AA", "KK"], ["--seed", "18446744073709551616", "AA", "KK"],
                     ["--threads", "0\n", "AA", "KK"], ["--threads", "0257", "AA", "KK"], ["--threads", "0", "AA", "KK"],
                     ["--threads", "99999999999999999999", "AA", "KK"], ["--threads", "300", "AA", "KK"],
                     ["--precision", "1", "AA", "KK"], ["--precision", "1e-999", "AA", "KK"],
                     ["--precision", "0.05%", "AA", "KK"], ["--precision", "1_0e-3", "AA", "KK"],
                     ["AA", "KK", "-b", "6c7d8h", "-b", "9s"], ["AA", "KK", "-b", "6c7d8h", "--board=9s"],
                     ["QQ+,", "AKs", "JJ"], ["QQ+,\t", "AKs", "JJ"], ["AA", "KK", "-b", "6c", "7d", "8h"],
                     ["A5s", "KK"], ["AA", "K\x1bK"], ["AA", "KK", "\udcff"], ["--ordering", "AA"],
                     ["--ordering", "--by-card", "-b", "Kh"], ["--by-card", "--trials", "9", "AA", "KK", "-b", "Kh9c8d"],
                     ["--by-card", "AA", "KK"], ["--rules", "omaha", "AA", "KK"], ["--hits", "AA", "KK"],
                     ["--flops", "AA", "KK", "-b", "6c7d8h"], ["--csv", "AA", "KK"],
                     ["--filter", "sets", "AA", "-b", "Kh9h8d"], ["--filter", "set", "--exact", "AA", "-b", "Kh9h8d"]):
            with self.subTest(argv=argv):
                command = subprocess.run([str(COMMAND), *argv], capture_output=True, check=False,
                                         env={**os.environ, "LC_ALL": "C"})
                status, out, err = run_main(argv)
                self.assertEqual((status, out, err.encode("utf-8", "surrogateescape")),
                                 (command.returncode, "", command.stderr))
                self.assertEqual((status, err.count("\n")), (2, 1))

    @unittest.skipUnless(COMMAND.is_file(), "no varnolith command beside the range library")
    def test_output_is_the_commands(self) -> None:
        spot = ["AKs", "QQ+, AK", "-b", "6c7d8h", "-d", "Ts"]
        simulated = ["--trials", "3000", "--seed", "5", "--categories", "--by-hand", *spot]
        by_card = ["--by-card", "--categories", "15%", *spot]  # three players: the squares wrap
        quartiles = ["--by-hand", "AKs", "QsQc", "-b", "6h7h8d"]  # four equal shares: quartiles on the boundaries
        # The postflop study's forms, which print no table beside them.
        postflop = [["--filter", "set, !nothing", "-b", "Kh9h8d", "KK, 99, AQ", "AA"], ["--flops", "--csv", "AA", "KK"],
                    ["--json", "--hits", "QQ", "AK", "-b", "Kh9h8d"]]
        for argv in [*(form for table in (spot, simulated, by_card, quartiles, ["--ordering"])
                       for form in (table, ["--json", *table])), *postflop]:
            with self.subTest(argv=argv):
                (status, ours, _), theirs = run_main(argv), subprocess.run([str(COMMAND), *argv], check=True,
                                                                           capture_output=True, text=True).stdout
                self.assertEqual(status, 0)
                if argv in postflop:  # printed alike to the last digit
                    ours, theirs = (re.sub(r'"elapsed_seconds": [0-9.e+-]+', "", text) for text in (ours, theirs))
                elif "--json" not in argv:
                    ours, theirs = (re.sub(r"Elapsed  \d+\.\d{3} s", "Elapsed", text) for text in (ours, theirs))
                else:  # both as parsed: the two print some doubles to different digits
                    ours, theirs = json.loads(ours), json.loads(theirs)
                    if "--ordering" not in argv:
                        ours["elapsed_seconds"] = theirs["elapsed_seconds"]
                self.assertEqual(ours, theirs)


class PostflopTest(unittest.TestCase):
    # Hits as the command's JSON names them, flop rows ready for a data frame, filters read back by the parser.
    # The figures are the engine's, tested there; here what the module adds:
    # the answer's shape, the flat rows, the empty filter and the refusals' fields.
    def test_hits_flops_and_filters(self) -> None:
        spot = varnolith.range_equity(["QQ+, AKs", "JJ-88, AQs+"], "Kh9h8d", hits=True)
        self.assertEqual({line["class"]: line["combos"] for line in spot.hits[0]}["set"], 3.0)
        rows = varnolith.flop_report(["AA", "KK"])
        self.assertEqual(list(rows[0]), ["flop", "flops", "probability", "equity_1", "equity_2", "suits", "pairing",
                                         "high_card", "straight_possible"])
        self.assertEqual(varnolith.filter_ranges(["KK, 99, AQ", "AA"], "Kh9h8d", ["set", "!nothing"]),
                         ("KdKc, KsKc, KsKd, 9d9c, 9s9c, 9s9d", ""))
        for call, field in [(lambda: varnolith.range_equity(["AA", "KK"], "6c7d8h", flops=True), "flops"),
                            (lambda: varnolith.filter_ranges(["KK"], "Kh9h8d", "sets"), "filter")]:
            with self.assertRaises(varnolith.SpotError) as raised:
                call()
            self.assertEqual(raised.exception.field, field)


class BatchTest(unittest.TestCase):
    # Spots as the web API's bodies, one answer dict each, in order, through the range library's batch call.
    def test_a_bad_spot_answers_in_its_place(self) -> None:
        answers = list(varnolith.batch([FLOP, {"ranges": ["AhKd", "QQs"]}, FLOP]))
        self.assertEqual(answers[0], answers[2] | {"elapsed_seconds": answers[0]["elapsed_seconds"]})
        self.assertEqual(answers[1], {"error": {"code": "bad_request", "field": "ranges", "player": 1,
                                                "message": 'range 2: item "QQs": a pair is neither suited nor offsuit'}})

    def test_the_answers_are_the_commands_json(self) -> None:
        for options in [{}, {"by_hand": True, "categories": True}, {"by_card": True}, {"trials": 1000, "seed": 3}]:
            with self.subTest(**options):
                [answer] = varnolith.batch([dict(FLOP, **options)])
                wanted = json.loads(_range.command_report(FLOP["ranges"], FLOP["board"], json=True, **options))
                answer.pop("elapsed_seconds")
                wanted.pop("elapsed_seconds")
                self.assertEqual(answer, wanted)

    def test_answers_keep_the_order_of_spots_read_lazily(self) -> None:
        hands = list(itertools.islice(itertools.cycle(["QsQc", "JhTh", "9c9d"]), 2500))  # past a chunk
        spots = ({"ranges": ["AhKd", hand], "board": "6c7d8h"} for hand in hands)
        self.assertEqual([answer["players"][1]["range"] for answer in varnolith.batch(spots, threads=1)],
                         hands)

    def test_refusals_of_the_call_itself(self) -> None:
        self.assertEqual(list(varnolith.batch([])), [])
        self.assertRaises(TypeError, varnolith.batch, 5)
        for spots in (["AhKd QsQc"], [{"ranges": {"AhKd", "QsQc"}}]):
            with self.subTest(spots=spots), self.assertRaises(TypeError):
                list(varnolith.batch(spots))
        with self.assertRaises(varnolith.SpotError) as refused:
            varnolith.batch([FLOP], threads=257)
        self.assertEqual(refused.exception.field, "threads")

    def test_ctrl_c_stops_a_long_batch_at_once(self) -> None:
        threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT)).start()
        start = time.monotonic()
        with self.assertRaises(KeyboardInterrupt):
            list(varnolith.batch([{"ranges": ["random", "random", "random"], "board": "6c7d", "method": "exact"}]))
        self.assertLess(time.monotonic() - start, 1.3)


if __name__ == "__main__":
    unittest.main()
