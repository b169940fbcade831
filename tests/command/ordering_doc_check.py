"""docs/ordering.md's table is what varnolith --ordering prints today.

Usage: ordering_doc_check.py VARNOLITH DOCS_MD
"""

import subprocess
import sys


def main(command, docs):
    with open(docs, encoding="utf-8") as f:
        text = f.read()
    start = text.index("```\n") + 4
    table = text[start:text.index("```", start)]
    printed = subprocess.run([command, "--ordering"], check=True, capture_output=True, text=True).stdout
    if table != printed:
        sys.exit(f"{docs} is not what varnolith --ordering prints today: paste its output again")


if __name__ == "__main__":
    main(*sys.argv[1:])
