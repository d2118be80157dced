#pragma once
// The picture files the editor opens and saves. Opening converts the file
// into a 24-bit BMP work file ("temp.bmp" in the work folder) and loads
// that; saving writes JPEG (quality 100), PNG or BMP by the save dialog's
// filter index, always through a temporary file.
#include <string>

#include "platform/bitmap.h"

namespace pc::editor {

// The kinds of file the editor opens, by upper-cased extension.
enum class PictureKind { Unknown, Bmp, Jpeg, Png, Metafile, Icon };
PictureKind PictureKindOf(const std::string& path);

// Converts path into workBitmap and returns it as a 24-bit picture at its
// own size (a metafile at most kScenePictureSide on a side). Throws Error
// for a kind outside the table and whatever the converter throws; on
// failure the work file is left as it was.
Bitmap LoadEditorPicture(const std::string& path, const std::string& workBitmap);
// picture itself when it fits in maxSide on both sides, else a 24-bit copy
// shrunk to fit, each pixel the mean of those it covers.
Bitmap ShrinkToFit(const Bitmap& picture, int maxSide);

// The save dialog's filter: 1 JPEG, 2 BMP, 3 PNG.
enum SaveFilter { kSaveJpeg = 1, kSaveBmp = 2, kSavePng = 3 };
inline constexpr const char* kSaveFilters = "JPEG|*.jpg;*jpeg|BMP|*.bmp|PNG|*.png";

// name with its extension replaced by (or given) ext, e.g. ".jpg".
std::string ChangeFileExt(const std::string& name, const std::string& ext);
// Writes picture by filter index (any other index writes BMP) to name with
// the type's extension; returns the path written.
std::string SaveEditorPicture(const Bitmap& picture, const std::string& name, int filterIndex);

} // namespace pc::editor
