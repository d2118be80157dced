#pragma once
// The picture files the editor opens and saves. Opening judges the size the
// file declares before it decodes anything; saving writes JPEG (quality
// 100), PNG or BMP by the save dialog's filter index, always through a
// temporary file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "scene/pictures/picture_kind.h"

namespace pc::editor {


// A picture file read whole, with the size its header declares.
struct PictureFile {
    std::string path;
    PictureKind kind = PictureKind::Unknown;
    std::vector<uint8_t> bytes;
    // Nothing when the header does not say plainly: the reader then reports
    // what is wrong. Icons and metafiles declare nothing either.
    std::optional<PictureSize> declared;
};
// Opens BMP, JPEG, PNG, WMF, EMF, ICO and CUR files by their content.
// Throws Error for any other kind and for a declared size beyond
// what the picture readers take, FileError when the file cannot be read;
// nothing of the pixels is decoded.
PictureFile ReadPictureFile(const std::string& path);
// The picture at 24 bits, shrunk to fit maxSide while it is decoded, so
// that no full-size copy of a larger one is ever made. Errors name the file.
Bitmap DecodePicture(const PictureFile& file, int maxSide);

// The save dialog's filter: 1 JPEG, 2 BMP, 3 PNG.
enum SaveFilter { kSaveJpeg = 1, kSaveBmp = 2, kSavePng = 3 };
inline constexpr const char* kSaveFilters = "JPEG|*.jpg;*jpeg|BMP|*.bmp|PNG|*.png";

// name with its extension replaced by (or given) ext, e.g. ".jpg".
std::string ChangeFileExt(const std::string& name, const std::string& ext);
// name with the extension of the type the filter index saves.
std::string SavePath(const std::string& name, int filterIndex);
// Writes picture by filter index (any other index writes BMP) to name with
// the type's extension; returns the path written.
std::string SaveEditorPicture(const Bitmap& picture, const std::string& name, int filterIndex);

} // namespace pc::editor
