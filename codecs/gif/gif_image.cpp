#include "codecs/gif/gif_image.h"

#include <algorithm>
#include <exception>

#include "codecs/gif/gif_errors.h"
#include "codecs/gif/gif_extension_kinds.h"
#include "platform/clipboard.h"
#include "platform/file_io.h"

namespace pc::gif {

void TGIFItem::Warning(TGIFSeverity severity, const std::string& message) const
{
    if (image_)
        image_->Warning(this, severity, message);
}

// ---- progress ----

ProgressScope::ProgressScope(TGIFImage& image, const char* message, bool redraw)
    : image_(image), message_(message), redraw_(redraw), exceptions_(std::uncaught_exceptions())
{
    image_.Progress(TProgressStage::psStarting, 0, false, message_);
}

ProgressScope::~ProgressScope() noexcept(false)
{
    bool failed = std::uncaught_exceptions() > exceptions_;
    try {
        image_.Progress(TProgressStage::psEnding, failed ? 0 : 100, redraw_, message_);
    } catch (...) {
        // A handler that throws while an error is already passing must not end the program.
        if (!failed)
            throw;
    }
}

// ---- frame list ----

TGIFSubImage* TGIFImageList::Add(std::unique_ptr<TGIFSubImage> frame)
{
    items_.push_back(std::move(frame));
    return items_.back().get();
}

void TGIFImageList::Delete(const std::vector<bool>& gone)
{
    size_t kept = 0;
    for (size_t i = 0; i < items_.size(); ++i)
        if (i >= gone.size() || !gone[i])
            items_[kept++] = std::move(items_[i]);
    items_.resize(kept);
}

void TGIFImageList::LoadFromStream(ByteReader& r, int maxFrames)
{
    // Each frame is within the picture cap; together they may not exceed
    // it either, or a small file could ask for gigabytes. A frame's pixels
    // are charged before they are allocated.
    int64_t totalPixels = 0;
    while (Count() < maxFrames) {
        auto b = ReadByte(r);
        if (!b)
            return;
        if (*b == 0x00)
            continue;
        StepBack(r);
        if (*b == 0x3B)
            return;
        if (*b != 0x21 && *b != 0x2C) {
            image_->Warning(this, TGIFSeverity::gsWarning, msg::kUnknownBlock);
            return;
        }
        auto frame = std::make_unique<TGIFSubImage>(image_);
        const size_t before = r.pos();
        if (frame->LoadDescriptor(r)) {
            totalPixels += int64_t(frame->Width()) * frame->Height();
            if (totalPixels > PictureLimits().maxPixels)
                RaiseGIFError(msg::kInvalidDimensions);
            frame->LoadPixels(r);
        }
        items_.push_back(std::move(frame));
        int percent = r.size() ? int(int64_t(r.pos()) * 100 / int64_t(r.size())) : 100;
        image_->Progress(TProgressStage::psRunning, percent, GIFImageRenderOnLoad, msg::kLoading);
        if (r.pos() == before)
            return; // nothing consumed: the byte is not ours to read
    }
}

void TGIFImageList::SaveToStream(ByteWriter& w)
{
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        items_[size_t(i)]->SaveToStream(w);
        image_->Progress(TProgressStage::psRunning, (i + 1) * 100 / count, false, msg::kSaving);
    }
}

// ---- image ----

TGIFImage::TGIFImage()
    : header_(this), images_(this), drawOptions_(GIFImageDefaultDrawOptions),
      colorReduction_(GIFImageDefaultColorReduction), ditherMode_(GIFImageDefaultDitherMode),
      reductionBits_(GIFImageDefaultColorReductionBits), compression_(GIFImageDefaultCompression),
      animationSpeed_(GIFImageDefaultAnimationSpeed)
{
}

TGIFImage::~TGIFImage()
{
    PaintStop();
    std::lock_guard lock(paintersLock_);
    for (TGIFPainter* p : painters_)
        p->DetachImage();
}

void TGIFImage::Clear()
{
    PaintStop();
    bitmap_.reset();
    images_.Clear();
    header_.Clear();
}

int TGIFImage::Add(std::unique_ptr<TGIFSubImage> frame)
{
    // Painters read the frame list from their own threads.
    PainterLock lock(*this);
    images_.Add(std::move(frame));
    bitmap_.reset();
    Changed();
    return images_.Count() - 1;
}

int TGIFImage::Add(const Bitmap& bmp, const Bitmap* transparencyMask)
{
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(bmp, transparencyMask);
    return Add(std::move(frame));
}

TGIFVersion TGIFImage::Version() const
{
    TGIFVersion v = TGIFVersion::gvUnknown;
    for (const auto& f : images_.Items()) {
        v = std::max(v, f->GetVersion());
        if (v == TGIFVersion::gv89a)
            break;
    }
    return v;
}

int TGIFImage::BitsPerPixel() const
{
    if (savingBitsPerPixel_)
        return *savingBitsPerPixel_;
    int bits = header_.BitsPerPixel();
    for (const auto& f : images_.Items())
        bits = std::max(bits, f->BitsPerPixel());
    return bits;
}

int TGIFImage::ColorResolution() const
{
    return BitsPerPixel() - 1;
}

bool TGIFImage::IsTransparent() const
{
    return std::any_of(images_.Items().begin(), images_.Items().end(), [](const auto& f) { return f->Transparent(); });
}

void TGIFImage::SetWidth(int w)
{
    if (w < 0 || w > 65535)
        RaiseGIFError(msg::kInvalidDimensions);
    for (const auto& f : images_.Items())
        if (f->Left() + f->Width() > w)
            RaiseGIFError(msg::kWidthTooSmall);
    if (w != header_.Width()) {
        header_.SetWidth(w);
        FreeBitmap();
        Changed();
    }
}

void TGIFImage::SetHeight(int h)
{
    if (h < 0 || h > 65535)
        RaiseGIFError(msg::kInvalidDimensions);
    for (const auto& f : images_.Items())
        if (f->Top() + f->Height() > h)
            RaiseGIFError(msg::kHeightTooSmall);
    if (h != header_.Height()) {
        header_.SetHeight(h);
        FreeBitmap();
        Changed();
    }
}

void TGIFImage::SetReductionBits(int n)
{
    if (n < 3 || n > 8)
        RaiseGIFError(msg::kBadReductionBits);
    reductionBits_ = n;
}

void TGIFImage::SetDrawOptions(TGIFDrawOptions options)
{
    if (options == drawOptions_)
        return;
    drawOptions_ = options;
    FreeBitmap();
    Changed();
}

void TGIFImage::SetAnimationSpeed(int percent)
{
    animationSpeed_ = std::clamp(percent, 0, 1000);
}

void TGIFImage::SetForceFrame(int n)
{
    forceFrame_ = n;
    Changed();
}

void TGIFImage::LoadFromStream(ByteReader& r, int maxFrames)
{
    ProgressScope progress(*this, msg::kLoading, true);
    Clear();
    const size_t start = r.pos();
    try {
        header_.LoadFromStream(r);
        images_.LoadFromStream(r, maxFrames);
        if (images_.Count() < maxFrames)
            TGIFTrailer(this).LoadFromStream(r);
    } catch (...) {
        Clear();
        r.seek(start);
        throw;
    }
}

void TGIFImage::SaveToStream(ByteWriter& w)
{
    ProgressScope progress(*this, msg::kSaving, true);
    struct SaveDepth {
        std::optional<int>& bits;
        ~SaveDepth() { bits.reset(); }
    } depth{savingBitsPerPixel_};
    savingBitsPerPixel_ = BitsPerPixel();
    header_.SaveToStream(w);
    images_.SaveToStream(w);
    TGIFTrailer(this).SaveToStream(w);
}

void TGIFImage::LoadFromFile(const std::string& path)
{
    auto bytes = ReadFileBytes(path, kPictureFileBytes);
    ByteReader r(bytes);
    LoadFromStream(r);
}

void TGIFImage::SaveToFile(const std::string& path)
{
    ByteWriter w;
    SaveToStream(w);
    WriteFileAtomic(path, w.bytes());
}

void TGIFImage::Assign(const TGIFImage& source)
{
    if (&source == this)
        return;
    Clear();
    // The copy reports to the source's handlers; our own are back afterwards.
    struct HandlerSwap {
        TGIFImage& target;
        TGIFWarning warning;
        TGIFProgress progress;
        HandlerSwap(TGIFImage& t, const TGIFImage& s)
            : target(t), warning(std::move(t.OnWarning)), progress(std::move(t.OnProgress))
        {
            target.OnWarning = s.OnWarning;
            target.OnProgress = s.OnProgress;
        }
        ~HandlerSwap()
        {
            target.OnWarning = std::move(warning);
            target.OnProgress = std::move(progress);
        }
    } swap(*this, source);

    ProgressScope progress(*this, msg::kCopying);
    header_.Assign(source.header_);
    drawBackgroundColor_ = source.drawBackgroundColor_;
    drawOptions_ = source.drawOptions_;
    colorReduction_ = source.colorReduction_;
    ditherMode_ = source.ditherMode_;
    forceFrame_ = source.forceFrame_;
    const int count = source.images_.Count();
    for (int i = 0; i < count; ++i) {
        auto frame = std::make_unique<TGIFSubImage>(this);
        frame->Assign(*source.images_.Image(i));
        images_.Add(std::move(frame));
        progress.Step((i + 1) * 100 / count);
    }
    bitmap_.reset();
    Changed();
}

void TGIFImage::Assign(const Bitmap& source, const Bitmap* transparencyMask)
{
    Clear();
    auto frame = std::make_unique<TGIFSubImage>(this);
    frame->Assign(source, transparencyMask);
    Add(std::move(frame));
}

void TGIFImage::AssignTo(Bitmap& dest)
{
    const Bitmap* bmp = GetBitmap();
    dest = bmp ? *bmp : Bitmap();
}

const Bitmap* TGIFImage::GetBitmap()
{
    if (Empty())
        return nullptr;
    TGIFSubImage* first = images_.Image(0);
    // A frame that fills the screen is its own rendering: no copy of it.
    if ((first->Width() == Width() && first->Height() == Height()) || Width() == 0 || Height() == 0)
        return &first->GetBitmap();
    if (!bitmap_) {
        // The screen is a picture of its own: a tiny frame on a huge
        // screen must not take gigabytes.
        try {
            CheckPictureMemory(Width(), Height(), 24);
        } catch (const BadInput& e) {
            RaiseGIFError(e.what());
        }
        bitmap_ = std::make_unique<Bitmap>(Width(), Height(), PixelFormat::pf24bit);
        first->Draw(*bitmap_, TRect{0, 0, Width(), Height()}, false, false);
    }
    return bitmap_.get();
}

void TGIFImage::FreeBitmap()
{
    bitmap_.reset();
}

std::vector<RGBQuad> TGIFImage::GetPalette() const
{
    if (header_.ColorMap().Count() > 0)
        return header_.ColorMap().ExportPalette();
    // The first frame's own map only: asking the frame would ask us again.
    if (!Empty())
        return images_.Image(0)->ColorMap().ExportPalette();
    return {};
}

bool TGIFImage::DoDither() const
{
    if (!HasOption(drawOptions_, goDither))
        return false;
    return HasOption(drawOptions_, goAutoDither) ? DoAutoDither : true;
}

void TGIFImage::Draw(Bitmap& dest, const TRect& rect)
{
    if (Empty())
        return;
    int index = forceFrame_ >= 0 && forceFrame_ < images_.Count() ? forceFrame_ : 0;
    images_.Image(index)->Draw(dest, rect, HasOption(drawOptions_, goTransparent), HasOption(drawOptions_, goTile));
}

void TGIFImage::SaveToClipboardFormat()
{
    if (Empty())
        return;
    ByteWriter w;
    SaveToStream(w);
    try {
        clipboard::SetBitmap(*GetBitmap());
        clipboard::SetData(kGifClipboardFormat, w.bytes());
    } catch (const Error&) {
        RaiseGIFError(msg::kClipboardFailed);
    }
}

void TGIFImage::LoadFromClipboardFormat()
{
    if (auto data = clipboard::GetData(kGifClipboardFormat)) {
        ByteReader r(*data);
        LoadFromStream(r);
        return;
    }
    if (auto bmp = clipboard::GetBitmap()) {
        Assign(*bmp);
        return;
    }
    RaiseGIFError(msg::kUnsupportedClipboard);
}

void TGIFImage::Warning(const void* sender, TGIFSeverity severity, const std::string& message)
{
    if (OnWarning)
        OnWarning(sender, severity, message);
}

void TGIFImage::Progress(TProgressStage stage, int percent, bool redraw, const std::string& message)
{
    if (OnProgress)
        OnProgress(stage, percent, redraw, message);
}

void TGIFImage::Changed()
{
    if (OnChange)
        OnChange();
}

void TGIFImage::PaletteChanged()
{
    bitmap_.reset();
}

} // namespace pc::gif
