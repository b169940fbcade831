"""varnolith.batch: spots as the web API's bodies, one answer dict each, in
order, through the range library's batch call."""

import itertools
import json
import os
import signal
import threading
import time
import unittest

import varnolith
from varnolith._range import command_report

FLOP = {"ranges": ["AhKd", "QsQc"], "board": "6c7d8h"}


class BatchTest(unittest.TestCase):
    def test_a_bad_spot_answers_in_its_place(self) -> None:
        answers = list(varnolith.batch([FLOP, {"ranges": ["AhKd", "QQs"]}, FLOP]))
        self.assertEqual(answers[0]["players"][0]["equity"], 209 / 406)
        self.assertEqual(answers[0], answers[2] | {"elapsed_seconds": answers[0]["elapsed_seconds"]})
        self.assertEqual(answers[1], {"error": {"code": "bad_request", "field": "ranges", "player": 1,
                                                "message": 'range 2: item "QQs": a pair is neither suited nor offsuit'}})

    def test_the_answers_are_the_commands_json(self) -> None:
        for options in [{}, {"by_hand": True, "categories": True}, {"by_card": True}, {"trials": 1000, "seed": 3}]:
            with self.subTest(**options):
                [answer] = varnolith.batch([dict(FLOP, **options)])
                wanted = json.loads(command_report(FLOP["ranges"], FLOP["board"], json=True, **options))
                answer.pop("elapsed_seconds")
                wanted.pop("elapsed_seconds")
                self.assertEqual(answer, wanted)

    def test_answers_keep_the_order_of_spots_read_lazily(self) -> None:
        hands = itertools.islice(itertools.cycle(["QsQc", "JhTh", "9c9d"]), 2500)  # past a chunk
        spots = ({"ranges": ["AhKd", hand], "board": "6c7d8h"} for hand in hands)
        seen = 0
        for hand, answer in zip(itertools.cycle(["QsQc", "JhTh", "9c9d"]), varnolith.batch(spots, threads=1)):
            self.assertEqual(answer["players"][1]["range"], hand)
            seen += 1
        self.assertEqual(seen, 2500)

    def test_refusals_of_the_call_itself(self) -> None:
        self.assertEqual(list(varnolith.batch([])), [])
        self.assertRaises(TypeError, varnolith.batch, 5)
        with self.assertRaises(TypeError):
            list(varnolith.batch(["AhKd QsQc"]))
        with self.assertRaises(TypeError):
            list(varnolith.batch([{"ranges": {"AhKd", "QsQc"}}]))
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
