// Sessions for the builders that place library parts through a stack of plates (boxspring,
// wirespring, stripbolt), and what their tests read back from the report.
#pragma once

#include "scenario.hpp"

#include <cmath>
#include <numbers>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace placement {

using scenario::Json;
constexpr double pi = std::numbers::pi;

// A plate 200 x 160 centred on the die centre, from z0 to z1.
inline Json plate(const std::string &name, double z0, double z1) {
    return {{"name", name}, {"block", {{"corner", {-100, -80, z0}}, {"size", {200, 160, z1 - z0}}}}};
}

inline double plate_volume(double z0, double z1) { return 200.0 * 160.0 * (z1 - z0); }

inline double disc(double diameter, double height) { return pi / 4 * diameter * diameter * height; }

// One dialog step: the values in the order given (enum0 before expression0, since the spring
// dialog writes the default length when the size changes), then Apply.
inline Json step(const std::string &plugin, Json values) {
    return {{"plugin", plugin}, {"values", std::move(values)}, {"press", {"apply"}}};
}

inline Json session(Json objects, Json steps) { return {{"objects", std::move(objects)}, {"steps", std::move(steps)}}; }

// Bodies of the report with this name, in creation order.
inline std::vector<Json> named(const Json &report, const std::string &name) {
    std::vector<Json> found;
    for (auto &b : report["bodies"])
        if (b["name"] == name) found.push_back(b);
    return found;
}

inline void expect_bbox(const Json &b, std::vector<double> expected, double tolerance = 1e-9) {
    ASSERT_EQ(b["bbox"].size(), 6u);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(b["bbox"][i].get<double>(), expected[i], tolerance) << "bbox entry " << i;
}

inline double bottom(const Json &b) { return b["bbox"][2].get<double>(); }
inline double top(const Json &b) { return b["bbox"][5].get<double>(); }
inline double volume(const Json &b) { return b["volume"].get<double>(); }

// The centre of a body's box in plan, rounded to 1e-6 so that equal centres compare equal.
inline std::pair<double, double> centre(const Json &b) {
    auto round6 = [](double v) { return std::round(v * 1e6) / 1e6 + 0.0; };
    return {round6((b["bbox"][0].get<double>() + b["bbox"][3].get<double>()) / 2),
            round6((b["bbox"][1].get<double>() + b["bbox"][4].get<double>()) / 2)};
}

inline std::multiset<std::pair<double, double>> centres(const std::vector<Json> &bodies) {
    std::multiset<std::pair<double, double>> result;
    for (auto &b : bodies) result.insert(centre(b));
    return result;
}

// Every body of the work part is plain (no feature parameters left).
inline void expect_all_plain(const Json &report) {
    for (auto &b : report["bodies"]) EXPECT_FALSE(b["parametric"].get<bool>()) << b["name"] << " " << b["tag"];
}

// What the plug-ins said in one line: notes, and the error boxes of builds that did nothing.
inline std::vector<std::string> notes(const Json &report) {
    std::vector<std::string> texts;
    for (auto &m : report["messages"])
        if (m["kind"] == "note" || (m["kind"] == "box" && m["type"] == 0)) texts.push_back(m["text"]);
    return texts;
}

inline void expect_absolute_wcs(const Json &report) {
    EXPECT_EQ(report["wcs"]["origin"], Json({0.0, 0.0, 0.0}));
    EXPECT_EQ(report["wcs"]["x"], Json({1.0, 0.0, 0.0}));
    EXPECT_EQ(report["wcs"]["y"], Json({0.0, 1.0, 0.0}));
    EXPECT_TRUE(report["wcs"]["shown"].get<bool>());
}

}  // namespace placement
