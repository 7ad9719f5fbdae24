// Shared pieces of the keepplate and tiltplate scenario tests: the plate stack that the retainer
// plates are built into, and the checks every build must pass.
#pragma once

#include "scenario.hpp"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace plates {

using scenario::Json;
constexpr double pi = std::numbers::pi;

// Fixed plate z 0..20 and backing plate z -26..-6 (the plate of thickness 6 hangs between them), both
// 120 x 80 about the origin.
inline const double kPlateVolume = 120.0 * 80.0 * 20.0;

inline Json plate_stack() {
    return Json::array({
        {{"name", "gu_ding_ban"}, {"block", {{"corner", {-60, -40, 0}}, {"size", {120, 80, 20}}}}, {"color", 95}},
        {{"name", "dian_ban"}, {"block", {{"corner", {-60, -40, -26}}, {"size", {120, 80, 20}}}}, {"color", 98}},
    });
}

// A prism punch standing on the backing plate (z -6..50).
inline Json punch(const std::string &name, const std::vector<std::pair<double, double>> &outline) {
    Json points = Json::array();
    for (auto [x, y] : outline) points.push_back({x, y});
    return {{"name", name}, {"prism", {{"outline", points}, {"z", {-6, 50}}}}};
}

// The 12 x 8 punch about the origin.
inline Json box_punch() { return punch("punch", {{-6, -4}, {6, -4}, {6, 4}, {-6, 4}}); }

inline Json session(const std::string &plugin, Json objects, Json values) {
    return {{"objects", std::move(objects)},
            {"steps", Json::array({{{"plugin", plugin}, {"values", std::move(values)}, {"press", {"apply", "cancel"}}}})}};
}

inline const Json *find_tag(const Json &report, long long tag) {
    for (auto &b : report["bodies"])
        if (b["tag"] == tag) return &b;
    return nullptr;
}

// The screw: first member of the only imported group.
inline const Json &screw(const Json &report) {
    static const Json none = Json::object();
    if (report["groups"].size() != 1) {
        ADD_FAILURE() << "expected one imported group, found " << report["groups"].size();
        return none;
    }
    const Json *b = find_tag(report, report["groups"][0]["members"][0].get<long long>());
    if (!b) {
        ADD_FAILURE() << "the screw body is gone";
        return none;
    }
    return *b;
}

inline double centre(const Json &b, int axis) {
    return (b["bbox"][axis].get<double>() + b["bbox"][axis + 3].get<double>()) / 2;
}

inline void expect_bbox(const Json &b, std::vector<double> expected, double tolerance = 1e-6) {
    ASSERT_EQ(b["bbox"].size(), 6u) << b.dump();
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(b["bbox"][i].get<double>(), expected[i], tolerance) << "bbox[" << i << "]";
}

// ISO 4762 screw volumes as the library files model them: head, shank, hexagon socket.
inline double screw_volume(double d, double L, double dk, double k, double s, double t) {
    return pi / 4 * dk * dk * k + pi / 4 * d * d * L - std::sqrt(3.0) / 2 * s * s * t;
}

// Volume of an L x W x T plate with four vertical R2 corners and a through hole of diameter h.
inline double rect_plate_volume(double L, double W, double T, double h) {
    return L * W * T - 4 * (4 - pi) * T - pi * h * h / 4 * T;
}

// Volume of a disc (diameter D, height T) with both circular edges chamfered c x 45 degrees and a
// through hole of diameter h whose edges are sharp.
inline double disc_volume(double D, double T, double h, double c = 0.3) {
    const double R = D / 2;
    return pi * R * R * T - 2 * (2 * pi * (R - c / 3) * c * c / 2) - pi * h * h / 4 * T;
}

// What every build leaves: no blanked helper, no parameters, single solids, no failed host call.
inline void expect_clean(const Json &report) {
    for (auto &b : report["bodies"]) {
        EXPECT_EQ(b["blanked"], false) << "blanked body left: " << b.dump();
        EXPECT_EQ(b["parametric"], false) << "body keeps parameters: " << b.dump();
        EXPECT_EQ(b["lumps"], 1) << b.dump();
    }
    for (auto &line : diekit::model::Store::instance().log_lines()) ADD_FAILURE() << "host call failed: " << line;
}

}  // namespace plates
