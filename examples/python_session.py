"""A short session with the varnolith Python module."""

import varnolith

# The value of seven cards: category * 1,000,000 + detail; larger wins.
print(varnolith.evaluate("Ts Js Qs Ks As 6c 7d"))

# Exact equity over every turn and river, one fraction per hand.
print(varnolith.equity(["AhKd", "QsQc"], board="6c 7d 8h"))

# A Monte Carlo estimate before the flop; seeded, so it repeats.
varnolith.set_seed(2024)
print(varnolith.equity(["AhKd", "QsQc", "JcTc"], trials=200_000))

# Input the console refuses is refused with the console's message.
try:
    varnolith.equity(["AhKd", "QsQx"])
except ValueError as error:
    print(error)
