#include "scene/picture_png.h"

#include "platform/errors.h"

namespace pc {

Bitmap ReadPngOnWhite(std::span<const uint8_t>)
{
    throw BadInput("PNG pictures are not supported in this version");
}

} // namespace pc
