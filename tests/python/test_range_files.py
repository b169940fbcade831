"""`python -m varnolith` reads a range argument "@PATH" from a file as the
varnolith command does: the file's text as it stands, or one line naming it."""

import contextlib
import io
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

    def test_a_missing_or_empty_file_is_a_usage_error_naming_it(self) -> None:
        for argv, message in ((["random", f"@{self.dir}/missing.txt"],
                               f"range 2: cannot read {self.dir}/missing.txt: No such file or directory"),
                              ([f"@{self.dir}/empty.txt", "random"],
                               f"range 1 (@{self.dir}/empty.txt): the range is empty: it needs items such as QQ+, AKs")):
            with self.subTest(argv=argv):
                self.assertEqual(run_main(argv), (2, "", f"varnolith: {message}\n"))

    # The command reads the file as its text typed (tests/command), so the same table says this one does too.
    @unittest.skipUnless(COMMAND.is_file(), "no varnolith command beside the range library")
    def test_the_table_is_the_commands(self) -> None:
        argv = [f"@{self.dir}/opening.txt", "KhKd", "-b", "7c8c9c"]
        ours = run_main(argv)[1]
        theirs = subprocess.run([str(COMMAND), *argv], check=True, capture_output=True, text=True).stdout
        self.assertEqual(*(re.sub(r"Elapsed  \d+\.\d{3} s", "Elapsed", text) for text in (ours, theirs)))


if __name__ == "__main__":
    unittest.main()
