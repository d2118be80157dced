#include "codecs/gif/color_map_optimizer.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_image.h"

namespace pc::gif {

namespace {

int ColorValue(TGIFColor c)
{
    return c.Red + c.Green * 256 + c.Blue * 65536;
}

// Sum of the absolute channel differences.
int Distance(TGIFColor a, TGIFColor b)
{
    return std::abs(a.Red - b.Red) + std::abs(a.Green - b.Green) + std::abs(a.Blue - b.Blue);
}

// Index of the entry nearest to c among the first n of map (0 when n is 0).
int Nearest(const std::vector<TGIFColor>& map, int n, TGIFColor c)
{
    int best = 0, bestDistance = 765 + 1;
    for (int j = 0; j < n; ++j) {
        const int d = Distance(map[size_t(j)], c);
        if (d < bestDistance) {
            bestDistance = d;
            best = j;
        }
    }
    return best;
}

} // namespace

// The usage of one colour map by the frames that draw with it.
class TColorMapOptimizer::THistogram {
public:
    explicit THistogram(const TGIFColorMap& map) : histogram_(size_t(map.Count()))
    {
        for (int i = 0; i < map.Count(); ++i) {
            histogram_[size_t(i)].Index = i;
            histogram_[size_t(i)].Color = map.Color(i);
            colors_.push_back(&histogram_[size_t(i)]);
        }
    }

    int Count() const { return int(histogram_.size()); }
    bool Empty() const { return images_.empty(); }
    const std::vector<TColorRec*>& Colors() const { return colors_; }

    // Counts the frame's pixels, an index outside the map as entry 0; true
    // when its transparent colour shows, in its pixels or through them
    // (keep). The frame itself changes only in ApplyMap.
    bool Analyze(TGIFSubImage& frame, bool keep)
    {
        if (frame.Empty())
            return false;
        images_.push_back(&frame);
        const int t = frame.TransparentIndex();
        bool transparentUsed = false, outside = false;
        for (int y = 0; y < frame.Height(); ++y) {
            const uint8_t* row = frame.Scanline(y);
            for (int x = 0; x < frame.Width(); ++x) {
                if (row[x] == t) {
                    transparentUsed = true;
                    continue;
                }
                outside = outside || row[x] >= Count();
                ++histogram_[row[x] < Count() ? row[x] : 0].Count;
            }
        }
        if (outside)
            frame.Warning(TGIFSeverity::gsWarning, msg::kColorNotInTable);
        if (t >= 0 && !transparentUsed && !keep)
            opaque_.push_back(&frame);
        return t >= 0 && (transparentUsed || keep);
    }

    // Most used first; the unused are dropped. Returns how many remain.
    int Prune()
    {
        std::stable_sort(colors_.begin(), colors_.end(),
                         [](const TColorRec* a, const TColorRec* b) { return a->Count > b->Count; });
        auto firstUnused = std::find_if(colors_.begin(), colors_.end(), [](const TColorRec* r) { return r->Count == 0; });
        for (auto it = firstUnused; it != colors_.end(); ++it)
            (*it)->Count = -1;
        colors_.erase(firstUnused, colors_.end());
        return int(colors_.size());
    }

    void ApplyMap(bool useTransparency, int newTransparentIndex)
    {
        for (TGIFSubImage* frame : opaque_) {
            auto* gce = frame->GraphicControlExtension();
            gce->SetTransparentColorIndex(0);
            gce->SetTransparent(false);
        }
        std::array<uint8_t, 256> table{};
        for (const TColorRec& r : histogram_)
            if (r.NewIndex < 256)
                table[size_t(r.Index)] = uint8_t(r.NewIndex);
        std::fill(table.begin() + Count(), table.end(), table[0]);
        for (TGIFSubImage* frame : images_) {
            int oldT = -1;
            if (useTransparency && frame->Transparent()) {
                oldT = frame->TransparentIndex();
                frame->GraphicControlExtension()->SetTransparentColorIndex(newTransparentIndex);
            }
            for (int y = 0; y < frame->Height(); ++y) {
                uint8_t* row = frame->Scanline(y);
                for (int x = 0; x < frame->Width(); ++x)
                    row[x] = row[x] == oldT ? uint8_t(newTransparentIndex) : table[row[x]];
            }
        }
    }

private:
    std::vector<TColorRec> histogram_;
    std::vector<TColorRec*> colors_;
    std::vector<TGIFSubImage*> images_;
    // Frames whose transparent colour shows nowhere: they lose their transparency.
    std::vector<TGIFSubImage*> opaque_;
};

TColorMapOptimizer::TColorMapOptimizer(TGIFImage& image) : image_(image) {}

TColorMapOptimizer::~TColorMapOptimizer() = default;

bool TColorMapOptimizer::Optimize(bool onlyExact)
{
    TGIFImage::PainterLock lock(image_);

    useTransparency_ = false;
    const TGIFSubImage* keepTransparent = image_.BackgroundTransparencyFrame();
    TGIFGlobalColorMap& global = image_.ColorMap();
    const bool hadGlobal = global.Count() > 0;
    const TGIFColor background = hadGlobal ? global.Color(std::min(image_.BackgroundColorIndex(), global.Count() - 1))
                                           : TGIFColor{};
    // Without a global map the screen background is transparent: where it
    // shows, the new map gives it the transparent entry.
    const bool clearBackground = !hadGlobal && image_.BackgroundShows();
    if (hadGlobal) {
        auto h = std::make_unique<THistogram>(global);
        for (const auto& f : image_.Images().Items())
            if (!f->Empty() && f->ColorMap().Count() == 0)
                useTransparency_ = h->Analyze(*f, f.get() == keepTransparent) || useTransparency_;
        if (!h->Empty())
            histograms_.push_back(std::move(h));
    }
    for (const auto& f : image_.Images().Items()) {
        if (f->Empty() || f->ColorMap().Count() == 0)
            continue;
        auto h = std::make_unique<THistogram>(f->ColorMap());
        useTransparency_ = h->Analyze(*f, f.get() == keepTransparent) || useTransparency_;
        histograms_.push_back(std::move(h));
    }

    useTransparency_ = useTransparency_ || clearBackground;
    size_t kept = 0;
    for (auto& h : histograms_)
        kept += size_t(h->Prune());
    colorList_.clear();
    colorList_.reserve(kept);
    for (auto& h : histograms_)
        colorList_.insert(colorList_.end(), h->Colors().begin(), h->Colors().end());

    BuildColorMap();
    if (onlyExact && !exact_)
        return false;
    if (hadGlobal)
        KeepBackground(background);
    BuildGlobalMap();
    for (auto& h : histograms_)
        h->ApplyMap(useTransparency_, newTransparentColorIndex_);
    if (hadGlobal && !colorMap_.empty())
        image_.Header().SetBackgroundColorIndex(Nearest(colorMap_, int(colorMap_.size()), background));
    if (clearBackground)
        ClearBackground();
    for (const auto& f : image_.Images().Items())
        f->FreeBitmap();
    return exact_;
}

void TColorMapOptimizer::ClearBackground()
{
    // Readers take the background as transparent when the first frame is
    // transparent through the background's index; no pixel shows the entry.
    const auto& items = image_.Images().Items();
    TGIFSubImage& first = **std::find_if(items.begin(), items.end(), [](const auto& f) { return !f->Empty(); });
    TGIFGraphicControlExtension* gce = first.GraphicControlExtension();
    if (!gce) {
        auto made = std::make_unique<TGIFGraphicControlExtension>(&first);
        gce = made.get();
        first.Extensions().Add(std::move(made));
    }
    gce->SetTransparentColorIndex(newTransparentColorIndex_);
    gce->SetTransparent(true);
    image_.Header().SetBackgroundColorIndex(newTransparentColorIndex_);
}

void TColorMapOptimizer::KeepBackground(TGIFColor background)
{
    if (colorMap_.size() < 256 && std::find(colorMap_.begin(), colorMap_.end(), background) == colorMap_.end())
        colorMap_.push_back(background);
}

void TColorMapOptimizer::BuildColorMap()
{
    // Identical colours from different maps become one record.
    std::stable_sort(colorList_.begin(), colorList_.end(),
                     [](const TColorRec* a, const TColorRec* b) { return ColorValue(a->Color) > ColorValue(b->Color); });
    TColorRec* survivor = nullptr;
    for (TColorRec* r : colorList_) {
        if (survivor && r->Color == survivor->Color) {
            survivor->Count += r->Count;
            r->Count = 0;
            r->MergedInto = survivor;
        } else {
            survivor = r;
        }
    }

    std::stable_sort(colorList_.begin(), colorList_.end(),
                     [](const TColorRec* a, const TColorRec* b) { return a->Count > b->Count; });
    const size_t limit = useTransparency_ ? 255 : 256;
    size_t size = 0;
    while (size < colorList_.size() && size < limit && colorList_[size]->Count > 0)
        ++size;
    colorMap_.clear();
    for (size_t i = 0; i < size; ++i) {
        colorList_[i]->NewIndex = int(i);
        colorMap_.push_back(colorList_[i]->Color);
    }
    // Used colours that did not fit take the nearest kept one; merged records
    // follow their survivor, which comes earlier in this order.
    for (size_t i = size; i < colorList_.size(); ++i) {
        TColorRec* r = colorList_[i];
        if (r->Count > 0)
            exact_ = false;
        r->NewIndex = r->Count > 0 ? Nearest(colorMap_, int(size), r->Color) : r->MergedInto->NewIndex;
    }
    if (useTransparency_) {
        newTransparentColorIndex_ = int(colorMap_.size());
        colorMap_.push_back(TGIFColor{});
    }
}

void TColorMapOptimizer::BuildGlobalMap()
{
    for (const auto& f : image_.Images().Items())
        f->ColorMap().Clear();
    TGIFGlobalColorMap& global = image_.ColorMap();
    global.ImportColorMap(colorMap_.data(), int(colorMap_.size()));
    global.SetOptimized(true);
}

} // namespace pc::gif
