"""The Python module against the library it loads: notation, exports, loading.

Run by CTest with VARNOLITH_LIBRARY naming the built library and PYTHONPATH
holding python/.
"""

from __future__ import annotations

import ctypes.util
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

import varnolith
from varnolith import _library

HEADS_UP = ["AhKd", "QsQc"]
FLOP = "6c 7d 8h"
EXACT_ON_FLOP = [209 / 406, 197 / 406]  # over the 406 turns and rivers


class RefusalsTest(unittest.TestCase):
    """Input the console refuses raises ValueError with the console's message."""

    def assert_refused(self, message: str, call, *args, **kwargs) -> None:
        with self.subTest(args=args, kwargs=kwargs):
            with self.assertRaises(ValueError) as caught:
                call(*args, **kwargs)
            self.assertEqual(str(caught.exception), message)

    def test_hands(self) -> None:
        cases = [
            (["AhXd", "QsQc"], "Invalid Rank: Xd"),  # only the failing card is quoted
            (["ahkd", "QsQc"], "Invalid Rank: ah"),  # rank letters are upper case
            (["AHKD", "QsQc"], "Invalid Suit:  AH"),  # suit letters lower case; two blanks
            (["XxKd", "QsQc"], "Invalid Rank: Xx"),  # the rank is tested first
            (["Ah Kd", "QsQc"], "Hand must be 4 characters long (e.g., KdTd)"),
            ([" AhKd", "QsQc"], "Hand must be 4 characters long (e.g., KdTd)"),  # nothing trimmed
            (["10h9s", "QsQc"], "Hand must be 4 characters long (e.g., KdTd)"),
            (["", "QsQc"], "Hand must be 4 characters long (e.g., KdTd)"),
            (["AhAh", "QsQc"], "Hand cannot have two identical cards: AhAh"),
            (["AhKd"], "At least two hands are needed to calculate equity."),
            ([], "At least two hands are needed to calculate equity."),
            (["AhKd", "AhQs"], "Duplicate card in hands"),
            (["\u00c4hK", "QsQc"], "Invalid Rank: \u00c4"),  # four bytes: the first card is "\u00c4"
            ([f"{r}{s}{r2}{s2}" for r, r2 in (("6", "7"), ("8", "9"), ("T", "J"), ("Q", "K"))
              for s, s2 in (("c", "c"), ("d", "d"), ("h", "h"), ("s", "s"))], "At most 15 hands fit in a 36-card deck."),
        ]
        for hands, message in cases:
            self.assert_refused(message, varnolith.equity, hands)

    def test_board(self) -> None:
        cases = [
            ("10h", "Invalid Card Format: 10h"),
            ("\u00c4h", "Invalid Card Format: \u00c4h"),  # lengths are in bytes, as in the console
            ("5h", "Invalid Rank: 5h"),  # no ranks below six
            (["AhKd"], "Invalid Card Format: AhKd"),
            ("9h Ts 9h", "Duplicate card in board: 9h"),
            ("9h Zz 9h", "Invalid Rank: Zz"),  # the first problem in order wins
            ("Kd", "Duplicate card in board or between board and hands"),
            ("6c 7c 8c 9c Tc Jc", "Invalid number of board cards. Must be between 0 and 5."),
        ]
        for board, message in cases:
            self.assert_refused(message, varnolith.equity, HEADS_UP, board)

    def test_seven_cards(self) -> None:
        self.assert_refused("Invalid Suit:  7x", varnolith.evaluate, "Ts Js Qs Ks As 6c 7x")
        self.assert_refused("Seven cards are needed, got 6", varnolith.evaluate, "Ts Js Qs Ks As 6c")
        self.assert_refused("Seven cards are needed, got 8", varnolith.evaluate, "Ts Js Qs Ks As 6c 7d 8d")
        self.assert_refused("Duplicate card: Ts", varnolith.evaluate, "Ts Js Qs Ks As 6c Ts")

    def test_numbers_outside_the_library_range(self) -> None:
        for trials in (0, -5, 2**31):
            with self.subTest(trials=trials), self.assertRaises(ValueError):
                varnolith.equity(HEADS_UP, FLOP, trials=trials)
        for seed in (-1, 2**32):
            with self.subTest(seed=seed), self.assertRaises(ValueError):
                varnolith.set_seed(seed)
        with self.assertRaises(TypeError):
            varnolith.equity(HEADS_UP, FLOP, trials=1.5)
        with self.assertRaises(TypeError):
            varnolith.equity(None)


class EvaluateTest(unittest.TestCase):
    def test_values_of_the_short_deck_ranking(self) -> None:
        self.assertEqual(varnolith.evaluate("Ts Js Qs Ks As 6c 7d"), 8_000_014)
        self.assertEqual(varnolith.evaluate(["7d", "6c", "As", "Ks", "Qs", "Js", "Ts"]), 8_000_014)
        flush = varnolith.evaluate("Ah Kh 9h 7h 6h Ad Ac")
        full_house = varnolith.evaluate("Ah Ad Ac Kh Kd 6c 7s")
        self.assertEqual((flush // 1_000_000, full_house // 1_000_000), (6, 5))
        # A-6-7-8-9 is the lowest straight, below 6-7-8-9-T.
        wheel = varnolith.evaluate("Ac 6d 7h 8s 9c Jd Qh")
        six_high = varnolith.evaluate("6d 7h 8s 9c Tc Jd Ah")
        self.assertEqual(wheel // 1_000_000, 4)
        self.assertLess(wheel, six_high)


class EquityTest(unittest.TestCase):
    def test_exact_equity_follows_the_hands(self) -> None:
        self.assertEqual(varnolith.equity(HEADS_UP, board=FLOP), EXACT_ON_FLOP)
        self.assertEqual(varnolith.equity(list(reversed(HEADS_UP)), board=FLOP.split()),
                         list(reversed(EXACT_ON_FLOP)))
        self.assertEqual(varnolith.equity("AhKd QsQc", board=FLOP), EXACT_ON_FLOP)

    def test_complete_board(self) -> None:
        # A-6-7-8-9 for AhKd beats three queens.
        self.assertEqual(varnolith.equity(HEADS_UP, "6c 7d 8h Qd 9s"), [1.0, 0.0])
        self.assertEqual(varnolith.equity(HEADS_UP, "6c 7d 8h Qd Ts"), [0.0, 1.0])
        # Both play the board: four aces and a king.
        self.assertEqual(varnolith.equity(["6c7c", "6d7d"], "Ac Ad Ah As Kc"), [0.5, 0.5])

    def test_seeded_monte_carlo(self) -> None:
        varnolith.set_seed(2024)
        first = varnolith.equity(HEADS_UP, FLOP, trials=200_000)
        varnolith.set_seed(2024)
        again = varnolith.equity(HEADS_UP, FLOP, trials=200_000)
        self.assertEqual(first, again)
        self.assertAlmostEqual(sum(first), 1.0, places=9)
        for estimate, exact in zip(first, EXACT_ON_FLOP):
            self.assertAlmostEqual(estimate, exact, delta=0.01)

    def test_five_hands_are_estimated(self) -> None:
        shares = varnolith.equity(["AhKd", "QsQc", "JcTc", "9s9d", "8c7c"], board="6h 7h Ks")
        self.assertEqual(len(shares), 5)
        self.assertAlmostEqual(sum(shares), 1.0, places=9)


class LoadingTest(unittest.TestCase):
    """Where the library is looked for, and what is said when it is nowhere."""

    def run_python(self, package_dir: Path, code: str) -> subprocess.CompletedProcess[str]:
        env = {k: v for k, v in os.environ.items() if k not in ("VARNOLITH_LIBRARY", "LD_LIBRARY_PATH")}
        env["PYTHONPATH"] = str(package_dir)
        return subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True, timeout=60)

    def copy_package(self, into: Path) -> Path:
        shutil.copytree(Path(varnolith.__file__).parent, into / "varnolith",
                        ignore=shutil.ignore_patterns("__pycache__", "*.so*"))
        return into / "varnolith"

    def test_the_variable_is_the_only_place_when_set(self) -> None:
        missing = "/nonexistent/libvarnolith.so.1"
        with self.assertRaises(varnolith.LibraryNotFoundError) as caught:
            _library.load({"VARNOLITH_LIBRARY": missing})
        message = str(caught.exception)
        self.assertIn(missing, message)
        self.assertIn("VARNOLITH_LIBRARY", message)
        self.assertNotIn("next to the module", message)

    def test_library_next_to_the_module(self) -> None:
        with tempfile.TemporaryDirectory() as scratch:
            package = self.copy_package(Path(scratch))
            shutil.copy(os.environ["VARNOLITH_LIBRARY"], package / "libvarnolith.so.1")
            done = self.run_python(Path(scratch), "import varnolith; print(varnolith.evaluate('Ts Js Qs Ks As 6c 7d'))")
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertEqual(done.stdout.strip(), "8000014")

    @unittest.skipIf(ctypes.util.find_library("varnolith"), "a libvarnolith is installed on this system")
    def test_nowhere_names_every_place_tried(self) -> None:
        with tempfile.TemporaryDirectory() as scratch:
            package = self.copy_package(Path(scratch))
            done = self.run_python(Path(scratch), "import varnolith; varnolith.set_seed(1)")
            self.assertNotEqual(done.returncode, 0)
            self.assertIn("LibraryNotFoundError", done.stderr)
            self.assertIn(str((package / "libvarnolith.so.1").resolve()), done.stderr)
            self.assertIn("system library path", done.stderr)


if __name__ == "__main__":
    unittest.main()
