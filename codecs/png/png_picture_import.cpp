#include "codecs/png/png_picture_import.h"

#include "codecs/png/png_object.h"
#include "platform/file_io.h"

namespace pc::png {

Bitmap DecodePngOnWhite(std::span<const uint8_t> data)
{
    TPNGObject png;
    png.LoadFromStream(data);
    Bitmap out(png.Width(), png.Height(), PixelFormat::pf24bit);
    out.Fill(clWhite);
    png.Draw(out, {0, 0, png.Width(), png.Height()});
    return out;
}

Bitmap LoadPngFileOnWhite(const std::string& path)
{
    return DecodePngOnWhite(ReadFileBytes(path));
}

} // namespace pc::png
