"""The equity scale has the same three colours in the command and on the page:
command/grid.cpp's scale_low, scale_middle_colour and scale_high against
web/style.css's --scale-low, --scale-mid and --scale-high, in that order.

Usage: scale_stops_check.py GRID_CPP STYLE_CSS
"""

import re
import sys

# The stop's name in each file, low to high, and how each file writes a colour.
COMMAND = ("scale_low", "scale_middle_colour", "scale_high"), r"constexpr Rgb {}\{{(\d+), (\d+), (\d+)\}};"
PAGE = ("--scale-low", "--scale-mid", "--scale-high"), r"^\s*{}: rgb\((\d+), (\d+), (\d+)\);"


def stops(path, names, pattern):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    found = []
    for name in names:
        matches = re.findall(pattern.format(re.escape(name)), text, re.M)
        if len(matches) != 1:
            sys.exit(f"{path}: {name} is written {len(matches)} times as this check reads it, not once")
        found.append(tuple(int(channel) for channel in matches[0]))
    return found


def main(grid, style):
    command, page = stops(grid, *COMMAND), stops(style, *PAGE)
    if command != page:
        sys.exit(f"the command's scale {command} is not the page's {page}")


if __name__ == "__main__":
    main(*sys.argv[1:])
