#include "codecs/gif/gif_sync_queue.h"

#include <algorithm>

namespace pc::gif {

TSyncQueue::TSyncQueue() : owner_(std::this_thread::get_id()) {}

void TSyncQueue::Synchronize(const std::function<void()>& fn)
{
    if (OnOwnerThread()) {
        fn();
        return;
    }
    Request request{&fn, std::this_thread::get_id(), false, nullptr};
    std::unique_lock lock(mutex_);
    pending_.push_back(&request);
    if (onRequest_) {
        const std::function<void()> hook = onRequest_;
        lock.unlock();
        hook();
        lock.lock();
    }
    done_.wait(lock, [&] { return request.done; });
    if (request.error)
        std::rethrow_exception(request.error);
}

int TSyncQueue::ProcessPending()
{
    std::deque<Request*> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(pending_);
    }
    for (Request* r : batch) {
        serving_.push_back(r->requester);
        try {
            (*r->fn)();
        } catch (...) {
            r->error = std::current_exception();
        }
        serving_.pop_back();
        std::lock_guard lock(mutex_);
        r->done = true;
    }
    if (!batch.empty())
        done_.notify_all();
    return int(batch.size());
}

void TSyncQueue::SetOnRequest(std::function<void()> hook)
{
    std::lock_guard lock(mutex_);
    onRequest_ = std::move(hook);
}

bool TSyncQueue::Serving(std::thread::id requester) const
{
    return OnOwnerThread() && std::find(serving_.begin(), serving_.end(), requester) != serving_.end();
}

TSyncQueue& MainQueue()
{
    static TSyncQueue queue;
    return queue;
}

} // namespace pc::gif
