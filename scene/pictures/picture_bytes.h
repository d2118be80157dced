#pragma once
// The bytes of a picture file, judged before they are read: a BMP or TGA by
// the rows its header declares, any other kind by its size against
// kPictureFileBytes. A huge file is never read to find its header wrong.
#include <cstdint>
#include <string>
#include <vector>

#include "scene/pictures/picture_kind.h"

namespace pc {

// Throws FileError when the file cannot be read or is too large for its
// kind, BadInput when a BMP's headers are broken or declare too large a picture.
std::vector<uint8_t> ReadPictureBytes(const std::string& path, PictureKind kind);

} // namespace pc
