#include "scene/pictures/picture_bytes.h"

#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "scene/pictures/tga_reader.h"

namespace pc {

std::vector<uint8_t> ReadPictureBytes(const std::string& path, PictureKind kind)
{
    switch (kind) {
    case PictureKind::Bmp:
        return ReadBmpFileBytes(path);
    case PictureKind::Tga:
        return ReadFileStart(path, kTgaHeaderBytes,
                             [](std::span<const uint8_t> head, int64_t) { return TgaBytesNeeded(head); });
    default:
        return ReadFileBytes(path, kPictureFileBytes);
    }
}

} // namespace pc
