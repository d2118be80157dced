// The animation painter on virtual time: passes, waits, disposal, events;
// an asynchronous painter on a real thread; and the animated files of the
// conformance suite composited frame by frame against their expected frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <sstream>

#include "codecs/gif/gif_extension_kinds.h"
#include "codecs/gif/gif_painter.h"
#include "gif_test_util.h"
#include "tests/support/test_data.h"

namespace pc::gif::test {
namespace {

// Time passes only by waiting. Every wait is recorded in slices, and as the
// sum of the slices since the last Mark (a wait without end stands alone).
class VirtualClock : public TPainterClock {
public:
    int64_t Now() override { return now; }
    bool Wait(TWakeEvent& wake, int64_t ms) override
    {
        slices.push_back(ms);
        if (open && ms > 0 && waits.back() > 0)
            waits.back() += ms;
        else
            waits.push_back(ms);
        open = ms > 0;
        if (ms > 0)
            now += ms;
        if (onWait)
            onWait();
        return wake.TryReset();
    }
    void Mark() { open = false; }
    int64_t now = 1000;
    std::vector<int64_t> waits, slices;
    bool open = false;
    std::function<void()> onWait;
};

struct FramePlan {
    uint8_t index;   // every pixel of the 2 x 2 frame
    int delay = -1;  // -1: no graphic control extension
    int disposal = 0;
};

// A 2 x 2 animation over a map of black, red, green, blue; a looping block
// on the first frame unless loops is below 0.
void Build(TGIFImage& gif, const std::vector<FramePlan>& frames, int loops)
{
    gif.ColorMap().Add({0, 0, 0});
    gif.ColorMap().Add({255, 0, 0});
    gif.ColorMap().Add({0, 255, 0});
    gif.ColorMap().Add({0, 0, 255});
    for (size_t i = 0; i < frames.size(); ++i) {
        auto frame = std::make_unique<TGIFSubImage>(&gif);
        frame->DoSetBounds(0, 0, 2, 2);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x)
                frame->SetPixel(x, y, frames[i].index);
        if (i == 0 && loops >= 0) {
            auto loop = std::make_unique<TGIFAppExtNSLoop>(frame.get());
            loop->SetLoops(loops);
            frame->Extensions().Add(std::move(loop));
        }
        if (frames[i].delay >= 0) {
            auto gce = std::make_unique<TGIFGraphicControlExtension>(frame.get());
            gce->SetDelay(frames[i].delay);
            gce->SetDisposal(TDisposalMethod(frames[i].disposal));
            frame->Extensions().Add(std::move(gce));
        }
        gif.Add(std::move(frame));
    }
}

struct PaintRun {
    int paints = 0, loops = 0, starts = 0, ends = 0;
    std::vector<int> frames;
    std::vector<TColor> shown; // canvas pixel 0,0 after each frame
    std::vector<int64_t> waits;
};

PaintRun Paint(TGIFImage& gif, TGIFDrawOptions options, int speed = 100)
{
    VirtualClock clock;
    Bitmap canvas(2, 2, PixelFormat::pf24bit);
    TSyncQueue queue;
    TGIFPainter painter(gif, canvas, TRect{0, 0, 2, 2}, options, clock, queue);
    painter.SetAnimationSpeed(speed);
    PaintRun run;
    painter.Events.OnStartPaint = [&](TGIFPainter&) { ++run.starts; };
    painter.Events.OnPaint = [&](TGIFPainter& p) {
        clock.Mark();
        ++run.paints;
        run.frames.push_back(p.ActiveImage());
    };
    painter.Events.OnAfterPaint = [&](TGIFPainter&) { run.shown.push_back(canvas.Pixel(0, 0)); };
    painter.Events.OnLoop = [&](TGIFPainter&) { ++run.loops; };
    painter.Events.OnEndPaint = [&](TGIFPainter& p) {
        ++run.ends;
        EXPECT_EQ(p.ActiveImage(), -1);
    };
    painter.Execute();
    run.waits = clock.waits;
    EXPECT_TRUE(std::all_of(clock.slices.begin(), clock.slices.end(), [](int64_t ms) { return ms <= 100; }))
        << "sleeps in slices";
    return run;
}

const TGIFDrawOptions kAnimate = DrawOption(goAnimate) | DrawOption(goLoop);

TEST(GifPainter, LoopCountGivesThePasses)
{
    struct Case {
        int loops;
        TGIFDrawOptions extra;
        int passes;
    };
    // A synchronous painter never loops for ever: "continuously" does not
    // hold it, and 0 (for ever) gives one pass.
    for (Case c : {Case{3, 0, 3}, Case{1, 0, 1}, Case{0, 0, 1}, Case{-1, 0, 1},
                   Case{0, DrawOption(goLoopContinously), 1}, Case{2, DrawOption(goLoopContinously), 2}}) {
        SCOPED_TRACE(c.loops);
        TGIFImage gif;
        Build(gif, {{1, 5}, {2, 5}}, c.loops);
        const PaintRun run = Paint(gif, kAnimate | c.extra);
        EXPECT_EQ(run.paints, 2 * c.passes);
        EXPECT_EQ(run.loops, c.passes - 1);
        EXPECT_EQ(run.starts, 1);
        EXPECT_EQ(run.ends, 1);
    }
    TGIFImage gif;
    Build(gif, {{1, 5}, {2, 5}}, 3);
    EXPECT_EQ(Paint(gif, DrawOption(goAnimate)).paints, 2) << "without goLoop one pass";
    EXPECT_EQ(Paint(gif, 0).frames, std::vector<int>{0}) << "without goAnimate the first frame only";
}

// 12 ms per hundredth; before the first frame the painter waits one
// hundredth; a delay of 1 is raised to 3, a missing or zero delay is 10.
TEST(GifPainter, WaitsFollowDelaysAndSpeed)
{
    TGIFImage gif;
    Build(gif, {{1, 1}, {2, 0}, {3, -1}, {1, 2000}}, 2);
    EXPECT_EQ(Paint(gif, kAnimate).waits, (std::vector<int64_t>{12, 36, 120, 120, 12000, 36, 120, 120}));
    EXPECT_EQ(Paint(gif, kAnimate, 200).waits, (std::vector<int64_t>{6, 18, 60, 60, 6000, 18, 60, 60}));
    EXPECT_EQ(Paint(gif, kAnimate, 50).waits, (std::vector<int64_t>{24, 72, 240, 240, 24000, 72, 240, 240}));
}

TEST(GifPainter, LagComesOffTheNextWait)
{
    TGIFImage gif;
    Build(gif, {{1, 10}, {2, 10}, {3, 10}}, -1);
    VirtualClock clock;
    Bitmap canvas(2, 2, PixelFormat::pf24bit);
    TSyncQueue queue;
    TGIFPainter painter(gif, canvas, TRect{0, 0, 2, 2}, kAnimate, clock, queue);
    painter.Events.OnPaint = [&](TGIFPainter&) { clock.Mark(); };
    // Painting the first two frames takes 40 ms each beyond the waits.
    painter.Events.OnAfterPaint = [&](TGIFPainter& p) {
        if (p.ActiveImage() < 2)
            clock.now += 40;
    };
    painter.Execute();
    EXPECT_EQ(clock.waits, (std::vector<int64_t>{12, 100, 100}));
}

// Reserved disposal values 4 to 7 paint like none.
TEST(GifPainter, ReservedDisposalsArePainted)
{
    TGIFImage gif;
    Build(gif, {{1, 5, 2}, {2, 5, 5}, {3, 5, 7}}, -1);
    EXPECT_EQ(Paint(gif, DrawOption(goAnimate)).shown,
              (std::vector<TColor>{RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255)}));
}

// Frame 1 covers only pixel 0,0: pixel 1,1 shows what the disposal of
// frame 0 left over a canvas of (9, 9, 9). Cleared areas take what lay under
// the rectangle when painting transparently, else the screen's background
// colour (entry 3, blue).
TEST(GifPainter, UncoveredPixelsShowWhatDisposalLeft)
{
    const TColor red = RGB(255, 0, 0), under = RGB(9, 9, 9), blue = RGB(0, 0, 255);
    struct Case {
        int disposal;
        bool transparent;
        TColor expect;
    };
    for (Case c : {Case{1, true, red}, Case{2, true, under}, Case{3, true, under}, Case{5, true, red},
                   Case{1, false, red}, Case{2, false, blue}, Case{3, false, under}, Case{6, false, red}}) {
        SCOPED_TRACE(std::to_string(c.disposal) + (c.transparent ? " transparent" : " opaque"));
        TGIFImage gif;
        Build(gif, {{1, 5, c.disposal}, {2, 5, 1}}, -1);
        gif.SetBackgroundColorIndex(3);
        gif.Images().Image(1)->DoSetBounds(0, 0, 1, 1);
        gif.Images().Image(1)->SetPixel(0, 0, 2);
        VirtualClock clock;
        Bitmap canvas(2, 2, PixelFormat::pf24bit);
        canvas.Fill(under);
        TSyncQueue queue;
        const TGIFDrawOptions options =
            DrawOption(goAnimate) | (c.transparent ? DrawOption(goTransparent) : TGIFDrawOptions(0));
        TGIFPainter painter(gif, canvas, TRect{0, 0, 2, 2}, options, clock, queue);
        painter.Execute();
        EXPECT_EQ(canvas.Pixel(1, 1), c.expect);
        EXPECT_EQ(canvas.Pixel(0, 0), RGB(0, 255, 0));
    }
}

TEST(GifPainter, AfterPaintMayChooseTheNextFrame)
{
    TGIFImage gif;
    Build(gif, {{1, 5}, {2, 5}, {3, 5}}, -1);
    VirtualClock clock;
    Bitmap canvas(2, 2, PixelFormat::pf24bit);
    TSyncQueue queue;
    TGIFPainter painter(gif, canvas, TRect{0, 0, 2, 2}, kAnimate, clock, queue);
    std::vector<int> painted;
    painter.Events.OnPaint = [&](TGIFPainter& p) { painted.push_back(p.ActiveImage()); };
    painter.Events.OnAfterPaint = [&](TGIFPainter& p) {
        if (p.ActiveImage() == 0)
            p.SetActiveImage(2);
        p.SetActiveImage(7); // out of range: ignored
    };
    painter.Execute();
    EXPECT_EQ(painted, (std::vector<int>{0, 2}));
}

TEST(GifPainter, PauseHoldsUntilResumed)
{
    TGIFImage gif;
    Build(gif, {{1, 5}, {2, 5}}, -1);
    VirtualClock clock;
    Bitmap canvas(2, 2, PixelFormat::pf24bit);
    TSyncQueue queue;
    TGIFPainter painter(gif, canvas, TRect{0, 0, 2, 2}, kAnimate, clock, queue);
    int paints = 0;
    painter.Events.OnPaint = [&](TGIFPainter& p) {
        clock.Mark();
        if (++paints == 1)
            p.Pause();
    };
    clock.onWait = [&] {
        if (clock.waits.back() < 0)
            painter.Resume();
    };
    painter.Execute();
    EXPECT_EQ(paints, 2);
    EXPECT_EQ(clock.waits, (std::vector<int64_t>{12, -1, 60}));
}

// A new speed restarts a synchronous painter from the first frame.
TEST(GifPainter, SpeedChangeRestartsASynchronousPainter)
{
    TGIFImage gif;
    Build(gif, {{1, 5}, {2, 5}}, -1);
    VirtualClock clock;
    Bitmap canvas(2, 2, PixelFormat::pf24bit);
    TSyncQueue queue;
    TGIFPainter painter(gif, canvas, TRect{0, 0, 2, 2}, kAnimate, clock, queue);
    int starts = 0;
    std::vector<int> painted;
    painter.Events.OnStartPaint = [&](TGIFPainter&) { ++starts; };
    painter.Events.OnPaint = [&](TGIFPainter& p) {
        clock.Mark();
        painted.push_back(p.ActiveImage());
    };
    painter.Events.OnAfterPaint = [&](TGIFPainter& p) {
        if (starts == 1)
            p.SetAnimationSpeed(200);
    };
    painter.Execute();
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(painted, (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(clock.waits, (std::vector<int64_t>{12, 6, 30}));
}

// Speed 0 holds a synchronous painter 12 seconds per frame; an asynchronous
// one (run here on this thread) until something wakes it.
TEST(GifPainter, SpeedZeroHoldsUntilTheSpeedChanges)
{
    TGIFImage gif;
    Build(gif, {{1, 5}, {2, 5}}, -1);
    EXPECT_EQ(Paint(gif, kAnimate, 0).waits, (std::vector<int64_t>{12000, 12000}));
    EXPECT_EQ(Paint(gif, kAnimate | DrawOption(goAsync), 0).waits, std::vector<int64_t>{-1}) << "not before frame 0";
}

TEST(GifPainter, AsynchronousPainterRunsEventsOnTheOwnerThreadUntilStopped)
{
    TGIFImage gif;
    Build(gif, {{1, 5}, {2, 5}, {3, 5}}, 0);
    VirtualClock clock;
    Bitmap canvas(2, 2, PixelFormat::pf24bit);
    TSyncQueue queue;
    const auto owner = std::this_thread::get_id();
    std::atomic<int> paints{0};
    bool offThread = false;
    {
        TGIFPainter painter(gif, canvas, TRect{0, 0, 2, 2}, kAnimate | DrawOption(goAsync), clock, queue);
        painter.Events.OnPaint = [&](TGIFPainter&) {
            offThread = offThread || std::this_thread::get_id() != owner;
            ++paints;
        };
        painter.Start();
        // Loops 0: for ever, as long as the owner pumps; another thread reads
        // the disposal meanwhile.
        std::atomic<int> reads{0};
        std::thread reader([&] {
            for (; paints < 10 || reads < 100; ++reads)
                EXPECT_NE(painter.Disposal(), TDisposalMethod::dmBackground);
        });
        while (paints < 10 || reads < 100)
            queue.ProcessPending();
        reader.join();
        gif.PaintStop();
        EXPECT_TRUE(painter.Finished());
        EXPECT_TRUE(painter.Terminated());
    }
    EXPECT_FALSE(offThread);
    EXPECT_GE(paints, 10);
    const TColor shown = canvas.Pixel(0, 0);
    EXPECT_TRUE(shown == RGB(255, 0, 0) || shown == RGB(0, 255, 0) || shown == RGB(0, 0, 255));
}

// Virtual time that only the owner moves on: a wait ends when the owner's
// ticks reach its end, or when woken.
class OwnerClock : public TPainterClock {
public:
    int64_t Now() override
    {
        std::lock_guard lock(mutex_);
        return now_;
    }
    bool Wait(TWakeEvent& wake, int64_t ms) override
    {
        std::unique_lock lock(mutex_);
        deadline_ = ms < 0 ? INT64_MAX : now_ + ms;
        for (;;) {
            if (wake.TryReset() || now_ >= deadline_) {
                const bool woken = now_ < deadline_;
                deadline_ = -1;
                return woken;
            }
            ticked_.wait_for(lock, std::chrono::milliseconds(1));
        }
    }
    // True while a wait is held that the owner's time has not yet ended.
    bool Held()
    {
        std::lock_guard lock(mutex_);
        return deadline_ > now_;
    }
    void Advance(int64_t ms)
    {
        std::lock_guard lock(mutex_);
        now_ += ms;
        ticked_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable ticked_;
    int64_t now_ = 1000, deadline_ = -1;
};

// An owner that pumps its queue every 100 ms, slower than the 120 ms frames
// take with their three hand-overs each: every frame comes, late, in order.
TEST(GifPainter, SlowOwnerSeesEveryFrameLateButInOrder)
{
    TGIFImage gif;
    Build(gif, {{1, 0}, {2, 0}, {3, 0}, {1, 0}, {2, 0}}, -1);
    OwnerClock clock;
    Bitmap canvas(2, 2, PixelFormat::pf24bit);
    TSyncQueue queue;
    std::atomic<bool> requested{false};
    queue.SetOnRequest([&] { requested = true; });
    TGIFPainter painter(gif, canvas, TRect{0, 0, 2, 2}, kAnimate | DrawOption(goAsync), clock, queue);
    std::vector<int> frames;
    std::vector<int64_t> times;
    painter.Events.OnPaint = [&](TGIFPainter& p) {
        frames.push_back(p.ActiveImage());
        times.push_back(clock.Now());
    };
    painter.Start();
    for (int tick = 0; tick < 200 && !painter.Finished(); ++tick) {
        // The painter runs until it hands something over or waits.
        while (!requested && !clock.Held() && !painter.Finished())
            std::this_thread::yield();
        clock.Advance(100);
        requested = false;
        queue.ProcessPending();
    }
    painter.Stop();
    EXPECT_EQ(frames, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
}

TEST(GifPainter, ImageStopsItsPaintersBeforeItChanges)
{
    TGIFImage gif;
    Build(gif, {{1, 5}, {2, 5}}, 0);
    Bitmap canvas(2, 2, PixelFormat::pf24bit);
    auto painter = gif.Paint(canvas, TRect{0, 0, 2, 2}, kAnimate | DrawOption(goAsync));
    ASSERT_NE(painter, nullptr);
    while (!painter->Painted())
        MainQueue().ProcessPending();
    gif.Add(std::make_unique<TGIFSubImage>(&gif));
    EXPECT_TRUE(painter->Finished()) << "stopped before the frame list grows";
    painter = gif.Paint(canvas, TRect{0, 0, 2, 2}, kAnimate | DrawOption(goAsync));
    while (!painter->Painted())
        MainQueue().ProcessPending();
    gif.Clear();
    EXPECT_TRUE(painter->Finished());
    EXPECT_EQ(gif.Paint(canvas, TRect{0, 0, 2, 2}, kAnimate | DrawOption(goAsync)), nullptr) << "empty";
}

// A synchronous painter running on another thread, in the 12 s wait before
// its second frame: a stop ends it there (a stop that waited for the whole
// animation would see both frames painted).
TEST(GifPainter, StopEndsASynchronousPainterOnAnotherThread)
{
    TGIFImage gif;
    Build(gif, {{1, 1000}, {2, 1000}}, -1);
    Bitmap canvas(2, 2, PixelFormat::pf24bit);
    std::atomic<int> paints{0};
    gif.PainterEvents.OnAfterPaint = [&](TGIFPainter&) { ++paints; };
    std::thread painting([&] {
        gif.Paint(canvas, TRect{0, 0, 2, 2}, kAnimate);
    });
    while (paints == 0)
        std::this_thread::yield();
    gif.PaintStop();
    EXPECT_EQ(paints, 1);
    painting.join();
    EXPECT_EQ(paints, 1);
}

// Runs body on this thread, the owner of the program's queue; a hang aborts
// the program naming the case.
void Watchdog(const std::string& name, const std::function<void()>& body)
{
    MainQueue();
    std::promise<void> done;
    std::thread dog([&name, ended = done.get_future()] {
        if (ended.wait_for(std::chrono::seconds(15)) == std::future_status::timeout) {
            std::fprintf(stderr, "%s: still running after 15 s\n", name.c_str());
            std::abort();
        }
    });
    body();
    done.set_value();
    dog.join();
}

// Three frames of 36 ms painted on the program's queue, which this thread pumps.
struct Animation {
    explicit Animation(int loops) { Build(gif, {{1, 1}, {2, 1}, {3, 1}}, loops); }
    std::unique_ptr<TGIFPainter> Paint() { return gif.Paint(canvas, {0, 0, 2, 2}, kAnimate | DrawOption(goAsync)); }
    TGIFImage gif;
    Bitmap canvas{2, 2, PixelFormat::pf24bit};
    std::unique_ptr<TGIFPainter> painter;
    std::atomic<int> n{0};
};

// A stop inside the painter's own handler returns at once; the painter ends
// after the handler. n counts what each case counts.
TEST(GifPainter, StopInsideItsOwnHandlerEndsThePainterAfterIt)
{
    struct Case { const char* name; int loops; void (*install)(Animation&); int n; };
    for (const Case& c : {
             Case{"PaintStop after frame 5", 0, [](Animation& a) {
                      a.gif.PainterEvents.OnAfterPaint = [&a](TGIFPainter&) {
                          if (++a.n == 5)
                              a.gif.PaintStop();
                      };
                  }, 5},
             Case{"Stop in OnPaint", 0, [](Animation& a) {
                      a.gif.PainterEvents.OnPaint = [](TGIFPainter& p) { p.Stop(); };
                      a.gif.PainterEvents.OnAfterPaint = [&a](TGIFPainter&) { ++a.n; };
                  }, 0},
             Case{"Stop in OnPaint, then the frames go", 0, [](Animation& a) {
                      a.gif.PainterEvents.OnPaint = [&a](TGIFPainter& p) {
                          p.Stop();
                          a.gif.Clear();
                      };
                      a.gif.PainterEvents.OnAfterPaint = [&a](TGIFPainter&) { ++a.n; };
                  }, 0},
             Case{"OnEndPaint replaces its painter twice, then resets it", -1, [](Animation& a) {
                      a.gif.PainterEvents.OnEndPaint = [&a](TGIFPainter&) { a.painter = ++a.n < 3 ? a.Paint() : nullptr; };
                  }, 3}}) {
        Watchdog(c.name, [&] {
            Animation a(c.loops);
            c.install(a);
            a.painter = a.Paint();
            while (a.painter && !a.painter->Finished())
                MainQueue().ProcessPending();
            EXPECT_EQ(a.n.load(), c.n) << c.name;
            // A painter stopped in OnPaint takes nothing more from its frame.
            if (a.painter)
                EXPECT_EQ(a.painter->Painted(), a.n > 0) << c.name;
        });
    }
}

// While the painter waits for the owner, another thread stops it and the
// owner does something that takes the painter list's lock, or stops it too.
TEST(GifPainter, StopsFromTwoThreadsAtOnceEnd)
{
    using Action = void (*)(Animation&);
    const Action paintStop = [](Animation& a) { a.gif.PaintStop(); };
    struct Case { const char* name; Action other, owner; };
    for (const Case& c : {
             Case{"PaintPause", paintStop, [](Animation& a) { a.gif.PaintPause(); }},
             Case{"Paint", paintStop, [](Animation& a) { a.Paint(); }},
             Case{"Add", paintStop, [](Animation& a) { a.gif.Add(std::make_unique<TGIFSubImage>(&a.gif)); }},
             Case{"Optimize", paintStop,
                  [](Animation& a) { a.gif.Optimize(0, TColorReduction::rmNone, TDitherMode::dmNearest, 8); }},
             Case{"painter's destructor", paintStop, [](Animation& a) { a.painter.reset(); }},
             Case{"painter's Stop beside PaintStop", [](Animation& a) { a.painter->Stop(); }, paintStop}}) {
        Watchdog(c.name, [&] {
            Animation a(0);
            std::atomic<bool> requested{false}, done{false};
            MainQueue().SetOnRequest([&] { requested = true; });
            a.painter = a.Paint();
            while (!requested)
                std::this_thread::yield();
            std::thread other([&] {
                c.other(a);
                done = true;
            });
            while (!a.painter->Terminated())
                std::this_thread::yield();
            c.owner(a);
            while (!done)
                MainQueue().ProcessPending();
            other.join();
            MainQueue().SetOnRequest(nullptr);
        });
    }
}

// A synchronous painter on another thread whose handler, once the owner's
// PaintStop has stopped it, takes the painter list's lock.
TEST(GifPainter, PaintStopLetsAPainterOnAnotherThreadTakeTheLock)
{
    Watchdog("handler takes the lock", [] {
        Animation a(-1);
        a.gif.PainterEvents.OnAfterPaint = [&a](TGIFPainter& p) {
            a.n = 1;
            while (!p.Terminated())
                std::this_thread::yield();
            a.gif.PaintPause();
        };
        std::thread painting([&a] { a.gif.Paint(a.canvas, {0, 0, 2, 2}, kAnimate); });
        while (a.n == 0)
            std::this_thread::yield();
        a.gif.PaintStop();
        painting.join();
    });
}

// ---- the conformance suite's expected frames ----

std::map<std::string, std::string> Section(const std::string& conf, const std::string& name)
{
    std::ifstream in(conf);
    std::map<std::string, std::string> values;
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] == '[') {
            inside = line == "[" + name + "]";
            continue;
        }
        const auto eq = line.find(" = ");
        if (inside && eq != std::string::npos)
            values[line.substr(0, eq)] = line.substr(eq + 3);
    }
    return values;
}

std::vector<std::string> Split(const std::string& s)
{
    std::vector<std::string> parts;
    std::stringstream ss(s);
    for (std::string p; std::getline(ss, p, ',');)
        parts.push_back(p);
    return parts;
}

// Suite files whose frames the suite lists (the commented-out ones of its
// TESTS file are not expected to decode).
std::vector<std::string> ExpectedFrameFiles()
{
    std::vector<std::string> files;
    std::ifstream tests(pc::test::kGifTestImages + "gif-test-suite/TESTS");
    for (std::string name; std::getline(tests, name);)
        if (!name.empty() && name[0] != '#' &&
            !Section(pc::test::kGifTestImages + "gif-test-suite/" + name + ".conf", "config")["frames"].empty())
            files.push_back(name);
    return files;
}

class ExpectedFrames : public testing::TestWithParam<std::string> {};

// Painted with transparency over a key colour the picture does not use:
// where the expected frame is transparent the key must show.
TEST_P(ExpectedFrames, ComposedFrameByFrame)
{
    const std::string dir = pc::test::kGifTestImages + "gif-test-suite/";
    const std::string conf = dir + GetParam() + ".conf";
    auto config = Section(conf, "config");
    const int width = std::stoi(config["width"]), height = std::stoi(config["height"]);
    const std::vector<std::string> frames = Split(config["frames"]);
    TGIFImage gif;
    const LoadResult res = LoadInto(gif, ReadAll(dir + config["input"]));
    ASSERT_TRUE(res.ok) << res.error;
    if (width == 0 || height == 0)
        return;

    const TColor key = RGB(1, 254, 3);
    Bitmap canvas(width, height, PixelFormat::pf24bit);
    canvas.Fill(key);
    VirtualClock clock;
    TSyncQueue queue;
    TGIFPainter painter(gif, canvas, TRect{0, 0, width, height},
                        DrawOption(goAnimate) | DrawOption(goTransparent), clock, queue);
    size_t shown = 0;
    painter.Events.OnAfterPaint = [&](TGIFPainter&) {
        ASSERT_LT(shown, frames.size());
        const auto rgba = ReadAll(dir + Section(conf, frames[shown])["pixels"]);
        ASSERT_EQ(rgba.size(), size_t(width) * size_t(height) * 4);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
                const TColor expect = p[3] == 0 ? key : RGB(p[0], p[1], p[2]);
                ASSERT_EQ(canvas.Pixel(x, y), expect) << "frame " << shown << " at " << x << "," << y;
            }
        ++shown;
    };
    painter.Execute();
    EXPECT_EQ(shown, frames.size());
}

INSTANTIATE_TEST_SUITE_P(Suite, ExpectedFrames, testing::ValuesIn(ExpectedFrameFiles()),
                         [](const auto& info) { return pc::test::CaseName(info.param); });

} // namespace
} // namespace pc::gif::test
