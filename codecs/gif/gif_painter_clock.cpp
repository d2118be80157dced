#include "codecs/gif/gif_painter_clock.h"

#include <chrono>

namespace pc::gif {

void TWakeEvent::Set()
{
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    cv_.notify_one();
}

bool TWakeEvent::TryReset()
{
    std::lock_guard lock(mutex_);
    const bool was = set_;
    set_ = false;
    return was;
}

bool TWakeEvent::Wait(int64_t ms)
{
    std::unique_lock lock(mutex_);
    if (ms < 0)
        cv_.wait(lock, [this] { return set_; });
    else
        cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return set_; });
    const bool woken = set_;
    set_ = false;
    return woken;
}

int64_t TSystemClock::Now()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TPainterClock& SystemClock()
{
    static TSystemClock clock;
    return clock;
}

} // namespace pc::gif
