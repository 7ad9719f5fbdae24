// The colour palette: index 1..216 to RGB. Index n (n−1 = 36·r + 6·g + b, each digit 0..5) has the
// components 255 − 51·digit, so 1 is white, 216 black, 181 cyan, 190 green, 165 steel blue,
// 108 dark red and 87 mid grey.
#pragma once

#include "kernel/kernel.hpp"

namespace diekit::io {

kernel::Rgb palette_rgb(int index);
// Nearest palette index of an RGB colour (components 0..1).
int palette_index(const kernel::Rgb &rgb);

}  // namespace diekit::io
