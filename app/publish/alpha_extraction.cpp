#include "app/publish/alpha_extraction.h"

#include <algorithm>

namespace pc {

bool AlphaFromWhiteBlack(const Bitmap& whiteIn, const Bitmap& blackIn, Bitmap& out)
{
    if (whiteIn.Width() != blackIn.Width() || whiteIn.Height() != blackIn.Height())
        return false;
    // 24-bit renders are read where they are; others are converted once.
    auto as24 = [](const Bitmap& in, Bitmap& converted) -> const Bitmap& {
        if (in.Bits() == 24)
            return in;
        converted = in;
        converted.SetPixelFormat(PixelFormat::pf24bit);
        return converted;
    };
    Bitmap whiteConverted, blackConverted;
    const Bitmap& white = as24(whiteIn, whiteConverted);
    const Bitmap& black = as24(blackIn, blackConverted);
    Bitmap result(white.Width(), white.Height(), PixelFormat::pf32bit);
    for (int y = 0; y < white.Height(); ++y) {
        const uint8_t* w = white.ScanLine(y);
        const uint8_t* b = black.ScanLine(y);
        uint8_t* d = result.ScanLine(y);
        for (int x = 0; x < white.Width(); ++x, w += 3, b += 3, d += 4) {
            int alpha = 0;
            for (int c = 0; c < 3; ++c)
                alpha = std::max(alpha, 255 - w[c] + b[c]);
            alpha = std::clamp(alpha, 0, 255);
            for (int c = 0; c < 3; ++c)
                d[c] = alpha == 0 ? 0 : uint8_t(std::clamp((w[c] + alpha - 255) * 255 / alpha, 0, 255));
            d[3] = uint8_t(alpha);
        }
    }
    out = std::move(result);
    return true;
}

} // namespace pc
