#include "giflib_reference.h"

#include <gif_lib.h>

#include <cstring>
#include <stdexcept>

#include "codecs/gif/gif_interlace.h"

namespace pc::gif::test {

namespace {

struct MemIn {
    const std::vector<uint8_t>* data;
    size_t pos = 0;
};

int ReadMem(GifFileType* gif, GifByteType* buf, int n)
{
    auto* in = static_cast<MemIn*>(gif->UserData);
    size_t k = std::min(size_t(n), in->data->size() - in->pos);
    std::memcpy(buf, in->data->data() + in->pos, k);
    in->pos += k;
    return int(k);
}

int WriteMem(GifFileType* gif, const GifByteType* buf, int n)
{
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), buf, buf + n);
    return n;
}

std::vector<uint8_t> MapBytes(const ColorMapObject* map)
{
    std::vector<uint8_t> v;
    if (!map)
        return v;
    for (int i = 0; i < map->ColorCount; ++i) {
        v.push_back(map->Colors[i].Red);
        v.push_back(map->Colors[i].Green);
        v.push_back(map->Colors[i].Blue);
    }
    return v;
}

void FindLoop(const ExtensionBlock* blocks, int count, int& loop)
{
    for (int i = 0; i + 1 < count; ++i) {
        const auto& b = blocks[i];
        if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
            (std::memcmp(b.Bytes, "NETSCAPE2.0", 11) == 0 || std::memcmp(b.Bytes, "ANIMEXTS1.0", 11) == 0)) {
            const auto& d = blocks[i + 1];
            if (d.Function == CONTINUE_EXT_FUNC_CODE && d.ByteCount >= 3 && (d.Bytes[0] & 7) == 1)
                loop = d.Bytes[1] | d.Bytes[2] << 8;
        }
    }
}

} // namespace

RefGif GiflibDecode(const std::vector<uint8_t>& file)
{
    RefGif ref;
    MemIn in{&file};
    int err = 0;
    GifFileType* gif = DGifOpen(&in, ReadMem, &err);
    if (!gif)
        return ref;
    if (DGifSlurp(gif) == GIF_OK) {
        ref.ok = true;
        ref.width = gif->SWidth;
        ref.height = gif->SHeight;
        ref.background = gif->SBackGroundColor;
        ref.globalMap = MapBytes(gif->SColorMap);
        FindLoop(gif->ExtensionBlocks, gif->ExtensionBlockCount, ref.loopCount);
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& s = gif->SavedImages[i];
            RefFrame f;
            f.left = s.ImageDesc.Left;
            f.top = s.ImageDesc.Top;
            f.width = s.ImageDesc.Width;
            f.height = s.ImageDesc.Height;
            f.interlaced = s.ImageDesc.Interlace;
            f.localMap = MapBytes(s.ImageDesc.ColorMap);
            f.pixels.assign(s.RasterBits, s.RasterBits + size_t(f.width) * size_t(f.height));
            GraphicsControlBlock gcb;
            if (DGifSavedExtensionToGCB(gif, i, &gcb) == GIF_OK) {
                for (int k = 0; k < s.ExtensionBlockCount; ++k)
                    f.hasGce = f.hasGce || s.ExtensionBlocks[k].Function == GRAPHICS_EXT_FUNC_CODE;
                f.transparent = gcb.TransparentColor;
                f.delay = gcb.DelayTime;
                f.disposal = gcb.DisposalMode;
            }
            FindLoop(s.ExtensionBlocks, s.ExtensionBlockCount, ref.loopCount);
            ref.frames.push_back(std::move(f));
        }
    }
    DGifCloseFile(gif, &err);
    return ref;
}

namespace {

ColorMapObject* MakeMap(const std::vector<uint8_t>& rgb)
{
    if (rgb.empty())
        return nullptr;
    int size = 2;
    while (size_t(size) * 3 < rgb.size())
        size *= 2;
    ColorMapObject* map = GifMakeMapObject(size, nullptr);
    for (size_t i = 0; i * 3 < rgb.size(); ++i)
        map->Colors[i] = {rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]};
    return map;
}

} // namespace

std::vector<uint8_t> GiflibEncode(const RefGif& ref)
{
    std::vector<uint8_t> out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, WriteMem, &err);
    if (!gif)
        throw std::runtime_error("EGifOpen failed");
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = MakeMap(ref.globalMap);
    EGifPutScreenDesc(gif, ref.width, ref.height, 8, ref.background, global);
    for (const RefFrame& f : ref.frames) {
        if (f.hasGce) {
            GraphicsControlBlock gcb{f.disposal, false, f.delay, f.transparent};
            GifByteType ext[4];
            EGifGCBToExtension(&gcb, ext);
            EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
        }
        ColorMapObject* local = MakeMap(f.localMap);
        EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, false, local);
        for (int y = 0; y < f.height; ++y)
            EGifPutLine(gif, const_cast<GifPixelType*>(f.pixels.data() + size_t(y) * size_t(f.width)), f.width);
        GifFreeMapObject(local);
    }
    EGifCloseFile(gif, &err);
    GifFreeMapObject(global);
    return out;
}

std::vector<uint8_t> GiflibImageData(const std::vector<uint8_t>& pixels, int width, int height, int codeSize,
                                     bool interlaced)
{
    std::vector<uint8_t> out;
    int err = 0;
    GifFileType* gif = EGifOpen(&out, WriteMem, &err);
    if (!gif)
        throw std::runtime_error("EGifOpen failed");
    const int bits = codeSize < 2 ? 2 : codeSize;
    ColorMapObject* map = GifMakeMapObject(1 << bits, nullptr);
    EGifPutScreenDesc(gif, width, height, bits, 0, map);
    EGifPutImageDesc(gif, 0, 0, width, height, interlaced, nullptr);
    for (int y : RowOrder(height, interlaced))
        EGifPutLine(gif, const_cast<GifPixelType*>(pixels.data() + size_t(y) * size_t(width)), width);
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    // Header 6, screen descriptor 7, global map, image descriptor 10; the trailer last.
    const size_t start = 6 + 7 + 3 * (size_t(1) << bits) + 10;
    return std::vector<uint8_t>(out.begin() + long(start), out.end() - 1);
}

} // namespace pc::gif::test
