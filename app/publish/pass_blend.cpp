#include "app/publish/pass_blend.h"

#include <cstdint>

namespace pc {

namespace {

// v / n for v <= 255 n and 2 <= n <= 255 as one multiply and shift: with
// m = floor(2^22 / n) + 1 the quotient is exact over that range (checked for
// every n and v by the tests), and v m stays below 2^31.
constexpr int kShift = 22;

uint32_t Reciprocal(unsigned n) { return (uint32_t(1) << kShift) / n + 1; }

// A counted loop over bytes that share no memory: the compiler vectorises it
// where the processor can shuffle bytes (AVX2), chosen when the program starts.
// Not under ThreadSanitizer: the choice runs before the sanitizer has started.
#ifdef PRISMCASE_TSAN
#define PRISMCASE_BLEND_CLONES
#else
#define PRISMCASE_BLEND_CLONES __attribute__((target_clones("avx2", "default")))
#endif
PRISMCASE_BLEND_CLONES void BlendBytes(uint8_t* __restrict d, const uint8_t* __restrict src, int width, uint32_t wn,
                                       uint32_t wo, uint32_t m)
{
    for (int x = 0; x < width; ++x) {
        const uint32_t b = src[4 * x] * wn + d[3 * x] * wo;
        const uint32_t g = src[4 * x + 1] * wn + d[3 * x + 1] * wo;
        const uint32_t r = src[4 * x + 2] * wn + d[3 * x + 2] * wo;
        d[3 * x] = uint8_t((b * m) >> kShift);
        d[3 * x + 1] = uint8_t((g * m) >> kShift);
        d[3 * x + 2] = uint8_t((r * m) >> kShift);
    }
}

} // namespace

void BlendPassRow(Bitmap& picture, int pictureRow, int left, const uint8_t* src, int width, int pass, int passes)
{
    uint8_t* d = picture.ScanLine(pictureRow) + left * 3;
    if (passes <= 1 || pass == 0) {
        for (int x = 0; x < width; ++x, src += 4, d += 3) {
            d[0] = src[0];
            d[1] = src[1];
            d[2] = src[2];
        }
        return;
    }
    const uint32_t n = uint32_t(passes), wn = n - uint32_t(pass), wo = uint32_t(pass), m = Reciprocal(n);
    BlendBytes(d, src, width, wn, wo, m);
}

} // namespace pc
