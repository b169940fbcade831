"""The rules through the module: rules="trips" passes to the library and back,
the categories come in the ranking's order, and a bad name is refused by field."""

import contextlib
import io
import unittest

import varnolith
from varnolith import _range
from varnolith.__main__ import main

SET_AGAINST_STRAIGHT = (["6c6d", "Tc9d"], "6h7s8cJs")


class RulesTest(unittest.TestCase):
    def test_trips_change_the_winner_and_the_order_of_the_categories(self) -> None:
        ranges, board = SET_AGAINST_STRAIGHT
        default = varnolith.range_equity(ranges, board, categories=True)
        trips = varnolith.range_equity(ranges, board, categories=True, rules="trips")
        self.assertEqual((default.rules, trips.rules), ("straight", "trips"))
        self.assertAlmostEqual(default.players[0].equity, 10 / 28)
        self.assertAlmostEqual(trips.players[0].equity, 1.0)
        names = list(trips.players[0].categories)
        self.assertLess(names.index("straight"), names.index("three of a kind"))
        self.assertIn("Rules    trips: three of a kind beats a straight", str(trips))

    def test_a_bad_name_is_refused_before_any_run(self) -> None:
        with self.assertRaises(varnolith.SpotError) as raised:
            varnolith.range_equity(["AA", "KK"], rules="trip")
        self.assertEqual(raised.exception.field, "rules")
        with self.assertRaises(TypeError):
            varnolith.ordering(rules=1)

    def test_each_ordering_and_the_command_line(self) -> None:
        self.assertEqual(varnolith.ordering(rules="trips")[7].hand_class, "99")
        self.assertEqual(varnolith.ordering()[7].hand_class, "AKo")
        out, err = io.StringIO(), io.StringIO()
        with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
            status = main(["--ordering", "--rules", "trips"])
        self.assertEqual((status, out.getvalue()), (0, _range.ordering_report(rules="trips")))
        with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
            status = main(["--rules", "omaha", "AA", "KK"])
        self.assertEqual((status, err.getvalue()), (2, 'varnolith: --rules: must be straight or trips (got omaha)\n'))


if __name__ == "__main__":
    unittest.main()
