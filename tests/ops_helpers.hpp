// Small builders for the modelling-operation tests: curves, lists, primitives, measures.
#pragma once

#include "host_fixture.hpp"

#include "kernel/kernel.hpp"

#include <uf_curve.h>
#include <uf_modl.h>

#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace ops {

using diekit::kernel::Vec3;
using Points = std::vector<std::pair<double, double>>;
constexpr double pi = std::numbers::pi;

inline diekit::model::Store &store() { return diekit::model::Store::instance(); }

inline tag_t line(Vec3 a, Vec3 b) {
    UF_CURVE_line_t data{{a.x, a.y, a.z}, {b.x, b.y, b.z}};
    tag_t tag = NULL_TAG;
    EXPECT_EQ(UF_CURVE_create_line(&data, &tag), 0);
    return tag;
}

inline tag_t arc(Vec3 start, Vec3 mid, Vec3 end) { return store().add_curve(diekit::kernel::make_arc(start, mid, end)).tag; }

inline tag_t circle(Vec3 centre, double radius) {
    return store().add_curve(diekit::kernel::make_circle(centre, {0, 0, 1}, radius)).tag;
}

// The sides of a closed polygon in the plane z, one line each.
inline std::vector<tag_t> polygon(const Points &points, double z = 0) {
    std::vector<tag_t> lines;
    for (std::size_t i = 0; i < points.size(); ++i) {
        auto [x0, y0] = points[i];
        auto [x1, y1] = points[(i + 1) % points.size()];
        lines.push_back(line({x0, y0, z}, {x1, y1, z}));
    }
    return lines;
}

inline double polygon_area(const Points &points) {
    double twice = 0;
    for (std::size_t i = 0; i < points.size(); ++i)
        twice += points[i].first * points[(i + 1) % points.size()].second -
                 points[(i + 1) % points.size()].first * points[i].second;
    return std::abs(twice) / 2;
}

// A host list holding the tags (released by the caller).
inline uf_list_p_t list_of(const std::vector<tag_t> &tags) {
    uf_list_p_t list = nullptr;
    EXPECT_EQ(UF_MODL_create_list(&list), 0);
    for (tag_t t : tags) EXPECT_EQ(UF_MODL_put_list_item(list, t), 0);
    return list;
}

// The items of a host list, which is released.
inline std::vector<tag_t> take(uf_list_p_t list) {
    std::vector<tag_t> tags;
    int count = 0;
    EXPECT_EQ(UF_MODL_ask_list_count(list, &count), 0);
    for (int i = 0; i < count; ++i) {
        tag_t t = NULL_TAG;
        UF_MODL_ask_list_item(list, i, &t);
        tags.push_back(t);
    }
    UF_MODL_delete_list(&list);
    return tags;
}

inline std::string text(double value) { return std::to_string(value); }  // "%f"

// UF_MODL_create_extruded between the limits; sets feature to the one feature of the result list
// (NULL_TAG on failure, when the list must come back NULL).
inline int extrude(const std::vector<tag_t> &profile, double start, double end, Vec3 direction, int sign,
                   tag_t &feature, std::string taper = "0") {
    feature = NULL_TAG;
    uf_list_p_t curves = list_of(profile);
    std::string s = text(start), e = text(end);
    char *limits[2] = {s.data(), e.data()};
    double point[3] = {0, 0, 0}, dir[3] = {direction.x, direction.y, direction.z};
    uf_list_p_t features = reinterpret_cast<uf_list_p_t>(1);
    int status = UF_MODL_create_extruded(curves, taper.data(), limits, point, dir, static_cast<UF_FEATURE_SIGN>(sign),
                                         &features);
    UF_MODL_delete_list(&curves);
    if (status != 0) {
        EXPECT_EQ(features, nullptr);
        return status;
    }
    auto items = take(features);
    EXPECT_EQ(items.size(), 1u);
    feature = items.empty() ? NULL_TAG : items[0];
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

inline std::string last_log() {
    auto &lines = store().log_lines();
    return lines.empty() ? "" : lines.back();
}

}  // namespace ops
