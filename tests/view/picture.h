// tests/view/picture.h: a picture of the window read back as RGB pixels, addressed in window
// units (-1 .. 1 on both axes, +y up), the colour classes the tests look for, and PNG files
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <png.h>
#include <string>
#include <vector>

//------------------------------------------------------------------ pixels
struct Rgb {
    int r, g, b;  // 0 .. 255
};

// the colour classes the tests look for; each channel within 60 of the pure colour, which
// separates the drawing colours from each other and from the near-black text
inline bool near(const Rgb& p, int r, int g, int b) {
    return std::abs(p.r - r) <= 60 && std::abs(p.g - g) <= 60 && std::abs(p.b - b) <= 60;
}

inline bool is_red(const Rgb& p) {
    return near(p, 255, 0, 0);
}

inline bool is_green(const Rgb& p) {
    return near(p, 0, 255, 0);
}

inline bool is_blue(const Rgb& p) {
    return near(p, 0, 0, 255);
}

inline bool is_yellow(const Rgb& p) {
    return near(p, 255, 255, 0);
}

inline bool is_magenta(const Rgb& p) {
    return near(p, 255, 0, 255);
}

inline bool is_white(const Rgb& p) {
    return near(p, 255, 255, 255);
}

// the near-black grey of text (0.04 of full scale), which the black grid lines are not
inline bool is_text(const Rgb& p) {
    return p.r == p.g && p.g == p.b && p.r >= 5 && p.r <= 20;
}

inline bool is_dark(const Rgb& p) {
    return p.r < 60 && p.g < 60 && p.b < 60;
}

// one read-back picture of the window, rows from the bottom as GL stores them
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    // pixel column and row of a window-unit point
    int col(double x) const {
        return static_cast<int>(std::floor((x + 1.0) * 0.5 * width));
    }

    int row(double y) const {
        return static_cast<int>(std::floor((y + 1.0) * 0.5 * height));
    }

    Rgb px(int c, int r) const {
        // outside the picture: the white of the window background
        if (c < 0 || r < 0 || c >= width || r >= height) {
            return {255, 255, 255};
        }
        const unsigned char* p = &rgb[3 * (static_cast<size_t>(r) * width + c)];
        return {p[0], p[1], p[2]};
    }

    Rgb at(double x, double y) const {
        return px(col(x), row(y));
    }

    // pixels of a class in the window-unit box [x0, x1] x [y0, y1]
    template <class Pred>
    int count(double x0, double y0, double x1, double y1, Pred pred) const {
        int n = 0;
        for (int r = row(y0); r <= row(y1); ++r) {
            for (int c = col(x0); c <= col(x1); ++c) {
                n += pred(px(c, r)) ? 1 : 0;
            }
        }
        return n;
    }

    // whether a pixel of the class lies within `radius` pixels of a window-unit point
    template <class Pred>
    bool near_point(double x, double y, int radius, Pred pred) const {
        for (int r = row(y) - radius; r <= row(y) + radius; ++r) {
            for (int c = col(x) - radius; c <= col(x) + radius; ++c) {
                if (pred(px(c, r))) {
                    return true;
                }
            }
        }
        return false;
    }
};

//------------------------------------------------------------------ PNG files
// pictures are written top row first, as PNG stores them; a Picture is bottom row first

// writes the picture; false if the file cannot be written
inline bool save_png(const Picture& p, const std::string& path) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(p.width);
    image.height = static_cast<png_uint_32>(p.height);
    image.format = PNG_FORMAT_RGB;
    // a negative row stride writes the rows bottom-up, so the file's top row is the window's
    const png_int_32 stride = -3 * p.width;
    return png_image_write_to_file(&image, path.c_str(), 0, p.rgb.data(), stride, nullptr) != 0;
}

// reads an RGB picture; an empty picture if the file is missing or not a PNG
inline Picture load_png(const std::string& path) {
    Picture p;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return p;
    }
    image.format = PNG_FORMAT_RGB;
    p.width = static_cast<int>(image.width);
    p.height = static_cast<int>(image.height);
    p.rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (png_image_finish_read(&image, nullptr, p.rgb.data(), -3 * p.width, nullptr) == 0) {
        return Picture{};
    }
    return p;
}
