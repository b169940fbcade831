"""The rules through the module: rules="trips" reaches the library and comes
back on the answer, in the categories' order and the table; a bad name is
refused by field before any run."""

import unittest

import varnolith


class RulesTest(unittest.TestCase):
    def test_trips_pass_through_and_a_bad_name_is_refused(self) -> None:
        trips = varnolith.range_equity(["6c6d", "Tc9d"], "6h7s8cJs", categories=True, rules="trips")
        self.assertEqual(trips.rules, "trips")
        self.assertAlmostEqual(trips.players[0].equity, 1.0)  # 10 / 28 under the default rules
        names = list(trips.players[0].categories)
        self.assertLess(names.index("straight"), names.index("three of a kind"))
        self.assertIn("Rules    trips: three of a kind beats a straight", str(trips))
        self.assertEqual(varnolith.ordering(rules="trips")[7].hand_class, "99")
        with self.assertRaises(varnolith.SpotError) as raised:
            varnolith.range_equity(["AA", "KK"], rules="trip")
        self.assertEqual(raised.exception.field, "rules")


if __name__ == "__main__":
    unittest.main()
