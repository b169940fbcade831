"""docs/ordering.md's tables are what varnolith --ordering prints today, the
first under the default rules, the second under --rules trips.

Usage: ordering_doc_check.py VARNOLITH DOCS_MD
"""

import subprocess
import sys


def tables(text):
    found, start = [], text.find("```\n")
    while start >= 0:
        end = text.index("```", start + 4)
        found.append(text[start + 4:end])
        start = text.find("```\n", end + 3)
    return found


def main(command, docs):
    with open(docs, encoding="utf-8") as f:
        shown = tables(f.read())
    for rules, table in zip(["straight", "trips"], shown, strict=True):
        printed = subprocess.run([command, "--ordering", "--rules", rules], check=True, capture_output=True,
                                 text=True).stdout
        if table != printed:
            sys.exit(f"{docs}: the {rules} table is not what varnolith --ordering --rules {rules} prints today:"
                     " paste its output again")


if __name__ == "__main__":
    main(*sys.argv[1:])
