#include "platform/resample.h"

#include <algorithm>
#include <vector>

namespace pc {

namespace {

// For each output index, the source indices it covers and their weights in
// 1/65536ths of the output pixel (they sum to 65536).
struct Span {
    int first = 0;
    std::vector<uint32_t> weights;
};

std::vector<Span> Spans(int srcLen, int dstLen)
{
    std::vector<Span> spans(static_cast<size_t>(dstLen));
    const double scale = double(srcLen) / double(dstLen);
    for (int d = 0; d < dstLen; ++d) {
        double a = d * scale, b = (d + 1) * scale;
        int first = int(a), last = std::min(srcLen - 1, int(b - 1e-9));
        Span& s = spans[size_t(d)];
        s.first = first;
        uint32_t total = 0;
        for (int i = first; i <= last; ++i) {
            double lo = std::max(a, double(i)), hi = std::min(b, double(i + 1));
            uint32_t w = uint32_t((hi - lo) / scale * 65536.0 + 0.5);
            s.weights.push_back(w);
            total += w;
        }
        // Rounding leftovers go to the largest weight so every span sums to one.
        size_t big = 0;
        for (size_t k = 1; k < s.weights.size(); ++k)
            if (s.weights[k] > s.weights[big])
                big = k;
        s.weights[big] += 65536 - total;
    }
    return spans;
}

} // namespace

Bitmap ResampleArea(const Bitmap& source, int w, int h)
{
    Bitmap src = source;
    src.SetPixelFormat(PixelFormat::pf24bit);
    Bitmap out(w, h, PixelFormat::pf24bit);
    if (src.Empty())
        return out;
    const int sw = src.Width(), sh = src.Height();
    auto xs = Spans(sw, w), ys = Spans(sh, h);

    // Horizontal pass into 16.16 fixed point rows, then vertical.
    std::vector<uint32_t> rows(size_t(sh) * size_t(w) * 3);
    for (int y = 0; y < sh; ++y) {
        const uint8_t* s = src.ScanLine(y);
        uint32_t* r = rows.data() + size_t(y) * size_t(w) * 3;
        for (int x = 0; x < w; ++x) {
            const Span& sp = xs[size_t(x)];
            uint32_t b = 0, g = 0, red = 0;
            const uint8_t* p = s + sp.first * 3;
            for (uint32_t wt : sp.weights) {
                b += p[0] * wt;
                g += p[1] * wt;
                red += p[2] * wt;
                p += 3;
            }
            r[x * 3] = b >> 8; // keep 8 fraction bits: the sums stay within 32 bits below
            r[x * 3 + 1] = g >> 8;
            r[x * 3 + 2] = red >> 8;
        }
    }
    for (int y = 0; y < h; ++y) {
        const Span& sp = ys[size_t(y)];
        uint8_t* d = out.ScanLine(y);
        for (int x = 0; x < w * 3; ++x) {
            uint64_t acc = 0;
            size_t row = size_t(sp.first);
            for (uint32_t wt : sp.weights)
                acc += uint64_t(rows[row++ * size_t(w) * 3 + size_t(x)]) * wt;
            d[x] = uint8_t(std::min<uint64_t>(255, (acc + (uint64_t(1) << 23)) >> 24));
        }
    }
    return out;
}

} // namespace pc
