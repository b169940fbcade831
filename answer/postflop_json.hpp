#pragma once
// The postflop parts of an answer as JSON: a player's hits, the flop rows and
// the texture groups.

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "ranges/postflop/flop_report.hpp"
#include "ranges/postflop/hits.hpp"

namespace varnolith {

// {class, kind ("made" or "draw"), combos, share, equity[, stderr]} per line.
nlohmann::ordered_json hits_json(const std::vector<HitLine>& lines, bool simulated);

// {flop, flops, probability, equity: [per player], suits, pairing, high_card,
// straight_possible} per row.
nlohmann::ordered_json flops_json(const std::vector<FlopRow>& rows);

// {kind, texture, flops, probability, equity: [per player]} per group.
nlohmann::ordered_json textures_json(const std::vector<TextureGroup>& groups);

// "KhQh9d": the flop's cards run together, highest first.
std::string flop_text(const Board& flop);

} // namespace varnolith
