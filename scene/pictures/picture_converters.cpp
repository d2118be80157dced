#include "scene/pictures/picture_converters.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/jpeg_file.h"
#include "scene/pictures/icon_reader.h"
#include "scene/pictures/metafile_player.h"
#include "scene/pictures/picture_bounds.h"
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
    SaveBmpFile(destination, ReadPngOnWhite(ReadFileBytes(source), {}, maxSide));
}

void TgaToBmpFile(const std::string& source, const std::string& destination)
{
    SaveBmpFile(destination, ReadTga(ReadFileBytes(source), {}, kScenePictureSide));
}

void MetafileToBmpFile(const std::string& source, const std::string& destination)
{
    SaveBmpFile(destination, PlayMetafile(ReadFileBytes(source), {}, kScenePictureSide));
}

void IconToBmpFile(const std::string& source, const std::string& destination, int maxSide)
{
    SaveBmpFile(destination, ReadIcon(ReadFileBytes(source), {}, maxSide));
}

void ConvertPictureFile(const std::string& source, const std::string& destination)
{
    std::string ext = std::filesystem::path(source).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    if (ext == ".JPG" || ext == ".JPEG")
        JpegToBmpFile(source, destination);
    else if (ext == ".PNG")
        PngToBmpFile(source, destination);
    else if (ext == ".TGA")
        TgaToBmpFile(source, destination);
    else if (ext == ".WMF" || ext == ".EMF")
        MetafileToBmpFile(source, destination);
    else if (ext == ".ICO" || ext == ".CUR")
        IconToBmpFile(source, destination);
    else
        BmpToBmpFile(source, destination);
}

} // namespace pc
