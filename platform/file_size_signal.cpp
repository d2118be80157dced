#include "platform/file_size_signal.h"

#include <csignal>

namespace pc {

void IgnoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace pc
