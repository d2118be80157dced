#include "app/window/gif_painter_pump.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace pc {

void PumpFromEventLoop(gif::TSyncQueue& queue)
{
    queue.SetOnRequest([&queue] {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [&queue] { queue.ProcessPending(); }, Qt::QueuedConnection);
    });
}

} // namespace pc
