#include "scene/pictures/picture_converters.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <initializer_list>
#include <span>

#include "platform/bmp_file.h"
#include "platform/file_io.h"
#include "platform/jpeg_file.h"
#include "scene/pictures/icon_reader.h"
#include "scene/pictures/metafile_player.h"
#include "scene/pictures/picture_bounds.h"
#include "scene/pictures/picture_png.h"
#include "scene/pictures/tga_reader.h"

namespace pc {

namespace {

enum class PictureKind { Unknown, Bmp, Jpeg, Png, Tga, Metafile, Icon };

PictureKind KindOfExtension(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    if (ext == ".JPG" || ext == ".JPEG")
        return PictureKind::Jpeg;
    if (ext == ".PNG")
        return PictureKind::Png;
    if (ext == ".TGA")
        return PictureKind::Tga;
    if (ext == ".WMF" || ext == ".EMF")
        return PictureKind::Metafile;
    if (ext == ".ICO" || ext == ".CUR")
        return PictureKind::Icon;
    return PictureKind::Bmp;
}

// The kind the file's first bytes name, if any.
PictureKind KindOfContent(const std::string& path)
{
    const FileReader file(path);
    std::array<uint8_t, 44> head{};
    const size_t n = size_t(std::min<int64_t>(file.Size(), int64_t(head.size())));
    file.ReadAt(0, std::span(head.data(), n));
    const auto starts = [&](std::initializer_list<uint8_t> signature) {
        return n >= signature.size() && std::equal(signature.begin(), signature.end(), head.begin());
    };
    if (starts({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}))
        return PictureKind::Png;
    if (starts({0xFF, 0xD8, 0xFF}))
        return PictureKind::Jpeg;
    if (starts({'B', 'M'}))
        return PictureKind::Bmp;
    // A placeable or a plain WMF header (in memory or on disk, version 1 or
    // 3), or an EMF header record with its signature.
    const bool wmf = starts({0xD7, 0xCD, 0xC6, 0x9A}) ||
                     ((starts({1, 0, 9, 0, 0}) || starts({2, 0, 9, 0, 0})) && (head[5] == 1 || head[5] == 3));
    const bool emf = starts({1, 0, 0, 0}) && n == head.size() && head[40] == ' ' && head[41] == 'E' &&
                     head[42] == 'M' && head[43] == 'F';
    if (wmf || emf)
        return PictureKind::Metafile;
    if (starts({0, 0, 1, 0}) || starts({0, 0, 2, 0}))
        return PictureKind::Icon;
    return PictureKind::Unknown;
}

} // namespace

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
    const PictureKind named = KindOfExtension(source);
    PictureKind kind = KindOfContent(source);
    // A TGA has no signature, and an uncompressed one begins as a cursor does.
    if (kind == PictureKind::Unknown || (kind == PictureKind::Icon && named == PictureKind::Tga))
        kind = named;
    switch (kind) {
    case PictureKind::Jpeg: JpegToBmpFile(source, destination); break;
    case PictureKind::Png: PngToBmpFile(source, destination); break;
    case PictureKind::Tga: TgaToBmpFile(source, destination); break;
    case PictureKind::Metafile: MetafileToBmpFile(source, destination); break;
    case PictureKind::Icon: IconToBmpFile(source, destination); break;
    case PictureKind::Bmp:
    case PictureKind::Unknown: BmpToBmpFile(source, destination); break;
    }
}

} // namespace pc
