#include "codecs/gif/gif_painter.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_image.h"

namespace pc::gif {

namespace {

constexpr TColor kWindowColor = clWhite;
// Longest single sleep of a synchronous painter, in milliseconds.
constexpr int64_t kSyncSlice = 100;

// Thrown on the painter's thread when a handler freed the painter.
struct Abandoned {};

// a * b / c rounded to the nearest, halves away from zero.
int64_t MulDiv(int64_t a, int64_t b, int64_t c)
{
    return int64_t(std::llround(double(a) * double(b) / double(c)));
}

Bitmap CopyOut(const Bitmap& src, const TRect& r)
{
    Bitmap out(int(r.Width()), int(r.Height()), PixelFormat::pf24bit);
    for (int y = std::max(0, -r.top); y < out.Height() && r.top + y < src.Height(); ++y)
        for (int x = std::max(0, -r.left); x < out.Width() && r.left + x < src.Width(); ++x)
            out.SetPixel(x, y, src.Pixel(r.left + x, r.top + y));
    return out;
}

void CopyIn(Bitmap& dest, const TRect& r, const Bitmap& src)
{
    for (int y = std::max(0, -r.top); y < src.Height() && r.top + y < dest.Height(); ++y)
        for (int x = std::max(0, -r.left); x < src.Width() && r.left + x < dest.Width(); ++x)
            dest.SetPixel(r.left + x, r.top + y, src.Pixel(x, y));
}

} // namespace

TDisposalMethod PaintedDisposal(const TGIFSubImage& frame)
{
    const auto* gce = frame.GraphicControlExtension();
    if (!gce)
        return TDisposalMethod::dmNoDisposal;
    const int d = int(gce->Disposal());
    return d <= int(TDisposalMethod::dmPrevious) ? TDisposalMethod(d) : TDisposalMethod::dmNone;
}

TGIFPainter::TGIFPainter(TGIFImage& image, Bitmap& canvas, const TRect& rect, TGIFDrawOptions options,
                         TPainterClock& clock, TSyncQueue& queue)
    : image_(&image), canvas_(canvas), rect_(rect), options_(options), clock_(clock), queue_(queue),
      speed_(image.AnimationSpeed())
{
    if (image.DrawBackgroundColor() != clNone)
        backgroundColor_ = image.DrawBackgroundColor();
    else if (image.ColorMap().Count() == 0)
        backgroundColor_ = kWindowColor;
    else
        backgroundColor_ = image.BackgroundColor();

    std::set<TDisposalMethod> used;
    for (const auto& f : image.Images().Items())
        used.insert(PaintedDisposal(*f));
    if (HasOption(options_, goClearOnLoop))
        used.insert(TDisposalMethod::dmBackground);
    const bool clears = used.count(TDisposalMethod::dmBackground) > 0;
    const bool restores = used.count(TDisposalMethod::dmPrevious) > 0;
    if (rect_.Width() > 0 && rect_.Height() > 0) {
        if (clears && HasOption(options_, goTransparent))
            background_ = std::make_unique<Bitmap>(CopyOut(canvas_, rect_));
        if (clears || restores) {
            backup_ = std::make_unique<Bitmap>(CopyOut(canvas_, rect_));
            frameBuffer_ = std::make_unique<Bitmap>(int(rect_.Width()), int(rect_.Height()), PixelFormat::pf24bit);
            frameBuffer_->Fill(backgroundColor_);
        }
    }
    image.RegisterPainter(this);
}

TGIFPainter::~TGIFPainter()
{
    Stop();
    const bool held = executing_ && HeldHere();
    if (!held)
        WaitForEnd();
    if (image_)
        image_->UnregisterPainter(this);
    std::lock_guard lock(threadMutex_);
    if (held) {
        *alive_ = false;
        if (thread_.joinable())
            thread_.detach();
    } else if (thread_.joinable()) {
        thread_.join();
    }
}

void TGIFPainter::Start()
{
    std::lock_guard lock(threadMutex_);
    if (!Async() || thread_.joinable() || finished_ || terminated_)
        return;
    executing_ = true;
    thread_ = std::thread([this] { Execute(); });
}

void TGIFPainter::Stop()
{
    terminated_ = true;
    wake_.Set();
}

bool TGIFPainter::HeldHere() const
{
    const std::thread::id executor = executor_;
    return executor == std::this_thread::get_id() || (Async() && queue_.Serving(executor));
}

void TGIFPainter::WaitForEnd()
{
    // A painter waiting for the owner thread can only end when that thread runs its request.
    while (Awaitable())
        if (!Async() || !queue_.OnOwnerThread() || queue_.ProcessPending() == 0)
            std::this_thread::yield();
}

void TGIFPainter::Pause()
{
    paused_ = true;
}

void TGIFPainter::Resume()
{
    paused_ = false;
    wake_.Set();
}

void TGIFPainter::Restart()
{
    restart_ = true;
    wake_.Set();
}

void TGIFPainter::SetActiveImage(int i)
{
    if (image_ && i >= 0 && i < image_->Images().Count()) {
        activeImage_ = i;
        activeImageSet_ = true;
    }
}

void TGIFPainter::SetAnimationSpeed(int percent)
{
    percent = std::clamp(percent, 0, 1000);
    if (percent == speed_)
        return;
    speed_ = percent;
    if (Async())
        wake_.Set();
    else
        restart_ = true;
}

void TGIFPainter::DoSynchronize(const std::function<void()>& fn)
{
    if (terminated_)
        return;
    const std::shared_ptr<std::atomic<bool>> alive = alive_;
    if (!Async()) {
        fn();
    } else {
        queue_.Synchronize([&] {
            if (!terminated_)
                fn();
        });
    }
    if (!*alive)
        throw Abandoned{};
}

void TGIFPainter::Fire(const TGIFPainterEvent& event)
{
    // A copy: the handler may free the painter and its events with it.
    if (const TGIFPainterEvent handler = event)
        DoSynchronize([&] { handler(*this); });
}

void TGIFPainter::WaitWhilePaused()
{
    while (paused_ && !terminated_)
        clock_.Wait(wake_, -1);
}

void TGIFPainter::WaitForFrame(int delay, int64_t& lastTime, int64_t& lastWait)
{
    const int speed = speed_;
    int64_t wait;
    if (speed < 1) {
        wait = Async() ? -1 : int64_t(1000) * GIFDelayExp;
    } else {
        const int64_t now = clock_.Now();
        const int64_t lag = ((now - lastTime) - lastWait) / 2;
        wait = MulDiv(int64_t(delay) * GIFDelayExp - lag, 100, speed);
        lastWait = wait;
        lastTime = now;
    }
    if (!Async()) {
        // In slices, so that a stop or a new speed ends the wait within one.
        for (int64_t left = std::max<int64_t>(1, wait); left > 0 && Running(); left -= kSyncSlice)
            if (clock_.Wait(wake_, std::min(left, kSyncSlice)))
                break;
        return;
    }
    // A frame late by more than its delay is painted at once; only speed 0
    // waits without end. A wake-up (speed change, stop) starts the clock afresh.
    if (wait > 0 || speed < 1) {
        if (clock_.Wait(wake_, wait)) {
            lastTime = clock_.Now();
            lastWait = 0;
        }
    }
}

void TGIFPainter::Execute()
{
    executor_ = std::this_thread::get_id();
    executing_ = true;
    struct FinishedFlag {
        TGIFPainter& painter;
        const std::shared_ptr<std::atomic<bool>> alive;
        ~FinishedFlag()
        {
            // Last: once executing_ is false the painter may go.
            if (*alive) {
                painter.finished_ = true;
                painter.executing_ = false;
            }
        }
    } finished{*this, alive_};
    try {
        Run();
    } catch (const Abandoned&) {
    }
}

void TGIFPainter::Run()
{
    if (!image_)
        return;
    do {
        activeImage_ = 0;
        Fire(Events.OnStartPaint);
        restart_ = false;
        painted_ = false;
        int64_t loops = 1; // below 0: without end
        int loopStart = 0;
        bool loopSeen = false;
        int delay = Async() ? 0 : 1;
        oldDisposal_ = TDisposalMethod::dmNoDisposal;
        int64_t lastTime = clock_.Now(), lastWait = 0;

        while ((loops != 0 || (Async() && HasOption(options_, goLoopContinously))) && Running()) {
            activeImage_ = loopStart;
            if (painted_)
                Fire(Events.OnLoop);
            // Running first: a stopped painter's image may be changing.
            while (Running() && activeImage_ < image_->Images().Count()) {
                WaitWhilePaused();
                if (!Running())
                    break;
                TGIFSubImage& frame = *image_->Images().Image(activeImage_);
                if (frame.Empty())
                    break;
                if (delay < 1) {
                    std::this_thread::yield();
                } else {
                    DoSynchronize([&] { frame.GetBitmap(); });
                    WaitForFrame(delay, lastTime, lastWait);
                    if (!Running())
                        break;
                }
                Fire(Events.OnPaint);
                if (terminated_)
                    break;

                for (const auto& e : frame.Extensions().Items()) {
                    if (auto* loop = dynamic_cast<TGIFAppExtNSLoop*>(e.get()); loop && !loopSeen) {
                        loopSeen = true;
                        loopStart = activeImage_;
                        loops = loop->Loops();
                        // Looping for ever is for painters that run beside the program.
                        if (Async() && (loops == 0 || HasOption(options_, goLoopContinously)))
                            loops = -1;
                    }
                }
                disposal_ = PaintedDisposal(frame);
                int nextDelay = GIFDefaultDelay;
                if (const auto* gce = frame.GraphicControlExtension(); gce && gce->Delay() != 0) {
                    nextDelay = std::max(gce->Delay(), GIFMinimumDelay);
                    if (!Async())
                        nextDelay = std::min(nextDelay, GIFMaximumDelay);
                }
                DoSynchronize([&] { PaintFrame(frame); });
                oldDisposal_ = disposal_;
                painted_ = true;
                delay = nextDelay;
                activeImageSet_ = false;
                Fire(Events.OnAfterPaint);
                if (!activeImageSet_)
                    ++activeImage_;
                if (!HasOption(options_, goAnimate))
                    break;
            }
            if (loops > 0)
                --loops;
            if (!HasOption(options_, goAnimate) || !HasOption(options_, goLoop))
                break;
        }
    } while (restart_ && !terminated_);
    activeImage_ = -1;
    Fire(Events.OnEndPaint);
}

void TGIFPainter::PaintFrame(TGIFSubImage& frame)
{
    if (!backup_) {
        frame.Draw(canvas_, rect_, HasOption(options_, goTransparent), HasOption(options_, goTile));
        return;
    }
    ComposeFrame(frame);
}

void TGIFPainter::ComposeFrame(TGIFSubImage& frame)
{
    const bool transparent = HasOption(options_, goTransparent), tile = HasOption(options_, goTile);
    const TRect local{0, 0, int(rect_.Width()), int(rect_.Height())};
    if (HasOption(options_, goClearOnLoop) && activeImage_ == 0)
        ClearArea(frame);
    const bool restored = disposal_ == TDisposalMethod::dmPrevious;
    const bool previousDisposed =
        oldDisposal_ == TDisposalMethod::dmBackground || oldDisposal_ == TDisposalMethod::dmPrevious;
    if (!restored) {
        frame.Draw(*backup_, local, transparent, tile);
        CopyIn(canvas_, rect_, *backup_);
        if (disposal_ == TDisposalMethod::dmBackground)
            ClearArea(frame);
    } else if (!previousDisposed) {
        // The canvas shows the composed picture; the frame goes away with the next one.
        frame.Draw(canvas_, rect_, transparent, tile);
    } else {
        *frameBuffer_ = *backup_;
        frame.Draw(*frameBuffer_, local, transparent, tile);
        CopyIn(canvas_, rect_, *frameBuffer_);
    }
}

void TGIFPainter::ClearArea(TGIFSubImage& frame)
{
    const TRect local{0, 0, int(rect_.Width()), int(rect_.Height())};
    std::vector<TRect> areas;
    const TRect area = frame.ScaleRect(local);
    const int64_t screenW = image_->Width() > 0 ? image_->Width() : frame.Width();
    const int64_t screenH = image_->Height() > 0 ? image_->Height() : frame.Height();
    const bool covers = frame.Left() == 0 && frame.Top() == 0 && frame.Width() >= screenW && frame.Height() >= screenH;
    if (HasOption(options_, goTile) && !covers) {
        // The frame repeats at the screen's size from the rectangle's corner.
        for (int64_t ty = frame.Top(); ty < local.bottom; ty += screenH)
            for (int64_t tx = frame.Left(); tx < local.right; tx += screenW)
                areas.push_back({int(tx), int(ty), int(tx + frame.Width()), int(ty + frame.Height())});
    } else {
        areas.push_back(area);
    }
    for (const TRect& a : areas) {
        for (int y = std::max(a.top, 0); y < std::min(a.bottom, local.bottom); ++y)
            for (int x = std::max(a.left, 0); x < std::min(a.right, local.right); ++x)
                backup_->SetPixel(x, y, background_ ? background_->Pixel(x, y) : backgroundColor_);
    }
}

} // namespace pc::gif
