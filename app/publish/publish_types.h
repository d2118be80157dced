#pragma once
// The five kinds of published picture and the file-name rules between them.
#include <string>

namespace pc {

// The save dialog's filter index.
enum class PublishType { Jpeg = 1, Png24 = 2, PngCustom = 3, Gif = 4, Bmp = 5 };

struct PublishTarget {
    std::string fileName;
    PublishType type;
};

// The extension decides the type (".png" keeps a PNG type, else "PNG-Customize");
// any other or no extension is replaced by the type's own.
PublishTarget FixPublishExtension(const std::string& fileName, PublishType chosen);

// Types whose transparent background is carried into the file.
inline bool KeepsTransparency(PublishType t)
{
    return t == PublishType::Png24 || t == PublishType::PngCustom || t == PublishType::Gif;
}

} // namespace pc
