#pragma once
// Opening a file or web address with the desktop's own handler (xdg-open).
#include <functional>
#include <string>

class QObject;

namespace pc {

// Starts the handler on target and returns at once. When it cannot start, or
// ends reporting a failure (no browser, say), failed gets a message for the
// user from the event loop. The handler's process belongs to owner.
void OpenWithDesktop(const std::string& target, QObject* owner, std::function<void(const std::string&)> failed);

} // namespace pc
