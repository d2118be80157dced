#include "codecs/gif/color_reduction.h"

#include <memory>

#include "codecs/gif/color_dib.h"
#include "codecs/gif/color_lookup.h"
#include "codecs/gif/color_palettes.h"
#include "codecs/gif/gif_errors.h"
#include "codecs/gif/octree_quantizer.h"
#include "codecs/gif/web_palette.h"

namespace pc::gif {

namespace {

std::vector<RGBQuad> PaletteFor(TColorReduction reduction, const Bitmap& source, int reductionBits,
                                const std::vector<RGBQuad>& customPalette)
{
    switch (reduction) {
    case TColorReduction::rmWindows20: return Windows20Palette();
    case TColorReduction::rmWindows256: return HalftonePalette();
    case TColorReduction::rmWindowsGray: return WindowsGrayPalette();
    case TColorReduction::rmMonochrome: return MonochromePalette();
    case TColorReduction::rmGrayScale: return GrayScalePalette();
    case TColorReduction::rmNetscape: return WebPalette();
    case TColorReduction::rmQuantize:
        if (reductionBits < 1 || reductionBits > 8)
            RaiseGIFError(msg::kBadReductionBits);
        return CreateOptimizedPalette(source, 1 << reductionBits, 8, false);
    case TColorReduction::rmQuantizeWindows: return CreateOptimizedPalette(source, 256, 8, true);
    case TColorReduction::rmPalette:
        return {customPalette.begin(), customPalette.begin() + (customPalette.size() < 256 ? customPalette.size() : 256)};
    case TColorReduction::rmNone: break;
    }
    RaiseGIFError("Invalid reduction method");
}

std::unique_ptr<TColorLookup> LookupFor(TColorReduction reduction, const std::vector<RGBQuad>& palette)
{
    switch (reduction) {
    case TColorReduction::rmMonochrome: return std::make_unique<TMonochromeLookup>();
    case TColorReduction::rmGrayScale: return std::make_unique<TGrayScaleLookup>();
    case TColorReduction::rmNetscape: return std::make_unique<TNetscapeColorLookup>();
    default: return std::make_unique<TSlowColorLookup>(palette);
    }
}

} // namespace

Bitmap ReduceColors(const Bitmap& bitmap, TColorReduction reduction, TDitherMode dither, int reductionBits,
                    const std::vector<RGBQuad>& customPalette)
{
    Bitmap result;
    if (reduction == TColorReduction::rmNone) {
        result = bitmap;
        result.SetPixelFormat(PixelFormat::pf24bit);
        return result;
    }
    TDIBReader reader(bitmap, PixelFormat::pf24bit);
    const Bitmap& source = reader.Source();
    std::vector<RGBQuad> palette = PaletteFor(reduction, source, reductionBits, customPalette);
    std::unique_ptr<TColorLookup> lookup = LookupFor(reduction, palette);
    if (lookup->Colors() == 0)
        RaiseGIFError(msg::kColorTableEmpty);
    std::unique_ptr<TDitherEngine> engine = CreateDitherEngine(dither, source.Width(), *lookup);
    TDIBWriter writer(result, palette, source.Height(), source.Width(), PixelFormat::pf8bit);

    const int width = source.Width();
    uint8_t r, g, b;
    for (int y = 0; y < source.Height(); ++y) {
        const uint8_t* src = reader.ScanLine(y);
        uint8_t* dst = writer.ScanLine(y);
        for (int x = engine->Column(); x >= 0 && x < width; x = engine->Column()) {
            const uint8_t* p = src + x * 3;
            dst[x] = engine->DitherPixel(p[2], p[1], p[0], r, g, b);
        }
        engine->NextLine();
    }
    writer.Commit();
    return result;
}

} // namespace pc::gif
