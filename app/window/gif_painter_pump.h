#pragma once
// GIF painter threads hand every paint and event to the GUI thread through a
// queue that nothing runs by itself. This lets Qt's event loop run it: each
// request a painter queues posts one call of ProcessPending to the loop.
#include "codecs/gif/gif_sync_queue.h"

namespace pc {

// Call on the GUI thread once the application object exists; the queue must
// belong to that thread and outlive the application's event loop.
void PumpFromEventLoop(gif::TSyncQueue& queue = gif::MainQueue());

} // namespace pc
