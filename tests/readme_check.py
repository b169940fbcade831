"""Runs every command the README shows with its output and compares the output.

    readme_check.py SOURCE_DIR BUILD_DIR

A shown command is an indented block whose first line starts with "$ " (a line
ending in a backslash continues it); the rest of the block, up to the next
unindented text, is what it prints, standard output and standard error
together. "It prints:" blocks after a C host are checked by building that host
against the build folder. Elapsed times are the only thing not compared.
Commands run from SOURCE_DIR with "build/release/" read as BUILD_DIR.
"""

from __future__ import annotations

import difflib
import os
import re
import subprocess
import sys
import tempfile
from pathlib import Path

ELAPSED = [
    (re.compile(r"^(Elapsed  )\d+\.\d+ s$", re.M), r"\1<time> s"),
    (re.compile(r'("elapsed_seconds": )[0-9.e+-]+'), r"\1<time>"),
]
# A console prompt with the answer typed after it, as a terminal shows it.
PROMPT = re.compile(r"^(Enter[^:]*: )(\S.*)$")


def blocks(readme: str) -> list[tuple[int, str, list[str]]]:
    """Indented blocks: (line number, the README before them, the block's lines)."""
    lines = readme.split("\n")
    found, i = [], 0
    while i < len(lines):
        if not lines[i].startswith("    ") or (i > 0 and lines[i - 1].strip()):
            i += 1
            continue
        start, body = i, []
        while i < len(lines) and (lines[i].startswith("    ") or not lines[i].strip()):
            body.append(lines[i][4:])
            i += 1
        while body and not body[-1].strip():
            body.pop()
        found.append((start + 1, "\n".join(lines[:start]), body))
    return found


def masked(text: str) -> str:
    for pattern, replacement in ELAPSED:
        text = pattern.sub(replacement, text)
    return text.rstrip("\n")


def diff(wanted: str, actual: str, names: tuple[str, str]) -> str:
    return "\n".join(difflib.unified_diff(wanted.split("\n"), actual.split("\n"), *names, lineterm=""))


def console_session(expected: list[str]) -> tuple[str, str]:
    """The console's typed answers, and what it prints without their echo."""
    answers, shown = [], []
    for line in expected:
        prompt = PROMPT.match(line)
        if prompt:
            answers.append(prompt.group(2))
            shown.append(prompt.group(1))
        else:
            shown.append(line + "\n")
    return "".join(a + "\n" for a in answers), "".join(shown)


def run(command: str, source: Path, stdin: str = "") -> str:
    done = subprocess.run(["bash", "-c", command], cwd=source, input=stdin, capture_output=True, text=True,
                          timeout=300)
    return done.stdout + done.stderr


def with_server(command: str, build: Path, source: Path) -> str:
    """Runs a command that talks to varnolith_web at 127.0.0.1:8080 against one on a free port."""
    server = subprocess.Popen([str(build / "varnolith_web"), "--port", "0"], stdout=subprocess.PIPE, text=True)
    try:
        address = re.search(r"http://127\.0\.0\.1:(\d+)/", server.stdout.readline())
        if not address:
            return "varnolith_web did not say where it listens"
        return run(command.replace("127.0.0.1:8080", f"127.0.0.1:{address.group(1)}"), source)
    finally:
        server.terminate()
        server.wait(timeout=30)


def c_host(name: str, source: Path, build: Path, scratch: Path) -> str:
    """Builds examples/NAME against the build folder and returns what it prints."""
    library = {"c_host": "varnolith", "range_host": "varnolith_range"}[name]
    program = scratch / name
    subprocess.run(["cc", "-std=c99", str(source / "examples" / name / "main.c"), "-I", str(source / "include"),
                    "-L", str(build), f"-l:lib{library}.so.1", f"-Wl,-rpath,{build}", "-o", str(program)],
                   check=True)
    return subprocess.run([str(program)], capture_output=True, text=True, timeout=300).stdout


def example_code(readme: str, source: Path) -> list[str]:
    """A ```python block after the name of an example file is that file's code, its docstring aside."""
    failures = []
    for found in re.finditer(r"`(examples/\w+\.py)`[^\n]*:\n\n```python\n(.*?)```", readme, re.S):
        text = (source / found.group(1)).read_text()
        code = text.split('"""', 2)[2].lstrip("\n") if text.startswith('"""') else text
        if found.group(2) != code:
            failures.append(f"README: the code shown for {found.group(1)} is not the file's\n"
                            + diff(found.group(2), code, ("README", found.group(1))))
    return failures


def check(source: Path, build: Path) -> list[str]:
    readme = (source / "README.md").read_text()
    failures = example_code(readme, source)
    with tempfile.TemporaryDirectory() as scratch:
        for line, before, body in blocks(readme):
            if body and body[0].startswith("$ "):
                command_lines, rest = [body[0][2:]], body[1:]
                while command_lines[-1].endswith("\\") and rest:
                    command_lines.append(rest.pop(0).strip())
                command = re.sub(r"(\./)?build/release/", f"{build}/", "\n".join(command_lines))
                stdin, wanted = console_session(rest) if command.endswith("varnolith_cli") else ("", "\n".join(rest))
                served = "127.0.0.1:8080" in command
                actual = with_server(command, build, source) if served else run(command, source, stdin)
            elif before.rstrip().endswith("It prints:"):
                host = re.findall(r"`examples/(\w+)/`", before)
                if not host:
                    failures.append(f"README line {line}: no C host named before this output")
                    continue
                wanted, actual = "\n".join(body), c_host(host[-1], source, build, Path(scratch))
                command = f"examples/{host[-1]}"
            else:
                continue
            wanted, actual = masked(wanted), masked(actual)
            if wanted != actual:
                failures.append(f"README line {line}: {command}\n" + diff(wanted, actual, ("README", "actual")))
    return failures


def main() -> int:
    source, build = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    failures = check(source, build)
    for failure in failures:
        print(failure, end="\n\n")
    print(f"README: {len(failures)} shown outputs differ" if failures else "README: every shown output matches")
    return 1 if failures else 0


if __name__ == "__main__":
    os.environ.pop("NO_COLOR", None)
    sys.exit(main())
