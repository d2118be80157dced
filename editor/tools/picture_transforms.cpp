#include "editor/tools/picture_transforms.h"

#include <algorithm>

#include "platform/errors.h"

namespace pc::editor {

namespace {

void Need24(const Bitmap& b)
{
    if (b.Format() != PixelFormat::pf24bit)
        throw Error("Turning and mirroring work on 24-bit pictures");
}

} // namespace

Bitmap RotateClockwise(const Bitmap& picture)
{
    Need24(picture);
    const int w = picture.Width(), h = picture.Height();
    Bitmap out(h, w);
    for (int y = 0; y < w; ++y) {
        uint8_t* row = out.ScanLine(y);
        for (int x = 0; x < h; ++x)
            std::copy_n(picture.ScanLine(h - 1 - x) + y * 3, 3, row + x * 3);
    }
    return out;
}

Bitmap FlipHorizontal(const Bitmap& picture)
{
    Need24(picture);
    const int w = picture.Width();
    Bitmap out(w, picture.Height());
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* in = picture.ScanLine(y);
        uint8_t* row = out.ScanLine(y);
        for (int x = 0; x < w; ++x)
            std::copy_n(in + (w - 1 - x) * 3, 3, row + x * 3);
    }
    return out;
}

Bitmap FlipVertical(const Bitmap& picture)
{
    Need24(picture);
    Bitmap out(picture.Width(), picture.Height());
    for (int y = 0; y < picture.Height(); ++y)
        std::copy_n(picture.ScanLine(picture.Height() - 1 - y), size_t(picture.Width()) * 3, out.ScanLine(y));
    return out;
}

} // namespace pc::editor
