#pragma once
// Compares a played metafile with its producer's own PNG render: both are
// turned grey, shrunk by plain box averaging and compared as the mean
// absolute grey difference (0 to 255). Box averaging forgives the small
// edge and hinting differences between two renderers; a missing or wrong
// shape still shows.
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/bitmap.h"

namespace pc::test {

struct Grey {
    int width = 0, height = 0;
    std::vector<double> v; // row by row
    double at(int x, int y) const { return v[size_t(y) * width + x]; }
};

// Empty when the file can't be read. See-through pixels are put on white.
inline Grey ReadPngGrey(const std::string& path)
{
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    Grey g;
    if (!png_image_begin_read_from_file(&img, path.c_str()))
        return g;
    img.format = PNG_FORMAT_RGB;
    const png_color white{255, 255, 255};
    std::vector<uint8_t> buf(PNG_IMAGE_SIZE(img));
    if (!png_image_finish_read(&img, &white, buf.data(), 0, nullptr))
        return g;
    g.width = int(img.width);
    g.height = int(img.height);
    for (size_t i = 0; i + 2 < buf.size(); i += 3)
        g.v.push_back((buf[i] + buf[i + 1] + buf[i + 2]) / 3.0);
    return g;
}

inline Grey GreyOf(const Bitmap& b)
{
    Grey g{b.Width(), b.Height(), {}};
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const TColor c = b.Pixel(x, y);
            g.v.push_back((GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3.0);
        }
    return g;
}

// Each target pixel is the mean of the source pixels its box covers.
inline Grey Shrink(const Grey& s, int w, int h)
{
    Grey out{w, h, {}};
    for (int y = 0; y < h; ++y) {
        const int y0 = y * s.height / h, y1 = std::max(y0 + 1, (y + 1) * s.height / h);
        for (int x = 0; x < w; ++x) {
            const int x0 = x * s.width / w, x1 = std::max(x0 + 1, (x + 1) * s.width / w);
            double sum = 0;
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                    sum += s.at(sx, sy);
            out.v.push_back(sum / ((y1 - y0) * (x1 - x0)));
        }
    }
    return out;
}

// Both shrunk to `side` pixels wide, at the reference's proportions.
inline double MeanGreyDifference(const Grey& reference, const Grey& ours, int side)
{
    const int h = std::max(1, int(std::lround(double(reference.height) * side / reference.width)));
    const Grey want = Shrink(reference, side, h), got = Shrink(ours, side, h);
    double diff = 0;
    for (size_t i = 0; i < want.v.size(); ++i)
        diff += std::abs(want.v[i] - got.v[i]);
    return diff / double(want.v.size());
}

} // namespace pc::test
