// gif-optimize: the GIF optimiser from the command line. Merges repeated
// pixels, cleans up, crops transparent borders and, when every colour fits,
// builds one colour map; then saves; when that is not smaller than the input,
// or the input holds no image, the input is written unchanged. Every frame
// stays, also one that shows nothing new, so that the result has the frames
// and delays of the input.
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/probe/probe_registry.h"
#include "codecs/gif/gif_image.h"
#include "platform/file_io.h"

namespace {

using namespace pc::gif;

int GifOptimize(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: gif-optimize IN.gif OUT.gif\n");
        return 1;
    }
    const std::vector<uint8_t> input = pc::ReadFileBytes(argv[1]);
    TGIFImage gif;
    gif.OnWarning = [](const void*, TGIFSeverity, const std::string& message) {
        std::fprintf(stderr, "warning: %s\n", message.c_str());
    };
    pc::ByteReader r(input);
    gif.LoadFromStream(r);
    // A GIF file must hold an image to be written; one that holds none
    // (a screen without frames, or frames of extensions only) stays as it is.
    if (std::none_of(gif.Images().Items().begin(), gif.Images().Items().end(), [](const auto& f) { return !f->Empty(); })) {
        std::fprintf(stderr, "kept the input: it holds no image to optimise\n");
        pc::WriteFileAtomic(argv[2], input);
        std::printf("%zu -> %zu bytes\n", input.size(), input.size());
        return 0;
    }
    gif.Optimize(OptimizeOption(ooMerge) | OptimizeOption(ooCleanup) |
                     OptimizeOption(ooColorMap),
                 TColorReduction::rmNone, TDitherMode::dmNearest, 8);
    for (const auto& f : gif.Images().Items())
        if (!f->AllTransparent() && PaintedDisposal(*f) != TDisposalMethod::dmBackground)
            f->Crop();
    // One map for all frames only when it can hold every colour they show.
    gif.OptimizeColorMap(true);
    ByteWriter w;
    gif.SaveToStream(w);
    if (w.size() >= input.size()) {
        std::fprintf(stderr, "kept the input: optimised it takes %zu bytes, not fewer than %zu\n", w.size(),
                     input.size());
        pc::WriteFileAtomic(argv[2], input);
    } else {
        pc::WriteFileAtomic(argv[2], w.bytes());
    }
    std::printf("%zu -> %zu bytes\n", input.size(), std::min(w.size(), input.size()));
    return 0;
}

pc::probe::ProbeRegistrar optimizeReg("gif-optimize", "IN.gif OUT.gif", GifOptimize);

} // namespace
