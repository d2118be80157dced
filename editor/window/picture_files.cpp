#include "editor/window/picture_files.h"

#include <algorithm>
#include <cctype>

#include "codecs/png/png_object.h"
#include "platform/bitmap_reducer.h"
#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/jpeg_file.h"
#include "scene/pictures/picture_converters.h"

namespace pc::editor {

namespace {

constexpr int kJpegQuality = 100;
// The converters' side bound that keeps every pixel.
constexpr int kWholePicture = 0;

// Position of the extension's dot in the last path component, or npos.
size_t ExtensionDot(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string::npos;
    return dot;
}

void ConvertToWorkFile(PictureKind kind, const std::string& path, const std::string& workBitmap)
{
    switch (kind) {
    case PictureKind::Bmp:
        BmpToBmpFile(path, workBitmap, kWholePicture);
        break;
    case PictureKind::Jpeg:
        JpegToBmpFile(path, workBitmap, kWholePicture);
        break;
    case PictureKind::Png:
        PngToBmpFile(path, workBitmap, kWholePicture);
        break;
    case PictureKind::Metafile:
        MetafileToBmpFile(path, workBitmap);
        break;
    case PictureKind::Icon:
        IconToBmpFile(path, workBitmap, kWholePicture);
        break;
    case PictureKind::Unknown:
        break;
    }
}

} // namespace

PictureKind PictureKindOf(const std::string& path)
{
    const size_t dot = ExtensionDot(path);
    if (dot == std::string::npos)
        return PictureKind::Unknown;
    std::string ext = path.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    if (ext == ".BMP")
        return PictureKind::Bmp;
    if (ext == ".JPG" || ext == ".JPEG")
        return PictureKind::Jpeg;
    if (ext == ".PNG")
        return PictureKind::Png;
    if (ext == ".WMF" || ext == ".EMF")
        return PictureKind::Metafile;
    if (ext == ".ICO" || ext == ".CUR")
        return PictureKind::Icon;
    return PictureKind::Unknown;
}

Bitmap LoadEditorPicture(const std::string& path, const std::string& workBitmap)
{
    const PictureKind kind = PictureKindOf(path);
    if (kind == PictureKind::Unknown)
        throw Error("Cannot open " + path + ": not a BMP, JPEG, PNG, WMF, EMF, ICO or CUR picture.");
    try {
        ConvertToWorkFile(kind, path, workBitmap);
    } catch (const FileError&) {
        throw; // names the file itself
    } catch (const Error& e) {
        // The reader's reason alone ("truncated") does not say which file.
        throw Error("Cannot open " + path + ": " + e.what());
    }
    Bitmap picture = LoadBmpFile(workBitmap);
    picture.SetPixelFormat(PixelFormat::pf24bit);
    return picture;
}

Bitmap ShrinkToFit(const Bitmap& picture, int maxSide)
{
    const PictureSize fit = FitInside(picture.Width(), picture.Height(), maxSide);
    if (fit.width == picture.Width() && fit.height == picture.Height())
        return picture;
    Bitmap converted;
    const Bitmap* rows = &picture;
    if (picture.Format() != PixelFormat::pf24bit) {
        converted = picture;
        converted.SetPixelFormat(PixelFormat::pf24bit);
        rows = &converted;
    }
    RowReducer reducer(rows->Width(), rows->Height(), fit, false);
    for (int y = 0; y < rows->Height(); ++y)
        reducer.PutRow(rows->ScanLine(y));
    return reducer.Take();
}

std::string ChangeFileExt(const std::string& name, const std::string& ext)
{
    const size_t dot = ExtensionDot(name);
    return (dot == std::string::npos ? name : name.substr(0, dot)) + ext;
}

std::string SaveEditorPicture(const Bitmap& picture, const std::string& name, int filterIndex)
{
    Bitmap copy = picture;
    copy.SetPixelFormat(PixelFormat::pf24bit);
    if (filterIndex == kSaveJpeg) {
        const std::string path = ChangeFileExt(name, ".jpg");
        SaveJpegFile(path, copy, kJpegQuality);
        return path;
    }
    if (filterIndex == kSavePng) {
        const std::string path = ChangeFileExt(name, ".png");
        png::TPNGObject png;
        png.AssignBitmap(copy);
        png.SaveToFile(path);
        return path;
    }
    const std::string path = ChangeFileExt(name, ".bmp");
    SaveBmpFile(path, copy);
    return path;
}

} // namespace pc::editor
