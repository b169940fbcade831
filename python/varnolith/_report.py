"""A RangeEquity as the varnolith command prints it: command/report_text.cpp,
line for line, and command/report_json.cpp's object."""

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

    if result.players and result.players[0].categories is not None:
        lines += ["", "Final hands, percent"]
        columns = [("Category", True)] + [(f"Player {n}", False) for n in range(1, len(result.players) + 1)]
        lines += _table(columns, [[name] + [_percent(p.categories[name]) for p in result.players]
                                  for name in result.players[0].categories])
    for number, player in enumerate(result.players, 1):
        if player.hands is not None:
            lines += ["", f"Player {number} ({_shortened(player.range)}), every live combination, percent"]
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
    return report
