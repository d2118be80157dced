#include "codecs/gif/gif_rle_encoder.h"

#include <algorithm>
#include <cmath>

namespace pc::gif {

void TRLEEncoder::Compress()
{
    bumpInit_ = clearCode_ - 1;
    clearInit_ = initCodeSize_ >= 4 ? bumpInit_ - 1 : 9;
    maxOut_ = 4095 - (clearCode_ + 2);
    EmitClear();
    int pixel = NextPixel();
    int64_t run = 1;
    while (PixelsLeft() > 0) {
        int p = NextPixel();
        if (p == pixel) {
            ++run;
            continue;
        }
        FlushRun(pixel, run);
        pixel = p;
        run = 1;
    }
    FlushRun(pixel, run);
}

void TRLEEncoder::EmitClear()
{
    outCount_ = 0;
    bumpLimit_ = bumpInit_;
    clearLimit_ = inSequence_ ? maxOut_ : clearInit_;
    runPixel_ = -1;
    runMax_ = 0;
    TGIFEncoder::EmitClear();
    codeWidth_ = initCodeSize_ + 1;
}

void TRLEEncoder::Plain(int code)
{
    EmitCode(code);
    ++outCount_;
    // The decoder adds one entry per code after the first; it widens its
    // codes when its next free entry reaches the next power of two.
    if (outCount_ == bumpLimit_ && codeWidth_ < 12) {
        ++codeWidth_;
        bumpLimit_ += 1 << (codeWidth_ - 1);
    }
    if (outCount_ >= clearLimit_)
        EmitClear();
}

int64_t TRLEEncoder::TriangularCost(int64_t n) const
{
    int64_t m = maxOut_;
    int64_t full = m * (m + 1) / 2;
    int64_t codes = n / full * m;
    int64_t r = n % full;
    if (r > 0) {
        int64_t k = int64_t(std::sqrt(double(2 * r)));
        while (k > 0 && (k - 1) * k >= 2 * r)
            --k;
        while (k * (k + 1) < 2 * r)
            ++k;
        codes += k;
    }
    return codes;
}

void TRLEEncoder::BeginSequence()
{
    inSequence_ = true;
    clearLimit_ = maxOut_;
}

void TRLEEncoder::EndSequence()
{
    inSequence_ = false;
    clearLimit_ = clearInit_;
    if (outCount_ >= clearLimit_)
        EmitClear();
}

int64_t TRLEEncoder::RepeatRun(int pixel, int64_t n)
{
    int len = int(std::min<int64_t>(n, runMax_));
    Plain(RunCode(pixel, len));
    return n - len;
}

void TRLEEncoder::Triangular(int pixel, int64_t n)
{
    BeginSequence();
    while (n > 0) {
        if (outCount_ == 0) {
            Plain(pixel);
            runPixel_ = pixel;
            runMax_ = 1;
            --n;
            continue;
        }
        // While every code since the clear extended the run, the next free
        // entry is exactly one pixel longer: a decoder builds it from the code itself.
        int next = runMax_ + 1;
        if (runPixel_ == pixel && runMax_ == outCount_ && n >= next) {
            Plain(RunCode(pixel, next));
            runMax_ = next;
            n -= next;
        } else {
            n = RepeatRun(pixel, n);
        }
    }
    EndSequence();
}

void TRLEEncoder::FlushRun(int pixel, int64_t n)
{
    if (outCount_ == 0 || (runPixel_ == pixel && runMax_ == outCount_)) {
        Triangular(pixel, n);
        return;
    }
    if (n == 1) {
        Plain(pixel);
        return;
    }
    if (runPixel_ == pixel && runMax_ >= 2) {
        int64_t repeats = n / runMax_ + (n % runMax_ ? 1 : 0);
        if (repeats <= 1 + TriangularCost(n)) {
            BeginSequence();
            while (n > 0 && runPixel_ == pixel)
                n = RepeatRun(pixel, n);
            EndSequence();
            if (n > 0)
                Triangular(pixel, n);
            return;
        }
        EmitClear();
        Triangular(pixel, n);
        return;
    }
    if (1 + TriangularCost(n) < n) {
        EmitClear();
        Triangular(pixel, n);
        return;
    }
    for (int64_t i = 0; i < n; ++i)
        Plain(pixel);
}

} // namespace pc::gif
