#pragma once
// Picture-file converters: each loads one kind of picture file and saves it
// as a BMP file. All save 24 bits but BmpToBmpFile, which keeps the loaded
// picture's own depth. A picture larger than maxSide (0: no bound) on a side
// is shrunk to fit it as it is read (a BMP then comes out at 24 bits too).
// Errors are thrown with the reader's reason; the destination is then not
// written.
#include <string>

#include "scene/pictures/picture_bounds.h"

namespace pc {

void BmpToBmpFile(const std::string& source, const std::string& destination, int maxSide = kScenePictureSide);
void JpegToBmpFile(const std::string& source, const std::string& destination, int maxSide = kScenePictureSide);
void PngToBmpFile(const std::string& source, const std::string& destination, int maxSide = kScenePictureSide);
void TgaToBmpFile(const std::string& source, const std::string& destination);
void MetafileToBmpFile(const std::string& source, const std::string& destination);
void IconToBmpFile(const std::string& source, const std::string& destination, int maxSide = kScenePictureSide);

// Picks the converter by the file's content: the signature of a BMP, JPEG,
// PNG, WMF, EMF, ICO or CUR file, whatever its extension. A file without one
// (a TGA) goes by its extension, case-insensitively: .JPG and .JPEG, .PNG,
// .TGA, .WMF and .EMF, .ICO and .CUR, anything else as BMP. A GIF, by
// signature or by name, is refused with kGifIsNotReadText. A file that looks
// like a TGA is read as one only under a .tga name, as a guess may be wrong;
// under another it is refused with kMisnamedTgaText.
inline constexpr const char* kGifIsNotReadText =
    "GIF files are not read as pictures: save the picture as PNG or BMP and load that.";
inline constexpr const char* kMisnamedTgaText =
    "The file holds a TGA picture, but its name does not end in .tga: rename it to load it.";
void ConvertPictureFile(const std::string& source, const std::string& destination);

} // namespace pc
