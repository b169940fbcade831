#include "postflop_json.hpp"

#include <cmath>

#include "card_text.hpp"

namespace varnolith {

namespace {

using Json = nlohmann::ordered_json;

Json fraction_or_null(double x) { return std::isnan(x) ? Json(nullptr) : Json(x); }

Json equities(const std::vector<double>& equity) {
    Json list = Json::array();
    for (const double e : equity) list.push_back(e);
    return list;
}

} // namespace

nlohmann::ordered_json hits_json(const std::vector<HitLine>& lines, bool simulated) {
    Json list = Json::array();
    for (const HitLine& line : lines) {
        Json row{{"class", std::string(hit_name(line))},
                 {"kind", line.is_draw ? "draw" : "made"},
                 {"combos", line.combos},
                 {"share", line.share},
                 {"equity", fraction_or_null(line.equity)}};
        if (simulated) row["stderr"] = line.standard_error;
        list.push_back(std::move(row));
    }
    return list;
}

std::string flop_text(const Board& flop) {
    std::string text;
    for (const Card c : flop) text += card_text(c);
    return text;
}

nlohmann::ordered_json flops_json(const std::vector<FlopRow>& rows) {
    Json list = Json::array();
    for (const FlopRow& row : rows) {
        const FlopTexture& t = row.texture;
        list.push_back(Json{{"flop", flop_text(row.flop)},
                            {"flops", row.flops},
                            {"probability", row.probability},
                            {"equity", equities(row.equity)},
                            {"suits", flop_suits_names[static_cast<std::size_t>(t.suits)]},
                            {"pairing", flop_pairing_names[static_cast<std::size_t>(t.pairing)]},
                            {"high_card", rank_letter(t.high)},
                            {"straight_possible", t.straight_possible}});
    }
    return list;
}

nlohmann::ordered_json textures_json(const std::vector<TextureGroup>& groups) {
    Json list = Json::array();
    for (const TextureGroup& g : groups)
        list.push_back(Json{{"kind", g.kind},
                            {"texture", g.texture},
                            {"flops", g.flops},
                            {"probability", g.probability},
                            {"equity", equities(g.equity)}});
    return list;
}

} // namespace varnolith
