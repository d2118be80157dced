#include "app/publish/pass_blend.h"

namespace pc {

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
    const unsigned n = unsigned(passes), wn = n - unsigned(pass), wo = unsigned(pass);
    for (int x = 0; x < width * 3; x += 3, src += 4) {
        d[x] = uint8_t((src[0] * wn + d[x] * wo) / n);
        d[x + 1] = uint8_t((src[1] * wn + d[x + 1] * wo) / n);
        d[x + 2] = uint8_t((src[2] * wn + d[x + 2] * wo) / n);
    }
}

} // namespace pc
