#pragma once
// TGIFImage: one GIF file in memory (logical screen plus frames). Reads and
// writes GIF87a/GIF89a, converts bitmaps into frames, renders its first
// frame, and exchanges GIF data with the clipboard.
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "codecs/gif/color_reduction.h"
#include "codecs/gif/gif_frame.h"
#include "codecs/gif/gif_header.h"
#include "codecs/gif/gif_painter.h"
#include "codecs/gif/gif_types.h"
#include "platform/bitmap.h"

namespace pc::gif {

class TGIFPainter;

// "No colour": the image's own background applies.
inline constexpr TColor clNone = 0x1FFFFFFF;

enum TGIFOptimizeOption : int { ooCrop, ooMerge, ooCleanup, ooColorMap, ooReduceColors };
using TGIFOptimizeOptions = uint8_t;
constexpr TGIFOptimizeOptions OptimizeOption(TGIFOptimizeOption o) { return TGIFOptimizeOptions(1u << o); }
constexpr bool HasOption(TGIFOptimizeOptions set, TGIFOptimizeOption o) { return (set & OptimizeOption(o)) != 0; }

class TGIFImageList {
public:
    explicit TGIFImageList(TGIFImage* image) : image_(image) {}
    int Count() const { return int(items_.size()); }
    TGIFSubImage* Image(int i) const { return items_.at(size_t(i)).get(); }
    TGIFSubImage* Add(std::unique_ptr<TGIFSubImage> frame);
    void Delete(int i) { items_.erase(items_.begin() + i); }
    // Deletes every frame i with gone[i] set, in one pass.
    void Delete(const std::vector<bool>& gone);
    void Clear() { items_.clear(); }
    const std::vector<std::unique_ptr<TGIFSubImage>>& Items() const { return items_; }

    static constexpr int kAllFrames = std::numeric_limits<int>::max();
    // Frames and their extensions up to the trailer, which is left unread;
    // after maxFrames frames the rest of the file is left unread too.
    void LoadFromStream(ByteReader& r, int maxFrames = kAllFrames);
    void SaveToStream(ByteWriter& w);

private:
    TGIFImage* image_;
    std::vector<std::unique_ptr<TGIFSubImage>> items_;
};

class TGIFImage {
public:
    TGIFImage();
    ~TGIFImage();
    TGIFImage(const TGIFImage&) = delete;
    TGIFImage& operator=(const TGIFImage&) = delete;

    void Clear();
    void NewImage() { Clear(); }
    // Stops the painters and appends a frame; returns its index.
    int Add(std::unique_ptr<TGIFSubImage> frame);
    int Add(const Bitmap& bmp, const Bitmap* transparencyMask = nullptr);

    TGIFImageList& Images() { return images_; }
    const TGIFImageList& Images() const { return images_; }
    TGIFHeader& Header() { return header_; }
    TGIFGlobalColorMap& ColorMap() { return header_.ColorMap(); }

    // 89a as soon as one frame needs it; gvUnknown without frames.
    TGIFVersion Version() const;
    int ColorResolution() const;
    int BitsPerPixel() const;
    int BackgroundColorIndex() const { return header_.BackgroundColorIndex(); }
    void SetBackgroundColorIndex(int i) { header_.SetBackgroundColorIndex(i); }
    TColor BackgroundColor() const { return header_.BackgroundColor(); }
    void SetBackgroundColor(TColor c) { header_.SetBackgroundColor(c); }
    int AspectRatio() const { return header_.AspectRatio(); }
    void SetAspectRatio(int a) { header_.SetAspectRatio(a); }
    bool IsTransparent() const;
    bool Empty() const { return images_.Count() == 0; }
    int Width() const { return header_.Width(); }
    int Height() const { return header_.Height(); }
    // Every frame must still fit; sizes above 65535 raise "Invalid image dimensions".
    void SetWidth(int w);
    void SetHeight(int h);

    // How bitmaps of more than 8 bits per pixel become frames.
    TColorReduction ColorReduction() const { return colorReduction_; }
    void SetColorReduction(TColorReduction r) { colorReduction_ = r; }
    TDitherMode DitherMode() const { return ditherMode_; }
    void SetDitherMode(TDitherMode d) { ditherMode_ = d; }
    int ReductionBits() const { return reductionBits_; }
    void SetReductionBits(int n);
    TGIFDrawOptions DrawOptions() const { return drawOptions_; }
    void SetDrawOptions(TGIFDrawOptions options);
    int AnimationSpeed() const { return animationSpeed_; }
    void SetAnimationSpeed(int percent);
    int ForceFrame() const { return forceFrame_; }
    void SetForceFrame(int n);
    TGIFCompression Compression() const { return compression_; }
    void SetCompression(TGIFCompression c) { compression_ = c; }
    TColor DrawBackgroundColor() const { return drawBackgroundColor_; }
    void SetDrawBackgroundColor(TColor c) { drawBackgroundColor_ = c; }

    // On failure the image is left cleared and the reader back where it
    // began. With maxFrames the frames after those are not read (their
    // pixels are not decoded, nor is the trailer checked).
    void LoadFromStream(ByteReader& r, int maxFrames = TGIFImageList::kAllFrames);
    void SaveToStream(ByteWriter& w);
    void LoadFromFile(const std::string& path);
    // Through a temporary file, so a failed save keeps the old file.
    void SaveToFile(const std::string& path);

    void Assign(const TGIFImage& source);
    // One frame from a bitmap of any depth; non-zero mask pixels become transparent.
    void Assign(const Bitmap& source, const Bitmap* transparencyMask = nullptr);
    void AssignTo(Bitmap& dest);
    bool Equals(const TGIFImage& other) const { return this == &other; }

    // The first frame on the logical screen (cached); null when empty.
    const Bitmap* GetBitmap();
    void FreeBitmap();
    std::vector<RGBQuad> GetPalette() const;
    // Renderings go through the web palette with Floyd-Steinberg dithering.
    bool DoDither() const;

    // Draws ForceFrame (or the first frame) stretched into rect.
    void Draw(Bitmap& dest, const TRect& rect);

    // Paints into rect of canvas. Without goAsync the animation runs here and
    // null comes back; with it the returned painter is already started (one
    // frame: never asynchronous). Null too for an empty image or rectangle.
    std::unique_ptr<TGIFPainter> Paint(Bitmap& canvas, const TRect& rect, TGIFDrawOptions options);
    void PaintStart();
    void PaintPause();
    void PaintResume();
    void PaintRestart();
    // Stops every painter and waits for them, except one whose handler is
    // running on this thread: it ends once the handler returns.
    void PaintStop();
    // Handed to every painter this image creates.
    TGIFPainterEvents PainterEvents;

    // Makes the picture smaller without changing how it animates.
    void Optimize(TGIFOptimizeOptions options, TColorReduction reduction, TDitherMode dither, int reductionBits);
    // One global map of the colours the frames use (see TColorMapOptimizer);
    // false when there were too many to keep each exactly, and then, with
    // onlyExact, the image is left as it was.
    bool OptimizeColorMap(bool onlyExact = false);
    // Drops cached renderings; a single frame's own map becomes the global one.
    void Pack();
    // The frame that must stay transparent even where none of its pixels
    // is, or null: the first frame's transparency is the screen background's,
    // which shows where that frame leaves the screen uncovered or where a
    // frame is disposed of.
    const TGIFSubImage* BackgroundTransparencyFrame() const;
    // The screen background shows at some time: the first frame leaves part
    // of the screen uncovered, or a frame is disposed of.
    bool BackgroundShows() const;

    // Stops the painters and keeps new ones from starting while it lives.
    class PainterLock {
    public:
        explicit PainterLock(TGIFImage& image);
        PainterLock(const PainterLock&) = delete;
        PainterLock& operator=(const PainterLock&) = delete;

    private:
        std::unique_lock<std::recursive_mutex> lock_;
    };

    void SaveToClipboardFormat();
    void LoadFromClipboardFormat();

    void Warning(const void* sender, TGIFSeverity severity, const std::string& message);
    void Progress(TProgressStage stage, int percent, bool redraw, const std::string& message);
    void Changed();
    // A colour map changed: renderings made from it are stale.
    void PaletteChanged();

    TGIFWarning OnWarning;
    TGIFProgress OnProgress;
    std::function<void()> OnChange;

private:
    friend class TGIFPainter;
    void RegisterPainter(TGIFPainter* painter);
    void UnregisterPainter(TGIFPainter* painter);
    template <class F>
    void ForEachPainter(F f);
    // Stops every painter; true while one it can wait for still runs, whose
    // queue goes to queues when this thread owns it.
    bool StopPainters(std::vector<TSyncQueue*>* queues);
    // Drops needless extensions, and frames left with nothing.
    void CleanupFrames();
    // Every transparent index inside its frame's colour table.
    void SettleTransparentIndices();

    TGIFHeader header_;
    TGIFImageList images_;
    std::unique_ptr<Bitmap> bitmap_;
    TGIFDrawOptions drawOptions_;
    TColorReduction colorReduction_;
    TDitherMode ditherMode_;
    int reductionBits_;
    TGIFCompression compression_;
    int animationSpeed_;
    int forceFrame_ = -1;
    // Fixed while a save runs, so frames without a map do not each walk every frame.
    std::optional<int> savingBitsPerPixel_;
    TColor drawBackgroundColor_ = clNone;
    // Painters registered with this image; the lock also keeps new ones out
    // while frames change under an optimisation.
    std::recursive_mutex paintersLock_;
    std::vector<TGIFPainter*> painters_;
};

// Reports the end of a long operation: 100 percent, or 0 when an exception passes.
class ProgressScope {
public:
    ProgressScope(TGIFImage& image, const char* message, bool redraw = false);
    ~ProgressScope() noexcept(false);
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
    void Step(int percent, bool redraw = false) { image_.Progress(TProgressStage::psRunning, percent, redraw, message_); }

private:
    TGIFImage& image_;
    const char* message_;
    bool redraw_;
    int exceptions_;
};

} // namespace pc::gif
