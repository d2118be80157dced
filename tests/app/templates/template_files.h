#pragma once
// Template folders for the browser tests: project files (the browser never
// reads them) with previews in a solid colour.
#include <fstream>
#include <string>

#include "codecs/png/png_object.h"
#include "platform/bitmap.h"
#include "platform/bmp_file.h"

namespace pc::test {

inline void WriteTemplate(const std::string& path)
{
    std::ofstream(path, std::ios::binary) << "not read by the browser";
}

inline Bitmap Solid(int width, int height, TColor colour)
{
    Bitmap b(width, height);
    b.Fill(colour);
    return b;
}

inline void WriteBmpPreview(const std::string& path, int width, int height, TColor colour)
{
    SaveBmpFile(path, Solid(width, height, colour));
}

inline void WritePngPreview(const std::string& path, int width, int height, TColor colour)
{
    png::TPNGObject png;
    png.AssignBitmap(Solid(width, height, colour));
    png.SaveToFile(path);
}

} // namespace pc::test
