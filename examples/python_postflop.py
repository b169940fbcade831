"""The postflop study from Python: what ranges hold on a board, part of a
range kept, and every flop of a preflop spot as rows for a data frame."""

import varnolith

# What each range holds on Kh 9h 8d: its classes and draws, by the run's figures.
spot = varnolith.range_equity(["QQ+, AKs", "JJ-88, AQs+"], board="Kh9h8d", hits=True)
for line in spot.hits[1]:
    if line["combos"] > 0:
        print(f"{line['class']:22} {line['kind']:4} {line['combos']:5.1f} combos  share {line['share']:.3f}  "
              f"equity {line['equity']:.3f}")

# The sets and two pairs of the top 15%, as notation the ranges read back.
print(varnolith.filter_ranges(["15%"], "Kh9h8d", "set, two_pair"))

# Every flop, exactly: a list of flat dicts, pandas.DataFrame(rows) ready.
rows = varnolith.flop_report(["15%", "50%"])
print(len(rows), "rows for", sum(row["flops"] for row in rows), "flops")
best = rows[0]
print(best["flop"], best["flops"], f"{best['probability']:.5f}", f"{best['equity_1']:.4f}", best["pairing"])
monotone = [row for row in rows if row["suits"] == "monotone"]
chance = sum(row["probability"] for row in monotone)
print(f"monotone: {chance:.4f} of flops, player 1's equity "
      f"{sum(row['probability'] * row['equity_1'] for row in monotone) / chance:.4f}")
