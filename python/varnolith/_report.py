"""A RangeEquity as the varnolith command prints it: command/report_text.cpp,
line for line, and command/report_json.cpp's object; and the preflop ordering."""

from __future__ import annotations

import math
from typing import Any, Sequence

# Longer range texts are cut in the table; JSON keeps them whole.
_RANGE_COLUMN_LIMIT = 32


def _table(columns: Sequence[tuple[str, bool]], rows: list[list[str]]) -> list[str]:
    """Columns as (title, aligned left), two blanks apart, right-aligned unless said."""
    widths = [max([len(title)] + [len(row[i]) for row in rows]) for i, (title, _) in enumerate(columns)]

    def line(cells: Sequence[str]) -> str:
        padded = (cell.ljust(width) if left else cell.rjust(width)
                  for cell, width, (_, left) in zip(cells, widths, columns))
        return "  ".join(padded).rstrip(" ")

    return [line([title for title, _ in columns])] + [line(row) for row in rows]


def _percent(fraction: float | None) -> str:
    return "-" if fraction is None or math.isnan(fraction) else f"{100.0 * fraction:.3f}"


def _shortened(text: str) -> str:
    return text if len(text) <= _RANGE_COLUMN_LIMIT else text[:_RANGE_COLUMN_LIMIT - 3] + "..."


def _method(result: Any) -> str:
    if result.method == "exact":
        deals = f"{result.deals:,} deal" + ("" if result.deals == 1 else "s")
        boards = f"{result.boards:,} board" + ("" if result.boards == 1 else "s")
        return f"exact, {deals} of hole cards, {boards} each"
    return f"Monte Carlo, {result.trials:,} trials, seed {result.seed}"


def _quartiles(hands: Sequence[Any]) -> list[float]:
    """command/equity_curve.cpp: the equities at or below which a quarter, a half and
    three quarters of the shares fall; NaN when no combination has an equity."""
    live = [h for h in hands if h.weight > 0 and h.equity is not None]
    total = sum(h.weight for h in live)  # summed in the range's order, as the command sums it
    curve, running = [], 0.0
    for hand in sorted(live, key=lambda h: h.equity):
        running += hand.weight
        curve.append([hand.equity, running / total])
    if curve:
        curve[-1][1] = 1.0
    # Rounding may leave a boundary such as 2 of 4 equal shares a hair short.
    return [next((e for e, share in curve if share >= q - 1e-12), curve[-1][0] if curve else math.nan)
            for q in (0.25, 0.5, 0.75)]


_CELL = 7  # " 100.0" and the mark after it


def _card_square(title: str, rows: Sequence[Any], cell: Any) -> list[str]:
    """command/report_next_cards.cpp: ranks A down to 6, suits across; "-" for a card that cannot come."""
    by_card = {row.card: row for row in rows}
    lines = [title, " " + "".join(" " * (_CELL - 2) + suit + " " for suit in "cdhs")]
    for rank in "AKQJT9876":
        lines.append(rank + "".join(cell(by_card[rank + suit]) if rank + suit in by_card else " " * (_CELL - 2) + "- "
                                    for suit in "cdhs"))
    return lines


def _next_cards(result: Any) -> list[str]:
    def leaders(equity: Sequence[float]) -> list[bool]:
        # Equities this close are a tie for the lead, not a change of it.
        return [e >= max(equity) - 1e-9 for e in equity]

    def listed(items: list[str]) -> str:
        return ", ".join(items[:-1]) + " and " + items[-1] if len(items) > 1 else items[0]

    def cell(percent: float, decimals: int, mark: str) -> str:
        return f"{percent:.{decimals}f}".rjust(_CELL - 1) + mark

    now = [p.equity for p in result.players]
    leading = leaders(now)
    numbers = [str(n) for n, lead in enumerate(leading, 1) if lead]
    lines = ["", "Next card, each player's equity in percent when it comes: now "
             + listed([f"{100.0 * e:.1f}" for e in now]),
             f"* the card changes who has the highest equity (now {'player' if len(numbers) == 1 else 'players'} "
             f"{listed(numbers)}); - it cannot come", ""]
    panels = [_card_square(f"Player {i + 1}", result.next_cards,
                           lambda row, i=i: cell(100.0 * row.equity[i], 1, " " if leaders(row.equity) == leading
                                                 else "*"))
              for i in range(len(now))]
    panels.append(_card_square("Probability %", result.next_cards, lambda row: cell(100.0 * row.probability, 2, " ")))
    # Two squares across stay within 80 columns.
    width = max(len(line) for panel in panels for line in panel)
    for first in range(0, len(panels), 2):
        group = panels[first:first + 2]
        for line in range(len(group[0])):
            text = group[0][line]
            for before, panel in zip(group, group[1:]):
                text += " " * (width - len(before[line])) + "    " + panel[line]
            lines.append(text.rstrip(" "))
        if first + 2 < len(panels):
            lines.append("")
    return lines


def report_text(result: Any, elapsed_seconds: float | None = None) -> str:
    """The command's table, without a final newline; an Elapsed line when the time is given."""
    lines = [f"Board    {' '.join(result.board) or 'none'}", f"Dead     {' '.join(result.dead) or 'none'}",
             f"Method   {_method(result)}"]
    if elapsed_seconds is not None:
        lines.append(f"Elapsed  {elapsed_seconds:.3f} s")
    lines.append("")

    simulated = result.method == "monte_carlo"
    columns = [("Player", False), ("Range", True), ("Combos", False), ("Equity %", False), ("Win %", False),
               ("Tie %", False)] + ([("Std err %", False)] if simulated else [])
    rows = []
    for number, player in enumerate(result.players, 1):
        rows.append([str(number), _shortened(player.range), f"{player.combos:,}", _percent(player.equity),
                     _percent(player.win), _percent(player.tie)] + ([_percent(player.stderr)] if simulated else []))
    lines += _table(columns, rows)

    if result.next_cards is not None:
        lines += _next_cards(result)
    if result.players and result.players[0].categories is not None:
        lines += ["", "Final hands, percent"]
        columns = [("Category", True)] + [(f"Player {n}", False) for n in range(1, len(result.players) + 1)]
        lines += _table(columns, [[name] + [_percent(p.categories[name]) for p in result.players]
                                  for name in result.players[0].categories])
    for number, player in enumerate(result.players, 1):
        if player.hands is not None:
            lines += ["", f"Player {number} ({_shortened(player.range)}), every live combination, percent",
                      "Equity quartiles by share: " + ", ".join(_percent(e) for e in _quartiles(player.hands)), ""]
            # Share: how much of the player's deals hold the combination, not the weight typed.
            lines += _table([("Hand", True), ("Share", False), ("Equity", False)],
                            [[h.hand, _percent(h.weight), _percent(h.equity)] for h in player.hands])
    return "\n".join(lines)


def report_json(result: Any, elapsed_seconds: float) -> dict[str, Any]:
    """The object of `varnolith --json`, keys in its order; NaN as None (null)."""
    def fraction(value: float | None) -> float | None:
        return None if value is None or math.isnan(value) else value

    report: dict[str, Any] = {"method": result.method, "board": list(result.board), "dead": list(result.dead)}
    if result.method == "exact":
        report.update(deals=result.deals, boards=result.boards)
    else:
        report.update(trials=result.trials, seed=result.seed)
    report["elapsed_seconds"] = elapsed_seconds
    players = []
    for player in result.players:
        entry = {"range": player.range, "combos": player.combos, "equity": fraction(player.equity),
                 "win": player.win, "tie": player.tie, "stderr": player.stderr}
        if player.categories is not None:
            entry["categories"] = dict(player.categories)
        if player.hands is not None:
            # "weight" is the old name of "share", which the command keeps for old scripts.
            entry["hands"] = [{"hand": h.hand, "share": h.weight, "weight": h.weight, "equity": fraction(h.equity)}
                              for h in player.hands]
        players.append(entry)
    report["players"] = players
    if result.next_cards is not None:
        report["next_cards"] = [{"card": row.card, "probability": row.probability, "equity": list(row.equity)}
                                for row in result.next_cards]
    return report


def ordering_text(classes: Sequence[Any]) -> str:
    """The preflop ordering as a table, best class first, without a final newline."""
    columns = [("Place", False), ("Class", True), ("Combos", False), ("Cumulative", False),
               ("Cumulative %", False), ("Equity %", False)]
    return "\n".join(_table(columns, [[str(c.place), c.hand_class, str(c.combos), str(c.cumulative_combos),
                                        f"{c.cumulative_percent:.2f}", _percent(c.equity)] for c in classes]))


def ordering_json(classes: Sequence[Any]) -> list[dict[str, Any]]:
    """The preflop ordering for --json; cumulative_percent in percent, equity a fraction."""
    return [{"place": c.place, "class": c.hand_class, "combos": c.combos, "cumulative_combos": c.cumulative_combos,
             "cumulative_percent": c.cumulative_percent, "equity": c.equity} for c in classes]
