"""What the Python module adds to the libraries: argument checking, finding and
loading them, the conversion to and from their records, freeing the results.
Loading the libraries from inside an installed package: pip_install.sh."""

import ctypes
import unittest
import unittest.mock
from pathlib import Path

import varnolith
from varnolith import _library, _range

HEADS_UP = ["AhKd", "QsQc"]


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
        ]:
            with self.subTest(args=args), self.assertRaises(ValueError) as caught:
                call(*args)
            self.assertEqual(str(caught.exception), message)
        self.assertRaises(TypeError, varnolith.equity, HEADS_UP, "", 1.5)
        self.assertRaises(TypeError, varnolith.equity, None)

    def test_cards_and_shares_keep_their_order(self) -> None:
        self.assertEqual(varnolith.evaluate(["7d", "6c", "As", "Ks", "Qs", "Js", "Ts"]), 8_000_014)
        self.assertEqual(varnolith.evaluate("TsJsQsKsAs 6c7d"), 8_000_014)
        self.assertEqual(varnolith.equity("QsQc AhKd", ["6c", "7d", "8h"]), [197 / 406, 209 / 406])
        self.assertEqual(varnolith.equity("QsQc AhKd", "6c7d8h"), [197 / 406, 209 / 406])
        varnolith.set_seed(2**32 - 1)
        first = varnolith.equity(HEADS_UP, "6c 7d 8h", trials=1)
        varnolith.set_seed(2**32 - 1)
        self.assertEqual(varnolith.equity(HEADS_UP, "6c 7d 8h", trials=1), first)
        self.assertIn(first, ([1.0, 0.0], [0.5, 0.5], [0.0, 1.0]))

    def test_each_library_is_looked_for_where_documented(self) -> None:
        package = Path(varnolith.__file__).resolve().parent
        for which in (_library.EQUITY, _range.RANGES):
            with self.subTest(which.file):
                self.assertEqual(_library.candidates({}, which), [
                    (str(package / which.file), "next to the module"), (which.file, "system library path")])
                self.assertEqual(_library.candidates({which.variable: "/x"}, which), [("/x", which.variable)])
                with self.assertRaisesRegex(varnolith.LibraryNotFoundError,
                                            rf"tried:\n  /nowhere/lib \({which.variable}\): .*\nSet {which.variable}"):
                    _library.load({which.variable: "/nowhere/lib"}, which)


class RangeEquityTest(unittest.TestCase):
    def test_refusals_checked_here_or_by_the_library(self) -> None:
        two = ["AA", "KK"]
        for args, options, error, message in [
            (("AA KK",), {}, TypeError, "ranges must be a sequence of strings, one per player"),
            ((["AA", b"KK"],), {}, TypeError, "ranges must be a sequence of strings, one per player"),
            ((["AA"],), {}, ValueError, "give two to fifteen ranges, one per player (got 1)"),
            ((["AA"] * 16,), {}, ValueError, "give two to fifteen ranges, one per player (got 16)"),
            ((["AA", "K\0K"],), {}, ValueError, "range 2: a NUL character is not allowed"),
            ((two, b"Ah"), {}, TypeError, "board must be a string or an iterable of strings"),
            ((two, "", ["Ah", 7]), {}, TypeError, "dead cards must be a string or an iterable of strings"),
            ((two,), {"exact": True, "trials": 5}, ValueError, "exact and trials exclude one another"),
            ((two,), {"trials": 5, "precision": 0.01}, ValueError, "trials and precision exclude one another"),
            ((two,), {"trials": 0}, ValueError, "trials must be from 1 to 9223372036854775807, got 0"),
            ((two,), {"trials": 2.0}, TypeError, "'float' object cannot be interpreted as an integer"),
            ((two,), {"precision": 1}, ValueError, "precision must be above 0 and below 1, got 1"),
            ((two,), {"precision": "0.1"}, TypeError, "precision must be a number, got '0.1'"),
            ((two,), {"seed": 2**64}, ValueError, "seed must be from 0 to 18446744073709551615, got 18446744073709551616"),
            ((two,), {"seed": True}, TypeError, "seed must be an integer, not bool"),
            ((two,), {"threads": 257}, ValueError, "threads must be from 0 to 256, got 257"),
            ((two,), {"exact": 1}, TypeError, "exact must be True or False, got 1"),
            ((two,), {"by_hand": None}, TypeError, "by_hand must be True or False, got None"),
            # The library's refusals, by their status.
            ((["AhKd", "QQs"],), {}, ValueError, 'range 2: item "QQs": a pair is neither suited nor offsuit'),
            ((two, "Ac Ac"), {}, ValueError, "card Ac is given twice among the board and dead cards"),
            ((["AA", "AA", "AA"], "Ac"), {}, varnolith.NoCompatibleDealError,
             "no compatible deal: the ranges cannot be dealt without a card held twice"),
        ]:
            with self.subTest(args=args, options=options), self.assertRaises(error) as caught:
                varnolith.range_equity(*args, **options)
            self.assertEqual(str(caught.exception), message)
        self.assertTrue(issubclass(varnolith.NoCompatibleDealError, ValueError))

    def test_every_result_is_freed(self) -> None:
        library = unittest.mock.Mock(wraps=_range.range_library())
        with unittest.mock.patch.object(_range, "range_library", lambda: library):
            self.assertRaises(ValueError, varnolith.range_equity, ["AhKd", "QQs"])
            varnolith.range_equity(["AhKd", "QsQc"], "6c7d8h", by_hand=True)
        self.assertEqual(library.varnolith_range_free.call_count, 2)

    def test_the_options_record_has_the_size_of_the_c_one(self) -> None:
        options = _range._Options()
        _range.range_library().varnolith_range_options_init(options)
        self.assertEqual(options.size, ctypes.sizeof(_range._Options))
        self.assertEqual(options.precision, 0.0005)  # a field after padding lands where the library put it

    def test_an_exact_result_reads_back(self) -> None:
        result = varnolith.range_equity(("AhKd, QsQc", "AhAd"), "6c7d8h", dead=["Ts", "9s"], categories=True,
                                        by_hand=True)
        self.assertEqual((result.method, result.deals, result.trials, result.seed), ("exact", 1, None, None))
        first, second = result.players
        self.assertEqual((first.range, first.combos, second.combos, first.stderr), ("AhKd, QsQc", 2, 1, 0.0))
        self.assertAlmostEqual(first.equity + second.equity, 1.0)
        self.assertAlmostEqual(first.win + first.tie, first.equity)
        self.assertAlmostEqual(first.tie, second.tie)  # heads-up, the split pots are shared alike
        self.assertEqual(list(first.categories), ["high card", "pair", "two pair", "three of a kind", "straight",
                                                  "full house", "flush", "four of a kind", "straight flush"])
        self.assertAlmostEqual(sum(first.categories.values()), 1.0)
        self.assertEqual(first.hands, (varnolith.HandEquity("AhKd", 0.0, None),  # no deal allows it
                                       varnolith.HandEquity("QsQc", 1.0, first.equity)))
        plain = varnolith.range_equity(["AKs", "QQ"]).players[0]
        self.assertEqual((plain.categories, plain.hands), (None, None))

    def test_a_simulation_reports_the_seed_given(self) -> None:
        run = varnolith.range_equity(["AKs", "QQ+, AK"], "6c7d8h", trials=2_000, seed=2**64 - 1, threads=2)
        self.assertEqual((run.method, run.trials, run.seed, run.deals), ("monte_carlo", 2_000, 2**64 - 1, None))
        self.assertGreater(run.players[0].stderr, 0.0)


if __name__ == "__main__":
    unittest.main()
