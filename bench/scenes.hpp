// Sessions that more than one benchmark plays.
#pragma once

#include <nlohmann/json.hpp>

#include <cmath>
#include <string>

namespace bench_scenes {

// A plate big enough for a square grid of n punches 30 apart, each Ø10 standing through it.
inline nlohmann::ordered_json plate_with_punches(int n) {
    const int per_row = static_cast<int>(std::ceil(std::sqrt(n)));
    const double pitch = 30, margin = 20, side = per_row * pitch + 2 * margin;
    nlohmann::ordered_json objects = nlohmann::ordered_json::array();
    objects.push_back({{"name", "plate"}, {"block", {{"corner", {0, 0, 0}}, {"size", {side, side, 25}}}}, {"color", 100}});
    for (int i = 0; i < n; ++i) {
        const double x = margin + pitch * (i % per_row + 0.5), y = margin + pitch * (i / per_row + 0.5);
        objects.push_back({{"name", "punch"},
                           {"cylinder", {{"base", {x, y, -10}}, {"axis", {0, 0, 1}}, {"height", 60}, {"diameter", 10}}}});
    }
    nlohmann::ordered_json step = {{"plugin", "flatinsert"},
                                   {"values", {{"bodySelect0", {"punch"}}, {"bodySelect01", {"plate"}}, {"expression0", 2},
                                               {"expression01", 1}, {"toggle0", true}, {"toggle03", true}}},
                                   {"press", {"apply", "cancel"}}};
    return {{"name", "scale" + std::to_string(n)}, {"objects", objects}, {"steps", {step}}};
}

}  // namespace bench_scenes
