#pragma once
// A handler for the events of one widget, for the few events Qt offers no
// signal for (a release over a group box, a resize of the scroll box). The
// hook belongs to the widget; the handler returns true to swallow the event.
#include <QEvent>
#include <QObject>
#include <functional>

namespace pc {

class EventHook : public QObject {
public:
    EventHook(QObject* target, std::function<bool(QEvent*)> handler) : QObject(target), handler_(std::move(handler))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override { return handler_(event); }

private:
    std::function<bool(QEvent*)> handler_;
};

} // namespace pc
