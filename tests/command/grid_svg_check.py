"""The README's grid picture is what the command draws today, to a file and
alone to standard output with --svg -, and well-formed SVG with 81 cells for
each player.

Usage: grid_svg_check.py VARNOLITH DOCS_SVG
"""

import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
from pathlib import Path

# The command the README gives for docs/grid.svg, but for the file.
RANGES = ["77+, A8s+, KTs+, QJs, AJo+, KQo", "66-TT, A6s+, K9s+, QTs+, J9s+, T8s+, 98s, ATo+, KJo+"]
OPTIONS = ["--exact", "-b", "Kh9d7c"]
SVG = "{http://www.w3.org/2000/svg}"


def main(command, docs):
    with tempfile.TemporaryDirectory() as directory:
        drawn = Path(directory) / "grid.svg"
        subprocess.run([command, *OPTIONS, "--svg", drawn, *RANGES], check=True, stdout=subprocess.DEVNULL)
        picture = drawn.read_bytes()
    if subprocess.run([command, *OPTIONS, "--svg", "-", *RANGES], check=True, stdout=subprocess.PIPE).stdout != picture:
        sys.exit("--svg - does not write the picture alone to standard output")
    if Path(docs).read_bytes() != picture:
        sys.exit(f"{docs} is not what the command draws today: run it again as the README says")
    players = [g for g in ElementTree.fromstring(picture).iter(SVG + "g") if g.get("class") == "player"]
    cells = [len([r for r in g.iter(SVG + "rect") if r.get("class") == "cell"]) for g in players]
    if cells != [81] * len(RANGES):
        sys.exit(f"cells in each player's square: {cells}")
    for number, (player, text) in enumerate(zip(players, RANGES), 1):
        if text not in player.find(SVG + "title").text:
            sys.exit(f"player {number}: the title lacks the range")


if __name__ == "__main__":
    main(*sys.argv[1:])
