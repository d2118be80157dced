#pragma once
// Picture-file converters: each loads one kind of picture file and saves it
// as a BMP file. All but BmpToBmpFile and IconToBmpFile save 24 bits; the BMP
// converter keeps the loaded picture's own depth. Errors are thrown (the
// destination is then not written), except TgaToBmpFile, which returns false.
#include <string>

namespace pc {

void BmpToBmpFile(const std::string& source, const std::string& destination);
void JpegToBmpFile(const std::string& source, const std::string& destination);
void PngToBmpFile(const std::string& source, const std::string& destination);
bool TgaToBmpFile(const std::string& source, const std::string& destination);
void MetafileToBmpFile(const std::string& source, const std::string& destination);
void IconToBmpFile(const std::string& source, const std::string& destination);

// Picks the converter by the file's extension, case-insensitively: .JPG and
// .JPEG, .PNG, .TGA, .WMF and .EMF, .ICO and .CUR, anything else as BMP.
// False when the converter refused without an error (TGA).
bool ConvertPictureFile(const std::string& source, const std::string& destination);

} // namespace pc
