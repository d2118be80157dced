#include "scene/pictures/picture_kind.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <initializer_list>

#include "platform/file_io.h"

namespace pc {

namespace {

// A TGA has no signature; a header without colour map, of a true-colour or
// grey picture (plain or run-length coded), with a size and a usual depth is
// taken for one.
bool IsTgaHeader(std::span<const uint8_t> h)
{
    if (h.size() < 18 || h[1] != 0 || (h[2] != 2 && h[2] != 3 && h[2] != 10 && h[2] != 11))
        return false;
    const bool noMap = h[3] == 0 && h[4] == 0 && h[5] == 0 && h[6] == 0 && h[7] == 0;
    const bool sized = (h[12] | h[13]) != 0 && (h[14] | h[15]) != 0;
    return noMap && sized && (h[16] == 8 || h[16] == 15 || h[16] == 16 || h[16] == 24 || h[16] == 32);
}

PictureKind KindOfContent(std::span<const uint8_t> head)
{
    const auto starts = [&](std::initializer_list<uint8_t> signature) {
        return head.size() >= signature.size() && std::equal(signature.begin(), signature.end(), head.begin());
    };
    if (starts({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}))
        return PictureKind::Png;
    if (starts({0xFF, 0xD8, 0xFF}))
        return PictureKind::Jpeg;
    if (starts({'B', 'M'}))
        return PictureKind::Bmp;
    // A placeable or a plain WMF header (in memory or on disk, version 1 or
    // 3), or an EMF header record with its signature.
    const bool wmf = starts({0xD7, 0xCD, 0xC6, 0x9A}) ||
                     ((starts({1, 0, 9, 0, 0}) || starts({2, 0, 9, 0, 0})) && (head[5] == 1 || head[5] == 3));
    const bool emf = starts({1, 0, 0, 0}) && head.size() >= kPictureSignatureBytes && head[40] == ' ' &&
                     head[41] == 'E' && head[42] == 'M' && head[43] == 'F';
    if (wmf || emf)
        return PictureKind::Metafile;
    // An icon or cursor directory that lists images: one that lists none is
    // no icon, and an uncompressed true-colour TGA begins like it.
    if ((starts({0, 0, 1, 0}) || starts({0, 0, 2, 0})) && head.size() >= 6 && (head[4] | head[5]) != 0)
        return PictureKind::Icon;
    if (starts({'G', 'I', 'F', '8', '7', 'a'}) || starts({'G', 'I', 'F', '8', '9', 'a'}))
        return PictureKind::Gif;
    if (IsTgaHeader(head))
        return PictureKind::Tga;
    return PictureKind::Unknown;
}

} // namespace

PictureKind PictureKindOfName(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    if (ext == ".BMP")
        return PictureKind::Bmp;
    if (ext == ".JPG" || ext == ".JPEG")
        return PictureKind::Jpeg;
    if (ext == ".PNG")
        return PictureKind::Png;
    if (ext == ".TGA")
        return PictureKind::Tga;
    if (ext == ".WMF" || ext == ".EMF")
        return PictureKind::Metafile;
    if (ext == ".ICO" || ext == ".CUR")
        return PictureKind::Icon;
    if (ext == ".GIF")
        return PictureKind::Gif;
    return PictureKind::Unknown;
}

PictureKind PictureKindOf(const std::string& path, std::span<const uint8_t> head)
{
    const PictureKind named = PictureKindOfName(path);
    const PictureKind found = KindOfContent(head);
    if (found == PictureKind::Unknown || (found == PictureKind::Icon && named == PictureKind::Tga))
        return named;
    return found;
}

PictureKind PictureKindOfFile(const std::string& path)
{
    const FileReader file(path);
    std::array<uint8_t, kPictureSignatureBytes> head{};
    const size_t n = size_t(std::min<int64_t>(file.Size(), int64_t(head.size())));
    file.ReadAt(0, std::span(head.data(), n));
    return PictureKindOf(path, std::span(head.data(), n));
}

} // namespace pc
