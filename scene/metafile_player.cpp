#include "scene/metafile_player.h"

#include "platform/errors.h"

namespace pc {

Bitmap PlayMetafile(std::span<const uint8_t>, const PictureLimits&)
{
    throw BadInput("Metafiles are not supported in this version");
}

} // namespace pc
