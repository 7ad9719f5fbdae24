// Small builders for the modelling-operation tests: curves, lists, primitives, measures.
#pragma once

#include "host_fixture.hpp"

#include "kernel/kernel.hpp"

#include <uf_curve.h>
#include <uf_modl.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

namespace ops {

using diekit::kernel::Vec3;
constexpr double pi = std::numbers::pi;

inline diekit::model::Store &store() { return diekit::model::Store::instance(); }

inline tag_t line(Vec3 a, Vec3 b) {
    UF_CURVE_line_t data{{a.x, a.y, a.z}, {b.x, b.y, b.z}};
    tag_t tag = NULL_TAG;
    EXPECT_EQ(UF_CURVE_create_line(&data, &tag), 0);
    return tag;
}

inline tag_t arc(Vec3 start, Vec3 mid, Vec3 end) {
    return store().add_curve(diekit::kernel::make_arc(start, mid, end)).tag;
}

inline tag_t circle(Vec3 centre, double radius) {
    return store().add_curve(diekit::kernel::make_circle(centre, {0, 0, 1}, radius)).tag;
}

// The sides of a closed polygon in the plane z, one line each.
inline std::vector<tag_t> polygon(const std::vector<std::pair<double, double>> &points, double z = 0) {
    std::vector<tag_t> lines;
    for (std::size_t i = 0; i < points.size(); ++i) {
        auto [x0, y0] = points[i];
        auto [x1, y1] = points[(i + 1) % points.size()];
        lines.push_back(line({x0, y0, z}, {x1, y1, z}));
    }
    return lines;
}

// Shoelace area of a polygon.
inline double polygon_area(const std::vector<std::pair<double, double>> &points) {
    double twice = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        auto [x0, y0] = points[i];
        auto [x1, y1] = points[(i + 1) % points.size()];
        twice += x0 * y1 - x1 * y0;
    }
    return std::abs(twice) / 2;
}

// A host list holding the tags (caller releases it with UF_MODL_delete_list).
inline uf_list_p_t list_of(const std::vector<tag_t> &tags) {
    uf_list_p_t list = nullptr;
    EXPECT_EQ(UF_MODL_create_list(&list), 0);
    for (tag_t t : tags) EXPECT_EQ(UF_MODL_put_list_item(list, t), 0);
    return list;
}

inline std::string text(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    return buffer;
}

// UF_MODL_create_extruded of the profile between the limits; returns its status and sets feature to
// the first feature of the result (NULL_TAG on failure). The list of features is released here.
inline int extrude(const std::vector<tag_t> &profile, double start, double end, Vec3 direction, int sign,
                   tag_t &feature, const char *taper = "0") {
    feature = NULL_TAG;
    uf_list_p_t curves = list_of(profile);
    std::string s = text(start), e = text(end);
    char *limits[2] = {s.data(), e.data()};
    double point[3] = {0, 0, 0};
    double dir[3] = {direction.x, direction.y, direction.z};
    std::string taper_text = taper;
    uf_list_p_t features = reinterpret_cast<uf_list_p_t>(1);
    int status = UF_MODL_create_extruded(curves, taper_text.data(), limits, point, dir,
                                         static_cast<UF_FEATURE_SIGN>(sign), &features);
    UF_MODL_delete_list(&curves);
    if (status != 0) {
        EXPECT_EQ(features, nullptr) << "features must be NULL on failure";
        return status;
    }
    int count = 0;
    EXPECT_EQ(UF_MODL_ask_list_count(features, &count), 0);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(UF_MODL_ask_list_item(features, 0, &feature), 0);
    UF_MODL_delete_list(&features);
    return status;
}

inline tag_t body_of(tag_t feature) {
    tag_t body = NULL_TAG;
    EXPECT_EQ(UF_MODL_ask_feat_body(feature, &body), 0);
    return body;
}

inline tag_t block(Vec3 corner, double dx, double dy, double dz, int sign = 0) {
    std::string x = text(dx), y = text(dy), z = text(dz);
    char *lengths[3] = {x.data(), y.data(), z.data()};
    double c[3] = {corner.x, corner.y, corner.z};
    tag_t feature = NULL_TAG;
    EXPECT_EQ(UF_MODL_create_block1(static_cast<UF_FEATURE_SIGN>(sign), c, lengths, &feature), 0);
    return feature;
}

inline int cylinder(Vec3 base, Vec3 axis, double height, double diameter, int sign, tag_t &feature) {
    std::string h = text(height), d = text(diameter);
    double b[3] = {base.x, base.y, base.z}, a[3] = {axis.x, axis.y, axis.z};
    return UF_MODL_create_cyl1(static_cast<UF_FEATURE_SIGN>(sign), b, h.data(), d.data(), a, &feature);
}

inline double volume(tag_t body) { return diekit::kernel::volume(store().body(body).shape); }
inline int lumps(tag_t body) { return diekit::kernel::solid_count(store().body(body).shape); }
inline bool valid(tag_t body) { return diekit::kernel::is_valid(store().body(body).shape); }
inline std::size_t body_count() { return store().bodies().size(); }

inline std::array<double, 6> box(tag_t object) {
    std::array<double, 6> b{};
    EXPECT_EQ(UF_MODL_ask_bounding_box(object, b.data()), 0);
    return b;
}

inline void expect_box(tag_t object, std::array<double, 6> expected, double tolerance = 1e-9) {
    auto actual = box(object);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "bounding box entry " << i;
}

// The last line of the host's failure log ("" when there is none).
inline std::string last_log() {
    auto &lines = store().log_lines();
    return lines.empty() ? "" : lines.back();
}

}  // namespace ops
