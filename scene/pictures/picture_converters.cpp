#include "scene/pictures/picture_converters.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/jpeg_file.h"
#include "scene/pictures/icon_reader.h"
#include "scene/pictures/metafile_player.h"
#include "scene/pictures/picture_png.h"
#include "scene/pictures/tga_reader.h"

namespace pc {

void BmpToBmpFile(const std::string& source, const std::string& destination)
{
    SaveBmpFile(destination, LoadBmpFile(source));
}

void JpegToBmpFile(const std::string& source, const std::string& destination)
{
    SaveBmpFile(destination, LoadJpegFile(source));
}

void PngToBmpFile(const std::string& source, const std::string& destination)
{
    SaveBmpFile(destination, ReadPngOnWhite(ReadFileBytes(source)));
}

bool TgaToBmpFile(const std::string& source, const std::string& destination)
{
    Bitmap bmp;
    try {
        bmp = ReadTga(ReadFileBytes(source));
    } catch (const BadInput&) {
        return false;
    } catch (const FileError&) {
        return false;
    }
    SaveBmpFile(destination, bmp);
    return true;
}

void MetafileToBmpFile(const std::string& source, const std::string& destination)
{
    Bitmap bmp = PlayMetafile(ReadFileBytes(source));
    bmp.SetPixelFormat(PixelFormat::pf24bit);
    SaveBmpFile(destination, bmp);
}

void IconToBmpFile(const std::string& source, const std::string& destination)
{
    SaveBmpFile(destination, ReadIcon(ReadFileBytes(source)));
}

bool ConvertPictureFile(const std::string& source, const std::string& destination)
{
    std::string ext = std::filesystem::path(source).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    if (ext == ".JPG" || ext == ".JPEG")
        JpegToBmpFile(source, destination);
    else if (ext == ".PNG")
        PngToBmpFile(source, destination);
    else if (ext == ".TGA")
        return TgaToBmpFile(source, destination);
    else if (ext == ".WMF" || ext == ".EMF")
        MetafileToBmpFile(source, destination);
    else if (ext == ".ICO" || ext == ".CUR")
        IconToBmpFile(source, destination);
    else
        BmpToBmpFile(source, destination);
    return true;
}

} // namespace pc
