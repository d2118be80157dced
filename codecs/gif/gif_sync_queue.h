#pragma once
// Hands work from painter threads to the thread that owns the canvases (the
// GUI thread): the worker waits until the owner has run it. Nothing runs the
// requests by itself: the owner must call ProcessPending from its event loop
// (an OnRequest hook tells it when), and does so while it waits for a
// painter to end. An owner that never pumps holds its asynchronous painters
// at their first paint.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace pc::gif {

class TSyncQueue {
public:
    // The calling thread becomes the owner.
    TSyncQueue();
    TSyncQueue(const TSyncQueue&) = delete;
    TSyncQueue& operator=(const TSyncQueue&) = delete;

    bool OnOwnerThread() const { return std::this_thread::get_id() == owner_; }
    // Runs fn on the owner thread and returns when it has run; on the owner
    // thread it runs at once. An exception from fn passes to the caller.
    void Synchronize(const std::function<void()>& fn);
    // Runs the requests waiting now; returns how many. Owner thread only.
    int ProcessPending();
    // Called on the requesting thread whenever a request starts to wait, so
    // that an event loop can schedule ProcessPending; must not block.
    void SetOnRequest(std::function<void()> hook);
    // True on the owner thread while it runs a request of that thread, which
    // cannot go on before the request returns.
    bool Serving(std::thread::id requester) const;

private:
    struct Request {
        const std::function<void()>* fn;
        std::thread::id requester;
        bool done = false;
        std::exception_ptr error;
    };
    std::thread::id owner_;
    std::mutex mutex_;
    std::condition_variable done_;
    std::deque<Request*> pending_;
    std::function<void()> onRequest_;
    // Requesters of the requests running now, innermost last; owner thread only.
    std::vector<std::thread::id> serving_;
};

// The queue of the program's main thread (the first thread to ask for it).
TSyncQueue& MainQueue();

} // namespace pc::gif
