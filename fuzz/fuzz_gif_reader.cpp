// The GIF reader on arbitrary bytes: a clean GIFException or a picture that
// renders, and whose saved form reads back to the same frames; then the
// optimiser on it, which must leave a picture that saves and reads back.
#include <cstdint>
#include <cstdlib>

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_image.h"

using namespace pc::gif;

namespace {

std::vector<TGIFSubImage*> ImageFrames(TGIFImage& gif)
{
    std::vector<TGIFSubImage*> frames;
    for (const auto& f : gif.Images().Items())
        if (!f->Empty())
            frames.push_back(f.get());
    return frames;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TGIFImage gif;
    pc::ByteReader r(std::span<const uint8_t>(data, size));
    try {
        gif.LoadFromStream(r);
    } catch (const GIFException&) {
        if (!gif.Empty() || r.pos() != 0)
            std::abort(); // a failed load leaves nothing behind
        return 0;
    }
    // Frames up to the picture cap are legal; rendering and saving the
    // largest ones would only slow the search down.
    int64_t pixels = 0;
    for (auto* f : ImageFrames(gif))
        pixels += int64_t(f->Width()) * f->Height();
    if (pixels > 1 << 22)
        return 0;
    for (auto* f : ImageFrames(gif))
        f->GetBitmap();

    ByteWriter w;
    try {
        gif.SaveToStream(w);
    } catch (const GIFException&) {
        if (gif.Version() != TGIFVersion::gvUnknown)
            std::abort(); // whatever has frames can be saved
        return 0;
    }
    TGIFImage again;
    pc::ByteReader r2(w.bytes());
    again.LoadFromStream(r2); // what we write, we must read
    auto a = ImageFrames(gif), b = ImageFrames(again);
    if (a.size() != b.size())
        std::abort();
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i]->BoundsRect() != b[i]->BoundsRect() || a[i]->Data() != b[i]->Data())
            std::abort();

    again.Optimize(OptimizeOption(ooMerge) | OptimizeOption(ooCrop) | OptimizeOption(ooCleanup) |
                       OptimizeOption(ooColorMap),
                   TColorReduction::rmNone, TDitherMode::dmNearest, 8);
    again.OptimizeColorMap();
    if (again.Version() == TGIFVersion::gvUnknown)
        return 0;
    ByteWriter w2;
    again.SaveToStream(w2);
    TGIFImage third;
    pc::ByteReader r3(w2.bytes());
    third.LoadFromStream(r3);
    return 0;
}
