#pragma once
// Time as an animation painter sees it: a millisecond clock and a wait that
// a wake-up event cuts short. Tests hand painters a virtual clock.
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace pc::gif {

// Auto-reset event: Set wakes one waiter, or the next one to wait.
class TWakeEvent {
public:
    void Set();
    // Consumes a pending Set; true when there was one.
    bool TryReset();
    // Waits up to ms milliseconds (below 0: without end); true when woken.
    bool Wait(int64_t ms);

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool set_ = false;
};

class TPainterClock {
public:
    virtual ~TPainterClock() = default;
    virtual int64_t Now() = 0;
    // Waits ms milliseconds (below 0: until woken) or until wake is set; true when woken.
    virtual bool Wait(TWakeEvent& wake, int64_t ms) = 0;
};

// The steady system clock.
class TSystemClock final : public TPainterClock {
public:
    int64_t Now() override;
    bool Wait(TWakeEvent& wake, int64_t ms) override { return wake.Wait(ms); }
};

TPainterClock& SystemClock();

} // namespace pc::gif
