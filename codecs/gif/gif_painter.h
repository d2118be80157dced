#pragma once
// Paints a GIF picture into a rectangle of a bitmap, once or animated: frame
// delays and animation speed, the loop count, and each frame's disposal.
// A synchronous painter runs in Execute on the caller's thread; an
// asynchronous one (goAsync) on a thread of its own from Start, handing every
// paint and every event to the owner thread of its queue, which must pump the
// queue from its event loop (the program's GUI loop does, see
// app/window/gif_painter_pump.h).
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "codecs/gif/gif_painter_clock.h"
#include "codecs/gif/gif_sync_queue.h"
#include "codecs/gif/gif_types.h"
#include "platform/bitmap.h"

namespace pc::gif {

class TGIFImage;
class TGIFSubImage;
class TGIFPainter;

using TGIFPainterEvent = std::function<void(TGIFPainter&)>;

struct TGIFPainterEvents {
    TGIFPainterEvent OnStartPaint; // before the first frame of each run
    TGIFPainterEvent OnPaint;      // before each frame
    TGIFPainterEvent OnAfterPaint; // after each frame; may change ActiveImage
    TGIFPainterEvent OnLoop;       // at the start of each further pass
    TGIFPainterEvent OnEndPaint;   // when painting ends
};

// Hundredths of a second: frame delays as the painter applies them.
inline constexpr int GIFDelayExp = 12; // milliseconds per hundredth as counted
inline constexpr int GIFDefaultDelay = 10;
inline constexpr int GIFMinimumDelay = 3;
inline constexpr int GIFMaximumDelay = 1000;

// A frame's disposal as painted: the reserved values 4 to 7 count as none.
TDisposalMethod PaintedDisposal(const TGIFSubImage& frame);

class TGIFPainter {
public:
    // Registers with the image, which stops it before it changes or goes.
    TGIFPainter(TGIFImage& image, Bitmap& canvas, const TRect& rect, TGIFDrawOptions options,
                TPainterClock& clock = SystemClock(), TSyncQueue& queue = MainQueue());
    // Stops and waits for the painter to end, running the queue meanwhile
    // when on its owner thread. Inside one of its own handlers it cannot
    // wait: the painter then ends once the handler returns.
    ~TGIFPainter();
    TGIFPainter(const TGIFPainter&) = delete;
    TGIFPainter& operator=(const TGIFPainter&) = delete;

    TGIFPainterEvents Events;

    // Asynchronous painters: launches the thread (once, and not once stopped).
    void Start();
    // Ends painting without waiting for it: the painter ends after the paint
    // or event it runs now. The destructor and the image's PaintStop wait.
    void Stop();
    void Pause();
    void Resume();
    // Begins again with the first frame.
    void Restart();
    // The painting loop; synchronous painters are run through it directly.
    void Execute();

    int ActiveImage() const { return activeImage_; }
    // Accepted for 0 <= i < frame count.
    void SetActiveImage(int i);
    int AnimationSpeed() const { return speed_; }
    // Percent, clamped to 0..1000; 0 holds the animation until the speed changes.
    void SetAnimationSpeed(int percent);
    bool Terminated() const { return terminated_; }
    bool Painted() const { return painted_; }
    bool Finished() const { return finished_; }
    TGIFDrawOptions DrawOptions() const { return options_; }
    TDisposalMethod Disposal() const { return disposal_.load(); }
    TColor BackgroundColor() const { return backgroundColor_; }

private:
    friend class TGIFImage;
    // The image is going away: the painter is stopped and forgets it.
    void DetachImage() { image_ = nullptr; }

    bool Async() const { return HasOption(options_, goAsync); }
    bool Running() const { return !terminated_ && !restart_; }
    // This thread is the painter's own, or runs one of its hand-overs: the
    // painter can go on only after this thread returns.
    bool HeldHere() const;
    // Not yet ended, and this thread can wait for that.
    bool Awaitable() const { return executing_ && !HeldHere(); }
    // Waits until Awaitable is false, running the queue when on its owner thread.
    void WaitForEnd();
    // The painting loop of Execute.
    void Run();
    void DoSynchronize(const std::function<void()>& fn);
    void Fire(const TGIFPainterEvent& event);
    // Waits before a frame for the previous frame's delay, less half of the
    // time that frame took beyond its own wait.
    void WaitForFrame(int delay, int64_t& lastTime, int64_t& lastWait);
    void WaitWhilePaused();
    void PaintFrame(TGIFSubImage& frame);
    void ComposeFrame(TGIFSubImage& frame);
    void ClearArea(TGIFSubImage& frame);

    TGIFImage* image_;
    Bitmap& canvas_;
    TRect rect_;
    TGIFDrawOptions options_;
    TPainterClock& clock_;
    TSyncQueue& queue_;
    TColor backgroundColor_;

    std::unique_ptr<Bitmap> backup_;      // the composed picture
    std::unique_ptr<Bitmap> frameBuffer_; // for a frame restored afterwards
    std::unique_ptr<Bitmap> background_;  // what lay under the rectangle
    TWakeEvent wake_;
    std::mutex threadMutex_; // guards thread_ and its launch
    std::thread thread_;
    // False once the painter was freed by one of its own handlers: the
    // thread, which keeps a copy, then ends touching nothing of it.
    std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);

    std::atomic<int> activeImage_{-1};
    std::atomic<bool> activeImageSet_{false};
    std::atomic<int> speed_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> restart_{false};
    std::atomic<bool> paused_{false};
    std::atomic<bool> painted_{false};
    std::atomic<bool> finished_{false};
    // Launched or in Execute, so that a stop from elsewhere can wait for it.
    std::atomic<bool> executing_{false};
    std::atomic<std::thread::id> executor_;
    std::atomic<TDisposalMethod> disposal_{TDisposalMethod::dmNoDisposal};
    TDisposalMethod oldDisposal_ = TDisposalMethod::dmNoDisposal;
};

} // namespace pc::gif
