// PNG pictures of rendered sheets read back as RGB pixels (libpng), to check them for ink.
#pragma once

#include <png.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct Raster {
    unsigned width = 0, height = 0;
    std::vector<png_byte> rgb;
    bool white(unsigned x, unsigned y) const {
        const png_byte *p = &rgb[3 * (std::size_t(y) * width + x)];
        return p[0] > 235 && p[1] > 235 && p[2] > 235;
    }
    // The share of pixels that are not white in the rectangle [x0, x1) × [y0, y1).
    double ink(unsigned x0, unsigned y0, unsigned x1, unsigned y1) const {
        std::size_t inked = 0, all = 0;
        for (unsigned y = y0; y < y1 && y < height; ++y)
            for (unsigned x = x0; x < x1 && x < width; ++x, ++all) inked += !white(x, y);
        return all ? double(inked) / double(all) : 0;
    }
};

// The PNG file's pixels; a test failure and an empty raster when it cannot be read.
inline Raster read_png(const std::string &path) {
    Raster raster;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << "cannot read " << path << ": " << image.message;
        return raster;
    }
    image.format = PNG_FORMAT_RGB;
    raster.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, raster.rgb.data(), 0, nullptr)) {
        ADD_FAILURE() << "cannot decode " << path << ": " << image.message;
        return raster;
    }
    raster.width = image.width;
    raster.height = image.height;
    return raster;
}
