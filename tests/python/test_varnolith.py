"""What the Python module adds to the library: argument checking, finding and
loading the library, and the conversion to and from its records."""

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
        self.assertEqual(varnolith.equity("QsQc AhKd", ["6c", "7d", "8h"]), [197 / 406, 209 / 406])
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
        env = {k: v for k, v in os.environ.items() if k not in ("VARNOLITH_LIBRARY", "LD_LIBRARY_PATH")}
        run = [sys.executable, "-c", "import varnolith; print(varnolith.evaluate('Ts Js Qs Ks As 6c 7d'))"]
        alone = subprocess.run(run, env=env | {"PYTHONPATH": temporary.name}, capture_output=True, text=True)
        if alone.returncode != 0:  # unless a libvarnolith is installed on this system
            self.assertIn(f"{package.resolve()}/libvarnolith.so.1 (next to the module)", alone.stderr)
            self.assertIn("libvarnolith.so.1 (system library path)", alone.stderr)
        shutil.copy(os.environ["VARNOLITH_LIBRARY"], package / "libvarnolith.so.1")
        beside = subprocess.run(run, env=env | {"PYTHONPATH": temporary.name}, capture_output=True, text=True)
        self.assertEqual(beside.stdout, "8000014\n")


if __name__ == "__main__":
    unittest.main()
