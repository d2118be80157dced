#include "scene/pictures/picture_png.h"

#include "codecs/png/png_object.h"

namespace pc {

Bitmap ReadPngOnWhite(std::span<const uint8_t> data, const PictureLimits& limits)
{
    png::TPNGObject picture;
    picture.Limits = limits;
    picture.LoadFromStream(data);
    Bitmap out(picture.Width(), picture.Height(), PixelFormat::pf24bit);
    out.Fill(clWhite);
    picture.Draw(out, png::Rect{0, 0, picture.Width(), picture.Height()});
    return out;
}

} // namespace pc
