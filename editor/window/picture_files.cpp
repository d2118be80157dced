#include "editor/window/picture_files.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "codecs/png/png_object.h"
#include "platform/bmp_file.h"
#include "platform/byte_reader.h"
#include "platform/errors.h"
#include "platform/file_io.h"
#include "platform/jpeg_file.h"
#include "scene/pictures/icon_reader.h"
#include "scene/pictures/metafile_player.h"
#include "scene/pictures/picture_bytes.h"
#include "scene/pictures/picture_png.h"

namespace pc::editor {

namespace {

constexpr int kJpegQuality = 100;
constexpr const char* kNotAPicture = "not a BMP, JPEG, PNG, WMF, EMF, ICO or CUR picture.";

// Position of the extension's dot in the last path component, or npos.
size_t ExtensionDot(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::string::npos;
    return dot;
}

PictureSize BmpSize(std::span<const uint8_t> d)
{
    const BmpInfo info = ReadBmpInfo(d);
    return {int(std::clamp<int64_t>(info.width, 0, INT32_MAX)), int(std::clamp<int64_t>(info.height, 0, INT32_MAX))};
}

PictureSize PngSize(std::span<const uint8_t> d)
{
    static constexpr uint8_t kStart[16] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    ByteReader r(d);
    if (std::memcmp(r.take(sizeof kStart).data(), kStart, sizeof kStart) != 0)
        throw BadInput("not a PNG header");
    const uint32_t width = r.u32be(), height = r.u32be();
    return {int(std::min<uint32_t>(width, INT32_MAX)), int(std::min<uint32_t>(height, INT32_MAX))};
}

// The frame header (SOF0 to SOF15 but DHT, JPG and DAC) gives the height,
// then the width, after the sample precision.
PictureSize JpegSize(std::span<const uint8_t> d)
{
    ByteReader r(d);
    if (r.u8() != 0xFF || r.u8() != 0xD8)
        throw BadInput("not a JPEG header");
    for (;;) {
        if (r.u8() != 0xFF)
            throw BadInput("no JPEG marker");
        uint8_t marker = r.u8();
        while (marker == 0xFF)
            marker = r.u8();
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // no length follows
        const uint16_t length = r.u16be();
        if (length < 2)
            throw BadInput("bad JPEG segment");
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            r.u8();
            const uint16_t height = r.u16be();
            return {r.u16be(), height};
        }
        r.skip(length - 2);
    }
}

std::optional<PictureSize> DeclaredSize(PictureKind kind, std::span<const uint8_t> d)
{
    try {
        switch (kind) {
        case PictureKind::Bmp:
            return BmpSize(d);
        case PictureKind::Png:
            return PngSize(d);
        case PictureKind::Jpeg:
            return JpegSize(d);
        default:
            return std::nullopt;
        }
    } catch (const BadInput&) {
        return std::nullopt;
    }
}

Bitmap Decode(const PictureFile& f, int maxSide)
{
    switch (f.kind) {
    case PictureKind::Bmp:
        return ReadBmp(f.bytes, {}, maxSide);
    case PictureKind::Jpeg:
        return ReadJpeg(f.bytes, {}, maxSide);
    case PictureKind::Png:
        return ReadPngOnWhite(f.bytes, {}, maxSide);
    case PictureKind::Metafile:
        return PlayMetafile(f.bytes, {}, maxSide);
    case PictureKind::Icon:
        return ReadIcon(f.bytes, {}, maxSide);
    case PictureKind::Tga:
    case PictureKind::Gif:
    case PictureKind::Unknown:
        break;
    }
    throw Error(kNotAPicture);
}

// Runs a step of opening path: a reader's reason alone ("truncated") does
// not say which file.
template <class F>
auto NamingTheFile(const std::string& path, F&& step)
{
    try {
        return step();
    } catch (const FileError&) {
        throw; // names the file itself
    } catch (const Error& e) {
        throw Error("Cannot open " + path + ": " + e.what());
    }
}

} // namespace

PictureFile ReadPictureFile(const std::string& path)
{
    PictureFile f{path, PictureKindOfFile(path), {}, std::nullopt};
    if (f.kind == PictureKind::Unknown || f.kind == PictureKind::Tga || f.kind == PictureKind::Gif)
        throw Error("Cannot open " + path + ": " + kNotAPicture);
    f.bytes = NamingTheFile(path, [&] { return ReadPictureBytes(path, f.kind); });
    f.declared = DeclaredSize(f.kind, f.bytes);
    // The limits every picture reader keeps, judged before any pixel is made.
    if (f.declared)
        NamingTheFile(path, [&] { CheckPictureSize(f.declared->width, f.declared->height); });
    return f;
}

Bitmap DecodePicture(const PictureFile& file, int maxSide)
{
    Bitmap picture = NamingTheFile(file.path, [&] { return Decode(file, maxSide); });
    picture.SetPixelFormat(PixelFormat::pf24bit);
    return picture;
}

std::string ChangeFileExt(const std::string& name, const std::string& ext)
{
    const size_t dot = ExtensionDot(name);
    return (dot == std::string::npos ? name : name.substr(0, dot)) + ext;
}

std::string SavePath(const std::string& name, int filterIndex)
{
    return ChangeFileExt(name, filterIndex == kSaveJpeg ? ".jpg" : filterIndex == kSavePng ? ".png" : ".bmp");
}

std::string SaveEditorPicture(const Bitmap& picture, const std::string& name, int filterIndex)
{
    Bitmap copy = picture;
    copy.SetPixelFormat(PixelFormat::pf24bit);
    const std::string path = SavePath(name, filterIndex);
    if (filterIndex == kSaveJpeg) {
        SaveJpegFile(path, copy, kJpegQuality);
    } else if (filterIndex == kSavePng) {
        png::TPNGObject png;
        png.AssignBitmap(copy);
        png.SaveToFile(path);
    } else {
        SaveBmpFile(path, copy);
    }
    return path;
}

} // namespace pc::editor
