"""`python -m varnolith` reads a range argument "@PATH" from a file as the
varnolith command does: the file's text as it stands, or one line naming it."""

import contextlib
import io
import json
import os
import re
import subprocess
import tempfile
import unittest
from pathlib import Path

from varnolith.__main__ import main

COMMAND = Path(os.environ.get("VARNOLITH_RANGE_LIBRARY", "/nowhere")).parent / "varnolith"


def run_main(argv: list) -> tuple:
    out, err = io.StringIO(), io.StringIO()
    with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
        status = main(argv)
    return status, out.getvalue(), err.getvalue()


class RangeFileTest(unittest.TestCase):
    def setUp(self) -> None:
        scratch = tempfile.TemporaryDirectory()
        self.addCleanup(scratch.cleanup)
        self.dir = Path(scratch.name)
        (self.dir / "opening.txt").write_text("# opening\r\nQQ+, AKs,\nA**:0.5, !A*6*  # no small aces\n")
        (self.dir / "empty.txt").write_text("# nothing yet\n\n")

    def test_a_file_is_its_text_as_it_stands(self) -> None:
        spot = ["KhKd", "-b", "7c8c9c"]
        from_file = json.loads(run_main(["--json", f"@{self.dir}/opening.txt", *spot])[1])
        typed = json.loads(run_main(["--json", "QQ+, AKs, A**:0.5, !A*6*", *spot])[1])
        self.assertEqual(from_file["players"][0].pop("range"), f"@{self.dir}/opening.txt")
        typed["players"][0].pop("range")
        typed["elapsed_seconds"] = from_file["elapsed_seconds"]
        self.assertEqual(from_file, typed)

    def test_a_missing_or_empty_file_is_a_usage_error_naming_it(self) -> None:
        for argv, message in ((["random", f"@{self.dir}/missing.txt"],
                               f"range 2: cannot read {self.dir}/missing.txt: No such file or directory"),
                              ([f"@{self.dir}/empty.txt", "random"],
                               f"range 1 (@{self.dir}/empty.txt): the range is empty: it needs items such as QQ+, AKs")):
            with self.subTest(argv=argv):
                self.assertEqual(run_main(argv), (2, "", f"varnolith: {message}\n"))

    @unittest.skipUnless(COMMAND.is_file(), "no varnolith command beside the range library")
    def test_the_table_is_the_commands(self) -> None:
        argv = [f"@{self.dir}/opening.txt", "KhKd", "-b", "7c8c9c"]
        ours = run_main(argv)[1]
        theirs = subprocess.run([str(COMMAND), *argv], check=True, capture_output=True, text=True).stdout
        self.assertEqual(*(re.sub(r"Elapsed  \d+\.\d{3} s", "Elapsed", text) for text in (ours, theirs)))


if __name__ == "__main__":
    unittest.main()
