// The image's side of its animation painters: creating them, and starting,
// pausing and stopping all of them together.
#include <algorithm>

#include "codecs/gif/gif_image.h"

namespace pc::gif {

void TGIFImage::RegisterPainter(TGIFPainter* painter)
{
    std::lock_guard lock(paintersLock_);
    painters_.push_back(painter);
}

void TGIFImage::UnregisterPainter(TGIFPainter* painter)
{
    std::lock_guard lock(paintersLock_);
    std::erase(painters_, painter);
}

template <class F>
void TGIFImage::ForEachPainter(F f)
{
    std::lock_guard lock(paintersLock_);
    for (TGIFPainter* p : painters_)
        f(*p);
}

std::unique_ptr<TGIFPainter> TGIFImage::Paint(Bitmap& canvas, const TRect& rect, TGIFDrawOptions options)
{
    if (Empty() || rect.left >= rect.right || rect.top >= rect.bottom)
        return nullptr;
    if (images_.Count() == 1)
        options &= TGIFDrawOptions(~(DrawOption(goAsync) | DrawOption(goAnimate)));
    std::unique_lock lock(paintersLock_);
    auto painter = std::make_unique<TGIFPainter>(*this, canvas, rect, options);
    painter->Events = PainterEvents;
    if (!HasOption(options, goAsync)) {
        // Unlocked while it runs, so that another thread can stop it.
        lock.unlock();
        painter->Execute();
        return nullptr;
    }
    painter->Start();
    return painter;
}

void TGIFImage::PaintStart()
{
    ForEachPainter([](TGIFPainter& p) { p.Start(); });
}

void TGIFImage::PaintPause()
{
    ForEachPainter([](TGIFPainter& p) { p.Pause(); });
}

void TGIFImage::PaintResume()
{
    ForEachPainter([](TGIFPainter& p) {
        p.Resume();
        p.Start();
    });
}

void TGIFImage::PaintRestart()
{
    ForEachPainter([](TGIFPainter& p) { p.Restart(); });
}

bool TGIFImage::StopPainters(std::vector<TSyncQueue*>* queues)
{
    bool running = false;
    ForEachPainter([&](TGIFPainter& p) {
        p.Stop();
        if (!p.Awaitable())
            return;
        running = true;
        if (queues && p.Async() && p.queue_.OnOwnerThread())
            queues->push_back(&p.queue_);
    });
    return running;
}

void TGIFImage::PaintStop()
{
    // Waits outside the lock, so that painters whose handlers take it can end.
    for (std::vector<TSyncQueue*> queues; StopPainters(&queues); queues.clear()) {
        int ran = 0;
        for (TSyncQueue* q : queues)
            ran += q->ProcessPending();
        if (ran == 0)
            std::this_thread::yield();
    }
    // Under the lock, as two threads may stop at once.
    std::lock_guard lock(paintersLock_);
    FreeBitmap();
}

TGIFImage::PainterLock::PainterLock(TGIFImage& image) : lock_(image.paintersLock_, std::defer_lock)
{
    // A painter may have started between the wait and the lock.
    for (;;) {
        image.PaintStop();
        lock_.lock();
        if (!image.StopPainters(nullptr))
            return;
        lock_.unlock();
    }
}

} // namespace pc::gif
