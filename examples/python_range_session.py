"""Ranges against ranges from Python: the varnolith command's figures as objects."""

import varnolith

# Ace-king suited against queens or better and any ace-king, on 6c 7d 8h: every
# deal of the two ranges with every turn and river.
spot = varnolith.range_equity(["AKs", "QQ+, AK"], board="6c7d8h", exact=True)
print(spot.method, spot.deals, "deals", spot.boards, "boards each")
for player in spot.players:
    print(f"{player.range:8} {player.combos:3} combos  equity {player.equity:.4f}  "
          f"win {player.win:.4f}  tie {player.tie:.4f}")

# Printed, a result is the command's table; here with a dead card.
print(varnolith.range_equity(["AKs", "QQ+, AK"], board="6c7d8h", dead="Ts"))

# Before the flop against a random hand, simulated; the seed makes it repeat.
# by_hand adds each combination's weight and equity.
run = varnolith.range_equity(["JJ+, AKs", "random"], trials=200_000, seed=7, by_hand=True)
print(run.method, run.trials, "trials, seed", run.seed)
hero = run.players[0]
print(f"{hero.range}: equity {hero.equity:.4f} +- {hero.stderr:.4f}")
for hand in hero.hands[:3]:
    print(f"  {hand.hand}  weight {hand.weight:.4f}  equity {hand.equity:.4f}")

# A percentage is the top of varnolith's preflop ordering, the 81 classes by
# equity against one random hand: "15%" is the first ones whose combinations
# come nearest 15% of the 630.
for entry in varnolith.ordering()[:3]:
    print(f"{entry.place} {entry.hand_class:3} {entry.combos:2} combos, {entry.cumulative_percent:.3f}% so far, "
          f"equity {entry.equity:.4f}")

# On the flop, by_card adds each turn card: how likely it comes, and every
# player's equity when it does; weighted, they give the flop's own.
flop = varnolith.range_equity(["15%", "QQ+, AK"], board="6c7d8h", by_card=True)
print(flop.players[0].combos, "combos in 15%,", len(flop.next_cards), "turn cards")
for card in flop.next_cards[-2:]:
    print(f"  {card.card}  probability {card.probability:.4f}  equity "
          + "  ".join(f"{equity:.4f}" for equity in card.equity))

# What the command refuses is refused with its message.
try:
    varnolith.range_equity(["AhKd", "QQs"])
except ValueError as error:
    print(error)
