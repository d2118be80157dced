#include "scene/pages/material_values.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "scene/pages/trackbar_values.h"

namespace pc {

namespace fs = std::filesystem;

std::array<int, kMaterialBars> MaterialPositions(const C3DS::tMaterialInfo& m)
{
    return {PositionFromTextureRepeat(m.uTile), PositionFromTextureRepeat(m.vTile),
            PositionFromTextureOffset(m.uOffset), PositionFromTextureOffset(m.vOffset), PositionFromAlpha(m.alpha)};
}

void ApplyMaterialPosition(C3DS::tMaterialInfo& m, int tag, int position)
{
    switch (tag) {
    case 0: m.uTile = float(TextureRepeatFromPosition(position)); break;
    case 1: m.vTile = float(TextureRepeatFromPosition(position)); break;
    case 2: m.uOffset = float(TextureOffsetFromPosition(position)); break;
    case 3: m.vOffset = float(TextureOffsetFromPosition(position)); break;
    case 4: m.alpha = AlphaFromPosition(position); break;
    default: break;
    }
}

namespace {

bool SameNoCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Walks relative below base one part at a time, taking an exact match or
// else the first entry whose name differs only in case.
std::string FindNoCase(const fs::path& base, const fs::path& relative)
{
    std::error_code ec;
    fs::path at = base;
    for (const fs::path& part : relative) {
        std::string name = part.string();
        if (name.empty() || name == ".")
            continue;
        if (fs::exists(at / part, ec)) {
            at /= part;
            continue;
        }
        fs::path found;
        for (fs::directory_iterator it(at, ec), end; !ec && it != end; it.increment(ec))
            if (SameNoCase(it->path().filename().string(), name)) {
                found = it->path();
                break;
            }
        if (found.empty())
            return "";
        at = found;
    }
    return fs::is_regular_file(at, ec) ? at.string() : "";
}

} // namespace

std::string ResolveMapFile(const std::string& mapFile, const std::string& modelFolder)
{
    if (mapFile.empty())
        return "";
    std::string name = mapFile;
    std::replace(name.begin(), name.end(), '\\', '/');
    fs::path p(name);
    std::error_code ec;
    if (p.is_absolute())
        return fs::is_regular_file(p, ec) ? name : FindNoCase("/", p.relative_path());
    for (const fs::path& base : {fs::path(modelFolder.empty() ? "." : modelFolder), fs::current_path(ec)}) {
        if (base.empty())
            continue;
        std::string found = FindNoCase(base, p);
        if (!found.empty())
            return found;
    }
    return "";
}

} // namespace pc
