// The model range: the sizes a work part may hold. Everything that places or sizes geometry (the UF_*
// functions, session fixtures, standard-part recipes) checks its numbers against it before the
// kernel sees them, so that absurd values (1e308, 2^63, a zero-length block) are refused with a
// reason instead of reaching Open CASCADE, which may loop, run out of memory or crash on them.
//
//   coordinates (points, corners, origins)   |x| <= 1e5 mm
//   lengths of solids (edges, heights, diameters, radii, chamfer offsets)   1e-6 mm <= l <= 2e5 mm
//   signed distances (extrusion limits, face offsets)   |d| <= 2e5 mm
//   scale factors   1e-6 <= f <= 1e6, and the scaled body stays within the coordinates above
#pragma once

#include "kernel/kernel.hpp"
#include "model/errors.hpp"

#include <cmath>
#include <cstdio>
#include <string>

namespace diekit::model {

constexpr double kMaxCoordinate = 1e5;  // mm
constexpr double kMinLength = 1e-6;     // mm
constexpr double kMaxLength = 2e5;      // mm
constexpr double kMinFactor = 1e-6;
constexpr double kMaxFactor = 1e6;

inline std::string number_text(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// Each throws HostError(kErrBadValue) naming `what`, the value and the range.
inline void check_coordinate(double value, const std::string &what) {
    if (!(std::abs(value) <= kMaxCoordinate))
        throw HostError(kErrBadValue, what + " " + number_text(value) + " is outside the model range (|x| <= 1e5 mm)");
}

inline void check_point(const kernel::Vec3 &p, const std::string &what) {
    check_coordinate(p.x, what + " x");
    check_coordinate(p.y, what + " y");
    check_coordinate(p.z, what + " z");
}

inline void check_length(double value, const std::string &what) {
    if (!(value >= kMinLength && value <= kMaxLength))
        throw HostError(kErrBadValue, what + " " + number_text(value) +
                                          " is not a length of the model range (1e-6 to 2e5 mm)");
}

inline void check_distance(double value, const std::string &what) {
    if (!(std::abs(value) <= kMaxLength))
        throw HostError(kErrBadValue, what + " " + number_text(value) + " is outside the model range (|d| <= 2e5 mm)");
}

inline void check_factor(double value, const std::string &what) {
    if (!(value >= kMinFactor && value <= kMaxFactor))
        throw HostError(kErrBadValue, what + " " + number_text(value) + " is outside 1e-6 to 1e6");
}

}  // namespace diekit::model
