"""The postflop study through the module: hits as the command's JSON names
them, flop rows ready for a data frame, filters read back by the parser."""

import os
import re
import subprocess
import unittest

import varnolith
from test_varnolith import COMMAND, run_main


class PostflopTest(unittest.TestCase):
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
