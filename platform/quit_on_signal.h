#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into an ordinary end of the event loop,
// so the main window is destroyed the normal way (work folder removed, the
// hand-over socket closed) without asking anything first.
namespace pc {

// Call once, after the QApplication exists.
void QuitOnTerminationSignals();

} // namespace pc
