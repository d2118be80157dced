#include "scene/pictures/picture_converters.h"

#include "platform/bmp_file.h"
#include "platform/jpeg_file.h"
#include "scene/pictures/icon_reader.h"
#include "scene/pictures/metafile_player.h"
#include "scene/pictures/picture_bytes.h"
#include "scene/pictures/picture_bounds.h"
#include "scene/pictures/picture_kind.h"
#include "scene/pictures/picture_png.h"
#include "scene/pictures/tga_reader.h"

namespace pc {

void BmpToBmpFile(const std::string& source, const std::string& destination, int maxSide)
{
    SaveBmpFile(destination, LoadBmpFile(source, {}, maxSide));
}

void JpegToBmpFile(const std::string& source, const std::string& destination, int maxSide)
{
    SaveBmpFile(destination, LoadJpegFile(source, {}, maxSide));
}

void PngToBmpFile(const std::string& source, const std::string& destination, int maxSide)
{
    SaveBmpFile(destination, ReadPngOnWhite(ReadPictureBytes(source, PictureKind::Png), {}, maxSide));
}

void TgaToBmpFile(const std::string& source, const std::string& destination)
{
    SaveBmpFile(destination, ReadTga(ReadPictureBytes(source, PictureKind::Tga), {}, kScenePictureSide));
}

void MetafileToBmpFile(const std::string& source, const std::string& destination)
{
    SaveBmpFile(destination, PlayMetafile(ReadPictureBytes(source, PictureKind::Metafile), {}, kScenePictureSide));
}

void IconToBmpFile(const std::string& source, const std::string& destination, int maxSide)
{
    SaveBmpFile(destination, ReadIcon(ReadPictureBytes(source, PictureKind::Icon), {}, maxSide));
}

void ConvertPictureFile(const std::string& source, const std::string& destination)
{
    switch (PictureKindOfFile(source)) {
    case PictureKind::Jpeg: JpegToBmpFile(source, destination); break;
    case PictureKind::Png: PngToBmpFile(source, destination); break;
    case PictureKind::Tga:
        if (PictureKindOfName(source) != PictureKind::Tga)
            throw BadInput(kMisnamedTgaText);
        TgaToBmpFile(source, destination);
        break;
    case PictureKind::Metafile: MetafileToBmpFile(source, destination); break;
    case PictureKind::Icon: IconToBmpFile(source, destination); break;
    case PictureKind::Gif: throw BadInput(kGifIsNotReadText);
    case PictureKind::Bmp:
    case PictureKind::Unknown: BmpToBmpFile(source, destination); break;
    }
}

} // namespace pc
