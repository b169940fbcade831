"""What the Python module adds to the library: argument checking, finding and
loading the library, and the conversion to and from its records."""

import ctypes
import os
import shutil
import subprocess
import sys
import tempfile
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

    def test_the_library_is_found_where_documented(self) -> None:
        with self.assertRaisesRegex(varnolith.LibraryNotFoundError, r"tried:\n  /nowhere/lib \(VARNOLITH_LIBRARY\): .*\nSet"):
            _library.load({"VARNOLITH_LIBRARY": "/nowhere/lib"})  # and nowhere else
        temporary = tempfile.TemporaryDirectory()
        self.addCleanup(temporary.cleanup)
        package = Path(temporary.name, "varnolith")
        shutil.copytree(Path(varnolith.__file__).parent, package, ignore=shutil.ignore_patterns("__pycache__", "*.so*"))
        unset = ("VARNOLITH_LIBRARY", "VARNOLITH_RANGE_LIBRARY", "LD_LIBRARY_PATH")
        env = {k: v for k, v in os.environ.items() if k not in unset}
        run = [sys.executable, "-c", "import varnolith; print(varnolith.evaluate('Ts Js Qs Ks As 6c 7d'))"]
        alone = subprocess.run(run, env=env | {"PYTHONPATH": temporary.name}, capture_output=True, text=True)
        if alone.returncode != 0:  # unless a libvarnolith is installed on this system
            self.assertIn(f"{package.resolve()}/libvarnolith.so.1 (next to the module)", alone.stderr)
            self.assertIn("libvarnolith.so.1 (system library path)", alone.stderr)
        shutil.copy(os.environ["VARNOLITH_LIBRARY"], package / "libvarnolith.so.1")
        beside = subprocess.run(run, env=env | {"PYTHONPATH": temporary.name}, capture_output=True, text=True)
        self.assertEqual(beside.stdout, "8000014\n")

        with self.assertRaisesRegex(varnolith.LibraryNotFoundError, r"tried:\n  /nowhere/lib \(VARNOLITH_RANGE_LIBRARY\)"):
            _library.load({"VARNOLITH_RANGE_LIBRARY": "/nowhere/lib"}, _range.RANGES)
        shutil.copy(os.environ["VARNOLITH_RANGE_LIBRARY"], package / "libvarnolith_range.so.1")
        run[-1] = "import varnolith; print(varnolith.range_equity(['AhKd', 'QsQc'], '6c7d8h').players[1].equity)"
        beside = subprocess.run(run, env=env | {"PYTHONPATH": temporary.name}, capture_output=True, text=True)
        self.assertEqual(beside.stdout, f"{197 / 406}\n")


class RangeEquityTest(unittest.TestCase):
    def test_arguments_are_checked_before_the_library_is_called(self) -> None:
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
        ]:
            with self.subTest(args=args, options=options), self.assertRaises(error) as caught:
                varnolith.range_equity(*args, **options)
            self.assertEqual(str(caught.exception), message)

    def test_the_library_refusals_carry_its_message(self) -> None:
        for args, error, message in [
            ((["AhKd", "QQs"],), ValueError, 'range 2: item "QQs": a pair is neither suited nor offsuit'),
            ((["AA", "KK"], "Ac Ac"), ValueError, "card Ac is given twice among the board and dead cards"),
            ((["AA", "AA", "AA"], "Ac"), varnolith.NoCompatibleDealError,
             "no compatible deal: the ranges cannot be dealt without a card held twice"),
        ]:
            with self.subTest(args=args), self.assertRaises(error) as caught:
                varnolith.range_equity(*args)
            self.assertEqual(str(caught.exception), message)
        self.assertTrue(issubclass(varnolith.NoCompatibleDealError, ValueError))

    def test_every_result_is_freed(self) -> None:
        library = _range.range_library()
        freed = []

        class Counting:
            def __getattr__(self, name: str) -> object:
                return getattr(library, name)

            def varnolith_range_free(self, result: int) -> None:
                freed.append(result)
                library.varnolith_range_free(result)

        with unittest.mock.patch.object(_range, "range_library", Counting):
            self.assertRaises(ValueError, varnolith.range_equity, ["AhKd", "QQs"])
            varnolith.range_equity(["AhKd", "QsQc"], "6c7d8h", by_hand=True)
        self.assertEqual(len(freed), 2)

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
        self.assertEqual((first.range, first.combos, second.combos), ("AhKd, QsQc", 2, 1))
        self.assertEqual(first.stderr, 0.0)
        self.assertAlmostEqual(first.equity + second.equity, 1.0)
        self.assertEqual(list(first.categories), ["high card", "pair", "two pair", "three of a kind", "straight",
                                                  "full house", "flush", "four of a kind", "straight flush"])
        self.assertAlmostEqual(sum(first.categories.values()), 1.0)
        self.assertEqual(first.hands[0], varnolith.HandEquity("AhKd", 0.0, None))  # no deal allows it
        self.assertEqual((first.hands[1].hand, first.hands[1].weight, first.hands[1].equity),
                         ("QsQc", 1.0, first.equity))
        plain = varnolith.range_equity(["AKs", "QQ"])
        self.assertIsNone(plain.players[0].categories)
        self.assertIsNone(plain.players[0].hands)

    def test_a_seeded_simulation_repeats(self) -> None:
        run = dict(board="6c7d8h", trials=2_000, seed=2**64 - 1, threads=2)
        first = varnolith.range_equity(["AKs", "QQ+, AK"], **run)
        self.assertEqual((first.method, first.trials, first.seed, first.deals), ("monte_carlo", 2_000, 2**64 - 1, None))
        self.assertGreater(first.players[0].stderr, 0.0)
        self.assertEqual(varnolith.range_equity(["AKs", "QQ+, AK"], **(run | {"threads": 1})), first)


if __name__ == "__main__":
    unittest.main()
