#include "platform/resample.h"

#include <algorithm>
#include <cmath>
#include <deque>
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
        // Weights are differences of rounded positions inside the output
        // pixel, so none is negative and together they make exactly 65536,
        // however many source pixels one output pixel spans.
        auto at = [&](double t) { return uint32_t(std::lround((t - a) / scale * 65536.0)); };
        for (int i = first; i <= last; ++i) {
            double lo = i == first ? a : double(i), hi = i == last ? b : double(i + 1);
            s.weights.push_back(at(hi) - at(lo));
        }
    }
    return spans;
}

// Rows of the source resampled across, in 16.16 fixed point less 8
// fraction bits, kept only while an output row still needs them.
class AcrossRows {
public:
    AcrossRows(const Bitmap& src, const std::vector<Span>& xs, int w) : src_(src), xs_(xs), w_(w) {}

    // Row y of the source resampled across; rows before `first` are dropped.
    const uint32_t* Row(int y, int first)
    {
        while (!rows_.empty() && firstRow_ < first) {
            spare_.push_back(std::move(rows_.front()));
            rows_.pop_front();
            ++firstRow_;
        }
        if (rows_.empty())
            firstRow_ = first;
        while (firstRow_ + int(rows_.size()) <= y)
            rows_.push_back(Make(firstRow_ + int(rows_.size())));
        return rows_[size_t(y - firstRow_)].data();
    }

private:
    std::vector<uint32_t> Make(int y)
    {
        std::vector<uint32_t> r;
        if (!spare_.empty()) {
            r = std::move(spare_.back());
            spare_.pop_back();
        }
        r.resize(size_t(w_) * 3);
        const uint8_t* s = src_.ScanLine(y);
        for (int x = 0; x < w_; ++x) {
            const Span& sp = xs_[size_t(x)];
            uint32_t b = 0, g = 0, red = 0;
            const uint8_t* p = s + sp.first * 3;
            for (uint32_t wt : sp.weights) {
                b += p[0] * wt;
                g += p[1] * wt;
                red += p[2] * wt;
                p += 3;
            }
            r[size_t(x) * 3] = b >> 8; // keep 8 fraction bits: the sums stay within 32 bits below
            r[size_t(x) * 3 + 1] = g >> 8;
            r[size_t(x) * 3 + 2] = red >> 8;
        }
        return r;
    }

    const Bitmap& src_;
    const std::vector<Span>& xs_;
    const int w_;
    std::deque<std::vector<uint32_t>> rows_;
    std::vector<std::vector<uint32_t>> spare_;
    int firstRow_ = 0;
};

} // namespace

Bitmap ResampleArea(const Bitmap& source, int w, int h)
{
    Bitmap out(w, h, PixelFormat::pf24bit);
    if (source.Empty())
        return out;
    // A 24-bit source is read where it is; others are converted once.
    Bitmap converted;
    if (source.Bits() != 24) {
        converted = source;
        converted.SetPixelFormat(PixelFormat::pf24bit);
    }
    const Bitmap& src = source.Bits() == 24 ? source : converted;
    const int sw = src.Width(), sh = src.Height();
    if (sw == w && sh == h)
        return src;
    const auto xs = Spans(sw, w), ys = Spans(sh, h);

    // Across each source row, then down: only the rows one output row spans
    // are held at a time.
    AcrossRows across(src, xs, w);
    std::vector<const uint32_t*> span;
    for (int y = 0; y < h; ++y) {
        const Span& sp = ys[size_t(y)];
        span.clear();
        for (size_t k = 0; k < sp.weights.size(); ++k)
            span.push_back(across.Row(sp.first + int(k), sp.first));
        uint8_t* d = out.ScanLine(y);
        for (int x = 0; x < w * 3; ++x) {
            uint64_t acc = 0;
            for (size_t k = 0; k < span.size(); ++k)
                acc += uint64_t(span[k][x]) * sp.weights[k];
            d[x] = uint8_t(std::min<uint64_t>(255, (acc + (uint64_t(1) << 23)) >> 24));
        }
    }
    return out;
}

} // namespace pc
