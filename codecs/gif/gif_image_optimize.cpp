// Making a GIF picture smaller without changing how it animates: sorted and
// trimmed colour maps, needless transparency, disposals and extensions
// dropped, repeated pixels made transparent, transparent borders cropped.
#include <algorithm>

#include "codecs/gif/color_map_optimizer.h"
#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_image.h"

namespace pc::gif {

namespace {

bool Covers(const TRect& outer, const TRect& inner)
{
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

bool Restores(TDisposalMethod d)
{
    return d == TDisposalMethod::dmBackground || d == TDisposalMethod::dmPrevious;
}

TGIFGraphicControlExtension& GraphicControlOf(TGIFSubImage& frame)
{
    if (auto* gce = frame.GraphicControlExtension())
        return *gce;
    auto made = std::make_unique<TGIFGraphicControlExtension>(&frame);
    auto& gce = *made;
    frame.Extensions().Add(std::move(made));
    return gce;
}

// Extensions that change nothing on screen here, or no longer apply.
bool Needless(TGIFExtension& e, bool firstOfMany, bool oneFrame)
{
    if (dynamic_cast<TGIFCommentExtension*>(&e) || dynamic_cast<TGIFTextExtension*>(&e) ||
        dynamic_cast<TGIFUnknownAppExtension*>(&e) || dynamic_cast<TGIFUnknownExtension*>(&e))
        return true;
    if (dynamic_cast<TGIFAppExtNSLoop*>(&e))
        return !firstOfMany;
    if (auto* gce = dynamic_cast<TGIFGraphicControlExtension*>(&e)) {
        const bool noDisposal =
            gce->Disposal() == TDisposalMethod::dmNone || gce->Disposal() == TDisposalMethod::dmNoDisposal;
        return (gce->Delay() == 0 || oneFrame) && !gce->Transparent() && !gce->UserInput() && (noDisposal || oneFrame);
    }
    return false;
}

} // namespace

void TGIFImage::Optimize(TGIFOptimizeOptions options, TColorReduction reduction, TDitherMode, int)
{
    if (Empty())
        return;
    // Colour reduction of the frames is not offered: only its one refusal stays.
    if (HasOption(options, ooReduceColors) && !HasOption(options, ooCleanup) && reduction == TColorReduction::rmPalette)
        RaiseGIFError(msg::kBadReduction);
    PainterLock lock(*this);
    ProgressScope progress(*this, msg::kOptimizing);
    SettleTransparentIndices();
    const int64_t total = int64_t(images_.Count()) * 6;
    int64_t done = 0;
    auto step = [&] { progress.Step(int(++done * 100 / total)); };

    if (HasOption(options, ooColorMap)) {
        if (ColorMap().Count() > 0)
            ColorMap().Optimize();
        for (const auto& f : images_.Items()) {
            if (f->ColorMap().Count() > 0)
                f->ColorMap().Optimize();
            step();
        }
    }

    if (HasOption(options, ooCleanup)) {
        const TGIFSubImage* keepTransparent = BackgroundTransparencyFrame();
        const int count = images_.Count();
        for (int i = 0; i < count; ++i) {
            TGIFSubImage& f = *images_.Image(i);
            if (f.Transparent() && !f.Empty() && &f != keepTransparent) {
                const auto t = uint8_t(f.TransparentIndex());
                if (std::find(f.Data().begin(), f.Data().end(), t) == f.Data().end())
                    f.GraphicControlExtension()->SetTransparent(false);
            }
            if (i + 1 < count) {
                TGIFSubImage& next = *images_.Image(i + 1);
                auto* gce = f.GraphicControlExtension();
                // A later frame that restores would bring back what this one's disposal took away.
                if (gce && Restores(gce->Disposal()) && !next.Transparent() &&
                    PaintedDisposal(next) != TDisposalMethod::dmPrevious && Covers(next.BoundsRect(), f.BoundsRect()))
                    gce->SetDisposal(TDisposalMethod::dmNone);
            }
            step();
        }
    }

    if (HasOption(options, ooMerge)) {
        TGIFSubImage::SharedTransparency shared;
        shared.Collect(*this);
        for (int i = images_.Count() - 1; i >= 1; --i) {
            int j = i - 1;
            while (j > 0 && images_.Image(j)->GraphicControlExtension() &&
                   PaintedDisposal(*images_.Image(j)) == TDisposalMethod::dmPrevious)
                --j;
            images_.Image(i)->Merge(images_.Image(j), shared);
            step();
        }
    }

    if (HasOption(options, ooCrop)) {
        std::vector<bool> gone(size_t(images_.Count()));
        for (int i = images_.Count() - 1; i >= 0; --i) {
            TGIFSubImage& f = *images_.Image(i);
            // A frame cleared after showing clears its whole rectangle: it keeps its size.
            if (f.Empty() || !f.Transparent() || PaintedDisposal(f) == TDisposalMethod::dmBackground)
                continue;
            // A frame that shows nothing goes, its time added to the frame
            // before; unless it is the first (it holds the looping) or
            // follows a frame that is taken away after its time.
            if (f.AllTransparent() && (i == 0 || Restores(PaintedDisposal(*images_.Image(i - 1)))))
                continue;
            const int delay = f.GraphicControlExtension()->Delay();
            f.Crop();
            if (f.Empty()) {
                auto& before = GraphicControlOf(*images_.Image(i - 1));
                before.SetDelay(std::min(65535, before.Delay() + delay));
                gone[size_t(i)] = true;
            }
            step();
        }
        images_.Delete(gone);
    }

    if (HasOption(options, ooCleanup))
        CleanupFrames();
    FreeBitmap();
    Changed();
}

void TGIFImage::CleanupFrames()
{
    const bool oneFrame = images_.Count() == 1;
    std::vector<bool> gone(size_t(images_.Count()));
    for (int i = images_.Count() - 1; i >= 0; --i) {
        TGIFSubImage& f = *images_.Image(i);
        TGIFExtensionList& list = f.Extensions();
        for (int k = list.Count() - 1; k >= 0; --k)
            if (Needless(*list.Extensions(k), i == 0 && !oneFrame, oneFrame))
                list.Delete(k);
        gone[size_t(i)] = f.Empty() && list.Count() == 0;
    }
    images_.Delete(gone);
}

// Animation tools write transparent indices just past a full colour table;
// sorting the table would put entry 0, the most used colour, in their
// place. Such an index gets an entry of its own, or goes with the frame's
// transparency when no pixel shows it and the screen background is not
// transparent through it.
void TGIFImage::SettleTransparentIndices()
{
    const TGIFSubImage* keep = BackgroundTransparencyFrame();
    for (const auto& f : images_.Items()) {
        TGIFColorMap& map = f->ActiveColorMap();
        const int t = f->TransparentIndex();
        if (map.Count() == 0 || t < map.Count())
            continue;
        const bool shown = std::find(f->Data().begin(), f->Data().end(), uint8_t(t)) != f->Data().end();
        if (!shown && f.get() != keep) {
            f->GraphicControlExtension()->SetTransparent(false);
            continue;
        }
        const int own = map.Add(TGIFColor{});
        for (int y = 0; shown && y < f->Height(); ++y)
            std::replace(f->Scanline(y), f->Scanline(y) + f->Width(), uint8_t(t), uint8_t(own));
        f->GraphicControlExtension()->SetTransparentColorIndex(own);
    }
}

const TGIFSubImage* TGIFImage::BackgroundTransparencyFrame() const
{
    const auto& items = images_.Items();
    const auto first = std::find_if(items.begin(), items.end(), [](const auto& f) { return !f->Empty(); });
    if (first == items.end() || !(*first)->Transparent() || !BackgroundShows())
        return nullptr;
    return first->get();
}

bool TGIFImage::BackgroundShows() const
{
    const auto& items = images_.Items();
    const auto first = std::find_if(items.begin(), items.end(), [](const auto& f) { return !f->Empty(); });
    if (first == items.end())
        return false;
    const TGIFSubImage& f = **first;
    const bool uncovers =
        f.Left() > 0 || f.Top() > 0 || f.Left() + f.Width() < Width() || f.Top() + f.Height() < Height();
    return uncovers ||
           std::any_of(items.begin(), items.end(), [](const auto& g) { return Restores(PaintedDisposal(*g)); });
}

bool TGIFImage::OptimizeColorMap(bool onlyExact)
{
    const bool exact = TColorMapOptimizer(*this).Optimize(onlyExact);
    if (exact || !onlyExact) {
        FreeBitmap();
        Changed();
    }
    return exact;
}

void TGIFImage::Pack()
{
    FreeBitmap();
    for (const auto& f : images_.Items())
        f->FreeBitmap();
    if (ColorMap().Count() == 0 && images_.Count() == 1) {
        TGIFSubImage& only = *images_.Image(0);
        ColorMap().Assign(only.ColorMap());
        only.ColorMap().Clear();
    }
}

} // namespace pc::gif
