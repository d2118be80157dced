#include "app/publish/tiled_render.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include "app/publish/pass_blend.h"
#include "platform/resample.h"

namespace pc {

namespace {

// Ends the off-screen render however the render ends.
struct OffscreenGuard {
    RenderHost& host;
    ~OffscreenGuard() { host.EndOffscreen(); }
};

struct SubmittedPass {
    Tile tile;
    int pass, buffer;
};

// The passes handed from the drawing thread to the reading one, and how many
// of them have been read.
class ReadQueue {
public:
    void Push(const SubmittedPass& p)
    {
        std::lock_guard lock(mutex_);
        passes_.push_back(p);
        changed_.notify_all();
    }
    // The next pass to read; none once closed and empty.
    std::optional<SubmittedPass> Take()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return closed_ || !passes_.empty(); });
        if (passes_.empty())
            return std::nullopt;
        SubmittedPass p = passes_.front();
        passes_.pop_front();
        return p;
    }
    void MarkRead()
    {
        std::lock_guard lock(mutex_);
        ++read_;
        changed_.notify_all();
    }
    // Waits until count passes have been read; false when reading failed.
    bool WaitRead(int count)
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return read_ >= count || error_; });
        return !error_;
    }
    void Fail(std::exception_ptr e)
    {
        std::lock_guard lock(mutex_);
        error_ = e;
        passes_.clear();
        changed_.notify_all();
    }
    void Close()
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }
    std::exception_ptr Error()
    {
        std::lock_guard lock(mutex_);
        return error_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<SubmittedPass> passes_;
    int read_ = 0;
    bool closed_ = false;
    std::exception_ptr error_;
};

// Reads and blends the submitted passes in order on a thread of its own.
// Whatever ends the render, the thread has finished before the buffers go.
class PassReader {
public:
    PassReader(RenderHost& host, Bitmap& picture, int bufferW, int passes)
        : thread_([this, &host, &picture, bufferW, passes] { Run(host, picture, bufferW, passes); })
    {
    }
    ~PassReader() { Finish(); }
    ReadQueue& Queue() { return queue_; }
    // Lets the thread read what was submitted and waits for it; an error it
    // met stays in the queue.
    void Finish()
    {
        queue_.Close();
        if (thread_.joinable())
            thread_.join();
    }

private:
    void Run(RenderHost& host, Bitmap& picture, int bufferW, int n)
    {
        try {
            host.BeginReading();
            struct End {
                RenderHost& host;
                ~End() { host.EndReading(); }
            } end{host};
            while (auto s = queue_.Take()) {
                const uint8_t* pixels = host.Pixels(s->buffer);
                // The next pass may be submitted now: the pixels are the
                // host's own copy, or stay in this buffer until the pass
                // after that, which waits for this blend to end.
                queue_.MarkRead();
                for (int r = 0; r < s->tile.height; ++r)
                    BlendPassRow(picture, s->tile.top + r, s->tile.left, pixels + size_t(r) * size_t(bufferW) * 4,
                                 s->tile.width, s->pass, n);
            }
        } catch (...) {
            queue_.Fail(std::current_exception());
        }
    }

    ReadQueue queue_;
    std::thread thread_;
};

} // namespace

TiledRenderResult RenderToBitmap(RenderHost& host, int W, int H, int desktopW, int desktopH, AntiAlias method,
                                 int maxTile)
{
    W = std::max(W, 1);
    H = std::max(H, 1);
    const RenderPlan plan = PlanRender(W, H, desktopW, desktopH, method);
    const int rw = plan.renderW, rh = plan.renderH, n = plan.passes;
    const auto tiles = PlanTiles(rw, rh, std::min(maxTile, rw), std::min(maxTile, rh));
    const int progressMax = int(tiles.size()) * n;

    TiledRenderResult result;
    Bitmap picture(rw, rh, PixelFormat::pf24bit); // black until the first pass
    {
        const int bufferW = std::min(maxTile, rw), bufferH = std::min(maxTile, rh);
        host.BeginOffscreen(bufferW, bufferH);
        OffscreenGuard guard{host};
        // Pass k is drawn while pass k - 1 is rasterised; it is submitted
        // once pass k - 1 has been read, so that the read waits for nothing
        // newer, and the rasteriser then goes on with pass k while k - 1 is
        // blended and k + 1 drawn.
        PassReader reader(host, picture, bufferW, n);
        int step = 0;
        bool reading = true; // false once the reading thread failed
        for (const Tile& t : tiles) {
            for (int pass = 0; pass < n && reading && !host.Cancelled(); ++pass, ++step) {
                const int buffer = step % 2;
                host.SelectBuffer(buffer);
                // The buffer's bottom-left pixel shows frame position (readX, readY);
                // a narrower edge tile uses the bottom-left part of the buffer.
                host.SetTileView(rw, rh, t.readX, t.readY - (bufferH - t.height));
                host.RenderPass(pass, n);
                reading = reader.Queue().WaitRead(step);
                if (!reading)
                    break;
                host.Submit();
                reader.Queue().Push({t, pass, buffer});
                host.ProcessEvents();
                host.Progress(step + 1, progressMax);
            }
        }
        reader.Finish();
        if (auto e = reader.Queue().Error())
            std::rethrow_exception(e);
    }
    if (host.Cancelled()) {
        result.cancelled = true;
        return result;
    }
    result.picture = (rw == W && rh == H) ? std::move(picture) : ResampleArea(picture, W, H);
    return result;
}

} // namespace pc
