#pragma once
// Run-length image-data encoder: emits standard GIF codes without building
// LZW strings, except for the runs of one pixel that a decoder builds by
// itself right after a clear code (p, pp, ppp, ...). Any GIF decoder reads it.
#include "codecs/gif/gif_encoder.h"

namespace pc::gif {

class TRLEEncoder : public TGIFEncoder {
protected:
    void Compress() override;
    void EmitClear() override;

private:
    void Plain(int code);
    void FlushRun(int pixel, int64_t n);
    void Triangular(int pixel, int64_t n);
    // A sequence of run codes may run past the usual clear point; ending it
    // clears when that point has passed.
    void BeginSequence();
    void EndSequence();
    // Codes the longest run the table holds (at most n pixels); the pixels left.
    int64_t RepeatRun(int pixel, int64_t n);
    // Codes a fresh triangular sequence needs for n pixels.
    int64_t TriangularCost(int64_t n) const;
    int RunCode(int pixel, int length) const { return length == 1 ? pixel : firstFree_ + length - 2; }

    int outCount_ = 0;    // codes since the last clear
    int bumpLimit_ = 0;   // code count at which the decoder widens its codes
    int clearLimit_ = 0;  // code count at which a clear follows
    int bumpInit_ = 0;
    int clearInit_ = 0;
    int maxOut_ = 0;      // codes between clears that keep the decoder's table below 4096
    bool inSequence_ = false;
    int runPixel_ = -1;   // pixel whose runs the table holds since the last clear
    int runMax_ = 0;      // longest such run
};

} // namespace pc::gif
