"""The postflop study through the module: hits as the command's JSON names
them, flop rows ready for a data frame, filters read back by the parser."""

import os
import re
import subprocess
import unittest

import varnolith
from test_varnolith import COMMAND, run_main


class PostflopTest(unittest.TestCase):
    def test_hits_flops_and_filters(self) -> None:
        spot = varnolith.range_equity(["QQ+, AKs", "JJ-88, AQs+"], "Kh9h8d", hits=True)
        first = {line["class"]: line for line in spot.hits[0]}
        self.assertEqual(first["set"]["combos"], 3.0)
        self.assertAlmostEqual(sum(line["share"] for line in spot.hits[0] if line["kind"] == "made"), 1.0)

        rows = varnolith.flop_report(["AA", "KK"])
        self.assertEqual(list(rows[0]), ["flop", "flops", "probability", "equity_1", "equity_2", "suits", "pairing",
                                         "high_card", "straight_possible"])
        self.assertEqual(sum(row["flops"] for row in rows), 7140 - 8)
        preflop = varnolith.range_equity(["AA", "KK"], exact=True).players[0].equity
        self.assertAlmostEqual(sum(row["probability"] * row["equity_1"] for row in rows), preflop, places=9)
        with self.assertRaises(varnolith.SpotError) as raised:
            varnolith.range_equity(["AA", "KK"], "6c7d8h", flops=True)
        self.assertEqual(raised.exception.field, "flops")

        kept = varnolith.filter_ranges(["KK, 99, AQ", "AA"], "Kh9h8d", ["set", "!nothing"])
        self.assertEqual(kept, ("KdKc, KsKc, KsKd, 9d9c, 9s9c, 9s9d", ""))
        self.assertEqual(varnolith.range_equity([kept[0], "AA"], "Kh9h8d").players[0].combos, 6)
        with self.assertRaises(varnolith.SpotError) as raised:
            varnolith.filter_ranges(["KK"], "Kh9h8d", "sets")
        self.assertEqual(raised.exception.field, "filter")

    @unittest.skipUnless(COMMAND.is_file(), "no varnolith command beside the range library")
    def test_the_module_prints_what_the_command_prints(self) -> None:
        for argv in (["--filter", "set, !nothing", "-b", "Kh9h8d", "KK, 99, AQ", "AA"],
                     ["--flops", "--csv", "AA", "KK"], ["--json", "--hits", "QQ", "AK", "-b", "Kh9h8d"]):
            with self.subTest(argv=argv):
                command = subprocess.run([str(COMMAND), *argv], capture_output=True, text=True, check=False,
                                         env={**os.environ, "LC_ALL": "C"})
                status, out, _ = run_main(argv)
                def mask(text: str) -> str:
                    return re.sub(r'"elapsed_seconds": [0-9.e+-]+', "", text)
                self.assertEqual((status, mask(out)), (command.returncode, mask(command.stdout)))


if __name__ == "__main__":
    unittest.main()
