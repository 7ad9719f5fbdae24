#include "io/palette.hpp"

#include <algorithm>
#include <cmath>

namespace diekit::io {

namespace {
double component(int digit) { return (255 - 51 * digit) / 255.0; }
int digit(double value) { return std::clamp(static_cast<int>(std::lround((1.0 - value) * 5.0)), 0, 5); }
}  // namespace

kernel::Rgb palette_rgb(int index) {
    int n = std::clamp(index, 1, 216) - 1;
    return {component(n / 36), component(n / 6 % 6), component(n % 6)};
}

int palette_index(const kernel::Rgb &rgb) { return 36 * digit(rgb.r) + 6 * digit(rgb.g) + digit(rgb.b) + 1; }

}  // namespace diekit::io
