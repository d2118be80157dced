#include "app/publish/publish_types.h"

#include <algorithm>
#include <cctype>

namespace pc {

namespace {

// Position of the extension's dot in the file part, or npos.
size_t ExtensionDot(const std::string& name)
{
    size_t slash = name.find_last_of('/');
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string::npos;
    return dot;
}

const char* OwnExtension(PublishType t)
{
    switch (t) {
    case PublishType::Jpeg: return ".jpg";
    case PublishType::Png24:
    case PublishType::PngCustom: return ".png";
    case PublishType::Gif: return ".gif";
    case PublishType::Bmp: return ".bmp";
    }
    return ".bmp";
}

} // namespace

PublishTarget FixPublishExtension(const std::string& fileName, PublishType chosen)
{
    size_t dot = ExtensionDot(fileName);
    std::string ext = dot == std::string::npos ? "" : fileName.substr(dot);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (ext == ".jpg")
        return {fileName, PublishType::Jpeg};
    if (ext == ".bmp")
        return {fileName, PublishType::Bmp};
    if (ext == ".gif")
        return {fileName, PublishType::Gif};
    if (ext == ".png")
        return {fileName, chosen == PublishType::Png24 || chosen == PublishType::PngCustom ? chosen : PublishType::PngCustom};
    std::string base = dot == std::string::npos ? fileName : fileName.substr(0, dot);
    return {base + OwnExtension(chosen), chosen};
}

} // namespace pc
