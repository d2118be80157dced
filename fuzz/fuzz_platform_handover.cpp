// The hand-over channel reads whatever a local peer sends.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/single_instance.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path;
    auto bytes = std::span(data, size);
    if (pc::ParseHandOverFrame(bytes, path) == pc::HandOverFrame::Complete) {
        if (path.size() > pc::kMaxHandOverPath)
            std::abort();
        auto again = pc::MakeHandOverFrame(path);
        if (again.size() > size || !std::equal(again.begin(), again.end(), data))
            std::abort();
    }
    return 0;
}
