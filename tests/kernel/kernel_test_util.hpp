// Shared fixtures of the kernel suites: axis-aligned blocks and closed-form helpers.
#pragma once

#include "kernel/kernel.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace diekit::kernel::test {

constexpr double pi = std::numbers::pi;

// Axis-aligned block from its minimum corner.
inline Shape block(Vec3 corner, double dx, double dy, double dz) { return make_box(Frame{}, corner, dx, dy, dz); }

inline void expect_box_near(const Box &actual, const Box &expected, double tolerance) {
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(actual[i], expected[i], tolerance) << "bounding box entry " << i;
}

inline double dot(const Vec3 &a, const Vec3 &b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 minus(const Vec3 &a, const Vec3 &b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline double norm(const Vec3 &a) { return std::sqrt(dot(a, a)); }

// Runs f and checks it throws KernelError whose message starts with the operation's name.
template <class F>
void expect_kernel_error(F &&f, const std::string &operation) {
    try {
        f();
        ADD_FAILURE() << "expected a KernelError from " << operation;
    } catch (const KernelError &error) {
        EXPECT_EQ(std::string(error.what()).rfind(operation + ":", 0), 0u) << error.what();
    }
}

}  // namespace diekit::kernel::test
