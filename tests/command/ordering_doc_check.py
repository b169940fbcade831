"""docs/ordering.md's tables are what varnolith --ordering prints today, the
first under the default rules, the second under --rules trips.

Usage: ordering_doc_check.py VARNOLITH DOCS_MD
"""

import re
import subprocess
import sys


def main(command, docs):
    with open(docs, encoding="utf-8") as f:
        shown = re.findall(r"```\n(.*?)```", f.read(), re.S)
    for rules, table in zip(["straight", "trips"], shown, strict=True):
        printed = subprocess.run([command, "--ordering", "--rules", rules], check=True, capture_output=True,
                                 text=True).stdout
        if table != printed:
            sys.exit(f"{docs}: the {rules} table is not what varnolith --ordering --rules {rules} prints today:"
                     " paste its output again")


if __name__ == "__main__":
    main(*sys.argv[1:])
