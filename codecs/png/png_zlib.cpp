#include "codecs/png/png_zlib.h"

#include <zlib.h>

#include "codecs/png/png_errors.h"

namespace pc::png {

std::optional<std::vector<uint8_t>> DecompressZLIB(std::span<const uint8_t> input, size_t maxOutput)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return std::nullopt;
    std::vector<uint8_t> out;
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
        if ((ret != Z_OK && ret != Z_STREAM_END) || (ret == Z_OK && produced == 0) ||
            out.size() + produced > maxOutput) {
            inflateEnd(&z);
            return std::nullopt;
        }
        out.insert(out.end(), window, window + produced);
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
