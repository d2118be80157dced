#include "codecs/png/png_zlib.h"

#include <zlib.h>

#include "codecs/png/png_errors.h"

namespace pc::png {

Inflated DecompressZLIB(std::span<const uint8_t> input, size_t maxOutput)
{
    Inflated out{Inflated::kBroken, {}};
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return out;
    uint8_t window[4096];
    z.next_in = const_cast<Bytef*>(input.data());
    z.avail_in = uInt(input.size());
    int ret;
    do {
        z.next_out = window;
        z.avail_out = sizeof window;
        ret = inflate(&z, Z_NO_FLUSH);
        size_t produced = sizeof window - z.avail_out;
        // Z_OK without output means it needs input it will never get.
        if ((ret != Z_OK && ret != Z_STREAM_END) || (ret == Z_OK && produced == 0))
            break;
        out.bytes.insert(out.bytes.end(), window, window + produced);
        if (out.bytes.size() > maxOutput) {
            out.result = Inflated::kTooLong;
            break;
        }
        if (ret == Z_STREAM_END)
            out.result = Inflated::kWhole;
    } while (ret != Z_STREAM_END);
    inflateEnd(&z);
    return out;
}

std::vector<uint8_t> CompressZLIB(std::span<const uint8_t> input, int level)
{
    z_stream z{};
    int ret = deflateInit(&z, level);
    if (ret != Z_OK)
        RaiseZlibError(ret);
    std::vector<uint8_t> out(deflateBound(&z, uLong(input.size())));
    z.next_in = const_cast<Bytef*>(input.data());
    z.avail_in = uInt(input.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    ret = deflate(&z, Z_FINISH);
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    if (ret != Z_STREAM_END)
        RaiseZlibError(ret);
    return out;
}

} // namespace pc::png
